"""Reads Orvalen's window through AT-SPI, as a screen reader does, and checks that each edit,
the name list and the count are named by their written labels. Exit status 0 when they are.
Run by scripts/test-accessibility.sh with Debian's python3-pyatspi."""
import sys
import time

import pyatspi

# The name each control should have, by its role; every one must be present.
EXPECTED_TEXTS = {"Name:", "Mobile:", "Telephone:", "E_mail:", "QQ:", "FAX:", "Total(0-200):"}
EXPECTED_LISTS = {"Name Preview:"}


def find_window(deadline):
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "Orvalen" and app.childCount > 0:
                return app
        time.sleep(0.2)
    return None


def walk(node, found):
    for child in node:
        if child is None:
            continue
        role = child.getRole()
        if role in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY):
            found["text"].append(child.name)
        elif role in (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX):
            found["list"].append(child.name)
        walk(child, found)


def main():
    app = find_window(time.monotonic() + float(sys.argv[1] if len(sys.argv) > 1 else 20))
    if app is None:
        print("FAIL: no application named Orvalen on the accessibility bus")
        return 1
    found = {"text": [], "list": []}
    walk(app, found)
    failed = False
    for kind, expected in (("text", EXPECTED_TEXTS), ("list", EXPECTED_LISTS)):
        names = found[kind]
        unnamed = [name for name in names if not name]
        missing = sorted(expected - set(names))
        if unnamed or missing:
            print(f"FAIL: {kind} controls {names}; unnamed {len(unnamed)}, missing {missing}")
            failed = True
        else:
            print(f"PASS: every {kind} control named: {names}")
    return 1 if failed else 0


sys.exit(main())
