#!/usr/bin/env bash
# Gives every fuzz target of a fuzz-enabled build a short run from its seeds, several targets at a time.
# Usage: scripts/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=${2:-${FUZZ_SECONDS:-15}}

run_target() {
    local target=$1 seconds=$2 name work status=0
    name=$(basename "$target" _fuzz)
    work=$(mktemp -d)
    local seeds=()
    [[ -d fuzz/corpus/$name ]] && seeds=("fuzz/corpus/$name")
    "$target" -max_total_time="$seconds" -print_final_stats=0 "$work" "${seeds[@]}" >"$work.log" 2>&1 || status=$?
    if [[ $status -ne 0 ]]; then
        tail -n 40 "$work.log"
        echo "fuzz $name: FAILED"
    else
        echo "fuzz $name: ${seconds}s clean"
    fi
    rm -rf "$work" "$work.log"
    return $status
}
export -f run_target

shopt -s nullglob
targets=("$build"/fuzz/*_fuzz)
[[ ${#targets[@]} -eq 0 ]] && exit 0
printf '%s\n' "${targets[@]}" | xargs -P "$(nproc)" -I{} bash -c 'run_target "$1" "$2"' _ {} "$seconds"
