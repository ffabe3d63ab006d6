#!/usr/bin/env bash
# Control handed to the keeper in the tower hall, on an 800 x 600 screen in the hall's shot "default"
# (backdrop point (x, y) is pixel (x, y)). Lua's "SetCurrentCharacter" makes the keeper the player's
# character (the hero first turns to him); a click on the floor left of the keeper then walks the keeper
# there: his yellow back leaves his place and his green front comes towards the click, while the hero's
# blue back stays at his start in the lower left. A quicksave before the click and one after it hold the
# keeper's "offset" moved and the hero's as it was.
# Usage: switch_character_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600

echo 'sendcmd("game", "StartChapter", "chapter1")' >>"$E2E_GAME/pimb/Functions.lua"
# The ticks mark with a file that the keeper has taken over.
keeper_current="$E2E_ROOT/keeper_current"
e2e_lua_commands "if tick == 1 then sendcmd(\"camera\", \"ActivateShot\", \"default\") end
    if sendcmd(\"game\", \"GetCurrentCharacter\") == \"characters_keeper\" then
        io.open(\"$keeper_current\", \"w\"):close()
    end"
saves=$(e2e_user_file savegames)

KEEPER_BACK_RGB="217 191 25"
KEEPER_FRONT_RGB="25 140 51"
HERO_BACK_RGB="26 64 217"
# The keeper's back at his place; the floor where the click sends him; the hero lying at his start.
KEEPER_PLACE_BOX="170 60 470 395"
CLICK_BOX="160 170 300 430"
HERO_BOX="200 100 0 500"

# The keeper has left his place and stands at the click, facing the way he came.
keeper_arrived() {
    local place front
    place=$(e2e_count_colour "$1" $KEEPER_PLACE_BOX $KEEPER_BACK_RGB)
    front=$(e2e_count_colour "$1" $CLICK_BOX $KEEPER_FRONT_RGB)
    ((place < 100 && front >= 2000)) && return 0
    echo "the keeper's back has $place pixels at his place, his front $front at the click" >&2
    return 1
}
# quicksave: a new quicksave; hero_offset and keeper_offset ("x y z") are the offsets it holds.
quicksave() {
    rm -f "$saves/_system.tsg"
    e2e_lua 'sendcmd("tarq", "quicksave")'
    e2e_wait_file "$saves/_system.tsg" 30
    hero_offset=$(e2e_saved_offset "$saves/_system.tsg" characters_hero)
    keeper_offset=$(e2e_saved_offset "$saves/_system.tsg" characters_keeper)
    [[ -n $hero_offset && -n $keeper_offset ]] || e2e_fail "the quicksave holds no offset of hero and keeper"
}

e2e_start
e2e_wait_tick 2
sleep 0.6
e2e_screenshot start
keeper_start=$(e2e_count_colour start $KEEPER_PLACE_BOX $KEEPER_BACK_RGB)
((keeper_start >= 1000)) || e2e_fail "the keeper's back is not at his place: $keeper_start pixels"
hero_start=$(e2e_count_colour start $HERO_BOX $HERO_BACK_RGB)
((hero_start >= 3000)) || e2e_fail "the hero's back is not at his start: $hero_start pixels"

e2e_lua 'sendcmd("game", "SetCurrentCharacter", "characters_keeper")'
e2e_wait_file "$keeper_current" 30
quicksave
hero_before=$hero_offset
keeper_before=$keeper_offset

xdotool mousemove --window "$E2E_WINDOW" 330 445
sleep 0.5
xdotool click 1
e2e_await_shot walked 20 keeper_arrived || e2e_fail "the click did not walk the keeper there"
hero_after=$(e2e_count_colour walked $HERO_BOX $HERO_BACK_RGB)
((hero_after * 10 >= hero_start * 8)) ||
    e2e_fail "the hero did not stay at his start: $hero_start pixels of his back before, $hero_after after"

quicksave
e2e_apart "$keeper_before" "$keeper_offset" 50 ||
    e2e_fail "the keeper's saved offset '$keeper_offset' is not away from '$keeper_before'"
! e2e_apart "$hero_before" "$hero_offset" 1 || e2e_fail "the hero's saved offset moved from '$hero_before' to '$hero_offset'"

e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
echo "switch_character: passed"
