#!/usr/bin/env bash
# Ambient sounds of the locations: the wind whistling at the tower's window, two variants at the same
# pitch (1760 Hz, so that a recording finds it) that rise and fall differently.
set -euo pipefail
out="$DEMO_OUT/data/sound"
mkdir -p "$out"

# name seconds tremolo-speed: a mono whistle that swells in and dies away.
whistle() {
    sox -q -n -r 44100 -b 16 -c 1 "$out/$1" synth "$2" sine 1760 tremolo "$3" 40 vol 0.4 fade t 0.4 "$2" 0.6
}
whistle wind_01.wav 2.5 1.5
whistle wind_02.wav 1.8 3
