#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and UndefinedBehaviorSanitizer,
# runs every test (window tests under Xvfb), then gives each fuzz target a short run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/check-format.sh

build=build/test
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUILLMERE_SANITIZE=ON -DQUILLMERE_WERROR=ON -DQUILLMERE_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

# alloc_dealloc_mismatch is off: OGRE 1.12.10 frees codec pixels with delete[] that its STBI codec took
# with malloc.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:alloc_dealloc_mismatch=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
bash scripts/with-display.sh ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 600
bash scripts/fuzz.sh "$build"
