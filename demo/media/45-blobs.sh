#!/usr/bin/env bash
# The blob shadow under a character's feet: dark in the middle, fading to white at the rim. The shadow's
# quads multiply the frame by it, so white leaves the ground as it is.
set -euo pipefail
out="$DEMO_OUT/data/chapter1"
mkdir -p "$out"
convert -size 64x64 'radial-gradient:rgb(40,40,40)-white' -type TrueColor "TGA:$out/blob01.tga"
