#!/usr/bin/env python3
"""Prints the C++ initialisers of the standard linear barcode tables.

The tables in src/barcode/Code128.cpp, Code39.cpp, Code93.cpp and Codabar.cpp are
written from the reference tables measured from real tools and checked by real
readers (the project's shared data folder: code128-widths.txt, code39-patterns.txt,
code93-widths.txt, codabar-patterns.txt). Run it with that folder and paste the
output over the table bodies:

    tools/barcode/make_tables.py ../shared/data
"""
import sys
from pathlib import Path


def rows(path):
    for line in Path(path).read_text().splitlines():
        if line and not line.startswith("#"):
            yield line.split()


def char_literal(c):
    if c == "SP":
        c = " "
    if c in ("'", "\\"):
        return "'\\" + c + "'"
    return "'" + c + "'"


def chunks(items, n):
    for i in range(0, len(items), n):
        yield items[i:i + n]


def code128(folder):
    widths = [r[1] for r in rows(folder / "code128-widths.txt")]
    assert len(widths) == 107
    print("// Code 128: %d width strings, values 0..106" % len(widths))
    for part in chunks(widths, 8):
        print("    " + " ".join('"%s",' % w for w in part))


def code39(folder):
    table = list(rows(folder / "code39-patterns.txt"))
    assert len(table) == 44
    print("// Code 39: %d rows" % len(table))
    for _, ch, elements, value in table:
        print('    {%s, "%s", %s},' % (char_literal(ch), elements, 0 if value == "-" else value))


def code93(folder):
    table = [r for r in rows(folder / "code93-widths.txt") if r[0].isdigit()]
    assert len(table) == 47
    shift = {"($)": "[", "(%)": "]", "(/)": "{", "(+)": "}"}
    print("// Code 93: %d rows" % len(table))
    for part in chunks(table, 4):
        print("    " + " ".join('{%s, "%s"},' % (char_literal(shift.get(ch, ch)), w) for _, ch, w in part))


def codabar(folder):
    table = list(rows(folder / "codabar-patterns.txt"))
    assert len(table) == 20
    print("// Codabar: %d rows" % len(table))
    for part in chunks(table, 4):
        print("    " + " ".join('{%s, "%s"},' % (char_literal(ch), e) for _, ch, e in part))


if __name__ == "__main__":
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else "../shared/data")
    for make in (code128, code39, code93, codabar):
        make(folder)
        print()
