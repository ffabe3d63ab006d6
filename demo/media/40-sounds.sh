#!/usr/bin/env bash
# The game's sounds and music, each a tone of its own pitch so that a recording tells them apart:
# clicks and page sounds as short WAV files, footsteps as short Ogg Vorbis files decoded whole, the music
# as Ogg Vorbis for streaming, and the voices of spoken lines in chapter 1's speech folder.
set -euo pipefail
out="$DEMO_OUT/data/sound"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# name seconds pitch: a mono 16-bit click with short fades, so it starts and ends without a crack.
click() {
    sox -q -n -r 44100 -b 16 -c 1 "$out/$1" synth "$2" sine "$3" vol 0.5 fade 0.005 "$2" 0.02
}
# name seconds pitch: a mono footstep, a knock that falls off quickly.
step() {
    sox -q -n -r 44100 -b 16 -c 1 "$work/$1.wav" synth "$2" sine "$3" vol 0.6 fade 0.005 "$2" 0.06
    oggenc -Q -q 3 -o "$out/$1.ogg" "$work/$1.wav"
}
# name seconds pitch: stereo music.
music() {
    sox -q -n -r 44100 -b 16 -c 2 "$work/$1.wav" synth "$2" sine "$3" vol 0.5
    oggenc -Q -q 3 -o "$out/$1.ogg" "$work/$1.wav"
}

# name pitch: a mono voice of three loud syllables with quiet pauses between them, so that the speaker's
# mouth opens and closes; 1.3 s.
voice() {
    local speech="$DEMO_OUT/data/lang/de/chapter1/speech"
    mkdir -p "$speech"
    sox -q -n -r 22050 -b 16 -c 1 "$work/loud.wav" synth 0.3 sine "$2" vol 0.8 fade 0.01 0.3 0.01
    sox -q -n -r 22050 -b 16 -c 1 "$work/quiet.wav" synth 0.2 sine "$2" vol 0.05
    sox -q "$work/loud.wav" "$work/quiet.wav" "$work/loud.wav" "$work/quiet.wav" "$work/loud.wav" "$speech/$1"
}

click menue_klick_ok.wav 0.15 1320
click menue_klick_fail.wav 0.2 330
click blaettern_01.wav 0.3 990
step step_stone 0.12 1480
step step_wood 0.16 370
# The tower door's creak: a wavering tone.
sox -q -n -r 44100 -b 16 -c 1 "$out/door_creak.wav" synth 0.6 sine 880 tremolo 12 60 vol 0.6 fade 0.02 0.6 0.1
music artefaktthema 8 440
music tower 8 660
music yard 8 770
voice keeper_tower.wav 550
voice keeper_open.wav 495
