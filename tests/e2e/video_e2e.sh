#!/usr/bin/env bash
# The teaser video as a player sees and hears it, recorded through OpenAL Soft's wave driver. Chapter 1 is
# started from Lua (a video's time flows only in the game); at the tower's third tick, once its music
# plays steadily, Lua plays "StartMovie" and the menu click (1320 Hz, which lines the recording up; game
# sounds started during a video are not paused). The
# video (640 x 360, colours that change every half second, a tone of 550 Hz, 4 s) fills the width of the
# 1280 x 1024 screen with black bars above and below; its tone is heard, the tower's music (660 Hz) is
# paused. Afterwards the picture is the tower room's as it was before the video and the music plays again.
# A second run presses Escape in the middle of the video: the picture of before comes back at once. Both
# runs end with exit code 0. A screenshot of the busy screen takes seconds to write: the two taken during
# the video are grabbed in the background, shortly one after the other.
# The tower's wind is listened for by effects_e2e.sh.
# Usage: video_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"

e2e_record_sound

sed -i 's|_globals.tower_ticks = (_globals.tower_ticks or 0) + 1|& e2e_on_tick(_globals.tower_ticks)|' \
    "$E2E_GAME/pimb/chapter1/sequences/tower_ambience.xml"
grep -q e2e_on_tick "$E2E_GAME/pimb/chapter1/sequences/tower_ambience.xml" || e2e_fail "the tower's sequence was not extended"
started="$E2E_ROOT/started.txt"
before="$E2E_ROOT/before.txt"
cat >>"$E2E_GAME/pimb/Functions.lua" <<LUA
sendcmd("game", "StartChapter", "chapter1")
function e2e_on_tick(tick)
    if tick == 2 then
        io.open("$before", "w"):close()
    elseif tick == 3 then
        sendcmd("game", "StartMovie")
        sendcmd("sound", "PlaySound", "common\\\\menue_klick_ok")
        io.open("$started", "w"):close()
    end
end
LUA

# The colours of the video (those of demo/tools/make_clip).
PALETTE=("200 60 40" "40 150 70" "50 80 190" "220 190 60" "230 230 230" "30 30 30")
is_clip_colour() {
    local colour
    for colour in "${PALETTE[@]}"; do
        e2e_colours_near "$1" "$colour" && return 0
    done
    return 1
}
# The middle of the picture and of both bars (the video is 0.703 of the screen high, centred).
picture() { e2e_mean_colour "$1" 400 300 440 362; }
upper_bar() { e2e_mean_colour "$1" 1280 100 0 20; }
lower_bar() { e2e_mean_colour "$1" 1280 100 0 904; }

# wait_for FILE: until the game's Lua has written it.
wait_for() {
    for _ in $(seq 300); do
        [[ -e $1 ]] && return 0
        kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself"
        sleep 0.1
    done
    e2e_fail "no $(basename "$1") within 30 s"
}

# ---------------------------------------------------------------------------------------------------
# The whole video
e2e_start
wait_for "$before"
e2e_screenshot before
wait_for "$started"
sleep 0.8
e2e_screenshot playing &
grabs=($!)
sleep 0.6
e2e_screenshot playing_later &
grabs+=($!)
wait "${grabs[@]}"
sleep 4
e2e_screenshot after
sleep 1
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"

for shot in playing playing_later; do
    colour=$(picture "$shot")
    is_clip_colour "$colour" || e2e_fail "the picture in $shot is $colour, none of the video's colours"
    e2e_colours_near "$(upper_bar "$shot")" "0 0 0" 4 || e2e_fail "no black bar above the video in $shot"
    e2e_colours_near "$(lower_bar "$shot")" "0 0 0" 4 || e2e_fail "no black bar below the video in $shot"
done
[[ $(picture playing) != $(picture playing_later) ]] || e2e_fail "the video's picture does not change"
e2e_colours_near "$(picture after)" "$(picture before)" 8 || e2e_fail "the picture after the video is $(picture after), before $(picture before)"

timeline="$E2E_ROOT/timeline.txt"
"$(dirname "$E2E_BINARY")/tone_timeline" "$E2E_RECORDING" 1320 550 660 >"$timeline"
[[ -s $timeline ]] || e2e_fail "the recording is empty"
# Columns: time, click, video, music. From the click on: the video's tone for its 4 s with the music
# silent, then the music again. Levels above 0.1 count as heard; below 0.05 as silent (a 50 ms window
# picks up a little of a loud tone 110 Hz away). On a busy machine the video's sound may start late, as
# its decoding does: it is looked for from 1 s on.
verdict=$(awk '
    $2 > 0.05 && start == "" { start = $1 }
    start == "" { next }
    $1 >= start + 1 && $1 < start + 3.5 { window++; if ($3 > 0.1) heard++ }
    $1 >= start + 0.5 && $1 < start + 3.5 { if ($4 > 0.05) music++ }
    $1 >= start + 5 && $1 < start + 6 { after++; if ($4 > 0.1) back++; if ($3 > 0.05) still++ }
    END {
        heard += 0; back += 0
        if (start == "") { print "no click before the video"; exit }
        if (heard < window * 0.9) { print "the video was heard in " heard " of " window " windows"; exit }
        if (music > 0) { print "the music was heard in " music " windows of the video"; exit }
        if (back < after * 0.9) { print "the music came back in " back " of " after " windows"; exit }
        if (still > 0) { print "the video was still heard after its end"; exit }
        print "ok"
    }' "$timeline")
[[ $verdict == ok ]] || { cat "$timeline" >&2; e2e_fail "$verdict"; }

# ---------------------------------------------------------------------------------------------------
# Escape in the middle of the video
rm -f "$before" "$started"
e2e_start
wait_for "$before"
e2e_screenshot escape_before
wait_for "$started"
sleep 1
e2e_screenshot escape_playing
xdotool key --window "$E2E_WINDOW" Escape
sleep 0.3
e2e_screenshot escaped
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT after Escape"
is_clip_colour "$(picture escape_playing)" || e2e_fail "no video before Escape"
e2e_colours_near "$(picture escaped)" "$(picture escape_before)" 8 \
    || e2e_fail "the picture after Escape is $(picture escaped), before the video $(picture escape_before)"
echo "video: passed"
