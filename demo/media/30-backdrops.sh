#!/usr/bin/env bash
# The pictures of the chapter's backdrops: the tower hall and the yard, drawn in flat colours so that a
# look at the screen tells one region from another, a torch of four frames, a glow and a branch.
set -euo pipefail
out="$DEMO_OUT/data/chapter1"
mkdir -p "$out"

# The hall: walls, floor, a pillar in front, a blue window and a doorway.
convert -size 800x600 'xc:rgb(138,122,102)' \
    -fill 'rgb(107,68,35)' -draw 'rectangle 0,420 799,599' \
    -fill 'rgb(40,30,25)' -draw 'rectangle 360,250 439,419' \
    -fill 'rgb(48,96,208)' -draw 'rectangle 540,100 659,219' \
    -fill 'rgb(80,80,80)' -draw 'rectangle 100,60 179,599' \
    "PNG24:$out/hall.png"

# The torch: four frames of 32 x 32, two in a row, each of its own colour.
convert -size 64x64 'xc:rgb(230,30,30)' \
    -fill 'rgb(30,200,30)' -draw 'rectangle 32,0 63,31' \
    -fill 'rgb(30,30,230)' -draw 'rectangle 0,32 31,63' \
    -fill 'rgb(230,230,30)' -draw 'rectangle 32,32 63,63' \
    "PNG24:$out/torch.png"

# The torch's flare: three frames of bright violet, then a blank one.
convert -size 64x64 xc:none \
    -fill 'rgb(250,40,250)' -draw 'rectangle 0,0 31,31' \
    -fill 'rgb(250,120,250)' -draw 'rectangle 32,0 63,31' \
    -fill 'rgb(220,60,220)' -draw 'rectangle 0,32 31,63' \
    "PNG32:$out/torch_flare.png"

# The light the torch throws on the wall: white in the middle, fading out.
convert -size 128x128 radial-gradient:white-black "PNG24:$out/glow.png"

# The yard: sky, grass and the tower with its doorway.
convert -size 800x600 'xc:rgb(120,180,235)' \
    -fill 'rgb(60,150,50)' -draw 'rectangle 0,300 799,599' \
    -fill 'rgb(150,140,130)' -draw 'rectangle 520,60 719,479' \
    -fill 'rgb(40,30,25)' -draw 'rectangle 590,360 649,479' \
    "PNG24:$out/yard.png"

# A branch that hangs into the yard's view, in front of everything.
convert -size 200x120 xc:none \
    -fill 'rgb(20,60,20)' -draw 'ellipse 60,30 70,22 0,360' -draw 'ellipse 150,50 50,18 0,360' \
    "PNG32:$out/yard_branch.png"
