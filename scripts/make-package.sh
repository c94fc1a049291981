#!/usr/bin/env bash
# Builds the Debian package from a configured build folder and leaves exactly one .deb in the
# package folder (the staging that CPack leaves is removed).
#   scripts/make-package.sh BUILD_DIR PACKAGE_DIR
set -euo pipefail
build=$1 out=$2
# The build says what it does on stderr: stdout is the package's path alone.
cmake --build "$build" -j "$(nproc)" --target quobel quobel-inspect quobel_desktop_data >&2
mkdir -p "$out"
rm -rf "$out"/*.deb "$out/_CPack_Packages"
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || {
    cat "$out/cpack.log" >&2
    exit 1
}
rm -rf "$out/_CPack_Packages" "$out/cpack.log"
mapfile -t debs < <(find "$out" -maxdepth 1 -name '*.deb')
if ((${#debs[@]} != 1)); then
    echo "expected one .deb in $out, found ${#debs[@]}" >&2
    exit 1
fi
echo "${debs[0]}"
