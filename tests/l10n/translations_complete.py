#!/usr/bin/env python3
"""Checks the translations against the program's texts.

lupdate (scripts/update-translations.sh) is run on a temporary copy of every translations/*.ts:
a text it adds (a new English text without its translation), an entry left unfinished and an
entry whose text has left the program all fail, each named. Every translation keeps the %1, %2,
... of its source and its keyboard accelerator, and no string literal is handed to a widget's
text setter in src/ui without tr().

    translations_complete.py SOURCE_DIR
"""
import glob
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile

MESSAGE = re.compile(r"<message>(.*?)</message>", re.S)
CONTEXT = re.compile(r"<context>\s*<name>(.*?)</name>(.*?)</context>", re.S)


def decode(text):
    return html.unescape(text.replace('<byte value="xd"/>', "\r"))


def entries(ts_file):
    """(context, source, translation or None when unfinished) of every message."""
    found = []
    with open(ts_file, encoding="utf-8") as f:
        raw = f.read()
    for context in CONTEXT.finditer(raw):
        for message in MESSAGE.finditer(context.group(2)):
            body = message.group(1)
            source = decode(re.search(r"<source>(.*?)</source>", body, re.S).group(1))
            translation = re.search(r"<translation([^>]*)>(.*?)</translation>|<translation([^>]*)/>",
                                    body, re.S)
            attributes = (translation.group(1) or translation.group(3) or "") if translation else ""
            text = decode(translation.group(2) or "") if translation else ""
            done = translation is not None and "unfinished" not in attributes and \
                "vanished" not in attributes and "obsolete" not in attributes and text != ""
            found.append((decode(context.group(1)), source, text if done else None))
    return found


def placeholders(text):
    return sorted(set(re.findall(r"%[1-9]", text)))


def has_accelerator(text):
    return re.search(r"&(?!&|nbsp;|amp;)\S", text) is not None


def check_translation_files(root, failures):
    ts_files = sorted(glob.glob(os.path.join(root, "translations", "quobel_*.ts")))
    if not ts_files:
        failures.append("no translations/quobel_*.ts")
        return
    with tempfile.TemporaryDirectory() as work:
        copies = []
        for ts_file in ts_files:
            copy = os.path.join(work, os.path.basename(ts_file))
            shutil.copy(ts_file, copy)
            copies.append(copy)
        update = subprocess.run([os.path.join(root, "scripts", "update-translations.sh")] + copies,
                                capture_output=True, text=True)
        if update.returncode != 0:
            failures.append("lupdate failed: " + update.stderr.strip())
            return
        for ts_file, copy in zip(ts_files, copies):
            name = os.path.basename(ts_file)
            kept = entries(ts_file)
            updated = entries(copy)
            in_program = {(c, s) for c, s, _ in updated}
            for context, source, translation in updated:
                if translation is None:
                    failures.append(f"{name}: no translation of {context}: {source!r}")
                    continue
                if placeholders(source) != placeholders(translation):
                    failures.append(f"{name}: {context}: {source!r} has the placeholders "
                                    f"{placeholders(source)}, its translation "
                                    f"{placeholders(translation)}")
                if has_accelerator(source) != has_accelerator(translation):
                    failures.append(f"{name}: {context}: {source!r} and its translation "
                                    f"{translation!r} differ in their accelerator")
            for context, source, _ in kept:
                if (context, source) not in in_program:
                    failures.append(f"{name}: {context}: {source!r} is no longer a text of the "
                                    "program (scripts/update-translations.sh removes it)")


# A literal with a letter handed straight to a setter of a text the user reads.
SETTERS = (r"setText|setWindowTitle|setToolTip|setStatusTip|setWhatsThis|setPlaceholderText|"
           r"setTitle|addMenu|addAction|addTab|insertTab|setTabText|addItem|addItems|addRow|"
           r"setHeaderLabels|addToolBar|information|warning|critical|question|showMessage|"
           r"QLabel|QPushButton|QCheckBox|QRadioButton|QGroupBox|QAction|QMenu")
RAW_LITERAL = re.compile(r"\b(?:" + SETTERS + r")\s*\(\s*(?:[^()\"]*,\s*)?\{?\s*"
                         r"(?:QStringLiteral\(|QString::fromUtf8\(|QString::fromLatin1\(|"
                         r"QLatin1String\()?\s*\"([^\"]*[A-Za-z][^\"]*)\"")


PROGRAM_NAMES = {"Quobel"}


def check_sources(root, failures):
    for path in sorted(glob.glob(os.path.join(root, "src", "ui", "**", "*.cpp"), recursive=True)):
        with open(path, encoding="utf-8") as f:
            text = f.read()
        for found in RAW_LITERAL.finditer(text):
            # The program's name and markup around translated parts are no texts to translate.
            if found.group(1) in PROGRAM_NAMES or found.group(1).startswith("<"):
                continue
            line = text.count("\n", 0, found.start()) + 1
            failures.append(f"{os.path.relpath(path, root)}:{line}: \"{found.group(1)}\" "
                            "reaches a widget without tr()")


def main():
    root = sys.argv[1]
    failures = []
    check_translation_files(root, failures)
    check_sources(root, failures)
    for failure in failures:
        print(failure)
    if failures:
        print(f"{len(failures)} translation fault(s)")
        return 1
    print("translations complete")
    return 0


if __name__ == "__main__":
    sys.exit(main())
