#!/usr/bin/env bash
# The in-game menu as a player sees it. Each run has an Xvfb screen of its own size (the game's full-screen
# window takes the screen's), draws the pointer itself ("hwcursor" false), shows errors and warnings on the
# screen ("ingamelog" 3) and starts chapter 1 from Lua. The tower room's background sequence ticks about
# once a second; the Lua of this test acts on its ticks and writes "tick <n>" into ticks.txt.
#
#   800 x 600, difficulty 0: a wrong command's warning stands at the top left for 5 s; the pointer over
#     nothing has the colour of "gui/mp_none", and after "UseItem" the key's icon hangs beside it; a custom
#     panel comes and goes from Lua; holding Space shows the hero's hint centred in the top band, gone on
#     release.
#   800 x 600, difficulty 1, no "hotspots": holding Space darkens the picture and shows the hotspot hint
#     over it, gone on release.
#   1280 x 720: black side bars 0.05 of the width wide.
#
# Waiting for the scenes, characters and sequence actions to load a room on screen: the pointer's colours
# over the key and the door, the key's name centred in the bottom band while over it, the markers at key,
# door and keeper while Space is held, and the keeper's subtitle above him in the door cutscene. Each
# becomes one more step of run_first below (hover with xdotool, then e2e_colour_near or e2e_ink_box).
# Usage: gui_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
source_game="$E2E_ROOT/source-game"
cp -a "$E2E_GAME" "$source_game"

# gui_game SETTINGS LUA: a fresh copy of the game and home with the settings (XML elements) added to its
# config.xml and LUA run on each tick of the tower (the tick's number in "tick").
gui_game() {
    rm -rf "$E2E_GAME" "$E2E_HOME"
    cp -a "$source_game" "$E2E_GAME"
    mkdir -p "$E2E_HOME"
    rm -f "$E2E_ROOT/ticks.txt"
    sed -i "s|<hwcursor>true</hwcursor>|<hwcursor>false</hwcursor><ingamelog>3</ingamelog>$1|" "$E2E_GAME/config.xml"
    echo 'sendcmd("game", "StartChapter", "chapter1")' >>"$E2E_GAME/pimb/Functions.lua"
    e2e_tower_ticks "$2"
}

pointer_to() {
    xdotool mousemove --window "$E2E_WINDOW" "$1" "$2"
    sleep 0.5
}

# ---------------------------------------------------------------------------------------------------
# 800 x 600, difficulty 0
e2e_screen 800x600
gui_game "" '
    if tick == 1 then
        _globals.difficulty = 0
        sendcmd("gui", "addCustomOverlay", "e2e_panel", "gui/mp_use", 0.8, 0.1, 0.1, 0.4 / 3)
        sendcmd("game", "UseItem", "items_key")
        sendcmd("gui", "bindkey", 57)
    elseif tick == 12 then
        sendcmd("gui", "removeCustomOverlay", "e2e_panel")
    end'
e2e_start
e2e_wait_tick 1
started=$SECONDS
pointer_to 200 300
e2e_screenshot first
# The warning, cut by the screen's right edge, from the top left.
read -r width left _ <<<"$(e2e_ink_box first 800 22 0 0)"
((width > 300 && left <= 2)) || e2e_fail "no warning at the top left: ink $width at $left"
grep -q "refused the command 'bindkey'" "$(e2e_user_file welk.log)" || e2e_fail "the warning was not logged"
# The pointer (an arrow 32 pixels high) with the key's icon below and right of it.
e2e_colour_near first 205 312 255 0 255 || e2e_fail "the pointer over nothing is not gui/mp_none's"
e2e_colour_near first 218 322 255 215 0 || e2e_fail "no key icon beside the pointer"
# The custom panel: 80 x 80 pixels at 640, 60 showing gui/mp_use.
e2e_colour_near first 652 90 0 255 0 || e2e_fail "no custom panel"

# Five seconds of the game's time, which a busy machine's slow frames stretch.
sleep $((started + 6 - SECONDS))
for _ in $(seq 30); do
    e2e_screenshot log_gone
    [[ "$(e2e_ink_box log_gone 600 22 0 0)" == 0* ]] && break
    sleep 0.5
done
[[ "$(e2e_ink_box log_gone 600 22 0 0)" == 0* ]] || e2e_fail "the warning still shows after 6 s"

xdotool keydown space
sleep 0.5
e2e_screenshot space
xdotool keyup space
sleep 0.5
e2e_screenshot space_released
read -r width left _ <<<"$(e2e_ink_box space 800 23 0 0)"
((width > 100)) || e2e_fail "no hint in the top band while Space is held"
centre=$((left + width / 2))
((centre >= 392 && centre <= 408)) || e2e_fail "the hint is centred at $centre, not 400"
[[ "$(e2e_ink_box space_released 800 23 0 0)" == 0* ]] || e2e_fail "the hint stays after Space is released"
e2e_colour_near space 652 90 0 255 0 || e2e_fail "the picture darkened at difficulty 0"

e2e_wait_tick 13
e2e_screenshot panel_gone
# The tower room shows there again.
! e2e_colour_near panel_gone 652 90 0 255 0 2>/dev/null || e2e_fail "the custom panel stays after it was removed"
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"

# ---------------------------------------------------------------------------------------------------
# 800 x 600, difficulty 1 (the demo's), no "hotspots": the hint over a darkened picture instead of markers
gui_game "" '
    if tick == 1 then
        sendcmd("gui", "addCustomOverlay", "e2e_panel", "gui/mp_use", 0.8, 0.1, 0.1, 0.4 / 3)
    end'
e2e_start
e2e_wait_tick 1
pointer_to 200 500
e2e_screenshot hard_before
xdotool keydown space
sleep 0.5
e2e_screenshot hard
xdotool keyup space
sleep 0.5
e2e_screenshot hard_released
e2e_colour_near hard 652 90 0 128 0 || e2e_fail "the picture does not darken"
read -r width _ _ <<<"$(e2e_ink_box hard 600 150 100 150)"
((width > 100)) || e2e_fail "no hotspot hint over the darkened picture"
read -r width _ _ <<<"$(e2e_ink_box hard 800 23 0 0 30)"
((width > 100)) || e2e_fail "no current hint in the top band"
e2e_colour_near hard_released 652 90 0 255 0 || e2e_fail "the picture stays dark after Space is released"
# The hint's lines as before Space: the room behind them.
changed=$(e2e_changed_pixels hard_before hard_released 600 50 100 220)
((changed < 20)) || e2e_fail "the hotspot hint stays: $changed pixels changed"
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"

# ---------------------------------------------------------------------------------------------------
# 1280 x 720: side bars over a white picture (a full-screen panel of this test's own material)
convert -size 4x4 xc:white "$source_game/data/interface/textures/e2e_white.png"
printf 'material e2e/white\n{\n technique\n {\n  pass\n  {\n   texture_unit\n   {\n    texture e2e_white.png\n   }\n  }\n }\n}\n' \
    >"$source_game/data/interface/materials/e2e.material"
e2e_screen 1280x720
gui_game "" '
    if tick == 1 then
        sendcmd("gui", "addCustomOverlay", "e2e_white", "e2e/white", 0, 0, 1, 1)
    end'
e2e_start
e2e_wait_tick 2
pointer_to 640 100
e2e_screenshot wide
for x in 0 62 1217 1279; do
    e2e_colour_near wide "$x" 400 0 0 0 || e2e_fail "no black side bar at $x"
done
for x in 67 640 1212; do
    e2e_colour_near wide "$x" 400 255 255 255 || e2e_fail "the picture does not reach $x"
done
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
echo "gui: passed"
