#!/usr/bin/env bash
# Reads the Qt window through AT-SPI, a screen reader's view, and checks that each edit, the
# list and the count are named by their labels:
#   bash scripts/test-accessibility.sh build/ui/Orvalen
# The window runs on a virtual X display (xcb) inside a D-Bus session of its own, with the
# accessibility bus started; tests/accessibility/read_tree.py reads the tree with Debian's
# python3-pyatspi. Skips, saying why, where one of these is missing (scripts/setup.sh installs
# them).
set -euo pipefail
cd "$(dirname "$0")/.."

program=$(realpath "$1")
launcher=/usr/libexec/at-spi-bus-launcher
for needed in Xvfb dbus-run-session "$launcher" /usr/bin/python3; do
    if ! command -v "$needed" >/dev/null; then
        echo "SKIP: the accessibility test needs $needed"
        exit 0
    fi
done
if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
    echo "SKIP: the accessibility test needs python3-pyatspi"
    exit 0
fi

# Inside the session: the display, the accessibility bus, the window, then the reader.
export ORVALEN_PROGRAM=$program ORVALEN_LAUNCHER=$launcher
exec dbus-run-session -- bash -c '
set -euo pipefail
work=$(mktemp -d)
chmod 700 "$work"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(cat "$work/display")" XDG_RUNTIME_DIR=$work
"$ORVALEN_LAUNCHER" --launch-immediately >/dev/null 2>&1 &
pids+=($!)
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LC_ALL=C.UTF-8 "$ORVALEN_PROGRAM" 2>"$work/window.log" &
pids+=($!)
/usr/bin/python3 tests/accessibility/read_tree.py 20 || { cat "$work/window.log" >&2; exit 1; }
' 2> >(grep -v "Failed to set fd limit" >&2)
