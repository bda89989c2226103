#!/usr/bin/env python3
"""Writes src/framework/text/PresentationForms.inc and its table for people,
docs/presentation-forms.md: each Arabic presentation form whose
compatibility decomposition is made only of characters code page 1256 holds (a space among
them excluded: a mark alone on a space is not a letter), with the bytes it stands for.
Run from the repository's root; the table follows the Unicode data Python ships."""
import unicodedata

def cp1256(code):
    try:
        return chr(code).encode("cp1256")
    except UnicodeEncodeError:
        return None

rows = []
for code in list(range(0xFB50, 0xFE00)) + list(range(0xFE70, 0xFF00)):
    parts = unicodedata.decomposition(chr(code)).split()
    if not parts:
        continue
    parts = parts[1:] if parts[0].startswith("<") else parts
    pieces = [int(p, 16) for p in parts]
    if 0x20 in pieces:
        continue
    encoded = [cp1256(p) for p in pieces]
    if any(e is None for e in encoded):
        continue
    rows.append((code, b"".join(encoded)))

with open("src/framework/text/PresentationForms.inc", "w") as out:
    out.write("// Made by scripts/make-presentation-forms.py from the Unicode data of version "
              f"{unicodedata.unidata_version}: do not edit.\n")
    out.write("// {presentation form, the code page bytes of its compatibility decomposition}\n")
    line = []
    for code, data in rows:
        escaped = "".join(f"\\x{b:02X}" for b in data)
        line.append(f'{{0x{code:04X}, "{escaped}"}},')
        if len(line) == 4:
            out.write(" ".join(line) + "\n")
            line = []
    if line:
        out.write(" ".join(line) + "\n")

with open("docs/presentation-forms.md", "w") as out:
    out.write("# Arabic presentation forms the control takes by meaning\n\n")
    out.write("Made by `scripts/make-presentation-forms.py` from the Unicode data of version "
              f"{unicodedata.unidata_version}. Each form becomes the letters of its compatibility "
              "decomposition when code page 1256 holds every one of them; any other form has no "
              "place ([text-conversion.md](text-conversion.md)).\n\n")
    out.write("| form | name | becomes | code page bytes |\n|---|---|---|---|\n")
    for code, data in rows:
        letters = data.decode("cp1256")
        shown = " ".join(f"U+{ord(ch):04X}" for ch in letters)
        out.write(f"| U+{code:04X} | {unicodedata.name(chr(code)).lower()} | {shown} | "
                  + " ".join(f"{b:02X}" for b in data) + " |\n")
