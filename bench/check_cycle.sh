#!/usr/bin/env bash
# A first check of 10,000 new messages of about 2 KB into an Inbox of 100,000 items, against the
# bare POP3 conversation, with a private Dovecot. Usage: bench/check_cycle.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build=${1:-$root/build/test}
messages=${QUOBEL_BENCH_MESSAGES:-10000}
rows=${QUOBEL_BENCH_ROWS:-100000}
work=$(mktemp -d)
trap '"$root/scripts/dovecot-fixture.sh" stop "$work/dovecot" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

mkdir -p "$work/seed/bench"
python3 "$root/bench/seed_messages.py" "$work/seed/bench" "$messages"
printf 'bench:{PLAIN}benchpw\n' > "$work/users"
"$root/scripts/dovecot-fixture.sh" start "$work/dovecot" "$work/users" "$work/seed" >/dev/null
"$build/bench/bench_check_cycle" "$work/dovecot/facts" bench benchpw "$rows"
