#!/usr/bin/env bash
# Lays out the demo game's working folder: the text data from demo/ plus the media made from it.
# Media come from the scripts in demo/media/, run in name order with DEMO_OUT (the laid-out folder),
# DEMO_SOURCE (demo/) and DEMO_TOOLS (the folder of the built demo tools) set; then every OGRE XML mesh
# and skeleton of the folder is converted to its binary form.
# Usage: scripts/assemble-demo.sh SOURCE_DEMO_DIR OUTPUT_DIR TOOLS_DIR
set -euo pipefail
source_dir=$(cd "$1" && pwd)
output=$2
tools=$(cd "$3" && pwd)

rm -rf "$output"
mkdir -p "$output"
cp -a "$source_dir"/. "$output"/
rm -rf "$output/tools" "$output/media" "$output/CMakeLists.txt"
output=$(cd "$output" && pwd)

# Folders the program adds as resource locations, also when they hold nothing yet.
for folder in interface/materials interface/textures common sound video screensaver \
    lang/de/movies lang/de/interface; do
    mkdir -p "$output/data/$folder"
done

for script in "$source_dir"/media/*.sh; do
    DEMO_OUT=$output DEMO_SOURCE=$source_dir DEMO_TOOLS=$tools bash "$script" \
        || { echo "demo media: $(basename "$script") failed" >&2; exit 1; }
done

# Meshes and skeletons live as OGRE XML in the repository; the game reads the binary forms.
while IFS= read -r -d '' xml; do
    OgreXMLConverter -q -log /dev/null "$xml" "${xml%.xml}" >/dev/null || { echo "demo media: cannot convert $xml" >&2; exit 1; }
    rm -f "$xml"
done < <(find "$output" \( -name '*.mesh.xml' -o -name '*.skeleton.xml' \) -print0 | sort -z)
