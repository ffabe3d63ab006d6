#!/usr/bin/env bash
# The game's teaser video ("StartMovie"): four seconds of 640 x 360 grainy colours that change every half
# second, with a tone of its own (550 Hz) so that a recording tells it from the music.
set -euo pipefail
out="$DEMO_OUT/data/video"
mkdir -p "$out"
"$DEMO_TOOLS/demo_make_clip" "$out/welk_teaser_high.ogv" 640 360 4 550
