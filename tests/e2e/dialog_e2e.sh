#!/usr/bin/env bash
# A dialog with the keeper and the door's choice query as a player meets them, on an 800 x 600 screen with
# the pointer drawn by the game ("hwcursor" false), heard through OpenAL Soft's wave driver. The start-up
# Lua starts chapter1; the test hands the game Lua at the tower's ticks (e2e_lua).
#
# "StartDialog" with the keeper: a dark panel rises at the bottom with two lines of text (the tower topic,
# then "Auf Wiedersehen."). Over the first line it turns the hero's blue; its click closes the panel, the
# keeper's subtitle shows in his orange and his voice (550 Hz) sounds; then the panel rises with the two
# sub-topics (the key topic, then the short "Zurück."). Escape goes back up to the top level; a right click
# outside the panel chooses "Auf Wiedersehen.": the panel is gone and the pointer is the plain one again.
# A look at the door (the event "character.Examine" sent to its chart by a sequence of this test) asks its
# two answers in key order ("door.Knock" before "door.Wait", against their adding order, so the wide
# "Anklopfen." above the narrow "Warten."); the first one clicked sends its key to the door's chart, which
# notes "knock" in a Lua global that the test reads back through a file.
#
# Still to come, once scene objects are picked: the keeper clicked instead of "StartDialog" (the hero walks
# there first), the subtitle above him, the key clicked after the dialog (take_key), the door examined
# with a right click.
# Usage: dialog_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600
e2e_record_sound

HERO_RGB="60 140 255"
KEEPER_RGB="255 128 0"
# gui/mp_none, the pointer over nothing, 5 right and 12 below its hot spot.
POINTER_RGB="255 0 255"
# Where the pointer rests: the wall above the hall, over nothing and outside the dialog panel.
REST="450 60"
# The panel spans 0.05 to 0.95 of the width and grows from the bottom edge; its lines are 0.02 below
# its top and 0.02 in from its side. Two lines of the demo's text make it about 62 pixels high.
LINE1="720 20 40 548"
LINE2="720 20 40 570"
# A part of the panel where no line reaches, against the scene behind it, and a strip just below the top
# of a panel of two lines, which it covers only once it has risen fully.
PANEL_PATCH="120 40 620 550"
PANEL_TOP="120 4 620 539"

scenes="$E2E_GAME/pimb/chapter1/scenes.xml"
sequences="$E2E_GAME/pimb/chapter1/sequences.xml"
sed -i "s|<hwcursor>true</hwcursor>|<hwcursor>false</hwcursor>|" "$E2E_GAME/config.xml"
sed -i 's|<parameter name="ambience" assetid="sequences_tower_ambience"/>|&<parameter name="e2e_examine_door" assetid="sequences_e2e_examine_door"/>|' \
    "$scenes"
sed -i 's|<assetpool>|&<asset id="sequences_e2e_examine_door" name="look at the door"><action id="look" type="InteractAction" itemref="items_door" interactionmode="character.Examine"/></asset>|' \
    "$sequences"
grep -q e2e_examine_door "$scenes" || e2e_fail "the tower scene was not extended"
grep -q e2e_examine_door "$sequences" || e2e_fail "the sequences were not extended"
grep -q "<hwcursor>false" "$E2E_GAME/config.xml" || e2e_fail "the pointer was not switched to the game's"
echo 'sendcmd("game", "StartChapter", "chapter1")' >>"$E2E_GAME/pimb/Functions.lua"
e2e_lua_commands

# ink SHOT LINE: "width left top" of the white text in that line's band ("0" for none).
ink() {
    e2e_ink_box "$1" $2 75
}
ink_width() {
    local width
    read -r width _ <<<"$(ink "$@")"
    echo "${width:-0}"
}
# Checks for e2e_await_shot, given the shot's name.
darkened() {
    ! e2e_colours_near "$(e2e_mean_colour "$1" $2)" "$(e2e_mean_colour base $2)" 12
}
two_lines() {
    darkened "$1" "$PANEL_TOP" && (($(ink_width "$1" "$LINE1") > 30 && $(ink_width "$1" "$LINE2") > 30))
}
no_lines() {
    (($(ink_width "$1" "$LINE1") == 0 && $(ink_width "$1" "$LINE2") == 0))
}
# The count of pixels of a colour in a line's band.
coloured() {
    local shot=$1 band=$2
    shift 2
    e2e_count_colour "$shot" $band "$@" 8
}
first_line_blue() {
    (($(coloured "$1" "$LINE1" $HERO_RGB) >= 30 && $(coloured "$1" "$LINE2" $HERO_RGB) <= 3))
}
# The second line as wide as the top level's "Auf Wiedersehen.".
top_level() {
    two_lines "$1" || return 1
    local width
    width=$(ink_width "$1" "$LINE2")
    ((width * 10 > top_width * 9 && width * 10 < top_width * 11))
}
# The second line the short "Zurück.".
sub_level() {
    two_lines "$1" && (($(ink_width "$1" "$LINE2") * 10 < top_width * 7))
}
panel_gone() {
    no_lines "$1" && ! darkened "$1" "$PANEL_PATCH"
}
point() {
    xdotool mousemove $1
}
recorded_seconds() {
    # Stereo 32-bit floats at 44.1 kHz after a 44-byte header (OpenAL Soft's wave file, platform notes).
    awk -v bytes="$(stat -c %s "$E2E_RECORDING")" 'BEGIN { printf "%.2f", (bytes - 44) / 8 / 44100 }'
}

e2e_start
e2e_wait_tick 2 60
point "$REST"
sleep 0.5
e2e_screenshot base
e2e_colour_near base $(($(cut -d' ' -f1 <<<"$REST") + 5)) $(($(cut -d' ' -f2 <<<"$REST") + 12)) $POINTER_RGB ||
    e2e_fail "the resting pointer is not gui/mp_none's"
no_lines base || e2e_fail "text at the bottom before the dialog"

# The keeper's dialog at its top level.
e2e_lua 'sendcmd("game", "StartDialog", "characters_keeper")'
e2e_await_shot top 20 two_lines || e2e_fail "no panel with two lines rose at the bottom"
top_width=$(ink_width top "$LINE2")
darkened top "$PANEL_PATCH" || e2e_fail "the lines stand on no dark panel"
((top_width * 10 < $(ink_width top "$LINE1") * 8)) || e2e_fail "the exit topic is not the second line"
(($(coloured top "$LINE1" $HERO_RGB) <= 3)) || e2e_fail "a line is highlighted before the pointer is over it"

point "100 558"
e2e_await_shot hover 10 first_line_blue || e2e_fail "the first line does not turn the hero's blue under the pointer"
# The answer is too short for screenshots: colour_timeline watches the lines' band for white and the
# picture above the panel for the keeper's orange from half a second before the click.
watch="$(dirname "$E2E_BINARY")/colour_timeline"
"$watch" 12 40 548 720 44 60 255,255,255 >"$E2E_ROOT/lines.txt" &
lines_watcher=$!
"$watch" 12 0 0 800 520 15 "${KEEPER_RGB// /,}" >"$E2E_ROOT/subtitle.txt" &
subtitle_watcher=$!
sleep 0.5
chosen_at=$(recorded_seconds)
xdotool click 1
point "$REST"
wait $lines_watcher $subtitle_watcher || e2e_fail "the screen could not be watched"
# Columns: seconds, pixels of the colour. Before the click the lines show; the orange then is the scene's.
closed=$(awk '$1 < 0.4 && $2 == 0 { print "early"; exit } $1 >= 0.4 && $2 == 0 { print "yes"; exit }' "$E2E_ROOT/lines.txt")
[[ $closed == yes ]] || e2e_fail "the panel does not close when the tower topic is chosen (${closed:-never} closed; white pixels over time: $(tr "\n" " " <"$E2E_ROOT/lines.txt" | cut -c1-600))"
grown=$(awk '$1 < 0.4 { if (base == "" || $2 < base) base = $2 } $1 >= 0.4 && $2 - base > most { most = $2 - base }
    END { print most + 0 }' "$E2E_ROOT/subtitle.txt")
((grown > 60)) || e2e_fail "no subtitle in the keeper's orange while he answers ($grown pixels)"
e2e_await_shot sub 20 sub_level || e2e_fail "the panel does not rise with the two sub-topics"

xdotool key Escape
e2e_await_shot up 20 top_level || e2e_fail "Escape does not go back up to the top level"

xdotool click 3
e2e_await_shot gone 20 panel_gone || e2e_fail "the panel stays after the right click outside it"
e2e_colour_near gone $(($(cut -d' ' -f1 <<<"$REST") + 5)) $(($(cut -d' ' -f2 <<<"$REST") + 12)) $POINTER_RGB ||
    e2e_fail "the pointer is not the plain one after the dialog"

# The door's question.
answer="$E2E_ROOT/answer.txt"
e2e_lua "sendcmd(\"game\", \"PlaySequence\", \"scenes_tower\", \"e2e_examine_door\")"
e2e_await_shot query 20 two_lines || e2e_fail "the door's answers do not show"
read -r knock_width wait_width <<<"$(ink_width query "$LINE1") $(ink_width query "$LINE2")"
((knock_width * 10 > wait_width * 12)) ||
    e2e_fail "the answers are not in key order: the first line is $knock_width px wide, the second $wait_width px"
point "100 558"
e2e_await_shot query_hover 10 first_line_blue || e2e_fail "the first answer does not turn the hero's blue"
xdotool click 1
point "$REST"
e2e_await_shot answered 20 panel_gone || e2e_fail "the answers stay after one was chosen"
e2e_lua "local file = io.open(\"$answer\", \"w\") file:write(tostring(_globals.door_answer)) file:close()"
[[ $(cat "$answer") == knock ]] || e2e_fail "the door's chart heard '$(cat "$answer")', not the key of 'Anklopfen.'"

e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"

# The keeper's voice from the tower topic's choice on.
timeline="$E2E_ROOT/timeline.txt"
"$(dirname "$E2E_BINARY")/tone_timeline" "$E2E_RECORDING" 550 >"$timeline"
[[ -s $timeline ]] || e2e_fail "the recording is empty"
verdict=$(awk -v chosen="$chosen_at" '
    $2 > 0.05 { if ($1 < chosen - 0.3) early++; else heard++ }
    END { print (early ? "early" : heard ? "ok" : "none") }' "$timeline")
[[ $verdict == ok ]] || e2e_fail "the keeper's voice: $verdict (the topic was chosen at $chosen_at s)"
echo "dialog: passed"
