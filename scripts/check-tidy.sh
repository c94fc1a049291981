#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the layers below the user interface, on
# all cores, with the compile commands of an existing build. Any finding fails the check.
#   scripts/check-tidy.sh BUILD_DIR     e.g. build/test (configured with CMAKE_EXPORT_COMPILE_COMMANDS)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:?usage: scripts/check-tidy.sh BUILD_DIR}
[[ -f "$build/compile_commands.json" ]] || {
    echo "$build/compile_commands.json is missing: configure that build first." >&2
    exit 1
}

runner=run-clang-tidy-14
command -v "$runner" >/dev/null || runner=run-clang-tidy
tidy=clang-tidy-14
command -v "$tidy" >/dev/null || tidy=clang-tidy

# The layers are the folders src/layers.txt names: their sources are picked from the compile
# commands by path, and only their headers are looked into.
layers=$(sed -n 's/^\([a-z]*\):.*/\1/p' src/layers.txt | paste -sd '|')
status=0
report=$("$runner" -quiet -clang-tidy-binary "$(command -v "$tidy")" -p "$build" -j "$(nproc)" \
    -header-filter="/src/($layers)/" "$PWD/src/($layers)/[^/]*\.cpp\$" 2>&1) || status=$?

# Keep the findings; drop the colours run-clang-tidy always asks for, the command it ran for
# each file and clang-tidy's tallies of what it did not report.
noise='^[0-9]+ warnings?( and [0-9]+ errors?)? generated\.$|^Suppressed [0-9]+ warnings'
noise+='|^Use -header-filter=|^Use -system-headers|^[^ ]*clang-tidy[^ ]* --use-color '
sed 's/\x1b\[[0-9;]*m//g' <<<"$report" | grep -v -E "$noise" || true
if ((status)); then
    echo "clang-tidy: the findings above fail the check (.clang-tidy lists the checks)." >&2
    exit 1
fi
echo "clang-tidy: no findings in the layers below the user interface."
