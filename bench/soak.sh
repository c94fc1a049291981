#!/usr/bin/env bash
# A long run of the check cycle against a private Dovecot: bench_soak checks in a loop for
# SECONDS (default 600) through a relay that injects a fault every FAULT_EVERY checks (default
# 4), while this script adds a message about every half second and deletes one at random whenever
# there are more than 20 (the user in bench_soak deletes some as well). Resident memory, the heap
# the program actually uses (so that allocator growth and leaks can be told apart), descriptors
# and threads are printed at the start and every minute; the final state is compared with the
# server's.
# Usage: bench/soak.sh [BUILD_DIR] [SECONDS] [FAULT_EVERY]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build=${1:-$root/build/test}
seconds=${2:-600}
fault_every=${3:-4}
work=$(mktemp -d)
mutator=
cleanup() {
    [[ -n "$mutator" ]] && kill "$mutator" 2>/dev/null || true
    "$root/scripts/dovecot-fixture.sh" stop "$work/dovecot" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

message() {
    printf 'From: Soak %s <soak%s@example.org>\r\nTo: me@example.org\r\nSubject: soak message %s\r\nDate: Thu, 10 Dec 2026 23:00:00 +0000\r\n\r\nBody of message %s\r\n' \
        "$1" "$1" "$1" "$1"
}

mkdir -p "$work/seed/soak"
for n in $(seq 1 20); do
    message "$n" >"$work/seed/soak/s$(printf '%08d' "$n")"
done
printf 'soak:{PLAIN}soakpw\n' >"$work/users"
"$root/scripts/dovecot-fixture.sh" start "$work/dovecot" "$work/users" "$work/seed" >/dev/null
# shellcheck disable=SC1091
source "$work/dovecot/facts"
maildir="$MAIL_ROOT/soak/Maildir"

# Adds and deletes messages for as long as the checks run, then says it is quiet.
mutate() {
    local n=100 end=$((SECONDS + seconds))
    while ((SECONDS < end)); do
        n=$((n + 1))
        local name
        name="s$(printf '%08d' "$n")"
        message "$n" >"$maildir/tmp/$name"
        if [[ $(id -u) == 0 ]]; then chown "$MAIL_UID:$MAIL_GID" "$maildir/tmp/$name"; fi
        mv "$maildir/tmp/$name" "$maildir/new/$name"
        sleep 0.5
        local count victim
        count=$(find "$maildir/new" "$maildir/cur" -type f | wc -l)
        if ((count > 20)); then
            victim=$(find "$maildir/new" "$maildir/cur" -type f | shuf -n 1)
            rm -f "$victim"
        fi
    done
    touch "$work/quiet"
}
mutate &
mutator=$!

"$build/bench/bench_soak" "$work/dovecot/facts" soak soakpw "$seconds" "$fault_every" "$work/quiet"
