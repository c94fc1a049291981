#!/usr/bin/env bash
# The whole program on a real X server: Xvfb with a window manager, ./run demo's setup (a private
# Dovecot with the sample mail), the first check, and the Inbox on disk holding every sample. Then
# the program starts again on the same data: it previews the newest message at once, which
# fetches the whole message from the server and stores it. Leaves screenshots of the desktop as
# test artifacts.
#   demo_under_xvfb.sh QUOBEL QUOBEL_INSPECT ARTIFACT_DIR
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$root/tests/support/xvfb_session.sh"
app=$1 inspect=$2 artifacts=$3
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb || { echo "FAIL: Xvfb did not start" >&2; exit 1; }
start_openbox || { echo "FAIL: openbox did not start" >&2; exit 1; }

# The demo runs the program twice, one run after the other, each until it is told to end.
cat >"$work/twice.sh" <<TWICE
#!/usr/bin/env bash
for run in 1 2; do
    "$app" &
    echo \$! >"$work/app.pid"
    wait \$!
done
TWICE
chmod +x "$work/twice.sh"
QUOBEL_DEMO_DIR="$work/demo" "$root/scripts/demo.sh" "$work/twice.sh" >"$work/demo.log" 2>&1 &
demo=$!
pids+=($demo)

inbox="$work/demo/data/Orvane Software/Quobel/mailbox/Inbox"
python3 "$root/scripts/make-demo-mail.py" "$work/samples"
expected=$(find "$work/samples" -type f | wc -l)
filed=0
for _ in $(seq 240); do
    if [[ -f "$inbox/box.dat" ]]; then
        filed=$("$inspect" mailbox "$inbox" 2>/dev/null |
            python3 -c 'import json,sys; print(len(json.load(sys.stdin)["Items"]))' 2>/dev/null || echo 0)
        [[ "$filed" -ge "$expected" ]] && break
    fi
    sleep 0.5
done
sleep 1  # let the list paint the last rows, and the check save the account file
# The bar docks at the top: the work area starts below it, as high as the bar is.
work_area_top() { xprop -root _NET_WORKAREA | sed 's/.*= //' | cut -d, -f2 | tr -d ' '; }
bar_height=$(xwininfo -name "Quobel Bar" 2>/dev/null | sed -n 's/.*Height: *//p')
docked_top=$(work_area_top)
mkdir -p "$artifacts"
if command -v import >/dev/null; then
    import -window root "$artifacts/quobel-demo.png" || true
fi
first=$(cat "$work/app.pid")
# The check saved the account: its password moved to the keyring (the demo's own, or the
# desktop's), and the second run below can only log in by reading it from there.
account="$work/demo/data/Orvane Software/Quobel/accounts/00000000000000000000000000000de0.qba"
password_in=$("$inspect" account "$account" 2>/dev/null |
    python3 -c 'import json,sys; print(json.load(sys.stdin)["POP"]["PasswordIn"])' 2>/dev/null || echo "?")
kill "$first" 2>/dev/null || true

# The second run previews the newest message (the last one of the samples) at start-up.
downloaded=0
for _ in $(seq 120); do
    app_pid=$(cat "$work/app.pid" 2>/dev/null || true)
    if [[ "$app_pid" != "$first" && -f "$inbox/box.dat" ]]; then
        downloaded=$("$inspect" mailbox "$inbox" 2>/dev/null |
            python3 -c 'import json,sys; print(sum(1 for i in json.load(sys.stdin)["Items"] if i["Downloaded"]))' \
                2>/dev/null || echo 0)
        [[ "$downloaded" -ge 1 ]] && break
    fi
    sleep 0.5
done
sleep 1  # let the reader paint the message
if command -v import >/dev/null; then
    import -window root "$artifacts/quobel-reader.png" || true
fi
app_pid=$(cat "$work/app.pid" 2>/dev/null || true)
[[ -n "$app_pid" ]] && kill "$app_pid" 2>/dev/null || true
wait "$demo" 2>/dev/null || true
for _ in $(seq 50); do [[ "$(work_area_top)" == 0 ]] && break; sleep 0.1; done
echo "password in: $password_in"
echo "filed $filed of $expected sample messages; $downloaded read in full; bar ${bar_height:-?}" \
    "high, work area from ${docked_top:-?} while docked, $(work_area_top) after exit"
if [[ -z "$bar_height" || "$docked_top" != "$bar_height" || "$(work_area_top)" != 0 ]]; then
    echo "the docked bar did not reserve its strip, or did not give it back" >&2
    cat "$work/demo.log" >&2
    exit 1
fi
if [[ "$filed" -ne "$expected" || "$downloaded" -lt 1 || "$password_in" != Keyring ]]; then
    cat "$work/demo.log" >&2
    exit 1
fi
