#!/usr/bin/env bash
# Gives every fuzz target of a fuzz-enabled build a short run from its seeds, several targets at a time.
# Inputs may grow to half a megabyte, so that the XML targets reach documents as large and as deeply nested
# as a damaged save or settings file; each XML corpus holds such a deep seed.
# Usage: scripts/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=${2:-${FUZZ_SECONDS:-10}}
export FUZZ_MAX_LEN=${FUZZ_MAX_LEN:-524288}
# What OGRE itself leaks is known to the tests' leak suppressions.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}

run_target() {
    local target=$1 seconds=$2 name work status=0
    name=$(basename "$target" _fuzz)
    work=$(mktemp -d)
    local seeds=()
    [[ -d fuzz/corpus/$name ]] && seeds=("fuzz/corpus/$name")
    "$target" -max_total_time="$seconds" -max_len="$FUZZ_MAX_LEN" -print_final_stats=0 "$work" "${seeds[@]}" \
        >"$work.log" 2>&1 || status=$?
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
