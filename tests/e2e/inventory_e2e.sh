#!/usr/bin/env bash
# The inventory row and the party column as a player meets them, on an 800 x 600 screen (the pointer is
# the system's, so screenshots show the game's pictures alone). The start-up Lua starts chapter1; the test
# hands the game Lua at the tower's ticks (e2e_lua). The icons' colours are the demo's (media/40-gui.sh).
#
# With the pointer mid-screen the bottom row shows nothing; on the last pixel row the hero's cloth stands
# in the middle slot. The key taken (the interaction "take" sent to its chart by a sequence of this test,
# which then puts it into the inventory as taking it does): its icon pops up with the row closed and is
# gone about 1.5 s later; the keeper has joined the party, whose column now shows at the top left, the
# hero's portrait in its active colour. Row open: the cloth clicked turns half transparent and its icon
# hangs beside the pointer; over the key's icon that icon grows; the click leaves the cloth gone and the
# key in its shiny colour. A quicksave, and a fresh run's quickload shows the shiny key and both
# portraits; the keeper's portrait lights up under the pointer.
#
# Still to come, once scene objects are picked: the key clicked in the hall instead of the test's sequence,
# and the key held and the door clicked (the door's chart leaves "locked", the key's icon goes). Once the
# scenes carry out a switch of the current character ("SwitchToCharacter" only notes it so far, and the
# game then waits for it): the keeper's portrait clicked makes his portrait active and the row stays
# closed (he carries nothing); the hero's portrait brings the key back.
# Usage: inventory_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600

CLOTH_RGB="176 48 112"
KEY_RGB="255 215 0"
SHINY_RGB="64 224 208"
HERO_ACTIVE_RGB="60 140 255"
KEEPER_PLAIN_RGB="96 48 0"
KEEPER_HOVERED_RGB="255 208 160"
# The row: 16 slots of 50 pixels (0.0625 of the width), centred, icons 50 pixels high standing on the
# row's bottom at 0.9625 of the height. One item fills the middle slot, two the slots beside the middle.
ROW="800 120 0 480"
ROW_Y=552
MIDDLE_X=400
CLOTH_X=375
KEY_X=432
# Above the slots: where only a grown (hovered) icon reaches, and where the pop-up rises.
ABOVE_KEY="100 55 375 470"
POP_UP="200 160 300 440"
# The portraits: 50-pixel squares stacked from 0.02 in from the top left corner.
HERO_PORTRAIT="41 37"
KEEPER_PORTRAIT="41 87"

scenes="$E2E_GAME/pimb/chapter1/scenes.xml"
sequences="$E2E_GAME/pimb/chapter1/sequences.xml"
sed -i 's|<parameter name="ambience" assetid="sequences_tower_ambience"/>|&<parameter name="e2e_take_key" assetid="sequences_e2e_take_key"/>|' \
    "$scenes"
sed -i 's|<assetpool>|&<asset id="sequences_e2e_take_key" name="take the key"><action id="take" type="InteractAction" itemref="items_key" interactionmode="take"/><action id="pocket" type="ScriptAction">sendcmd("inventory", "AddItem", "items_key")</action></asset>|' \
    "$sequences"
grep -q e2e_take_key "$scenes" || e2e_fail "the tower scene was not extended"
grep -q e2e_take_key "$sequences" || e2e_fail "the sequences were not extended"
echo 'sendcmd("game", "StartChapter", "chapter1")' >>"$E2E_GAME/pimb/Functions.lua"
e2e_lua_commands

point() {
    xdotool mousemove "$1" "$2"
}
# count SHOT BOX R G B: how many pixels of the box ("width height left top") have about that colour.
count() {
    local shot=$1 box=$2
    shift 2
    e2e_count_colour "$shot" $box "$@" 6
}
# Checks for e2e_await_shot, given the shot's name.
row_empty() {
    (($(count "$1" "$ROW" $CLOTH_RGB) == 0 && $(count "$1" "$ROW" $KEY_RGB) == 0 &&
        $(count "$1" "$ROW" $SHINY_RGB) == 0))
}
cloth_in_middle() {
    e2e_colour_near "$1" $MIDDLE_X $ROW_Y $CLOTH_RGB
}
key_gone() {
    (($(count "$1" "$POP_UP" $KEY_RGB) == 0))
}
# portraits SHOT HERO_RGB KEEPER_RGB
portraits() {
    e2e_colour_near "$1" $HERO_PORTRAIT $2 20 && e2e_colour_near "$1" $KEEPER_PORTRAIT $3 20
}
hero_active() {
    portraits "$1" "$HERO_ACTIVE_RGB" "$KEEPER_PLAIN_RGB"
}
keeper_hovered() {
    portraits "$1" "$HERO_ACTIVE_RGB" "$KEEPER_HOVERED_RGB"
}
row_of_two() {
    e2e_colour_near "$1" $CLOTH_X $ROW_Y $CLOTH_RGB && e2e_colour_near "$1" $KEY_X $ROW_Y $KEY_RGB
}
# Half the cloth's colour over half the scene's behind it (seen in the shot "mid"), and the cloth's icon
# at the pointer (32 pixels square, 8 right of and 6 below its hot spot).
cloth_held() {
    local scene held
    scene=$(e2e_mean_colour mid 1 1 $CLOTH_X $ROW_Y)
    read -r r g b <<<"$scene"
    read -r cr cg cb <<<"$CLOTH_RGB"
    held="$(((r + cr) / 2)) $(((g + cg) / 2)) $(((b + cb) / 2))"
    e2e_colours_near "$(e2e_mean_colour "$1" 1 1 $CLOTH_X $ROW_Y)" "$held" 20 &&
        e2e_colour_near "$1" $((CLOTH_X + 24)) 582 $CLOTH_RGB
}
key_grown() {
    (($(count "$1" "$ABOVE_KEY" $KEY_RGB) > 100))
}
polished() {
    (($(count "$1" "$ROW" $SHINY_RGB) > 150 && $(count "$1" "$ROW" $CLOTH_RGB) == 0 &&
        $(count "$1" "$ROW" $KEY_RGB) == 0))
}
shiny_in_middle() {
    (($(count "$1" "50 50 375 527" $SHINY_RGB) > 150 && $(count "$1" "$ROW" $CLOTH_RGB) == 0))
}
close_game() {
    e2e_close_window
    e2e_wait_exit 60
    [[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
}

e2e_start
e2e_wait_tick 2 60
point 400 300
e2e_await_shot mid 10 row_empty || e2e_fail "the bottom row shows something with the pointer mid-screen"
portraits mid "$HERO_ACTIVE_RGB" "$KEEPER_PLAIN_RGB" 2>/dev/null && e2e_fail "a party column for the hero alone"
point 400 599
e2e_await_shot row 10 cloth_in_middle || e2e_fail "the cloth does not stand in the middle slot"
point 400 300
e2e_await_shot row_closed 10 row_empty || e2e_fail "the row does not close with the pointer mid-screen"

# The key taken. The pop-up is too short for screenshots: colour_timeline watches it.
pop_up="$E2E_ROOT/pop_up.txt"
"$(dirname "$E2E_BINARY")/colour_timeline" 12 300 440 200 160 12 "${KEY_RGB// /,}" "${CLOTH_RGB// /,}" >"$pop_up" &
watcher=$!
sleep 0.5
e2e_lua 'sendcmd("game", "PlaySequence", "scenes_tower", "e2e_take_key")'
wait $watcher || e2e_fail "the screen could not be watched"
# Columns: seconds, key pixels, cloth pixels. The first look with the key's icon, whether the cloth ever
# showed with it, and the first look after it without it.
read -r up cloth gone <<<"$(awk '
    $2 > 150 && up == "" { up = $1 }
    up != "" && $2 > 0 && $3 > 0 { cloth = 1 }
    up != "" && $2 == 0 && gone == "" { gone = $1 }
    END { print (up == "" ? "-" : up), cloth + 0, (gone == "" ? "-" : gone) }' "$pop_up")"
[[ $up != - ]] || e2e_fail "the key's icon does not pop up"
((cloth == 0)) || e2e_fail "the row is open while the key pops up"
[[ $gone != - ]] || e2e_fail "the key's icon stays"
shown=$(awk -v up="$up" -v gone="$gone" 'BEGIN { printf "%.2f", gone - up }')
awk -v shown="$shown" 'BEGIN { exit !(shown >= 0.2 && shown <= 2.5) }' ||
    e2e_fail "the key's icon showed for $shown s, the pop-up lasts 1.5 s"
e2e_screenshot pop_up_gone
key_gone pop_up_gone || e2e_fail "the key's icon is back after its pop-up"
e2e_await_shot party 10 hero_active || e2e_fail "no party column with the hero's portrait active"

# Row open (the pointer beside the icons, which it would grow): the cloth polishes the key.
point 300 599
e2e_await_shot row_two 10 row_of_two || e2e_fail "the open row does not show the cloth and the key"
point $CLOTH_X 560
sleep 0.3
xdotool click 1
e2e_await_shot held 10 cloth_held || e2e_fail "the cloth clicked is not held half transparent"
point $KEY_X 560
e2e_await_shot grown 10 key_grown || e2e_fail "the key's icon does not grow under the held cloth"
xdotool click 1
e2e_await_shot polished 10 polished || e2e_fail "the cloth on the key does not leave the shiny key alone"

saves=$(e2e_user_file savegames)
e2e_lua 'sendcmd("tarq", "quicksave")'
e2e_wait_file "$saves/_system.tsg" 30
close_game

# A fresh run, quickloaded.
rm -f "$E2E_ROOT/ticks.txt"
e2e_start
e2e_wait_tick 2 60
point 400 300
e2e_lua 'sendcmd("tarq", "quickload")'
e2e_await_shot loaded 20 hero_active || e2e_fail "the quickloaded game shows not both portraits, the hero's active"
point 400 599
e2e_await_shot loaded_row 10 shiny_in_middle || e2e_fail "the quickloaded game shows not the shiny key alone"

# The keeper's portrait under the pointer.
point $KEEPER_PORTRAIT
e2e_await_shot keeper_hovered 10 keeper_hovered || e2e_fail "the keeper's portrait does not light up under the pointer"
close_game
echo "inventory: passed (the key's pop-up showed for $shown s)"
