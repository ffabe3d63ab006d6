#!/usr/bin/env bash
# Runs the built game on the current (virtual) display for a while, capturing the screen every second,
# then closes its window. Usage: scripts/play-headless.sh BUILD_DIR SHOTS_DIR SECONDS
set -euo pipefail
build=$1
shots=$2
seconds=$3

(cd "$build/demo" && exec "$build/quillmere") &
game=$!
window=""
for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name '^The Quillmere$' 2>/dev/null | head -n 1 || true)
    [[ -n "$window" ]] && break
    kill -0 "$game" 2>/dev/null || { echo "The game ended before its window appeared." >&2; exit 1; }
    sleep 0.1
done
[[ -n "$window" ]] || { echo "The game's window did not appear." >&2; kill "$game"; exit 1; }

for second in $(seq -w 1 "$seconds"); do
    sleep 1
    import -window root "$shots/shot-$second.png"
done
"$build/close_window" "$window"
wait "$game"
