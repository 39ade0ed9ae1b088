#!/usr/bin/env bash
# Builds the benchmarks in Release, runs them, and prints each figure against its floor.
# Exits non-zero when a ratio is above its goal. Extra arguments go to every benchmark program
# (Google Benchmark flags, e.g. --benchmark_repetitions=50).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${ORVALEN_BENCH_BUILD_DIR:-build-bench}
jobs=${ORVALEN_BENCH_JOBS:-2}

bash scripts/setup.sh

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DORVALEN_BUILD_BENCH=ON -DORVALEN_BUILD_TESTS=OFF >/dev/null
targets=(orvalen_bench_files orvalen_bench_interchange)
if grep -q '^build bench/orvalen_bench_startup:' "$build/build.ninja"; then
    targets+=(orvalen_bench_startup)
fi
cmake --build "$build" --parallel "$jobs" --target "${targets[@]}"

# The files go where a user's would: on the disk of the working tree, not in a memory folder.
scratch="$build/scratch"
mkdir -p "$scratch"
table=$(mktemp)
trap 'rm -f "$table"' EXIT

export ORVALEN_BENCH_DIR="$scratch"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
status=0
for target in "${targets[@]}"; do
    echo "== $target"
    "$build/bench/$target" --table="$table" "$@" || status=1
done

echo
echo "Machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
awk -F'\t' '
    BEGIN { printf "%-40s %12s %12s %8s %9s\n", "figure", "measured", "floor", "ratio", "goal" }
    { printf "%-40s %12s %12s %8s %9s%s\n", $1, $2, $3, $4, $5, ($6 == "ok" ? "" : "  ABOVE GOAL") }
    $6 != "ok" { above++ }
    END { if (above) printf "\n%d figure(s) above goal\n", above; else print "\nEvery figure at or under its goal" }
' "$table"
if grep -qv $'\tok$' "$table"; then
    status=1
fi
exit "$status"
