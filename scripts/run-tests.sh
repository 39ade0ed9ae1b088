#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the ordinary build, the same
# suite again under AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzzer for a
# bounded time. Stops at the first failure.
#   ORVALEN_FUZZ_SECONDS   seconds per fuzz target (default 60; 0 skips fuzzing)
#   ORVALEN_SKIP_SANITIZE  set to 1 to skip the sanitizer stage
#   ORVALEN_SKIP_PACKAGE   set to 1 to skip building, installing and removing the Debian package
#   ORVALEN_SKIP_WINDOWS   set to 1 to skip the Windows build and its tests under Wine
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs=2
started=$SECONDS

stage() {
    echo
    echo "=== $* ($((SECONDS - started)) s so far)"
}

stage "Build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$jobs"
ctest --test-dir build --output-on-failure --parallel "$jobs" | tee build/ctest.log
bash scripts/check-translations.sh
bash scripts/test-accessibility.sh build/ui/Orvalen

stage "Saves onto FAT and exFAT mounted with FUSE"
bash scripts/test-fuse-saves.sh build

if [ "${ORVALEN_SKIP_SANITIZE:-0}" != 1 ]; then
    stage "Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVALEN_SANITIZE=ON
    cmake --build build-asan --parallel "$jobs"
    # The first report ends the test that made it; --stop-on-failure ends the run there.
    # Leaks are checked; lsan.supp names the few that belong to system libraries, not to us.
    ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1" \
    UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1" \
    LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
    ORVALEN_MODEL_SEQUENCES=1000 \
        ctest --test-dir build-asan --output-on-failure --parallel "$jobs" --stop-on-failure
fi

if [ "${ORVALEN_SKIP_PACKAGE:-0}" != 1 ]; then
    stage "Debian package: build, install, run from /usr/bin, file type, remove"
    bash scripts/package.sh
    deb=$(ls orvalen_*_amd64.deb)
    as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        as_root=(sudo)
    fi
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq \
        -o DPkg::Lock::Timeout=600 "./$deb"
    package_check=$(mktemp -d)
    /usr/bin/orvalen-tel --version
    /usr/bin/orvalen-tel convert --encoding GBK fuzz/corpus/vcard/v30-full.vcf \
        "$package_check/Tel_Save.tel"
    /usr/bin/orvalen-tel check "$package_check/Tel_Save.tel"
    # The desktop knows the player's file by its name and by its first bytes (55 AA 68 68), and
    # opens it in Orvalen (xdg-mime reads the shared MIME database through File::MimeInfo).
    printf '\x55\xaa\x68\x68\x00' >"$package_check/Tel_Expt.tel"
    head -c $((507 + 200 * 128)) /dev/zero >>"$package_check/Tel_Expt.tel"
    cp "$package_check/Tel_Expt.tel" "$package_check/export.bin"
    for file in Tel_Expt.tel export.bin; do
        file_type=$(xdg-mime query filetype "$package_check/$file")
        if [ "$file_type" != application/x-orvalen-phonebook ]; then
            echo "xdg-mime calls $file $file_type" >&2
            exit 1
        fi
    done
    opener=$(xdg-mime query default application/x-orvalen-phonebook)
    if [ "$opener" != org.orvalen.Orvalen.desktop ]; then
        echo "xdg-mime opens the phone book with '$opener'" >&2
        exit 1
    fi
    # The window runs until it is closed: still running after 3 s (status 124) is success,
    # alone and given the player's file as the desktop gives it (that the file is loaded then,
    # tests/ui/FileCommandsTest.cpp checks through the window).
    for opened in "" "$package_check/Tel_Expt.tel"; do
        window_status=0
        timeout 3 /usr/bin/Orvalen ${opened:+"$opened"} || window_status=$?
        if [ "$window_status" != 124 ]; then
            echo "Orvalen ${opened:-alone} from the package ended early with status" \
                "$window_status" >&2
            exit 1
        fi
    done
    rm -rf "$package_check"
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get remove -y -qq \
        -o DPkg::Lock::Timeout=600 orvalen
fi

if [ "${ORVALEN_SKIP_WINDOWS:-0}" != 1 ]; then
    stage "Windows: cross-build with mingw-w64, tests and conversions under Wine"
    bash scripts/build-windows.sh
fi

fuzz_seconds="${ORVALEN_FUZZ_SECONDS:-60}"
fuzz_figures=""
if [ "$fuzz_seconds" != 0 ]; then
    stage "Fuzz each target for $fuzz_seconds s"
    fuzz_figures=$(FUZZ_PARALLEL="$jobs" bash fuzz/run-fuzzers.sh "$fuzz_seconds")
    echo "$fuzz_figures"
fi

echo
echo "=== All passed in $((SECONDS - started)) s. Figures:"
cat build/figures/*.txt 2>/dev/null || true
if [ -d build-asan/figures ]; then
    sed 's/^/(sanitizers) /' build-asan/figures/*.txt 2>/dev/null || true
fi
if [ -n "$fuzz_figures" ]; then
    echo "$fuzz_figures" | grep '^fuzz ' || true
fi

# One plain closing line for whoever reads only the end of the log.
summary=$(grep -Eo '[0-9]+ tests failed out of [0-9]+' build/ctest.log | tail -n 1)
failed=$(echo "$summary" | awk '{print $1}')
total=$(echo "$summary" | awk '{print $NF}')
echo "ctest: $((${total:-0} - ${failed:-0})) passed, ${failed:-0} failed"
