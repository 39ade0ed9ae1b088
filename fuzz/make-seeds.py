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

# vCard: the versions, folding, quoted-printable, charsets, several cards, a card without a name.
write("vcard", "v30-full.vcf",
      b"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Li Lei\r\nN:Li;Lei;;;\r\nTEL;TYPE=CELL:13800138000\r\n"
      b"TEL;TYPE=WORK,VOICE:0755-1234567\r\nTEL;TYPE=FAX:0755-7654321\r\n"
      b"EMAIL;TYPE=INTERNET:li@example.cn\r\nIMPP:qq:10001\r\nEND:VCARD\r\n")
write("vcard", "v21-qp-gb.vcf",
      b"BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=GB2312;ENCODING=QUOTED-PRINTABLE:=C0=EE;=C0=D7\r\n"
      b"TEL;CELL;PREF:139=\r\n00139000\r\nX-QQ:12345\r\nEND:VCARD\r\n")
write("vcard", "v40-folded-two.vcf",
      "BEGIN:VCARD\nVERSION:4.0\nFN:\u5f20\u4e09\u6bd4\u8f83\u957f\u7684\u540d\u5b57\u5f20\u4e09"
      "\u6bd4\u8f83\u957f\u7684\u540d\u5b57\u5f20\u4e09\u6bd4\u8f83\n \u957f\u7684\u540d\u5b57\n"
      "TEL;VALUE=uri;TYPE=\"voice,cell\":tel:+86-138-0013-8000\nEND:VCARD\n"
      "BEGIN:VCARD\nVERSION:4.0\nN:Smith;John;Q;;\nEMAIL:j\\,s@x.org\nEND:VCARD\n".encode())
write("vcard", "no-name.vcf", b"BEGIN:VCARD\r\nVERSION:3.0\r\nTEL:1\r\nEND:VCARD\r\n")
write("vcard", "bom-utf16.vcf", "\ufeffBEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nEND:VCARD\r\n"
      .encode("utf-16-le"))
write("vcard", "unterminated.vcf", b"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Half")

# CSV: this program's own columns, Google's and Outlook's headers, quotes, separators, GB18030.
write("csv", "own.csv", "\ufeffName,Mobile,Telephone,E-mail,QQ,Fax\r\n"
      "Li,138,0755,li@x.cn,10001,0755-2\r\n\"Wang, Jr\",\"1\"\"2\",,,,\r\n".encode())
write("csv", "google.csv", b"Name,Given Name,Family Name,Phone 1 - Type,Phone 1 - Value,"
      b"E-mail 1 - Value\nZhang San,San,Zhang,Mobile,13900000000,z@x.cn\n")
write("csv", "outlook-semicolon.csv", b"First Name;Last Name;Mobile Phone;Business Fax\n"
      b"John;Smith;123;456\n\"Multi\nLine\";X;;\n")
write("csv", "gb18030-tabs.csv", "\u59d3\u540d\t\u624b\u673a\n\u674e\u96f7\t138\n"
      .encode("gb18030"))
write("csv", "no-name-column.csv", b"Phone,Fax\n1,2\n")
write("csv", "open-quote.csv", b"Name,Mobile\n\"unterminated,1\n")
