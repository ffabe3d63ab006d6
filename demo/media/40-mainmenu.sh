#!/usr/bin/env bash
# The pictures of the main menu and the loading screens, in flat colours so that a look at the screen
# tells one part from another: an open book painted on a table (the menu's backdrop, in four tiles, with a
# warm glow), its leather cover, the arrows of the save lists, the first chapter's picture, and the loading
# page's background tiles, bar and illustration.
set -euo pipefail
out="$DEMO_OUT/data/interface/textures"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The backdrop of 2000 x 1500 (on a square of 2048): the table, the book's binding and its two pages. The
# pages lie where the camera sees the page meshes: the spine at x 1000, each page 443 wide, 505 to 995
# high (a world unit at the book is 7.91 backdrop units).
convert -size 2048x2048 'xc:rgb(45,28,18)' \
    -fill 'rgb(80,30,22)' -draw 'rectangle 537,485 1463,1015' \
    -fill 'rgb(232,220,190)' -draw 'rectangle 557,505 997,995' -draw 'rectangle 1003,505 1443,995' \
    -fill 'rgb(150,130,100)' -draw 'rectangle 998,505 1002,995' \
    "PNG24:$work/backdrop.png"
for tile in "01 +0+0" "02 +1024+0" "03 +0+1024" "04 +1024+1024"; do
    read -r number offset <<<"$tile"
    convert "$work/backdrop.png" -crop "1024x1024$offset" +repage \
        -define dds:compression=none -define dds:mipmaps=0 "$out/menu_back$number.dds"
done

# The glow of the flickering light, added to the backdrop's top left corner.
convert -size 256x256 radial-gradient:'rgb(110,70,25)'-black \
    -define dds:compression=none -define dds:mipmaps=0 "$out/menu_lightmap01.dds"

# The cover: dark red leather with a golden frame.
convert -size 256x288 'xc:rgb(120,45,30)' -fill none -stroke 'rgb(200,160,60)' -strokewidth 6 \
    -draw 'rectangle 24,24 231,263' "PNG24:$out/menu_cover.png"

# The arrows, each pointing its way: brown, and green under the mouse.
for state in "normal rgb(60,40,20)" "selected rgb(0,200,0)"; do
    read -r name colour <<<"$state"
    for arrow in "rauf 32,6 58,58 6,58" "runter 6,6 58,6 32,58" "links 6,32 58,6 58,58" "rechts 6,6 58,32 6,58"; do
        read -r direction a b c <<<"$arrow"
        convert -size 64x64 xc:none -fill "$colour" -draw "polygon $a $b $c" \
            "PNG32:$out/mm_pfeil_${direction}_$name.png"
    done
done

# The first chapter's picture: the tower hall with its window and doorway.
convert -size 256x192 'xc:rgb(138,122,102)' \
    -fill 'rgb(107,68,35)' -draw 'rectangle 0,134 255,191' \
    -fill 'rgb(40,30,25)' -draw 'rectangle 115,80 140,133' \
    -fill 'rgb(48,96,208)' -draw 'rectangle 172,32 210,70' \
    "PNG24:$out/chapter_illu_chapter1.png"

# The loading screen's background: parchment, dark at its edges, in four tiles.
convert -size 1024x1024 radial-gradient:'rgb(225,205,160)'-'rgb(120,90,50)' "PNG24:$work/loading.png"
for tile in "1 +0+0" "2 +512+0" "3 +0+512" "4 +512+512"; do
    read -r number offset <<<"$tile"
    convert "$work/loading.png" -crop "512x512$offset" +repage "PNG24:$out/loading_bg$number.png"
done

# The loading bar: only its top shows on the page.
convert -size 256x256 xc:none -fill 'rgb(150,90,40)' -draw 'rectangle 0,0 255,30' "PNG32:$out/loading_bar.png"

# The loading page's illustration: the hall in a frame over the page's upper part; the rest lets the
# page's texts through.
convert -size 512x512 xc:none -fill 'rgb(90,60,30)' -draw 'rectangle 56,40 455,380' \
    \( "$out/chapter_illu_chapter1.png" -resize 384x288! \) -geometry +64+48 -composite \
    "PNG32:$out/chapter1_illu.png"
