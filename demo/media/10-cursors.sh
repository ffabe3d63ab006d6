#!/usr/bin/env bash
# The hardware cursors of the interface.
set -euo pipefail
textures="$DEMO_OUT/data/interface/textures"
"$DEMO_TOOLS/demo_make_cursor" "$textures/arrow.cur" 32
"$DEMO_TOOLS/demo_make_cursor" "$textures/arrow_small.cur" 24
# A pair for each pointer word the in-game menu chooses, each in its own colour.
while read -r word colour; do
    "$DEMO_TOOLS/demo_make_cursor" "$textures/mp_$word.cur" 32 "$colour"
    "$DEMO_TOOLS/demo_make_cursor" "$textures/mp_${word}_small.cur" 24 "$colour"
done <<'WORDS'
none F2E6C8
leave 30C0F0
wait 808080
use 40D040
take F0C020
talk F06060
used_by C060F0
selected FFFFFF
skip 404040
WORDS
