#!/usr/bin/env bash
# Drives the Windows window (Orvalen.exe) under Wine from the keyboard, in a virtual X display
# with a window manager, and checks what it saves byte for byte:
#   bash scripts/test-win32-window.sh build-windows/win32/Orvalen.exe [SCREENSHOT_FOLDER]
# With a screenshot folder it also writes screenshot-win32-main.png and
# screenshot-win32-about.png there. Needs wine64, Xvfb, openbox, xdotool and xclip
# (scripts/setup.sh). Under zh_CN.UTF-8 Wine's ANSI code page is 936 (GBK).
set -euo pipefail

exe=$(realpath "$1")
shots=${2:+$(realpath "$2")}
started=$SECONDS
work=$(mktemp -d)
pids=()

cleanup() {
    wineserver -k 2>/dev/null || true
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    # What the screen showed, for whoever reads the log of a failed run.
    if [ -n "${ORVALEN_FAILURE_SCREENSHOT:-}" ] && [ -n "${DISPLAY:-}" ]; then
        import -window root "$ORVALEN_FAILURE_SCREENSHOT" 2>/dev/null || true
    fi
    exit 1
}
pass() {
    echo "PASS: $*"
}

# --- The display, its window manager and Wine.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

# No key bindings: Alt+Space must reach the window, whose system menu it opens.
cat >"$work/openbox.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew></focus>
  <keyboard></keyboard>
  <mouse></mouse>
</openbox_config>
EOF
openbox --config-file "$work/openbox.xml" >"$work/openbox.log" 2>&1 &
pids+=($!)
# The window manager is up once it names the current desktop.
for _ in $(seq 100); do
    xdotool get_desktop >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool get_desktop >/dev/null 2>&1 || fail "openbox did not start: $(cat "$work/openbox.log")"

# A Wine prefix of its own, or the one ORVALEN_WINEPREFIX names (scripts/build-windows.sh).
export WINEPREFIX="${ORVALEN_WINEPREFIX:-$work/prefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
wineserver -w

# --- Expected files, written out byte by byte.
# field TEXT WIDTH: TEXT (printf escapes) and zero bytes up to WIDTH.
field() {
    printf "$1"
    head -c $(($2 - $(printf "$1" | wc -c))) /dev/zero
}
# A .tel file: header with the count, then records of name and mobile (the other four fields
# empty), then empty records up to 200.
tel_file() {
    local count=$(($# / 2))
    printf '\x55\xaa\x68\x68'
    printf "\\x$(printf %02x "$count")"
    head -c 507 /dev/zero
    while [ $# -gt 0 ]; do
        field "$1" 16
        field "$2" 16
        head -c 96 /dev/zero
        shift 2
    done
    head -c $(((200 - count) * 128)) /dev/zero
}

# same_bytes SAVED EXPECTED: on a difference, shows the first differing bytes (offset, octal).
same_bytes() {
    cmp "$1" "$2" && return 0
    cmp -l "$1" "$2" | head -n 8 >&2 || true
    return 1
}

# --- Driving the window.
app_pid=
window=
start_window() { # start_window LANG
    # Wine reads the code page from LC_ALL's name even where that locale is not installed.
    (cd "$work" && LANG=$1 LC_ALL=$1 exec wine "$exe") >/dev/null 2>&1 &
    app_pid=$!
    window=$(timeout 60 xdotool search --sync --name '^Orvalen$' | head -n 1) ||
        fail "no window titled Orvalen within 60 s"
    # Keys go to the active window: make it so, and make sure.
    for _ in $(seq 20); do
        xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] && break
        sleep 0.25
    done
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] || fail "the window did not become active"
    sleep 0.5
}
keys() {
    xdotool key --delay 80 "$@"
}
repeat() { # repeat N KEY
    local list=()
    for _ in $(seq "$1"); do
        list+=("$2")
    done
    keys "${list[@]}"
}
# Text outside ASCII does not go through xdotool's keys: Wine reads a key remapped for it too
# late, or not at all, and characters go missing. It is pasted instead (Ctrl+V), through the X
# clipboard, which Wine shares with Windows programs.
type_text() {
    if LC_ALL=C grep -q '^[ -~]*$' <<<"$1"; then
        xdotool type --delay 80 "$1"
        return
    fi
    printf '%s' "$1" | xclip -selection clipboard -i 2>/dev/null
    sleep 0.3
    keys ctrl+v
    sleep 0.3
}
window_exists() {
    xdotool search --name "$1" >/dev/null 2>&1
}
wait_for_window() { # wait_for_window PATTERN WHAT
    timeout 20 xdotool search --sync --name "$1" >/dev/null || fail "$2 did not open"
}
wait_for_file() {
    for _ in $(seq 100); do
        [ -s "$1" ] && sleep 0.5 && return 0
        sleep 0.2
    done
    fail "nothing was saved to $1"
}
wait_for_exit() {
    for _ in $(seq 100); do
        kill -0 "$app_pid" 2>/dev/null || return 0
        sleep 0.2
    done
    fail "the window did not close"
}
screenshot() { # screenshot NAME
    if [ -n "$shots" ]; then
        sleep 0.5
        # -frame: with the window manager's title bar.
        import -frame -window "$window" "$shots/$1"
        echo "wrote $shots/$1"
    fi
}

# The focus starts on the name list; the tab order then runs Add, Delete, Clear, the count,
# Load, Save, Save As and the six fields. From Add the name field is 7 tabs on; from the mobile
# field Add is 8 tabs back; from Add, Save is 5 tabs on.
add_contact() { # add_contact TABS_TO_NAME NAME MOBILE
    repeat "$1" Tab
    type_text "$2"
    keys Tab
    type_text "$3"
    repeat 8 shift+Tab
    keys space
    sleep 0.3
}
save_as() { # save_as FILE (from the Add button)
    repeat 5 Tab
    keys space
    wait_for_window '^(Save As|另存为)$' "the save chooser"
    sleep 0.5
    type_text "Z:${1//\//\\}"
    keys Return
    wait_for_file "$1"
}

# --- In the default (Western) code page.
start_window C.UTF-8
pass "the window opens titled Orvalen"

add_contact 8 Bob 13800000001
add_contact 7 alice 13900000002
save_as "$work/two.tel"
tel_file 'alice' '13900000002' 'Bob' '13800000001' >"$work/two-expected.tel"
same_bytes "$work/two.tel" "$work/two-expected.tel" || fail "two contacts: saved bytes differ"
pass "two contacts added along the tab order and saved through the chooser, bytes as expected"

# From the Save button to the name field, where Enter pushes no button.
repeat 2 Tab
keys Escape
sleep 0.3
keys Return
sleep 1
window_exists '^Orvalen\*?$' && kill -0 "$app_pid" || fail "Escape or Enter closed the window"
pass "Escape and Enter leave the window open"

# The system menu: Wine adds its own About item above the separator; ours comes after it,
# followed by Undo and Redo, then Import and Export contacts.
keys alt+space
sleep 0.5
keys Up Up Up Up Up Return
wait_for_window '^关于 Orvalen$' "the About box"
pass "the system menu's About item opens the About box"
keys Escape
sleep 0.5
window_exists '^关于 Orvalen$' && fail "Escape did not close the About box"

# Ctrl+Z undoes the last Add (the name field has no typing of its own to undo): the title marks
# unsaved changes, and closing asks; Escape answers Cancel. Ctrl+Y brings the saved book back.
title_is() {
    [ "$(xdotool getwindowname "$window")" = "$1" ]
}
keys ctrl+z
sleep 0.5
title_is 'Orvalen*' || fail "Ctrl+Z did not undo the last command"
keys alt+F4
sleep 1
keys Escape
sleep 0.5
kill -0 "$app_pid" || fail "closing with unsaved changes did not ask"
keys ctrl+y
sleep 0.5
title_is 'Orvalen' || fail "Ctrl+Y did not redo the command"
pass "Ctrl+Z and Ctrl+Y undo and redo; closing with unsaved changes asks"

# Export from the system menu (its last item) writes the phone book as vCard 3.0 in list order.
keys alt+space
sleep 0.5
keys Up Return
wait_for_window '^(Save As|另存为)$' "the export chooser"
sleep 0.5
type_text "Z:${work//\//\\}\\two.vcf"
keys Return
wait_for_file "$work/two.vcf"
printf '%s\r\n' BEGIN:VCARD VERSION:3.0 FN:alice 'N:alice;;;;' TEL\;TYPE=CELL:13900000002 END:VCARD \
    BEGIN:VCARD VERSION:3.0 FN:Bob 'N:Bob;;;;' TEL\;TYPE=CELL:13800000001 END:VCARD \
    >"$work/two-expected.vcf"
# Each contact's UID is its own: only its presence is checked.
[ "$(grep -c '^UID:urn:uuid:' "$work/two.vcf")" = 2 ] || fail "export: a contact has no UID"
grep -v '^UID:' "$work/two.vcf" >"$work/two-exported.vcf"
same_bytes "$work/two-exported.vcf" "$work/two-expected.vcf" || fail "export: vCard bytes differ"
pass "the system menu's export writes the phone book as vCard, bytes as expected"

# Import from the system menu: the dialog opens with the new contact ticked, and Enter (OK)
# enters it as one undo step. Its title is in English, the language of our texts under C.UTF-8.
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Carol\r\nTEL;TYPE=CELL:13700000003\r\nEND:VCARD\r\n' \
    >"$work/carol.vcf"
keys alt+space
sleep 0.5
keys Up Up Return
wait_for_window '^(Open|打开)$' "the import chooser"
sleep 0.5
type_text "Z:${work//\//\\}\\carol.vcf"
keys Return
wait_for_window '^Import Contacts$' "the import dialog"
sleep 0.5
keys Return
sleep 1
window_exists '^Import Contacts$' && fail "OK did not close the import dialog"
title_is 'Orvalen*' || fail "the import changed nothing"
keys ctrl+z
sleep 0.5
title_is 'Orvalen' || fail "one Ctrl+Z did not undo the import"
pass "the system menu's import opens the import dialog; OK imports as one undo step"

keys alt+F4
wait_for_exit
pass "the saved phone book closes without a question"

# --- Under a Chinese desktop: the ANSI code page is 936, names are saved in GBK.
# Nine characters put into the 16-byte name field: the ninth is refused.
start_window zh_CN.UTF-8
add_contact 8 '张伟' 13912345678
add_contact 7 '李娜' 13687654321
add_contact 7 '张伟张伟张伟张伟张' 13700001111
add_contact 7 'Alice Chen' 13511112222
save_as "$work/gbk.tel"
tel_file 'Alice Chen' '13511112222' '\xc0\xee\xc4\xc8' '13687654321' \
    '\xd5\xc5\xce\xb0' '13912345678' \
    '\xd5\xc5\xce\xb0\xd5\xc5\xce\xb0\xd5\xc5\xce\xb0\xd5\xc5\xce\xb0' '13700001111' \
    >"$work/gbk-expected.tel"
same_bytes "$work/gbk.tel" "$work/gbk-expected.tel" || fail "Chinese names: saved bytes differ"
pass "under zh_CN.UTF-8 Chinese names are saved in GBK, a ninth character refused, bytes as expected"
screenshot screenshot-win32-main.png

if [ -n "$shots" ]; then
    keys alt+space
    sleep 0.5
    keys Up Up Up Up Up Return
    wait_for_window '^关于 Orvalen$' "the About box"
    about=$window
    window=$(xdotool search --name '^关于 Orvalen$' | head -n 1)
    screenshot screenshot-win32-about.png
    window=$about
    keys Escape
    sleep 0.5
fi

keys alt+F4
wait_for_exit
echo "Windows window under Wine: all passed in $((SECONDS - started)) s"
