#!/usr/bin/env python3
"""Checks that strings/TrafficTranslation.cpp lists exactly the texts that traffic/ and
hart/LinkResultName.cpp hand to their translate hook: lupdate reads only that list, so a
text changed at its source but not there would quietly stay English.

usage: check_traffic_texts.py SOURCE_DIR
"""
import pathlib
import re
import sys

LITERALS = re.compile(r'((?:"(?:[^"\\]|\\.)*"\s*)+)')
PIECE = re.compile(r'"((?:[^"\\]|\\.)*)"')
# Kept as written: the diagnosis keys of the JSON output, HART's variable names and the
# hex trace's preamble count.
KEPT = {"silent", "echo_only", "noise", "corrupt", "other_address", "busy",
        "PV", "SV", "TV", "QV", "FF\u00d7"}


def literals(text):
    """Each string literal, adjacent pieces joined and escapes read, outside comments and
    #include lines."""
    text = re.sub(r"//[^\n]*|^\s*#\s*include[^\n]*", "", text, flags=re.M)
    for match in LITERALS.finditer(text):
        joined = "".join(PIECE.findall(match.group(1)))
        yield joined.encode("latin-1", "backslashreplace").decode("unicode_escape")


def main():
    root = pathlib.Path(sys.argv[1])
    listing = (root / "strings" / "TrafficTranslation.cpp").read_text(encoding="utf-8")
    listed = set()
    for call in re.finditer(r'QT_TRANSLATE_NOOP\(\s*"Traffic",\s*((?:"(?:[^"\\]|\\.)*"\s*)+)\)',
                            listing):
        listed.update(literals(call.group(1)))
    # HART's own names (commands, units, response codes) stay English on purpose.
    sources = [path for path in sorted((root / "traffic").glob("*.cpp"))
               if path.name != "HartNames.cpp"] + [root / "hart" / "LinkResultName.cpp"]
    used = set()
    faults = []
    for path in sources:
        for text in literals(path.read_text(encoding="utf-8")):
            words = re.sub(r"%[-+ #0-9.*hlLqjzt]*[A-Za-z%]", "", text)
            if not re.search(r"[A-Za-z]{2}", words) or text in KEPT:
                continue
            used.add(text)
            if text not in listed:
                faults.append(f"{path.relative_to(root)}: not in the translation list: {text!r}")
    faults += [f"strings/TrafficTranslation.cpp: no source uses {text!r}"
               for text in sorted(listed - used)]
    for fault in faults:
        print(fault)
    print(f"{len(used)} texts checked, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
