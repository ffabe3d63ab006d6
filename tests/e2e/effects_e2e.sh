#!/usr/bin/env bash
# The tower hall's effects as a player sees and hears them on an 800 x 600 screen, recorded through OpenAL
# Soft's wave driver. Chapter 1 is started from Lua; on the tower's ticks (about one a second) Lua shows the
# hall in its shot "default" (the backdrop fills the screen: backdrop point (x, y) is pixel (x, y)) and
# switches effects with "SetActive" of "effectmanager" and "ToggleNavMesh" of "charactermanager"; a
# screenshot follows each tick:
#   tick 2  as loaded: the torch's flame above its picture, the window's light on its way down to the
#           floor, the door mirrored in the polished floor below its lintel, no navigation mesh
#   tick 3  the same a second later: the flame has moved (and in the later shots in colour)
#   tick 4  the greyscale view switched on: the blue window is grey
#   tick 5  switched off: the window is blue again
#   tick 6  the window's light and the floor's mirror switched off: the light's way shows the wall, the
#           strip below the lintel no longer the door's teal
#   tick 7  "ToggleNavMesh": blue lines over the floor
#   tick 8  "ToggleNavMesh" again: none
# The wind whistles at the window (1760 Hz) in the recording. The log has no error line and the game ends
# with exit code 0.
#
# Waiting for the torch's item: its state "out" set from Lua takes the flame and the torch's light away.
# Waiting for a way to the yard from Lua: the pond's region changes when its effect is switched off.
# Usage: effects_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600
e2e_record_sound

# The game draws the pointer, at the top left where nothing is looked at.
sed -i "s|<hwcursor>true</hwcursor>|<hwcursor>false</hwcursor>|" "$E2E_GAME/config.xml"
cat >>"$E2E_GAME/pimb/Functions.lua" <<LUA
sendcmd("game", "StartChapter", "chapter1")
local steps = {
    [1] = function() sendcmd("camera", "ActivateShot", "default") end,
    [4] = function() sendcmd("effectmanager", "SetActive", "hall_greyscale", true) end,
    [5] = function() sendcmd("effectmanager", "SetActive", "hall_greyscale", false) end,
    [6] = function()
        sendcmd("effectmanager", "SetActive", "hall_window_light", false)
        sendcmd("effectmanager", "SetActive", "hall_floor_mirror", false)
    end,
    [7] = function() sendcmd("charactermanager", "ToggleNavMesh") end,
    [8] = function() sendcmd("charactermanager", "ToggleNavMesh") end,
}
LUA
e2e_tower_ticks 'if steps[tick] then steps[tick]() end'
# Three seconds a tick, room for a screenshot of each step on a busy machine.
sed -i 's|id="pause" type="WaitAction" duration="1.0"|id="pause" type="WaitAction" duration="3.0"|' \
    "$E2E_GAME/pimb/chapter1/sequences/tower_ambience.xml"

e2e_start
for tick in 2 3 4 5 6 7 8; do
    e2e_wait_tick $tick
    e2e_screenshot_before_tick "tick$tick" $((tick + 1))
done
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"

read_rgb() { read -r r g b <<<"$1"; }

# The flame: over the torch's picture (backdrop 260..291, 180..211) the wall turns to fire's colours.
read_rgb "$(e2e_mean_colour tick2 30 40 262 138)"
((r > 180 && r > g + 30 && g > b + 30)) || e2e_fail "no flame above the torch: $r $g $b"
# Against the later shots in colour: on a busy machine a second may pass without a new frame.
moved=0
for later in tick3 tick5 tick6; do
    changed=$(e2e_changed_pixels tick2 "$later" 40 80 257 99 4)
    ((changed > moved)) && moved=$changed
done
((moved > 40)) || e2e_fail "the flame stood still: at most $moved pixels changed"

# The greyscale view greys the window and gives its blue back.
read_rgb "$(e2e_mean_colour tick2 50 30 545 105)"
((b > r + 100)) || e2e_fail "the window is not blue at first: $r $g $b"
read_rgb "$(e2e_mean_colour tick4 50 30 545 105)"
((r - g < 6 && g - r < 6 && g - b < 6 && b - g < 6)) || e2e_fail "the greyscale view left colours: $r $g $b"
e2e_colours_near "$(e2e_mean_colour tick5 50 30 545 105)" "$(e2e_mean_colour tick2 50 30 545 105)" 8 ||
    e2e_fail "the window's colours did not come back"

# The window's light brightens the wall on its way; switched off, the wall is as painted.
read_rgb "$(e2e_mean_colour tick2 30 20 490 180)"
lit=$((r + g + b))
read_rgb "$(e2e_mean_colour tick6 30 20 490 180)"
((lit > r + g + b + 150)) || e2e_fail "the window's light did not brighten its way: $lit, off $((r + g + b))"

# The polished floor mirrors the door's teal below its lintel until it is switched off.
read_rgb "$(e2e_mean_colour tick2 100 6 350 259)"
((g > r + 40)) || e2e_fail "no teal of the mirrored door below its lintel: $r $g $b"
read_rgb "$(e2e_mean_colour tick6 100 6 350 259)"
((g < r + 20)) || e2e_fail "the mirror still shows the door when switched off: $r $g $b"

# The navigation mesh's lines over the floor, and gone again.
lines=$(e2e_count_colour tick7 800 200 0 400 0 0 255)
((lines > 300)) || e2e_fail "ToggleNavMesh drew $lines blue pixels over the floor"
left=$(e2e_count_colour tick8 800 200 0 400 0 0 255)
((left == 0)) || e2e_fail "a second ToggleNavMesh left $left blue pixels"

# The wind at the window.
timeline="$E2E_ROOT/timeline.txt"
"$(dirname "$E2E_BINARY")/tone_timeline" "$E2E_RECORDING" 1760 >"$timeline"
[[ -s $timeline ]] || e2e_fail "the recording is empty"
awk '$2 > 0.05 { heard = 1 } END { exit !heard }' "$timeline" || e2e_fail "no wind heard in the tower"

log=$(e2e_user_file welk.log)
if grep -F ">>> ERROR" "$log"; then
    e2e_fail "the hall's effects gave the error lines above"
fi
echo "effects: passed"
