#!/usr/bin/env bash
# ./run demo: Quobel on a throwaway data folder, with one account on a private Dovecot POP3
# server (127.0.0.1, a free port) that holds a few dozen sample messages. Everything is removed
# when Quobel ends.
#   scripts/demo.sh PATH_TO_QUOBEL
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
app=$1
# QUOBEL_DEMO_DIR: an empty folder to work in instead of a fresh temporary one (for tests).
if [[ -n "${QUOBEL_DEMO_DIR:-}" ]]; then
    work=$QUOBEL_DEMO_DIR
    mkdir -p "$work"
else
    work=$(mktemp -d -t quobel-demo-XXXXXX)
fi
bus_pids=()
cleanup() {
    for pid in "${bus_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    "$root/scripts/dovecot-fixture.sh" stop "$work/dovecot" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# The sample mail, delivered to user "demo" (password "secret").
mkdir -p "$work/seed/demo"
python3 "$root/scripts/make-demo-mail.py" "$work/seed/demo"
printf 'demo:{PLAIN}secret\n' >"$work/users"
"$root/scripts/dovecot-fixture.sh" start "$work/dovecot" "$work/users" "$work/seed" >/dev/null
# shellcheck disable=SC1091
source "$work/dovecot/facts"

# A data folder of its own, with one account, a check every minute and the bar docked at the top.
export XDG_DATA_HOME="$work/data"
data="$XDG_DATA_HOME/Orvane Software/Quobel"
mkdir -p "$data/accounts"
chmod -R 700 "$work/data"
crlf() { sed 's/$/\r/'; }
crlf >"$data/accounts/00000000000000000000000000000de0.qba" <<ACCOUNT
[Account]
Name=Demo account
SkinColor=536870911
Synchronize=1
Default=1
[From]
Name=Demo User
Email=demo@quobel.example
[POP]
Host=$HOST
Port=$POP3_PORT
Username=demo
Password=8fB6LpOM
Secure=0
TLS=0
[SMTP]
Host=localhost
Port=25
ACCOUNT
crlf >"$data/settings.ini" <<SETTINGS
[General]
Check=1
Interval=1
[Bar]
Edge=1
SETTINGS
chmod 600 "$data/accounts/"*.qba "$data/settings.ini"

# New mail is announced on the session bus. Without one (a bare X session, a container), the demo
# brings its own, with dunst to show the notifications when it is installed.
if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]] && command -v dbus-daemon >/dev/null; then
    DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 \
        3>"$work/bus.pid" | head -n1)
    export DBUS_SESSION_BUS_ADDRESS
    bus_pids+=("$(cat "$work/bus.pid")")
    if command -v dunst >/dev/null && [[ -n "${DISPLAY:-}" ]]; then
        dunst >"$work/dunst.log" 2>&1 &
        bus_pids+=($!)
    fi
    echo "Demo: a session bus of its own at $DBUS_SESSION_BUS_ADDRESS"
fi

echo "Demo: Dovecot on $HOST:$POP3_PORT (user demo, password secret); data in $data"
echo "The encrypted sample opens with the password \"secret\"."
"$app"
