#!/usr/bin/env python3
"""Makes a program's string table, ids header and portable text table from its one list.

make_strings.py LIST OUT_DIR writes OUT_DIR/string_ids.h, OUT_DIR/strings.rc and
OUT_DIR/strings.cpp. A list line is: NUMBER NAME "TEXT", TEXT with C escapes (\\ and \").
"""
import re
import sys

LINE = re.compile(r'^(\d+)\s+([A-Z_][A-Z0-9_]*)\s+"((?:[^"\\]|\\.)*)"\s*$')


def read(path):
    rows, numbers, names = [], set(), set()
    for lineno, line in enumerate(open(path, encoding="latin-1"), 1):
        line = line.rstrip("\r\n")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        m = LINE.match(line)
        if not m:
            sys.exit(f"{path}:{lineno}: expected NUMBER NAME \"TEXT\"")
        number, name, text = int(m[1]), m[2], m[3]
        if number in numbers or name in names:
            sys.exit(f"{path}:{lineno}: {number} or {name} given twice")
        numbers.add(number)
        names.add(name)
        rows.append((number, name, text))
    return sorted(rows)


def write_if_changed(path, text):
    try:
        if open(path, encoding="latin-1").read() == text:
            return
    except FileNotFoundError:
        pass
    open(path, "w", encoding="latin-1", newline="\n").write(text)


def main():
    list_path, out = sys.argv[1], sys.argv[2]
    rows = read(list_path)
    made = f"// Made by cmake/make_strings.py from {list_path.split('/src/')[-1]}; edit the list, not this.\n"
    write_if_changed(f"{out}/string_ids.h", made + "#pragma once\n\n" +
                     "".join(f"#define {name} {number}\n" for number, name, _ in rows))
    # windres reads C escapes inside strings but writes a quote as two quotes.
    write_if_changed(f"{out}/strings.rc", made + "STRINGTABLE\nBEGIN\n" +
                     "".join(f'  {number} "{text.replace(chr(92) + chr(34), chr(34) * 2)}"\n'
                             for number, _, text in rows) + "END\n")
    write_if_changed(f"{out}/strings.cpp", made + '#include "common/strings.h"\n\n'
                     "namespace {\n\nstruct Entry {\n  int id;\n  const char* text;\n};\n\n"
                     "constexpr Entry kTexts[] = {\n" +
                     "".join(f'    {{{number}, "{text}"}},\n' for number, _, text in rows) +
                     "};\n\n}  // namespace\n\n"
                     "const char* StringText(int id) {\n"
                     "  for (const Entry& entry : kTexts)\n"
                     "    if (entry.id == id) return entry.text;\n"
                     '  return "";\n}\n')


main()
