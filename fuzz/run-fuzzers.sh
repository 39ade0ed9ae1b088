#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60), starting from
# the seed corpora in fuzz/corpus/. Fails on any finding: a crash, a sanitizer report, a broken
# property, a leak or a timeout. Findings are kept in build-fuzz/artifacts/; turn each into a
# regression input under fuzz/regressions/<target>/ (the replay test runs those).
#   FUZZ_PARALLEL=N   targets run N at a time (default 1)
#   FUZZ_SEED=N       libFuzzer's seed (default 1, so that a run, CI's too, can be repeated;
#                     0 picks a new one each run, for exploring by hand)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
parallel="${FUZZ_PARALLEL:-1}"
seed="${FUZZ_SEED:-1}"
build=build-fuzz

cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel 2

# target name, seed folder, largest input: a .tel file is at most 26112 bytes, one record more
# must still be tried. The shared vCard samples, where present, seed the vCard reader too.
targets=(
    "tel_load_fuzzer tel 26240"
)
if [ -x "$build/vcard_read_fuzzer" ]; then targets+=("vcard_read_fuzzer vcard 8192"); fi
if [ -x "$build/csv_read_fuzzer" ]; then targets+=("csv_read_fuzzer csv 8192"); fi

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:allocator_may_return_null=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

run_one() {
    local name=$1 seeds=$2 max_len=$3
    local corpus="$build/corpus/$seeds" artifacts="$build/artifacts/$seeds" log="$build/logs/$name.log"
    mkdir -p "$corpus" "$artifacts" "$build/logs"
    local status=0
    # New inputs go to the build's corpus; the repository's seeds are only read.
    "$build/$name" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
        -seed="$seed" -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "fuzz/corpus/$seeds" \
        $(if [ -d "../shared/samples/$seeds" ]; then echo "../shared/samples/$seeds"; fi) \
        >"$log" 2>&1 || status=$?
    local coverage execs
    coverage=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [^ ]+' || true)
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ "$status" -ne 0 ]; then
        echo "FUZZ FINDING in $name (exit $status); the input is in $artifacts/:" >&2
        grep -E 'ERROR|property broken|SUMMARY|runtime error|Test unit written' "$log" | head -20 >&2 || true
        echo "full log: $log" >&2
        return 1
    fi
    echo "fuzz $name: ${execs:-?} executions in ${seconds}s, ${coverage:-no coverage line}, no finding"
}

failed=0
pids=()
for entry in "${targets[@]}"; do
    # shellcheck disable=SC2086
    run_one $entry &
    pids+=($!)
    if [ "${#pids[@]}" -ge "$parallel" ]; then
        wait "${pids[0]}" || failed=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do
    wait "$pid" || failed=1
done
exit "$failed"
