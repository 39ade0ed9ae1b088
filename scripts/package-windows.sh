#!/usr/bin/env bash
# Makes orvalen-<version>-windows-x64.zip: Orvalen.exe and orvalen-tel.exe, cross-built with
# mingw-w64 and statically linked, and a short read-me. Before packing, the window is tested
# under Wine (scripts/test-win32-window.sh). Installs what is missing first.
#   bash scripts/package-windows.sh [BUILD_FOLDER]
# A build folder that already holds both programs (as scripts/build-windows.sh leaves it) is
# used as it is; otherwise the two programs are built there (default build-windows).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
build="${1:-build-windows}"
if [ ! -f "$build/win32/Orvalen.exe" ] || [ ! -f "$build/tools/orvalen-tel.exe" ]; then
    launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" -DORVALEN_BUILD_GUI=OFF \
        -DORVALEN_BUILD_TESTS=OFF
    cmake --build "$build" --parallel 2 --target Orvalen
    bash scripts/test-win32-window.sh "$build/win32/Orvalen.exe"
    cmake --build "$build" --parallel 2 --target orvalen-tel
else
    bash scripts/test-win32-window.sh "$build/win32/Orvalen.exe"
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip="orvalen-$version-windows-x64.zip"
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
cp "$build/win32/Orvalen.exe" "$build/tools/orvalen-tel.exe" "$staging/"
# Windows' Notepad of old shows a file with bare line feeds as one line.
sed "s/@VERSION@/$version/; s/\$/\r/" win32/ReadMe.txt >"$staging/ReadMe.txt"
rm -f "$zip"
(cd "$staging" && cmake -E tar cf "$OLDPWD/$zip" --format=zip Orvalen.exe orvalen-tel.exe ReadMe.txt)
echo "$zip: $(stat -c %s "$zip") bytes; Orvalen.exe $(stat -c %s "$build/win32/Orvalen.exe") bytes"
