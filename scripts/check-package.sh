#!/usr/bin/env bash
# Checks a built Quobel .deb as a user's machine would meet it: lintian (errors fail, warnings
# are listed), the menu entry and the AppStream metadata validated, and the package unpacked into
# a private root, started there under Xvfb against the demo's server with the skins and help it
# installed, and quobel-inspect --version answering.
#   scripts/check-package.sh FILE.deb
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/tests/support/xvfb_session.sh"
deb=$(realpath "$1")
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

version=$(dpkg-deb -f "$deb" Version)
echo "$(basename "$deb"): Depends: $(dpkg-deb -f "$deb" Depends)"

# lintian prints one tag a line, "E: ..." for errors and "W: ..." for warnings; it ends with 1
# for errors of the package and for failures of its own.
lintian_status=0
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
warnings=$(grep -c '^W: ' "$work/lintian.log" || true)
errors=$(grep -c '^E: ' "$work/lintian.log" || true)
echo "lintian: $errors errors, $warnings warnings"
grep -E '^(E|W): ' "$work/lintian.log" | sed 's/^/  /' || true
((errors == 0)) || fail "lintian found errors"
((lintian_status == 0)) || fail "lintian did not run: $(cat "$work/lintian.log")"

tree=$work/root
dpkg-deb -x "$deb" "$tree"
usr=$tree/usr
desktop-file-validate "$usr/share/applications/org.quobel.Quobel.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic --explain \
    "$usr/share/metainfo/org.quobel.Quobel.metainfo.xml" || fail "appstreamcli validate"
# The tree as a software centre reads it: the metainfo, its menu entry and its icons together.
appstreamcli validate-tree --no-net "$tree" || fail "appstreamcli validate-tree"
for page in quobel quobel-inspect; do
    # groff's warnings are what a reader would see as broken formatting.
    problems=$(zcat "$usr/share/man/man1/$page.1.gz" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
    [[ -z "$problems" ]] || fail "manual page $page.1: $problems"
done

answer=$("$usr/bin/quobel-inspect" --version)
[[ "$answer" == "quobel-inspect $version" ]] || fail "quobel-inspect --version said '$answer'"
echo "$answer"

# The packaged program under Xvfb with a window manager, on the demo's account and server. Its
# own temporary folder keeps its single-instance socket apart from any other Quobel running.
start_xvfb || fail "Xvfb did not start"
start_openbox || fail "openbox did not start"
# Help > Contents hands the help's address to the desktop's opener; this one writes it down.
mkdir -p "$work/tmp" "$work/opener"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$work/opened" >"$work/opener/xdg-open"
chmod +x "$work/opener/xdg-open"
env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
    PATH="$work/opener:$PATH" QUOBEL_DEMO_DIR="$work/demo" TMPDIR="$work/tmp" \
    "$root/scripts/demo.sh" "$usr/bin/quobel" >"$work/demo.log" 2>&1 &
pids+=($!)
inbox="$work/demo/data/Orvane Software/Quobel/mailbox/Inbox"
python3 "$root/scripts/make-demo-mail.py" "$work/samples"
expected=$(find "$work/samples" -type f | wc -l)
filed=0
for _ in $(seq 240); do
    if [[ -f "$inbox/box.dat" ]]; then
        filed=$("$usr/bin/quobel-inspect" mailbox "$inbox" 2>/dev/null |
            python3 -c 'import json,sys; print(len(json.load(sys.stdin)["Items"]))' 2>/dev/null || echo 0)
        [[ "$filed" -ge "$expected" ]] && break
    fi
    sleep 0.5
done
running=$(pgrep -f -x "$usr/bin/quobel" || true)
echo "the packaged program filed $filed of $expected sample messages"
if [[ "$filed" -ne "$expected" || -z "$running" ]]; then
    cat "$work/demo.log" >&2
    fail "the packaged program did not start and check the demo account"
fi

# The help the packaged program opens is the one it installed.
window=$(xdotool search --onlyvisible --name '^Quobel$' | head -n1)
[[ -n "$window" ]] || fail "no main window on the screen"
xdotool windowactivate --sync "$window"
xdotool key --clearmodifiers alt+h
sleep 0.5
xdotool key --clearmodifiers c
wanted="file://$usr/share/quobel/Quobel.html"
for _ in $(seq 100); do
    [[ -s "$work/opened" ]] && break
    sleep 0.1
done
opened=$(cat "$work/opened" 2>/dev/null || true)
echo "Help > Contents opened ${opened:-nothing}"
[[ "$opened" == "$wanted" ]] || fail "Help > Contents should open $wanted"
[[ -s "$usr/share/quobel/Quobel.html" ]] || fail "the help is not in the package"
[[ -s "$usr/share/quobel/translations/quobel_de.qm" ]] || fail "the German translation is not in the package"
