#!/usr/bin/env bash
# Builds the benchmarks in Release into build/bench (a folder of their own) and runs them all, one after
# another, under a private Xvfb screen for those that open a window. Each repeats its benchmarks with
# their runs interleaved at random, shows medians and prints its ratios against its peer or floor last.
# Then the start-up benchmark, and at the end every ratio of the run once more, together.
# Usage: scripts/bench.sh [NAME_FILTER]   (e.g. scripts/bench.sh navmesh)
set -euo pipefail
cd "$(dirname "$0")/.."
# Qt SCXML is the state-chart benchmark's peer; no other build needs it.
bash scripts/setup.sh qt6-scxml-dev
build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_TESTS=OFF -DQUILLMERE_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
filter=${1:-}
output=$(mktemp)
ratios=$(mktemp)
trap 'rm -f "$output" "$ratios"' EXIT
shopt -s nullglob
for program in "$build"/bench/*_bench; do
    name=$(basename "$program")
    [[ -z "$filter" || "$name" == *"$filter"* ]] || continue
    echo "=== $name"
    (cd "$build/bench" && ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null} bash ../../../scripts/with-display.sh "./$name") |
        tee "$output"
    { grep '^ratio ' "$output" || true; } | sed "s/^/$name: /" >>"$ratios"
done
if [[ -z "$filter" || "startup" == *"$filter"* ]]; then
    echo "=== startup"
    bash scripts/bench-startup.sh
fi
if [[ -s "$ratios" ]]; then
    echo "=== ratios"
    cat "$ratios"
fi
