#!/usr/bin/env bash
# The install rules as "cmake --install" runs them, into a private prefix: every file a desktop
# and a user look for is there, and the installed program starts from prefix/bin with the skins
# and help of prefix/share/quobel (offscreen, until its first paint).
#   install_tree_starts.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

missing=0
for file in bin/quobel bin/quobel-inspect share/quobel/Quobel.html share/quobel/images/quobel.svg \
    share/quobel/skins/Graphite/skin.ini share/quobel/translations/quobel_de.qm \
    share/applications/org.quobel.Quobel.desktop \
    share/metainfo/org.quobel.Quobel.metainfo.xml \
    share/icons/hicolor/scalable/apps/org.quobel.Quobel.svg \
    share/icons/hicolor/48x48/apps/org.quobel.Quobel.png \
    share/man/man1/quobel.1.gz share/man/man1/quobel-inspect.1.gz \
    share/doc/quobel/copyright share/doc/quobel/changelog.gz; do
    if [[ ! -s "$prefix/$file" ]]; then
        echo "not installed: $file" >&2
        missing=1
    fi
done
((missing == 0)) || exit 1
# Nothing of the build tree's layout may come along: the program must not find its skins
# beside itself here.
if [[ -e "$prefix/bin/skins" || -e "$prefix/lib" ]]; then
    echo "the build tree's layout was installed: $(ls "$prefix/bin" "$prefix")" >&2
    exit 1
fi

# Without its skins the program shows an error and waits: a timeout means they were not found.
mkdir -p "$work/data" "$work/tmp"
if ! output=$(cd "$work" && QT_QPA_PLATFORM=offscreen QUOBEL_STARTUP_PROBE=1 \
    XDG_DATA_HOME="$work/data" TMPDIR="$work/tmp" timeout 60 "$prefix/bin/quobel" 2>&1); then
    echo "the installed program did not start and paint: $output" >&2
    exit 1
fi
grep -q '^first-paint ' <<<"$output" || {
    echo "no first paint: $output" >&2
    exit 1
}
echo "installed into a private prefix; the program painted its main window from there"
