#!/usr/bin/env python3
"""Writes the expected search folding of every character CP932 can hold, for the diary's
fold test: tests/diary/fold_expected.txt. Run once by hand when the folding rule changes;
the test itself needs no Python.

The rule: Unicode NFKC, then simple case folding, then katakana U+30A1..U+30F6 made
hiragana (minus 0x60). Characters are decoded with the system's iconv under the name CP932,
as the program does. Besides single characters, every character followed by a half-width
voiced or semi-voiced sound mark is listed where NFKC joins or reorders the two.
"""
import ctypes
import ctypes.util
import sys
import unicodedata

libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t),
                       ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t)]
CD = libc.iconv_open(b"UTF-32LE", b"CP932")


def decode(unit):
    """The unit's text as iconv gives it, or None when it is no CP932 character."""
    libc.iconv(CD, None, None, None, None)
    src = ctypes.create_string_buffer(unit, len(unit))
    dst = ctypes.create_string_buffer(64)
    sp = ctypes.c_char_p(ctypes.addressof(src))
    dp = ctypes.c_char_p(ctypes.addressof(dst))
    sl = ctypes.c_size_t(len(unit))
    dl = ctypes.c_size_t(64)
    r = libc.iconv(CD, ctypes.byref(sp), ctypes.byref(sl), ctypes.byref(dp), ctypes.byref(dl))
    if r == ctypes.c_size_t(-1).value or sl.value != 0:
        return None
    return dst.raw[:64 - dl.value].decode("utf-32-le")


def fold(text):
    out = []
    for c in unicodedata.normalize("NFKC", text):
        f = c.casefold()
        # Simple folding maps one character to one; the full folding Python offers differs
        # from it only where it gives several.
        if len(f) != 1:
            f = c.lower() if len(c.lower()) == 1 else c
        out.append(chr(ord(f) - 0x60) if 0x30A1 <= ord(f) <= 0x30F6 else f)
    return "".join(out)


def hexes(text):
    return " ".join("%04X" % ord(c) for c in text)


LEADS = set(range(0x81, 0xA0)) | set(range(0xE0, 0xFD))
TRAILS = list(range(0x40, 0x7F)) + list(range(0x80, 0xFD))
units = [bytes([b]) for b in range(256) if b not in LEADS]
units += [bytes([l, t]) for l in sorted(LEADS) for t in TRAILS]

valid = [(u, decode(u)) for u in units]
valid = [(u, s) for u, s in valid if s is not None]

# Only the half-width sound marks may join with what stands before them: no other
# character decomposes to something starting with a combining mark.
marks = {b"\xde", b"\xdf"}
for u, s in valid:
    first = unicodedata.normalize("NFKD", s)[:1]
    if first and unicodedata.combining(first) and u not in marks:
        sys.exit("unexpected combining start: " + u.hex())

lines = ["# Expected search folding of every CP932 character (tools/gen_fold_expected.py).",
         "# count N: characters iconv decodes; CODE<TAB>folded code points, listed where the",
         "# fold is not the character itself; pair CODE MARK<TAB>folded, where the mark joins.",
         "count %d" % len(valid)]
for u, s in valid:
    f = fold(s)
    if f != s:
        lines.append("%s\t%s" % (u.hex().upper(), hexes(f)))
for u, s in valid:
    for m in sorted(marks):
        joined = fold(s + decode(m))
        if joined != fold(s) + fold(decode(m)):
            lines.append("pair %s %s\t%s" % (u.hex().upper(), m.hex().upper(), hexes(joined)))
out = sys.argv[1] if len(sys.argv) > 1 else "tests/diary/fold_expected.txt"
with open(out, "w", encoding="ascii", newline="\n") as f:
    f.write("\n".join(lines) + "\n")
print(out, len(valid), "characters,", len(lines) - 4, "lines")
