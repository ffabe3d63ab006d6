#!/usr/bin/env bash
# The game's sounds and music, each a tone of its own pitch so that a recording tells them apart:
# clicks and page sounds as short WAV files, the music as Ogg Vorbis for streaming.
set -euo pipefail
out="$DEMO_OUT/data/sound"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# name seconds pitch: a mono 16-bit click with short fades, so it starts and ends without a crack.
click() {
    sox -q -n -r 44100 -b 16 -c 1 "$out/$1" synth "$2" sine "$3" vol 0.5 fade 0.005 "$2" 0.02
}
# name seconds pitch: stereo music.
music() {
    sox -q -n -r 44100 -b 16 -c 2 "$work/$1.wav" synth "$2" sine "$3" vol 0.5
    oggenc -Q -q 3 -o "$out/$1.ogg" "$work/$1.wav"
}

click menue_klick_ok.wav 0.15 1320
click menue_klick_fail.wav 0.2 330
click blaettern_01.wav 0.3 990
music artefaktthema 8 440
music tower 8 660
