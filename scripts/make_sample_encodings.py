#!/usr/bin/env python3
"""Writes the sample GEDCOM file in every character set the reader understands.

samples/family.ged (Windows-1252, "1 CHAR ANSI", CR LF) is the one file written by hand. This
script derives from it, with the same lines and only the CHAR value changed:

    family-utf8.ged     UTF-8 with byte-order mark          1 CHAR UTF-8
    family-utf16le.ged  UTF-16 little-endian with mark      1 CHAR UNICODE
    family-utf16be.ged  UTF-16 big-endian with mark         1 CHAR UNICODE
    family-utf32be.ged  UTF-32 big-endian with mark         1 CHAR UNICODE
    family-ansel.ged    ANSEL, no mark                      1 CHAR ANSEL

ANSEL writes an accented letter as its combining mark followed by the base letter (e acute is
0xE2 'e') and has single bytes for letters such as o-slash (0xB2), AE (0xA5) and sharp s (0xCF).
A character of the sample that ANSEL cannot express stops the script with an error.

Regenerate after editing samples/family.ged, from the repository's root:

    python3 scripts/make_sample_encodings.py

Only Python's standard library is used. tests/engine/sample_files_test.cpp checks that every
derived file pre-parses to the same lines as the Windows-1252 original.
"""

import pathlib
import sys
import unicodedata

SAMPLES = pathlib.Path(__file__).resolve().parent.parent / "samples"
SOURCE_CHARSET_LINE = "1 CHAR ANSI\r\n"

# ANSEL's own letters and signs, one byte each.
ANSEL_SPECIALS = {
    "Ł": 0xA1, "Ø": 0xA2, "Đ": 0xA3, "Þ": 0xA4, "Æ": 0xA5, "Œ": 0xA6, "·": 0xA8,
    "®": 0xAA, "±": 0xAB, "ł": 0xB1, "ø": 0xB2, "đ": 0xB3, "þ": 0xB4, "æ": 0xB5,
    "œ": 0xB6, "£": 0xB9, "ð": 0xBA, "°": 0xC0, "©": 0xC3, "¿": 0xC5, "¡": 0xC6,
    "ß": 0xCF,
}

# Unicode combining marks and the ANSEL mark byte written before the base letter.
ANSEL_MARKS = {
    "\u0300": 0xE1,  # grave
    "\u0301": 0xE2,  # acute
    "\u0302": 0xE3,  # circumflex
    "\u0303": 0xE4,  # tilde
    "\u0308": 0xE8,  # diaeresis
    "\u030C": 0xE9,  # caron
    "\u030A": 0xEA,  # ring above
    "\u0327": 0xF0,  # cedilla
}


def ansel_char(char: str) -> bytes:
    if ord(char) < 0x80:
        return char.encode("ascii")
    if char in ANSEL_SPECIALS:
        return bytes([ANSEL_SPECIALS[char]])
    decomposed = unicodedata.normalize("NFD", char)
    if len(decomposed) == 2 and ord(decomposed[0]) < 0x80 and decomposed[1] in ANSEL_MARKS:
        return bytes([ANSEL_MARKS[decomposed[1]]]) + decomposed[0].encode("ascii")
    raise ValueError(f"no ANSEL form for {char!r} (U+{ord(char):04X})")


def encode_ansel(text: str) -> bytes:
    return b"".join(ansel_char(c) for c in text)


def decode_ansel(data: bytes) -> str:
    """Reads back what encode_ansel wrote, to prove the encoding lossless."""
    specials = {byte: char for char, byte in ANSEL_SPECIALS.items()}
    marks = {byte: mark for mark, byte in ANSEL_MARKS.items()}
    out, i = [], 0
    while i < len(data):
        byte = data[i]
        if byte in marks:
            out.append(unicodedata.normalize("NFC", chr(data[i + 1]) + marks[byte]))
            i += 2
        else:
            out.append(specials.get(byte, chr(byte)))
            i += 1
    return "".join(out)


# (file name, CHAR value, encoder of the whole text including its byte-order mark)
TARGETS = [
    ("family-utf8.ged", "UTF-8", lambda t: b"\xef\xbb\xbf" + t.encode("utf-8")),
    ("family-utf16le.ged", "UNICODE", lambda t: b"\xff\xfe" + t.encode("utf-16-le")),
    ("family-utf16be.ged", "UNICODE", lambda t: b"\xfe\xff" + t.encode("utf-16-be")),
    ("family-utf32be.ged", "UNICODE", lambda t: b"\x00\x00\xfe\xff" + t.encode("utf-32-be")),
    ("family-ansel.ged", "ANSEL", encode_ansel),
]


def main() -> int:
    text = (SAMPLES / "family.ged").read_bytes().decode("cp1252")
    if text.count(SOURCE_CHARSET_LINE) != 1:
        print("family.ged must hold exactly one line '1 CHAR ANSI' ended by CR LF", file=sys.stderr)
        return 1
    for name, charset, encode in TARGETS:
        variant = text.replace(SOURCE_CHARSET_LINE, f"1 CHAR {charset}\r\n")
        data = encode(variant)
        if charset == "ANSEL" and decode_ansel(data) != variant:
            print("ANSEL encoding does not read back unchanged", file=sys.stderr)
            return 1
        (SAMPLES / name).write_bytes(data)
        print(f"wrote samples/{name} ({len(data)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
