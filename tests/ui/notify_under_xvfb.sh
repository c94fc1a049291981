#!/usr/bin/env bash
# The whole program on a real desktop: Xvfb, a private session bus with a keyring and Debian's
# dunst as the notification service, with ./run demo's setup (a private Dovecot with the sample
# mail). The first check raises a notification that dunst displays; a script reads the unread messages over
# D-Bus, marks them read, and the notification goes. Leaves a screenshot as a test artifact.
#   notify_under_xvfb.sh QUOBEL ARTIFACT_DIR
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$root/tests/support/xvfb_session.sh"
app=$1 artifacts=$2
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    "$root/scripts/keyring-fixture.sh" stop "$work/keyring" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [[ -f "$work/demo.log" ]] && cat "$work/demo.log" >&2
    [[ -f "$work/dunst.log" ]] && cat "$work/dunst.log" >&2
    exit 1
}

start_xvfb || fail "Xvfb did not start"
# A private session bus with an unlocked keyring on it: a bus whose keyring would be started on
# demand would ask for a keyring password on the screen, with nobody there to give it.
"$root/scripts/keyring-fixture.sh" start "$work/keyring" || fail "the keyring did not start"
# shellcheck disable=SC1091
source "$work/keyring/facts"
export DBUS_SESSION_BUS_ADDRESS
dunst >"$work/dunst.log" 2>&1 &
pids+=($!)
dunst_ready() {
    gdbus call --session --dest org.freedesktop.Notifications \
        --object-path /org/freedesktop/Notifications \
        --method org.freedesktop.Notifications.GetCapabilities >/dev/null 2>&1
}
xvfb_session_wait dunst_ready || fail "dunst did not take the notification service"

quobel() { # METHOD [ARGS...]: one call of Quobel's D-Bus interface, as a script makes it
    local method=$1
    shift
    gdbus call --session --dest org.quobel.Quobel --object-path /org/quobel/Quobel \
        --method "org.quobel.Quobel1.$method" "$@"
}
displayed() { dunstctl count displayed 2>/dev/null || echo 0; }

QUOBEL_DEMO_DIR="$work/demo" "$root/scripts/demo.sh" "$app" >"$work/demo.log" 2>&1 &
pids+=($!)

# The first check files the sample mail and announces it.
unread=0
for _ in $(seq 240); do
    unread=$(quobel UnreadCount 2>/dev/null | sed -n 's/^(uint32 \([0-9]*\),)$/\1/p' || true)
    [[ "${unread:-0}" -gt 0 ]] && [[ "$(displayed)" -ge 1 ]] && break
    sleep 0.5
done
[[ "${unread:-0}" -gt 0 ]] || fail "the first check brought no mail"
[[ "$(displayed)" -ge 1 ]] || fail "dunst displays no notification"
mkdir -p "$artifacts"
if command -v import >/dev/null; then
    import -window root "$artifacts/quobel-notification.png" || true
fi
shown=$(displayed)

# A script reads the unread messages and marks them all read: the notification goes.
keys=$(quobel GetUnread | python3 -c '
import ast, sys
text = sys.stdin.read().strip()
print(repr([m[0] for m in ast.literal_eval(text)[0]]))')
[[ $(python3 -c "print(len($keys))") -eq "$unread" ]] || fail "GetUnread listed other than $unread"
if quobel MarkRead "['no-such-key']" >"$work/bad.out" 2>&1; then
    fail "an unknown key was accepted"
fi
grep -q 'There is no message with the key "no-such-key"' "$work/bad.out" ||
    fail "an unknown key gave no clear error: $(cat "$work/bad.out")"
marked=$(quobel MarkRead "$keys" | sed -n 's/^(uint32 \([0-9]*\),)$/\1/p')
[[ "$marked" == "$unread" ]] || fail "MarkRead marked $marked of $unread"
for _ in $(seq 100); do
    [[ "$(displayed)" -lt "$shown" ]] && break
    sleep 0.1
done
after=$(displayed)
[[ "$(quobel UnreadCount)" == "(uint32 0,)" ]] || fail "messages left unread"
echo "dunst displayed $shown notification(s) for $unread new messages; $after after MarkRead"
[[ "$after" -lt "$shown" ]] || fail "the notification stayed after its messages were read"
