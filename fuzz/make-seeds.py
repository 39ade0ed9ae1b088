#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/. Run again after changing it; the files are kept
in the repository so that the fuzzers and the replay test need no generator."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTHS = [16, 16, 32, 32, 16, 16]


def record(*fields):
    out = b""
    for width, text in zip(WIDTHS, list(fields) + [b""] * (6 - len(fields))):
        out += text[:width].ljust(width, b"\0")
    return out


def tel(records, count=None, places=None, signature=b"\x55\xAA\x68\x68", reserved5=0):
    count = len(records) if count is None else count
    places = len(records) if places is None else places
    header = signature + bytes([count, reserved5]) + b"\0" * 506
    body = b"".join(records) + b"\0" * (128 * (places - len(records)))
    return header + body


def write(folder, name, data):
    path = os.path.join(HERE, "corpus", folder)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), "wb") as f:
        f.write(data)


li = record(b"Li", b"123")
gbk = [record(b"\xC4\xE3\xBA\xC3", b"13800138000"), record(b"\xB0\x41"), record(b"\xB0\x61"),
       record(b"b\xB0\xA1")]
# Leftover bytes after terminators, a 16-byte name without one, an empty name, repeats.
tricky = [record(b"Mom\0xander", b"1\0" + b"9" * 14), record(b"Mom", b"2"),
          record(b"abcdefghijklmnop", b"0123456789012345", b"t" * 32, b"e" * 32, b"q" * 16,
                 b"f" * 16),
          record(b""), record(b"mom", b"3"), record(b"  ")]

write("tel", "one-contact-640", tel([li]))
write("tel", "one-contact-full", tel([li], places=200))
write("tel", "count-zero", tel([], count=0, places=1))
write("tel", "count-3-of-10", tel([li] * 10, count=3))
write("tel", "count-250-in-1024", tel([li] * 4, count=250))
write("tel", "gbk-names", tel(gbk, places=8, reserved5=1))
write("tel", "gbk-names-without-leads", tel(gbk, places=8))
write("tel", "repeats-and-leftovers", tel(tricky, places=10, reserved5=1))
write("tel", "two-hundred", tel([record(b"n%03d" % i, b"%d" % i) for i in range(200)]))
write("tel", "bad-signature", tel([li], signature=b"\x55\xAA\x68\x69"))
write("tel", "size-700", tel([li]) + b"\0" * 60)
write("tel", "size-26240", tel([li], places=201))
write("tel", "too-short", b"\x55\xAA\x68\x68")
write("tel", "empty", b"")
