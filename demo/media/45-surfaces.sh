#!/usr/bin/env bash
# The pictures of the reflecting, refracting and lit surfaces: the light of a light shaft, the polished
# floor tile and the ripples of water.
set -euo pipefail
common="$DEMO_OUT/data/common"
chapter="$DEMO_OUT/data/chapter1"
mkdir -p "$common" "$chapter"

# A light shaft's default light: warm white in the middle, fading to black, black all round its rim (the
# slices show nothing outside the light's view).
convert -size 120x120 'radial-gradient:rgb(255,244,214)-black' -bordercolor black -border 4 \
    "PNG24:$common/lightshaft.png"

# Water ripples as slopes: red and green the slope across and along (0.5 flat), blue how much the surface
# faces up. Whole waves across the picture, so it repeats without a seam.
convert -size 128x128 xc: \
    -channel R -fx '0.5+0.3*sin(2*pi*(i/32+j/64))' \
    -channel G -fx '0.5+0.3*cos(2*pi*(j/32-i/64))' \
    -channel B -fx '0.75+0.25*sin(2*pi*(i/64+j/32))' +channel \
    "PNG24:$common/ripples.png"

# The polished tile: light stone, veined, partly see-through, so that what it mirrors shows over the floor.
convert -size 128x128 -seed 7 plasma:grey75-grey95 -modulate 100,0 -blur 0x1 \
    -stroke 'rgb(170,165,160)' -fill none -draw 'line 0,0 127,127' -draw 'line 0,127 127,0' \
    -alpha set -channel A -evaluate set 75% +channel \
    "PNG32:$chapter/polished_tile.png"
