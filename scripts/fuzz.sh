#!/usr/bin/env bash
# Gives every fuzz target of a fuzz-enabled build a short run from its seeds.
# Usage: scripts/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=${2:-${FUZZ_SECONDS:-15}}
shopt -s nullglob
for target in "$build"/fuzz/*_fuzz; do
    name=$(basename "$target" _fuzz)
    work=$(mktemp -d)
    seeds=(fuzz/corpus/"$name")
    [[ -d "${seeds[0]}" ]] || seeds=()
    echo "fuzz $name: ${seconds}s"
    "$target" -max_total_time="$seconds" -print_final_stats=0 "$work" "${seeds[@]}" >"$work.log" 2>&1 \
        || { tail -n 40 "$work.log"; echo "fuzz $name failed"; exit 1; }
    rm -rf "$work" "$work.log"
done
