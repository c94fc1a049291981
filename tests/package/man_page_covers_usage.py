#!/usr/bin/env python3
"""Every command, option and keyword that quobel-inspect's usage lists is in its manual page.

    man_page_covers_usage.py QUOBEL_INSPECT MANUAL_PAGE
"""
import re
import subprocess
import sys

inspect, manual_page = sys.argv[1], sys.argv[2]
usage = subprocess.run([inspect, "--help"], capture_output=True, text=True, check=True).stdout
with open(manual_page, encoding="utf-8") as page_file:
    # roff writes a hyphen-minus as "\-".
    page = page_file.read().replace("\\-", "-")

# Lower-case words are what a user types; upper-case ones (FILE, N) stand for values.
wanted = []
for line in usage.splitlines():
    match = re.match(r"\s*quobel-inspect (\S+)(.*)", line)
    if match:
        wanted.append(match.group(1))
        wanted += re.findall(r"(?:(?<=\s)|(?<=\[)|(?<=\|))(-{0,2}[a-z][a-z0-9-]*)", match.group(2))
if len(wanted) < 10:
    sys.exit(f"quobel-inspect --help listed too little to be its usage:\n{usage}")

missing = sorted({word for word in wanted
                  if not re.search(r"(?<![\w-])" + re.escape(word) + r"(?![\w-])", page)})
if missing:
    sys.exit(f"{manual_page} does not mention: {', '.join(missing)}")
print(f"{len(set(wanted))} commands, options and keywords of the usage are in the manual page")
