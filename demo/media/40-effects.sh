#!/usr/bin/env bash
# The picture of the demo's particles: one soft round spot, white and opaque in the middle, fading to
# black and nothing at its rim (so it looks alike added or blended); each particle tints it with its colour.
set -euo pipefail
out="$DEMO_OUT/data/common"
mkdir -p "$out"
convert -size 64x64 radial-gradient:white-black -alpha copy "PNG32:$out/particle_soft.png"
