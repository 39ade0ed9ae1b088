#!/usr/bin/env bash
# Cross-builds Orvalen.exe (the window on the Windows API), orvalen-tel.exe and the test suites
# (the window's among them) for 64-bit Windows with mingw-w64, runs the suites under Wine,
# then a few conversions by orvalen-tel.exe as a Chinese Windows user makes them (ANSI code page
# 936), drives the window from the keyboard (scripts/test-win32-window.sh), and makes
# orvalen-<version>-windows-x64.zip with both programs and a short read-me, and the installer
# orvalen-<version>-setup.exe with the same three files (win32/Installer.nsi), which it installs
# and uninstalls under Wine (scripts/test-win32-installer.sh). Installs what is missing first.
#   ORVALEN_WINDOWS_BUILD   build folder (default build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
root=$PWD
build="${ORVALEN_WINDOWS_BUILD:-build-windows}"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" "${launcher[@]}" \
    -DORVALEN_BUILD_GUI=OFF -DORVALEN_GTEST_SOURCE_DIR=/usr/src/googletest
cmake --build "$build" --parallel 2

# A Wine of its own, thrown away at the end; no Mono or Gecko, no debug chatter.
scratch=$(mktemp -d)
# Nor does Wine export associations or menu entries of its own into the Linux desktop.
export WINEPREFIX="$scratch/wine" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
wineboot --init >/dev/null 2>&1 || true
# Until the prefix's server has ended: Wine's desktop takes the display it finds at its start,
# and the window's test below needs the one xvfb-run gives.
wineserver -w

# ctest starts each suite through Wine (the toolchain file names it as the emulator), on a
# display of its own for the window's test. Wine's file calls are slow: the model test runs a
# tenth of its sequences (the Linux suites run all).
ORVALEN_MODEL_SEQUENCES=300 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
    ctest --test-dir "$build" --output-on-failure --parallel 2

# orvalen-tel.exe as a Chinese user runs it: zh_CN makes Wine's ANSI code page 936 (GBK).
# Wine reads the locale's name; it need not be installed.
program="$PWD/$build/tools/orvalen-tel.exe"
tel() {
    LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 wine "$program" "$@"
}
work="$scratch/conversions"
mkdir -p "$work"
cd "$work"
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三\r\nTEL;TYPE=CELL:13800138000\r\nEND:VCARD\r\n' \
    > contacts.vcf
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nTEL;TYPE=CELL:13900139000\r\nEND:VCARD\r\n' \
    > 联系人.vcf

# The name of the first record, the 16 bytes after the 512-byte header.
first_name() {
    od -An -tx1 -j512 -N16 "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'
}
expect_name() {
    local file=$1 expected=$2 actual
    actual=$(first_name "$file")
    if [ "$actual" != "$expected" ]; then
        echo "$file: first name is $actual, expected $expected" >&2
        exit 1
    fi
    echo "$file: first name $actual"
}
zero12="00 00 00 00 00 00 00 00 00 00 00 00"

tel --version
tel convert contacts.vcf Tel_Save.tel
expect_name Tel_Save.tel "d5 c5 c8 fd $zero12"   # 张三 in GBK
tel check Tel_Save.tel
# Saving over the file that is there replaces it.
tel convert 联系人.vcf Tel_Save.tel
expect_name Tel_Save.tel "c0 ee cb c4 $zero12"   # 李四 in GBK
# Chinese file names, read and written.
tel convert 联系人.vcf 电话本.tel
expect_name 电话本.tel "c0 ee cb c4 $zero12"
tel convert --encoding GBK 电话本.tel 联系人.csv
grep -q 李四 联系人.csv
tel show 电话本.tel > report.txt
grep -q "Mobile: 13900139000" report.txt
# An explicit code page wins over the system's: UTF-8 names.
tel convert --encoding UTF-8 contacts.vcf utf8.tel
expect_name utf8.tel "e5 bc a0 e4 b8 89 00 00 00 00 00 00 00 00 00 00"
echo "Windows build: suites and conversions passed"

# The window, from the keyboard, in a display of its own and the same Wine.
cd "$root"
ORVALEN_WINEPREFIX="$WINEPREFIX" bash scripts/test-win32-window.sh "$build/win32/Orvalen.exe"

# The zip for Windows users: both programs and the read-me, with Windows line ends.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip="orvalen-$version-windows-x64.zip"
staging="$scratch/zip"
mkdir -p "$staging"
cp "$build/win32/Orvalen.exe" "$build/tools/orvalen-tel.exe" "$staging/"
sed "s/@VERSION@/$version/; s/\$/\r/" win32/ReadMe.txt >"$staging/ReadMe.txt"
rm -f "$zip"
(cd "$staging" && cmake -E tar cf "$root/$zip" --format=zip Orvalen.exe orvalen-tel.exe ReadMe.txt)
echo "$zip: $(stat -c %s "$zip") bytes; Orvalen.exe $(stat -c %s "$build/win32/Orvalen.exe") bytes"

# The installer, of the same files, and its test in the same Wine.
setup="orvalen-$version-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DFILES="$staging" \
    -DICON="$root/res/orvalen.ico" -DOUTFILE="$root/$setup" win32/Installer.nsi
ORVALEN_WINEPREFIX="$WINEPREFIX" bash scripts/test-win32-installer.sh "$setup"
echo "$setup: $(stat -c %s "$setup") bytes"
