#!/usr/bin/env bash
# Lays out the demo game's working folder: the text data from demo/ plus the media made from it.
# Usage: scripts/assemble-demo.sh SOURCE_DEMO_DIR OUTPUT_DIR MAKE_CURSOR_TOOL
set -euo pipefail
source_dir=$1
output=$2
make_cursor=$3

rm -rf "$output"
mkdir -p "$output"
cp -a "$source_dir"/. "$output"/
rm -rf "$output/tools" "$output/CMakeLists.txt"

# Folders the program adds as resource locations, also when they hold nothing yet.
for folder in interface/materials interface/textures common sound video screensaver \
    lang/de/movies lang/de/interface; do
    mkdir -p "$output/data/$folder"
done

textures="$output/data/interface/textures"
"$make_cursor" "$textures/arrow.cur" 32
"$make_cursor" "$textures/arrow_small.cur" 24
