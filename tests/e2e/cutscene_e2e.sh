#!/usr/bin/env bash
# The door's closing cutscene in the tower room, on an 800 x 600 screen, heard through OpenAL Soft's wave
# driver. The start-up Lua starts chapter1; at the tower's second tick a screenshot shows the room's shot,
# and at its third (the music has faded in by then) the key counts as taken and the door's sequence plays
# from Lua. The camera moves close to the door (its teal lintel grows) and the hero stands in the doorway
# below it. While the keeper speaks, his subtitle stands in his orange; while the hero answers, his
# stands in his blue; once the door's chart has heard the sequence end, neither. The recording holds the
# door's creak (880 Hz) and then the keeper's voice (495 Hz), with the tower's music (660 Hz) ducked under
# the voice. A second run with "subtitle" false shows no subtitle while the keeper speaks. Both end with
# exit code 0. Pixels are counted against a screenshot of the same shot without the subtitle in question.
#
# Still to come: the key taken with a click and held ("UseItem") and the door clicked with xdotool instead
# of the sequence played from Lua; black in the fade (the curtain has no picture yet); "Animation scratch
# started" in the log (the hero's figure does not play it yet); the subtitle above its speaker (a
# character has no screen position yet).
# Usage: cutscene_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600
e2e_record_sound
source_game="$E2E_ROOT/source-game"
cp -a "$E2E_GAME" "$source_game"

# Speech colours of the demo's characters (characters.xml, characters/hero.xml), the hero's skin and the
# door's lintel as the room shows them.
KEEPER_RGB="255 128 0"
HERO_RGB="60 140 255"
HERO_SKIN_RGB="230 184 148"
LINTEL_RGB="31 153 158"

# cutscene_run SUBTITLE: a fresh copy of the game and home with the setting "subtitle", started; the Lua
# marks the start of each spoken line and the end of the door's sequence with a file of that name.
cutscene_run() {
    rm -rf "$E2E_GAME" "$E2E_HOME" "$E2E_ROOT"/mark_*
    cp -a "$source_game" "$E2E_GAME"
    mkdir -p "$E2E_HOME"
    local chapter="$E2E_GAME/pimb/chapter1"
    sed -i "s|<subtitle>true</subtitle>|<subtitle>$1</subtitle>|" "$E2E_GAME/config.xml"
    sed -i 's|<tarqstructure start="check">|<action id="e2e_keeper" type="ScriptAction">e2e_mark("keeper")</action><action id="e2e_hero" type="ScriptAction">e2e_mark("hero")</action>&<trigger type="OnStart"><input actionid="keeper"/><output listenerid="e2e_keeper"/></trigger><trigger type="OnStart"><input actionid="hero"/><output listenerid="e2e_hero"/></trigger>|' \
        "$chapter/sequences.xml"
    sed -i 's|<state id="door">|<state id="door"><transition event="sequence.Done"><script>e2e_mark("done")</script></transition>|' \
        "$chapter/charts/door.scxml"
    sed -i 's|_globals.tower_ticks = (_globals.tower_ticks or 0) + 1|& e2e_on_tick()|' \
        "$chapter/sequences/tower_ambience.xml"
    grep -q e2e_keeper "$chapter/sequences.xml" || e2e_fail "the door's sequence was not extended"
    grep -q e2e_mark "$chapter/charts/door.scxml" || e2e_fail "the door chart was not extended"
    grep -q e2e_on_tick "$chapter/sequences/tower_ambience.xml" || e2e_fail "the tower's sequence was not extended"
    cat >>"$E2E_GAME/pimb/Functions.lua" <<LUA
sendcmd("game", "StartChapter", "chapter1")
function e2e_mark(name)
    io.open("$E2E_ROOT/mark_" .. name, "w"):close()
end
function e2e_on_tick()
    if _globals.tower_ticks == 2 then
        e2e_mark("before")
    elseif _globals.tower_ticks == 3 then
        _globals.key_taken = true
        sendcmd("game", "PlaySequence", "items_door", "unlock")
    end
end
LUA
    e2e_start
}

# line_shot MARK SHOT SECONDS: once the line marked has begun and a frame or two has shown it, a screenshot. The
# keeper's voice lasts 1.3 s, the hero's line 2 s.
line_shot() {
    e2e_wait_file "$E2E_ROOT/mark_$1" "$3"
    sleep 0.3
    e2e_screenshot "$2"
}

# coloured SHOT R G B [CROP]: how many pixels of the screenshot (or of the crop "WxH+X+Y" of it) have
# about that colour.
coloured() {
    convert "$E2E_SHOTS/$1.png" ${5:+-crop "$5" +repage} -fuzz 6% -fill black +opaque "rgb($2,$3,$4)" \
        -fill white -opaque "rgb($2,$3,$4)" -format '%[fx:int(mean*w*h+0.5)]' info:
}
# grown NEW OLD R G B: how many more pixels of that colour NEW has than OLD (the scene stays as it was).
grown() {
    echo $(($(coloured "$1" "$3" "$4" "$5") - $(coloured "$2" "$3" "$4" "$5")))
}

# With subtitles.
cutscene_run true
e2e_wait_file "$E2E_ROOT/mark_before" 60
e2e_screenshot before
line_shot keeper keeper 60
line_shot hero hero 30
e2e_wait_file "$E2E_ROOT/mark_done" 30
sleep 0.5
e2e_screenshot after
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
# Subtitles: the keeper's line is over in the hero's shot, neither line is left in the last one.
(($(grown keeper hero $KEEPER_RGB) > 20)) || e2e_fail "no subtitle in the keeper's colour while he speaks"
(($(grown after hero $KEEPER_RGB) <= 5)) || e2e_fail "the keeper's subtitle stays after the cutscene"
(($(grown hero after $HERO_RGB) > 20)) || e2e_fail "no subtitle in the hero's colour while he answers"
(($(grown after keeper $HERO_RGB) <= 5)) || e2e_fail "the hero's subtitle stays after the cutscene"
# The two shots: the door's teal lintel (and leaf) seen from the room's shot, then larger from the door's;
# the hero stands in the doorway, within a box as wide as the teal and twice as high below its top.
read -r before_width _ _ <<<"$(e2e_colour_box before 800 600 0 0 $LINTEL_RGB 6)"
read -r lintel_width lintel_left lintel_top <<<"$(e2e_colour_box hero 800 600 0 0 $LINTEL_RGB 6)"
((before_width > 0 && lintel_width * 10 > before_width * 12)) ||
    e2e_fail "the camera did not move closer to the door: the lintel is ${before_width:-0} px, then ${lintel_width:-0} px wide"
doorway="${lintel_width}x$((lintel_width * 2))+${lintel_left}+${lintel_top}"
(($(coloured hero $HERO_SKIN_RGB "$doorway") > 3000)) || e2e_fail "the hero does not stand in the doorway"

timeline="$E2E_ROOT/timeline.txt"
"$(dirname "$E2E_BINARY")/tone_timeline" "$E2E_RECORDING" 660 880 495 >"$timeline"
[[ -s $timeline ]] || e2e_fail "the recording is empty"
# Columns: time, tower music, creak, voice. The music's level in the second before the creak against its
# lowest while the voice sounds.
verdict=$(awk '
    $3 > 0.05 && creak == "" { creak = $1 }
    creak == "" { before[NR] = $2; times[NR] = $1 }
    creak != "" && $4 > 0.05 { if (voice == "") voice = $1; if (low == "" || $2 < low) low = $2 }
    END {
        if (creak == "") { print "no creak"; exit }
        if (voice == "") { print "no voice after the creak"; exit }
        for (i in times) if (times[i] >= creak - 1.0 && before[i] > music) music = before[i]
        if (music < 0.05) { print "no music before the cutscene"; exit }
        if (low > music * 0.7) { print "the music was not ducked under the voice: " music " then " low; exit }
        print "ok"
    }' "$timeline")
[[ $verdict == ok ]] || { cat "$timeline" >&2; e2e_fail "$verdict"; }

# Without subtitles.
cutscene_run false
line_shot keeper keeper_unsubtitled 60
e2e_wait_file "$E2E_ROOT/mark_done" 30
sleep 0.5
e2e_screenshot after_unsubtitled
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
(($(grown keeper_unsubtitled after_unsubtitled $KEEPER_RGB) <= 5)) ||
    e2e_fail "a subtitle shows although subtitles are off"
echo "cutscene: passed"
