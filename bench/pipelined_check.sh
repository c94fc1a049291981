#!/usr/bin/env bash
# A first check of many new messages of about 2 KB into a large Inbox, side by side with the
# POP3 limit client (the same conversation over a bare socket, storing nothing), on loopback and
# through a relay that adds latency, against a private Dovecot. Every figure is the median of
# interleaved rounds with its range, and the ratios are taken in the same run. Not a timed test:
# run by hand. The defaults are a quick run; the full one is
#
#   bench/pipelined_check.sh --messages 10000 --rows 100000 --rounds 7 --baseline PATH
#
# Options:
#   --build DIR       build folder with tools/ and bench/ (default: build/dev)
#   --baseline FILE   a quobel-inspect from before the check learnt CAPA and pipelining, for
#                     the comparison against a server without PIPELINING (skipped without it)
#   --messages N      new messages on the server (default 1000)
#   --rows N          rows already in the Inbox (default 10000)
#   --rounds N        interleaved rounds (default 3)
#   --delay MS        relay delay in each direction (default 5: a 10 ms round trip)
#   --few N           messages for the one-at-a-time runs through the relay, which take two
#                     round trips per message (default 300); their times are also given scaled
#                     to --messages
#   --no-peers        leave out the python3 poplib and curl peers
# The data folder of every check is copied afresh from a template before its timing starts.
# Times are wall seconds of the whole process (start included), except the controller's
# benchmark, which times its check inside the process.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build=$root/build/dev
baseline=
messages=1000
rows=10000
rounds=3
delay=5
few=300
peers=1
while (($#)); do
    case $1 in
    --build) build=$2; shift 2 ;;
    --baseline) baseline=$2; shift 2 ;;
    --messages) messages=$2; shift 2 ;;
    --rows) rows=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --delay) delay=$2; shift 2 ;;
    --few) few=$2; shift 2 ;;
    --no-peers) peers=0; shift ;;
    *) echo "pipelined_check.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
build=$(cd "$build" && pwd)
inspect=$build/tools/quobel-inspect
limit=$build/bench/bench_pop3_limit_client
relay=$build/bench/bench_latency_relay
cycle=$build/bench/bench_check_cycle
for program in "$inspect" "$limit" "$relay" "$cycle" "$build/bench/bench_make_mailbox" \
    ${baseline:+"$baseline"}; do
    [[ -x $program ]] || { echo "pipelined_check.sh: $program is missing; build it first" >&2; exit 1; }
done
# The checks keep the password in the account file: no desktop keyring takes part.
unset DBUS_SESSION_BUS_ADDRESS
work=$(mktemp -d -t quobel-pipelined-XXXXXX)
relays=()
cleanup() {
    for pid in "${relays[@]}"; do kill "$pid" 2>/dev/null || true; done
    "$root/scripts/dovecot-fixture.sh" stop "$work/dovecot" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# User "bench" holds the new messages; user "few" holds the first --few of them, for the
# one-at-a-time checks through the relay.
seed() {  # FOLDER COUNT
    mkdir -p "$1"
    python3 "$root/bench/seed_messages.py" "$1" "$2"
}
echo "setting up: $messages messages, an Inbox of $rows rows..." >&2
seed "$work/seed/bench" "$messages"
seed "$work/seed/few" "$few"
printf 'bench:{PLAIN}benchpw\nfew:{PLAIN}benchpw\n' >"$work/users"
"$root/scripts/dovecot-fixture.sh" start "$work/dovecot" "$work/users" "$work/seed" >/dev/null
# shellcheck disable=SC1091
source "$work/dovecot/facts"

start_relay() {  # DELAY_MS [--strip-pipelining]: the relay's port into relay_port
    local file=$work/relay.${#relays[@]}
    "$relay" 0 "$HOST" "$POP3_PORT" "$@" >"$file" &
    relays+=($!)
    local tries=0
    while [[ ! -s $file ]] && ((tries++ < 100)); do sleep 0.05; done
    relay_port=$(head -n1 "$file")
}
start_relay "$delay"
slow=$relay_port
start_relay 0 --strip-pipelining
plain=$relay_port
start_relay "$delay" --strip-pipelining
slow_plain=$relay_port

# The Inbox rows once, then one template data folder per user and server port.
"$build/bench/bench_make_mailbox" "$work/rows" "$rows"
template() {  # USER PORT -> folder
    local folder=$work/template.$1.$2
    if [[ ! -d $folder ]]; then
        "$build/bench/bench_make_mailbox" "$folder" 0 "$HOST" "$2" "$1" benchpw
        rm -rf "$folder/mailbox"
        cp -r "$work/rows/mailbox" "$folder/mailbox"
    fi
    echo "$folder"
}
for port in "$POP3_PORT" "$slow" "$plain"; do template bench "$port" >/dev/null; done
for port in "$slow" "$slow_plain"; do template few "$port" >/dev/null; done

declare -A wall cpu
TIMEFORMAT='%R %U %S'
# Runs a command with its output in $work/last.out and records its wall and CPU seconds under
# NAME; a failing command ends the run with its output.
timed() {  # NAME COMMAND...
    local name=$1 times
    shift
    if ! times=$({ time "$@" >"$work/last.out" 2>&1; } 2>&1); then
        echo "pipelined_check.sh: failed: $*" >&2
        tail -n 20 "$work/last.out" >&2
        exit 1
    fi
    read -r real user system <<<"$times"
    wall[$name]+="$real "
    cpu[$name]+="$(echo "$user + $system" | bc -l) "
}
# The messages a check filed, from its report.
filed() { grep -c '"UIDL":' "$work/last.out" || true; }
expect_filed() {  # NAME COUNT
    local got
    got=$(filed)
    if [[ $got != "$2" ]]; then
        echo "pipelined_check.sh: $1 filed $got messages, not $2" >&2
        exit 1
    fi
}
fresh() {  # USER PORT: a fresh data folder from the template, outside any timing
    rm -rf "$work/data"
    cp -r "$(template "$1" "$2")" "$work/data"
}
check() {  # NAME INSPECT USER PORT COUNT
    fresh "$3" "$4"
    timed "$1" "$2" check "$work/data"
    expect_filed "$1" "$5"
}
limit() {  # NAME USER PORT [OPTIONS...]
    local name=$1 user=$2 port=$3
    shift 3
    timed "$name" "$limit" "$HOST" "$port" "$user" benchpw "$@"
}
controller() {  # the controller's benchmark, one round; its own timing of the check
    "$cycle" "$work/dovecot/facts" bench benchpw "$rows" 1 >"$work/last.out" 2>&1 || {
        echo "pipelined_check.sh: the controller's benchmark failed" >&2
        tail -n 20 "$work/last.out" >&2
        exit 1
    }
    wall[controller]+="$(sed -n 's/^round 0: .* check \([0-9.]*\) s .*/\1/p' "$work/last.out") "
}

cat >"$work/poplib_peer.py" <<'PY'
import poplib, sys
host, port, user, password = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
pop = poplib.POP3(host, port)
pop.user(user)
pop.pass_(password)
_, lines, _ = pop.uidl()
for n in range(1, len(lines) + 1):
    pop.list(n)
    pop.top(n, 0)
pop.quit()
PY
# curl: one process, one connection, a transfer per command (UIDL, then "LIST n" and "TOP n 0").
curl_config() {  # PORT COUNT
    local base="pop3://$HOST:$1"
    echo "user = \"bench:benchpw\""
    echo "url = \"$base/\""
    echo "request = \"UIDL\""
    for ((n = 1; n <= $2; n++)); do
        printf 'next\nuser = "bench:benchpw"\nurl = "%s/%d"\nlist-only\n' "$base" "$n"
        printf 'next\nuser = "bench:benchpw"\nurl = "%s/%d%%200"\nrequest = "TOP"\n' "$base" "$n"
    done
}
use_python=0 use_curl=0
if ((peers)); then
    if python3 -c 'import poplib' 2>/dev/null; then
        use_python=1
    else
        echo "peer left out: python3 with poplib is not installed" >&2
    fi
    if command -v curl >/dev/null && curl --version | grep -qw pop3; then
        curl_config "$POP3_PORT" "$messages" >"$work/curl.conf"
        use_curl=1
    else
        echo "peer left out: curl with POP3 is not installed" >&2
    fi
fi

# Known keys: a data folder after a first check, checked again with nothing new.
rm -rf "$work/known"
cp -r "$(template bench "$POP3_PORT")" "$work/known"
"$inspect" check "$work/known" >/dev/null 2>&1

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for ((round = 1; round <= rounds; round++)); do
    echo "round $round of $rounds..." >&2
    limit loopback_limit bench "$POP3_PORT"
    check loopback_check "$inspect" bench "$POP3_PORT" "$messages"
    controller
    limit loopback_limit_one bench "$POP3_PORT" --one-at-a-time
    if ((use_python)); then timed poplib python3 "$work/poplib_peer.py" "$HOST" "$POP3_PORT" bench benchpw; fi
    if ((use_curl)); then timed curl curl -s -o /dev/null -K "$work/curl.conf"; fi

    limit relay_limit bench "$slow"
    check relay_check "$inspect" bench "$slow" "$messages"
    limit relay_limit_one_few few "$slow" --one-at-a-time
    check relay_check_few "$inspect" few "$slow" "$few"

    limit uidl_alone bench "$POP3_PORT" --uidl-only
    timed nothing_new "$inspect" check "$work/known"
    expect_filed nothing_new 0

    check plain_check "$inspect" bench "$plain" "$messages"
    check slow_plain_check_few "$inspect" few "$slow_plain" "$few"
    if [[ -n $baseline ]]; then
        check plain_today "$baseline" bench "$plain" "$messages"
        check slow_plain_today_few "$baseline" few "$slow_plain" "$few"
    fi
done

sorted() { tr ' ' '\n' <<<"$1" | grep -v '^$' | sort -g; }
median_of() { sorted "$1" | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
median() { median_of "${wall[$1]}"; }
# NAME -> "median s [min..max], cpu median s"
stats() {
    local range
    range=$(sorted "${wall[$1]}" | awk 'NR == 1 {lo = $1} {hi = $1} END {printf "%.3f..%.3f", lo, hi}')
    printf '%.3f s [%s]' "$(median "$1")" "$range"
    if [[ -n ${cpu[$1]:-} ]]; then printf ', CPU %.3f s' "$(median_of "${cpu[$1]}")"; fi
}
ratio() { echo "$(median "$1") / $(median "$2")" | bc -l | xargs printf '%.2f'; }
verdict() {  # RATIO TARGET
    if (($(echo "$1 <= $2" | bc -l))); then echo "holds"; else echo "FAILS"; fi
}
line() { printf '  %-44s %s\n' "$1" "$2"; }
target() {  # LABEL NUMERATOR DENOMINATOR TARGET
    local r
    r=$(ratio "$2" "$3")
    printf '  %-44s %s (target <= %s: %s)\n' "$1" "$r" "$4" "$(verdict "$r" "$4")"
}

echo
echo "$messages new messages of about 2 KB into an Inbox of $rows rows; $rounds interleaved rounds;"
echo "median wall time [range], CPU median (user + system); load average $load_before before," \
    "$(cut -d' ' -f1-3 /proc/loadavg) after, on $(nproc) cores"
echo "loopback:"
line "limit client, pipelined" "$(stats loopback_limit)"
line "limit client, one at a time" "$(stats loopback_limit_one)"
line "quobel-inspect check" "$(stats loopback_check)"
line "controller's benchmark (in-process check)" "$(stats controller)"
if ((use_python)); then line "python3 poplib, one at a time" "$(stats poplib)"; fi
if ((use_curl)); then line "curl, one connection" "$(stats curl)"; fi
target "check / limit pipelined" loopback_check loopback_limit 1.5
target "controller's benchmark / limit pipelined" controller loopback_limit 1.5
line "one at a time / limit pipelined" "$(ratio loopback_limit_one loopback_limit)"
if ((use_python)); then line "poplib / limit pipelined" "$(ratio poplib loopback_limit)"; fi
if ((use_curl)); then line "curl / limit pipelined" "$(ratio curl loopback_limit)"; fi

echo "relay, $delay ms each way ($((2 * delay)) ms round trip):"
line "limit client, pipelined" "$(stats relay_limit)"
line "quobel-inspect check" "$(stats relay_check)"
target "check / limit pipelined" relay_check relay_limit 1.3
scale=$(echo "$messages / $few" | bc -l)
line "limit client, one at a time, $few messages" "$(stats relay_limit_one_few)"
line "  scaled to $messages messages" \
    "$(printf '%.1f s (%.0f x limit pipelined)' "$(echo "$(median relay_limit_one_few) * $scale" | bc -l)" \
        "$(echo "$(median relay_limit_one_few) * $scale / $(median relay_limit)" | bc -l)")"
line "quobel-inspect check, $few messages" "$(stats relay_check_few)"

echo "nothing new ($messages known keys), process start included:"
line "limit client, UIDL alone" "$(stats uidl_alone)"
line "quobel-inspect check" "$(stats nothing_new)"
target "check / UIDL alone" nothing_new uidl_alone 2

echo "server without PIPELINING (the relay strips it from CAPA):"
line "loopback: quobel-inspect check" "$(stats plain_check)"
line "$((2 * delay)) ms round trip, $few messages: check" "$(stats slow_plain_check_few)"
if [[ -n $baseline ]]; then
    line "loopback: today's check (one at a time)" "$(stats plain_today)"
    line "$((2 * delay)) ms round trip, $few messages: today's" "$(stats slow_plain_today_few)"
    target "loopback: check / today's" plain_check plain_today 0.6
    target "$((2 * delay)) ms round trip: check / today's" slow_plain_check_few slow_plain_today_few 0.6
else
    echo "  today's check left out: give --baseline"
fi
