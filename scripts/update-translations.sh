#!/usr/bin/env bash
# Brings the translations up to date with the program's texts: lupdate reads src/ (tr() in the
# user interface, USER_TEXT below it) and adds every new English text to each .ts file as
# unfinished, for a translator to fill in with Qt Linguist or an editor.
#   scripts/update-translations.sh [TS_FILE...]     (default: translations/quobel_*.ts)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lupdate=$(command -v lupdate || true)
[[ -n "$lupdate" ]] || lupdate=/usr/lib/qt6/bin/lupdate
if [[ ! -x "$lupdate" ]]; then
    echo "lupdate not found: scripts/install-deps.sh installs it (qt6-l10n-tools)" >&2
    exit 1
fi
if (($# == 0)); then
    set -- "$root"/translations/quobel_*.ts
fi
# No source locations: a moved line does not change the translations.
"$lupdate" -silent -no-obsolete -locations none -extensions cpp,h \
    -tr-function-alias QT_TRANSLATE_NOOP+=USER_TEXT "$root/src" -ts "$@"
