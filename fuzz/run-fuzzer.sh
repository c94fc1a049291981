#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time on a scratch copy of its seed corpus,
# so that the committed corpus is never modified. Any crash, leak or time-out fails.
set -euo pipefail
target=$1 seeds=$2 seconds=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/corpus" "$scratch/artifacts"
if [[ -d "$seeds" ]]; then cp -r "$seeds"/. "$scratch/corpus/"; fi
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=262144 \
    -artifact_prefix="$scratch/artifacts/" -print_final_stats=1 "$scratch/corpus"
