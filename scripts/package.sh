#!/usr/bin/env bash
# Builds Orvalen and orvalen-tel in Release with Debian's hardening flags and makes the Debian
# package orvalen_<version>_amd64.deb in the repository's top folder, then checks it with
# lintian and the desktop entry and AppStream metadata with their validators.
#   ORVALEN_PACKAGE_BUILD   build folder (default build-package)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${ORVALEN_PACKAGE_BUILD:-build-package}"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Only what the package holds: no tests, and "install" does not build every target first.
# Debian's -O2 rather than CMake's -O3, at which GCC 12 warns falsely about string copies.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS_RELEASE="-DNDEBUG" \
    -DORVALEN_BUILD_TESTS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" --parallel 2 --target Orvalen orvalen-tel orvalen_package_files
(cd "$build" && cpack -G DEB)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="orvalen_${version}_amd64.deb"
cp "$build/$deb" .

# The checks run on what the package holds, not on the sources.
contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
desktop-file-validate "$contents"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml
# lintian's exit status is 1 only for errors (and above).
lintian --fail-on error --tag-display-limit 0 --display-info "$deb" | tee "$build/lintian.log"
echo "lintian: $(grep -c '^E:' "$build/lintian.log" || true) errors, $(grep -c '^W:' "$build/lintian.log" || true) warnings"
echo "Built $deb"
