#!/usr/bin/env bash
# Checks that every C++ file follows the repository's .clang-format (clang-format 14), without
# changing any file. Prints the files that differ and the command that formats them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

format=clang-format-14
command -v "$format" >/dev/null || format=clang-format
mapfile -d '' files < <(git ls-files -z --cached --others --exclude-standard -- \
    'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' 'tests/*.cpp' 'tests/*.h' \
    'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')

# --dry-run only reports what clang-format would change ("[-Wclang-format-violations]"), spread
# over all cores; a clang-format that fails (a broken .clang-format, an unreadable file) fails it.
report=$(printf '%s\0' "${files[@]}" |
    xargs -0 -n 16 -P "$(nproc)" "$format" --style=file --dry-run 2>&1) || {
    echo "$report" >&2
    echo "$format failed." >&2
    exit 1
}
mapfile -t unformatted < <(sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: .*\[-Wclang-format-violations\]$/\1/p' \
    <<<"$report" | sort -u)

if ((${#unformatted[@]})); then
    echo "These files differ from .clang-format:"
    printf '  %s\n' "${unformatted[@]}"
    echo "Format them with:"
    echo "  $format -i ${unformatted[*]}"
    exit 1
fi
echo "Format check: ${#files[@]} files follow .clang-format."
