"""The help screens and the manual page name the same keys: every key in the
help's key lists is a tag in the manual's KEYS section, and the reverse.
Usage: keys_agree.py SOURCE_DIR (exit 0 when they agree, 1 with the keys
one of them lacks)."""

import os
import re
import sys

# Names the help shortens to fit its key column, and names that stand for
# several keys.
ALIASES = {"Bksp": ["Backspace"], "Arrows": ["Up", "Down", "Left", "Right"],
           "Arrow keys": ["Up", "Down", "Left", "Right"]}


def keys_of(name):
    """The keys one entry names: "U, Bksp, Ctrl+Z", "0 1 2 3", "0 to 9"."""
    keys = set()
    for part in (p.strip() for p in name.split(",")):
        span = re.fullmatch(r"(\d) to (\d)", part)
        if span:
            keys.update(str(d) for d in range(int(span.group(1)), int(span.group(2)) + 1))
        elif re.fullmatch(r"\d( \d)+", part):
            keys.update(part.split())
        elif part:
            keys.update(ALIASES.get(part, [part]))
    return keys


def help_keys(info_cpp):
    """The key column of every help line after the first page titled KEYS."""
    source = open(info_cpp, encoding="utf-8").read()
    pages = source[source.index("HELP_PAGES"):]
    pages = pages[:pages.index("};")]
    lines = re.findall(r'"((?:[^"\\]|\\.)*)"', pages)
    keys = set()
    in_keys = False
    for line in lines:
        in_keys = in_keys or "KEYS" in line
        if in_keys and "\\t" in line:
            keys |= keys_of(line.split("\\t")[0])
    return keys


def manual_keys(page):
    """The tags of the .TP entries in the manual's KEYS section."""
    text = open(page, encoding="utf-8").read()
    section = re.search(r"^\.SH KEYS\n(.*?)^\.SH ", text, re.S | re.M).group(1).splitlines()
    keys = set()
    for i, line in enumerate(section):
        if line == ".TP" and i + 1 < len(section):
            tag = re.sub(r"^\.[A-Z]+ ?", "", section[i + 1])
            tag = tag.replace('"', "").replace("\\-", "-").replace("\\(", "(")
            keys |= keys_of(tag)
    return keys


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    in_help = help_keys(os.path.join(root, "src", "ui", "info.cpp"))
    in_manual = manual_keys(os.path.join(root, "dist", "zorbl.6"))
    ok = bool(in_help) and bool(in_manual)
    for keys, missing_from in ((in_help - in_manual, "the manual page (dist/zorbl.6, KEYS)"),
                               (in_manual - in_help, "the help (src/ui/info.cpp)")):
        if keys:
            print("keys missing from %s: %s" % (missing_from, ", ".join(sorted(keys))))
            ok = False
    if not in_help or not in_manual:
        print("no keys found in the help or the manual page: has its layout changed?")
    if ok:
        print("the help and the manual page name the same %d keys" % len(in_help))
    return 0 if ok else 1


sys.exit(main())
