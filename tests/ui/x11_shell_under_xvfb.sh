#!/usr/bin/env bash
# The X11 screen-edge shell on a real X server: Xvfb with openbox (an EWMH window manager).
# Docking reserves a strip that the window manager takes out of the work area, undocking gives it
# back, and the auto-hide registry of an edge holds one owner across processes: a second claim is
# refused while the owner lives, allowed once it lets go or dies.
#   x11_shell_under_xvfb.sh PROBE
# Exits 77 (reported as skipped) only when there is no Xvfb to run on.
set -euo pipefail
probe=$1
source "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb_session.sh"
if ! command -v Xvfb >/dev/null; then
    echo "SKIP: Xvfb is not installed"
    exit 77
fi
for tool in openbox xprop; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    if [[ -s "$work/openbox.log" ]]; then
        echo "openbox said:" >&2
        cat "$work/openbox.log" >&2
    fi
    exit 1
}
# Polls a command until it succeeds; generous, the machine is shared.
wait_until() {
    local what=$1
    shift
    for _ in $(seq 600); do
        if "$@"; then return 0; fi
        sleep 0.1
    done
    fail "timed out waiting for $what"
}

start_xvfb || fail "timed out waiting for Xvfb"
export QT_QPA_PLATFORM=xcb
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
start_openbox "$work/openbox.log" || fail "timed out waiting for openbox"
work_area() { xprop -root _NET_WORKAREA | sed 's/.*= //' | cut -d, -f1-4; }
# The window manager announces what it supports before it publishes the work area.
has_work_area() { xprop -root _NET_WORKAREA 2>/dev/null | grep -q ' = '; }
wait_until "the work area" has_work_area
before=$(work_area)
echo "work area: $before"

"$probe" dock || fail "docking"
[[ "$(work_area)" == "$before" ]] || fail "work area after the probe ended: $(work_area)"

# One process holds the top edge; others are refused there until it lets go.
coproc holder { "$probe" hold top; }
holder_pid=$holder_PID
pids+=("$holder_pid")
read -r -t 30 line <&"${holder[0]}" || fail "holder did not start"
[[ "$line" == held ]] || fail "holder: $line"
rc=0
"$probe" try top || rc=$?
[[ $rc -eq 3 ]] || fail "a second claim on the top edge was not refused (exit $rc)"
"$probe" try bottom || fail "the bottom edge is free"
echo release >&"${holder[1]}"
read -r -t 30 line <&"${holder[0]}" || fail "holder did not answer"
[[ "$line" == released ]] || fail "holder: $line"
"$probe" try top || fail "the top edge is free after its owner let go"
exec {holder[1]}>&-
wait "$holder_pid" || true

# An owner that dies without letting go leaves an id of a window that no longer exists.
coproc killed { "$probe" hold right; }
killed_pid=$killed_PID
pids+=("$killed_pid")
read -r -t 30 line <&"${killed[0]}" || fail "second holder did not start"
[[ "$line" == held ]] || fail "second holder: $line"
rc=0
"$probe" try right || rc=$?
[[ $rc -eq 3 ]] || fail "a claim on the held right edge was not refused (exit $rc)"
{
    kill -9 "$killed_pid"
    wait "$killed_pid"
} 2>/dev/null || true
"$probe" try right || fail "the right edge is free after its owner died"
echo "x11 shell: ok"
