#!/usr/bin/env bash
# The chapter's figures: the hero, the keeper and the keeper's lantern, their skeletons and clips.
set -euo pipefail
"$DEMO_TOOLS/demo_make_figure" "$DEMO_OUT/data/chapter1"
