#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it on the demo data. Without a display it plays
# the game for a few seconds under Xvfb and saves screenshots.
# Usage: scripts/play.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

build=$PWD/build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_TESTS=OFF -DQUILLMERE_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

if [[ -n "${DISPLAY:-}" ]] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    cd "$build/demo"
    exec "$build/quillmere"
fi

shots="$build/screenshots"
rm -rf "$shots"
mkdir -p "$shots"
bash scripts/with-display.sh bash scripts/play-headless.sh "$build" "$shots" "${1:-8}"
echo "No display: the game ran under Xvfb. Screenshots are in $shots"
