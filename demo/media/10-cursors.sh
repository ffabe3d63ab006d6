#!/usr/bin/env bash
# The hardware cursors of the interface.
set -euo pipefail
textures="$DEMO_OUT/data/interface/textures"
"$DEMO_TOOLS/demo_make_cursor" "$textures/arrow.cur" 32
"$DEMO_TOOLS/demo_make_cursor" "$textures/arrow_small.cur" 24
