#!/usr/bin/env bash
# The in-game menu's pictures and their materials, each in a flat colour of its own so that a test tells
# them apart on the screen: the drawn pointer for each pointer word (an arrow), the hotspot marker for
# each interaction mode (a disc; "none" clear), the pillarbox bars, the darkening behind the hotspot hint,
# the dialog panel's back, the hardware cursors of the pointer words, the items' icons and the party's
# portraits.
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
# The dialog panel: dark blue-grey and half transparent, so white lines stand out over any scene.
convert -size 4x4 xc:'rgba(16,16,40,0.6)' "$textures/dialog_back.png"
material gui/dialog_back dialog_back.png

# The items' icons in the inventory and at the pointer (the item manager makes their materials): the key,
# gold, and once polished ("_shiny") turquoise; the cloth, a raspberry square. The middle of each is its
# colour.
key() { # colour file
    convert -size 64x64 xc:none -fill "$1" -stroke black -draw 'circle 20,32 20,18' \
        -draw 'rectangle 30,29 58,35' -draw 'rectangle 50,35 56,44' -define dds:compression=none "$2"
}
key '#ffd700' "$DEMO_OUT/data/chapter1/icon_items_key.dds"
key '#40e0d0' "$DEMO_OUT/data/chapter1/icon_items_key_shiny.dds"
convert -size 64x64 xc:none -fill '#b03070' -stroke black -draw 'rectangle 4,4 59,59' \
    -define dds:compression=none "$DEMO_OUT/data/chapter1/icon_items_cloth.dds"

# The party's portraits (the party view makes their materials): per character a plain picture, a brighter
# one while the player controls the character ("_active") and a pale one under the mouse ("_selected").
portraits() { # character plain active selected
    convert -size 64x64 xc:"$2" "$DEMO_OUT/data/common/icon_$1.tga"
    convert -size 64x64 xc:"$3" "$DEMO_OUT/data/common/icon_$1_active.tga"
    convert -size 64x64 xc:"$4" "$DEMO_OUT/data/common/icon_$1_selected.tga"
}
portraits characters_hero '#203c80' '#3c8cff' '#b0d0ff'
portraits characters_keeper '#603000' '#ff8000' '#ffd0a0'
