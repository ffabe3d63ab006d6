#!/usr/bin/env bash
# The in-game menu's pictures and their materials, each in a flat colour of its own so that a test tells
# them apart on the screen: the drawn pointer for each pointer word (an arrow), the hotspot marker for
# each interaction mode (a disc; "none" clear), the pillarbox bars, the darkening behind the hotspot hint,
# the hardware cursors of the pointer words, and the key's icons.
set -euo pipefail
interface="$DEMO_OUT/data/interface"
textures="$interface/textures"
materials="$interface/materials/gui.material"
mkdir -p "$textures" "$(dirname "$materials")"

# name picture: a material showing the picture unlit, blended by its alpha, pixel for pixel.
material() {
    cat >>"$materials" <<MATERIAL
material $1
{
    technique
    {
        pass
        {
            lighting off
            depth_check off
            scene_blend alpha_blend
            texture_unit
            {
                texture $2
                tex_address_mode clamp
                filtering none
            }
        }
    }
}

MATERIAL
}

: >"$materials"
# Pointer words and their colours; the same words name the markers.
declare -A colours=(
    [none]='#ff00ff' [leave]='#00ffff' [wait]='#ffff00' [use]='#00ff00' [take]='#ff8000'
    [selected]='#0080ff' [skip]='#808080' [used_by]='#ff0000' [talk]='#8000ff'
)
for word in "${!colours[@]}"; do
    convert -size 32x32 xc:none -fill "${colours[$word]}" -stroke black -strokewidth 1 \
        -draw 'polygon 1,1 1,25 7,19 12,30 17,28 12,18 20,18' "$textures/mp_$word.png"
    material "gui/mp_$word" "mp_$word.png"
    "$DEMO_TOOLS/demo_make_cursor" "$textures/mp_$word.cur" 32
    "$DEMO_TOOLS/demo_make_cursor" "$textures/mp_${word}_small.cur" 24
    if [[ $word == none ]]; then
        convert -size 32x32 xc:none "$textures/hs_none.png"
    else
        convert -size 32x32 xc:none -fill "${colours[$word]}" -stroke white -strokewidth 2 \
            -draw 'circle 16,16 16,3' "$textures/hs_$word.png"
    fi
    material "gui/hs_$word" "hs_$word.png"
done

convert -size 4x4 xc:black "$textures/pillarbox.png"
material gui/pillarbox pillarbox.png
convert -size 4x4 xc:'rgba(0,0,0,0.5)' "$textures/dimout.png"
material dimout dimout.png

# The key's icons in the inventory and at the pointer (the item manager makes their materials).
convert -size 64x64 xc:none -fill '#ffd700' -stroke black -draw 'circle 20,32 20,18' \
    -draw 'rectangle 30,29 58,35' -draw 'rectangle 50,35 56,44' -define dds:compression=none \
    "$DEMO_OUT/data/chapter1/icon_items_key.dds"
