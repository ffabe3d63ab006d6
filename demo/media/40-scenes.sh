#!/usr/bin/env bash
# The textures of the chapter's 3D locations: the grass the yard's shadows fall on, the cookies that the
# spot lights throw (a window's panes, branches), and the plain white cookie of a spot without one. The
# cookies lie in the game's data beside the spot-lit material, which finds its textures in its own group.
set -euo pipefail
chapter="$DEMO_OUT/data/chapter1"
common="$DEMO_OUT/data/common"
mkdir -p "$chapter" "$common"

convert -size 8x8 xc:white "PNG24:$common/no_cookie.png"

# Four panes in a frame: light through the glass, none through the bars.
convert -size 64x64 xc:black -fill white \
    -draw 'rectangle 6,6 29,29' -draw 'rectangle 34,6 57,29' \
    -draw 'rectangle 6,34 29,57' -draw 'rectangle 34,34 57,57' \
    "PNG24:$common/window_cookie.png"

# Light between branches.
convert -size 64x64 xc:white -fill black -stroke black -strokewidth 5 \
    -draw 'line 0,10 63,40' -draw 'line 20,63 45,0' -draw 'line 0,50 30,30' \
    "PNG24:$common/branch_cookie.png"

# Fresh grass, lighter than the yard's picture so that its patch can be told apart.
convert -size 64x64 'xc:rgb(90,190,70)' "PNG24:$chapter/grass.png"
