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
python3 - "$work/seed/bench" "$messages" <<'PY'
import sys
folder, count = sys.argv[1], int(sys.argv[2])
filler = "The quick brown fox jumps over the lazy dog, again and again. " * 2
for n in range(count):
    header = (
        f"Return-Path: <sender{n % 97}@example.org>\r\n"
        f"Received: from relay.example.net (relay.example.net [192.0.2.{n % 250}])\r\n"
        f"\tby mx.example.org with ESMTP id {n:08d} for <bench@example.org>;"
        f" Tue, 01 Dec 2026 10:00:00 +0000\r\n"
        f"From: Sender {n % 97} <sender{n % 97}@example.org>\r\n"
        f"To: Bench <bench@example.org>\r\n"
        f"Subject: Benchmark message number {n}\r\n"
        f"Date: Tue, 01 Dec 2026 10:{n % 60:02d}:00 +0000\r\n"
        f"Message-ID: <bench-{n}@example.org>\r\n"
        f"MIME-Version: 1.0\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n")
    body = "".join(f"{filler}{k}\r\n" for k in range(12))
    with open(f"{folder}/m{n:06d}", "w", newline="") as f:
        f.write(header + body)
PY
printf 'bench:{PLAIN}benchpw\n' > "$work/users"
"$root/scripts/dovecot-fixture.sh" start "$work/dovecot" "$work/users" "$work/seed" >/dev/null
"$build/bench/bench_check_cycle" "$work/dovecot/facts" bench benchpw "$rows"
