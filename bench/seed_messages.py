#!/usr/bin/env python3
"""Writes COUNT benchmark messages of about 2 KB into FOLDER, one file each (m000000, ...),
for a private Dovecot's seed folder: bench/check_cycle.sh and bench/pipelined_check.sh."""
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
