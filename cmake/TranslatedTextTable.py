#!/usr/bin/env python3
"""Writes the Windows window's string tables of our texts in each language we translate to:
one LANGUAGE block per .ts file (Qt Linguist's translations, the ones the Qt window uses), each
text at the resource id the catalogue gives it (kTextIdBase + id). Run at build time:

    python3 cmake/TranslatedTextTable.py --catalogue app/Texts.h --output Translated.rc \\
        res/translations/orvalen_zh_Hans.ts res/translations/orvalen_zh_Hant.ts ...

The catalogue holds each text once as {id, QT_TRANSLATE_NOOP("Context", "text")}, one entry a
line; a text that shows a count is marked QT_TRANSLATE_N_NOOP, and a table holds one string for
each plural form of its language (English two, Chinese one): form k at kTextIdBase +
kTextFormStep * k + id, which win32/WinTexts.cpp chooses by the language's rule. A language's
table must hold every text: Windows loads a language's strings sixteen at a time and does not
look for a missing one elsewhere, so a text not translated (yet) is written as its source. No text may take an id from 96 to 111: those sixteen hold the written About item
(101), which a table of another language would hide. Exits 1, writing nothing, on a catalogue or
file it cannot read or an id it must refuse."""

import argparse
import re
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

# The translation file's name (by script), the Windows language it is loaded for, and how many
# plural forms the language has (as Qt's .ts files hold them).
LANGUAGES = {
    "zh_Hans": ("LANG_CHINESE", "SUBLANG_CHINESE_SIMPLIFIED", 1),
    "zh_Hant": ("LANG_CHINESE", "SUBLANG_CHINESE_TRADITIONAL", 1),
    "en": ("LANG_ENGLISH", "SUBLANG_ENGLISH_US", 2),
}
RESERVED = range(96, 112)

ENTRY = re.compile(
    r'\{\s*(\d+)\s*,\s*QT_TRANSLATE_(N_)?NOOP\d?\(\s*"((?:[^"\\]|\\.)*)"\s*,\s*'
    r'"((?:[^"\\]|\\.)*)"\s*\)\s*\}')
BASE = re.compile(r"kTextIdBase\s*=\s*(\d+)")
FORM_STEP = re.compile(r"kTextFormStep\s*=\s*(\d+)")


def unescape(text):
    """A C++ string literal's text; only the escapes the catalogue uses."""
    return re.sub(r'\\(["\\])', r"\1", text).replace("\\n", "\n")


def read_catalogue(path):
    """(base, form step, [(id, counted, context, text)]); the step is 0 where nothing is
    counted."""
    source = Path(path).read_text(encoding="utf-8")
    base = BASE.search(source)
    if base is None:
        raise ValueError(f"{path}: no kTextIdBase")
    step = FORM_STEP.search(source)
    entries = []
    seen = set()
    for match in ENTRY.finditer(source):
        number = int(match.group(1))
        if number in seen:
            raise ValueError(f"{path}: text id {number} is given twice")
        seen.add(number)
        counted = match.group(2) is not None
        if counted and step is None:
            raise ValueError(f"{path}: a counted text but no kTextFormStep")
        if step is not None and number >= int(step.group(1)):
            raise ValueError(f"{path}: text id {number} is not below kTextFormStep")
        entries.append((number, counted, unescape(match.group(3)), unescape(match.group(4))))
    if not entries:
        raise ValueError(f"{path}: no texts found")
    return int(base.group(1)), int(step.group(1)) if step else 0, entries


def read_translations(path):
    """(context, source) -> the finished translation's forms (one for a text not counted)."""
    translations = {}
    for context in ElementTree.parse(path).getroot().iter("context"):
        name = context.findtext("name", "")
        for message in context.iter("message"):
            translation = message.find("translation")
            if translation is None or translation.get("type") is not None:
                continue
            forms = [form.text or "" for form in translation.iter("numerusform")]
            if not forms:
                forms = [translation.text or ""]
            if all(forms):
                translations[(name, message.findtext("source", ""))] = forms
    return translations


def rc_string(text):
    escaped = text.replace("\\", "\\\\").replace('"', '""').replace("\n", "\\n")
    return f'"{escaped}"'


def language_of(path):
    match = re.search(r"_((?:zh_Hans|zh_Hant|en))\.ts$", Path(path).name)
    if match is None:
        raise ValueError(f"{path}: no language named by script in the file name "
                         f"({', '.join(LANGUAGES)})")
    return LANGUAGES[match.group(1)]


def table_lines(path, base, step, entries, forms):
    """The strings of one language: each text at its id, a counted one in each of the forms
    plural forms; a text not (yet) translated as its source."""
    translations = read_translations(path)
    strings = {}
    for number, counted, context, text in entries:
        translated = translations.get((context, text), [text])
        for form in range(forms if counted else 1):
            resource = base + step * form + number
            if resource in RESERVED:
                raise ValueError(f"\"{text}\" would take string id {resource}, among "
                                 f"{RESERVED.start}-{RESERVED.stop - 1}, which hold the About "
                                 f"item")
            strings[resource] = translated[min(form, len(translated) - 1)]
    return [f"    {resource} {rc_string(strings[resource])}" for resource in sorted(strings)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--catalogue", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("translations", nargs="+")
    args = parser.parse_args()
    try:
        base, step, entries = read_catalogue(args.catalogue)
        blocks = []
        for ts in args.translations:
            primary, sub, forms = language_of(ts)
            lines = table_lines(ts, base, step, entries, forms)
            blocks.append(f"LANGUAGE {primary}, {sub}\nSTRINGTABLE\nBEGIN\n" +
                          "\n".join(lines) + "\nEND\n")
    except (OSError, ValueError, ElementTree.ParseError) as error:
        print(f"TranslatedTextTable: {error}", file=sys.stderr)
        return 1
    written = ("// Written from the text catalogue and res/translations by "
               "cmake/TranslatedTextTable.py; not to be edited.\n#pragma code_page(65001)\n\n"
               "#include <winresrc.h>\n\n" + "\n".join(blocks))
    output = Path(args.output)
    # Unchanged texts leave the file alone, so nothing is rebuilt for them.
    if not output.exists() or output.read_text(encoding="utf-8") != written:
        output.write_text(written, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
