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

source scripts/test-env.sh
# Window and end-to-end tests wait on frames and screenshots; one that fails on a busy machine gets one
# more try, and a fault fails both. A window test counts as two processors and an end-to-end test as
# three; much of their time goes to waiting on the game's clock, so even two cores run two window tests at
# once, or an end-to-end test beside a plain one.
jobs=$(nproc)
((jobs >= 4)) || jobs=4
bash scripts/with-display.sh ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 600 \
    --repeat until-pass:2
bash scripts/fuzz.sh "$build"
