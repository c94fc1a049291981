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
account_id=00000000000000000000000000000de0
own_keyring=0
cleanup() {
    for pid in "${bus_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    "$root/scripts/dovecot-fixture.sh" stop "$work/dovecot" >/dev/null 2>&1 || true
    if ((own_keyring)); then
        "$root/scripts/keyring-fixture.sh" stop "$work/keyring" >/dev/null 2>&1 || true
    else
        forget_demo_password
    fi
    rm -rf "$work"
}
trap cleanup EXIT

secret_service_runs() {
    [[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ]] &&
        dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
        grep -q true
}

# The demo account's entry leaves the desktop's own keyring with the demo.
forget_demo_password() {
    command -v gdbus >/dev/null && secret_service_runs || return 0
    local item
    for item in $(gdbus call --session --dest org.freedesktop.secrets \
        --object-path /org/freedesktop/secrets --method org.freedesktop.Secret.Service.SearchItems \
        "{'service': 'Quobel', 'account': '$account_id'}" 2>/dev/null | grep -o "'/[^']*'" | tr -d "'"); do
        gdbus call --session --dest org.freedesktop.secrets --object-path "$item" \
            --method org.freedesktop.Secret.Item.Delete >/dev/null 2>&1 || true
    done
}

# Quobel keeps the demo account's password in the desktop's keyring when one runs. Without a
# session bus the demo brings a keyring of its own (a private bus with GNOME Keyring) when it can;
# a session bus without a keyring stays as it is (the password then stays in the account file).
if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]] && command -v gnome-keyring-daemon >/dev/null &&
    command -v dbus-daemon >/dev/null && "$root/scripts/keyring-fixture.sh" start "$work/keyring"; then
    # shellcheck disable=SC1091
    source "$work/keyring/facts"
    export DBUS_SESSION_BUS_ADDRESS
    own_keyring=1
fi

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
crlf >"$data/accounts/$account_id.qba" <<ACCOUNT
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
# The keyring above may have brought the demo's own bus already.
own_bus=$own_keyring
if [[ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]] && command -v dbus-daemon >/dev/null; then
    DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 \
        3>"$work/bus.pid" | head -n1)
    export DBUS_SESSION_BUS_ADDRESS
    bus_pids+=("$(cat "$work/bus.pid")")
    own_bus=1
    echo "Demo: a session bus of its own at $DBUS_SESSION_BUS_ADDRESS"
fi
if ((own_bus)) && command -v dunst >/dev/null && [[ -n "${DISPLAY:-}" ]]; then
    dunst >"$work/dunst.log" 2>&1 &
    bus_pids+=($!)
fi

echo "Demo: Dovecot on $HOST:$POP3_PORT (user demo, password secret); data in $data"
echo "The encrypted sample opens with the password \"secret\"."
if ((own_keyring)); then
    echo "Passwords: a private keyring of the demo's own (moved there at the first save)."
fi
"$app"
