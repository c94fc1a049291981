#!/usr/bin/env bash
# Start-up with a large Inbox: the time from launching Quobel to the first paint of its main window
# when the Inbox holds 100,000 messages, against the same for a Qt program that shows one empty
# main window. Both run alternately, several times, on a private Xvfb (offscreen when Xvfb is
# missing or QT_QPA_PLATFORM says so); the medians are compared.
# Usage: bench/ui_startup.sh [BUILD_DIR]   (QUOBEL_BENCH_ROWS, QUOBEL_BENCH_RUNS change the sizes)
# Needs no other Quobel running as the same user: a second instance only wakes the first one.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build=${1:-$root/build/test}
rows=${QUOBEL_BENCH_ROWS:-100000}
runs=${QUOBEL_BENCH_RUNS:-7}
work=$(mktemp -d)
xvfb=
cleanup() {
    if [[ -n $xvfb ]]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

if [[ -z ${QT_QPA_PLATFORM:-} ]] && command -v Xvfb >/dev/null; then
    exec 5>"$work/display"
    Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb
fi

"$build/bench/bench_make_mailbox" "$work/data/Orvane Software/Quobel" "$rows"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} QUOBEL_STARTUP_PROBE=1
echo "platform: $QT_QPA_PLATFORM"

python3 - "$build/src/ui/quobel" "$build/bench/bench_ui_empty_window" "$work" "$runs" "$rows" <<'PY'
import os, statistics, subprocess, sys, time

quobel, empty, work, runs, rows = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), sys.argv[5]

def first_paint_ms(program, data_home):
    env = dict(os.environ, XDG_DATA_HOME=data_home)
    start = time.monotonic_ns()
    done = subprocess.run([program], env=env, capture_output=True, text=True, timeout=300)
    for line in done.stdout.splitlines():
        if line.startswith("first-paint "):
            return (int(line.split()[1]) - start) / 1e6
    sys.exit(f"{program} reported no first paint (exit {done.returncode}); is Quobel running "
             f"already?\n{done.stderr}")

# The first start of each warms the disk cache and Qt's caches; it is not counted.
first_paint_ms(empty, f"{work}/empty")
first_paint_ms(quobel, f"{work}/data")
times = {"empty": [], "quobel": []}
for _ in range(runs):
    times["empty"].append(first_paint_ms(empty, f"{work}/empty"))
    times["quobel"].append(first_paint_ms(quobel, f"{work}/data"))
empty_ms = statistics.median(times["empty"])
quobel_ms = statistics.median(times["quobel"])
print(f"empty Qt window: median {empty_ms:.0f} ms of {runs} ({', '.join(f'{t:.0f}' for t in times['empty'])})")
print(f"Quobel, Inbox of {rows}: median {quobel_ms:.0f} ms of {runs} ({', '.join(f'{t:.0f}' for t in times['quobel'])})")
print(f"ratio first paint with {rows} messages / empty Qt window: {quobel_ms / empty_ms:.2f} (max 5)")
PY
