#!/usr/bin/env bash
# The characters of the tower hall as a player sees them, on an 800 x 600 screen in the hall's shot
# "default" (backdrop point (x, y) is pixel (x, y)). The hero carries the staff the hall's character file
# gives him, lit orange on his left: "HideSlave" takes it from the picture. "Scale" grows the keeper over
# the time given: his yellow back covers more pixels half way and more again at the end. A click on the
# floor walks the hero away from his start; a quicksave then holds his new "offset". A fresh run's quickload
# brings back the hidden staff and the grown keeper, and the hero stands where he walked, not at his start.
# Usage: characters_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600

echo 'sendcmd("game", "StartChapter", "chapter1")' >>"$E2E_GAME/pimb/Functions.lua"
e2e_lua_commands 'if tick == 1 then sendcmd("camera", "ActivateShot", "default") end'
saves=$(e2e_user_file savegames)

STAFF_RGB="224 112 0"
KEEPER_RGB="217 191 25"
HERO_BACK_RGB="26 64 217"
HERO_FRONT_RGB="217 38 25"
# The place beside the hero where his staff stands, and the keeper with room above him to grow.
STAFF_BOX="90 100 160 500"
KEEPER_BOX="260 320 390 200"

# count SHOT BOX RGB: the pixels of that colour in the box.
count() {
    local box rgb
    read -r -a box <<<"$2"
    read -r -a rgb <<<"$3"
    e2e_count_colour "$1" "${box[@]}" "${rgb[@]}"
}
# hero_x SHOT: the middle, left to right, of the hero on the floor (the lowest 180 rows, left half): of his
# blue back and his red front, so that a glance turning him round moves it little; nothing when he is not
# seen.
hero_x() {
    local rgb width left low="" high=""
    for rgb in "$HERO_BACK_RGB" "$HERO_FRONT_RGB"; do
        read -r width left _ <<<"$(e2e_colour_box "$1" 400 180 0 420 $rgb)"
        ((width > 0)) || continue
        [[ -n $low ]] && ((left >= low)) || low=$left
        [[ -n $high ]] && ((left + width <= high)) || high=$((left + width))
    done
    if [[ -n $low ]]; then echo $(((low + high) / 2)); fi
}
# hero_arrived SHOT: the hero has left his start (start_x) and stays put for half a second.
hero_arrived() {
    local before after
    before=$(hero_x "$1")
    sleep 0.5
    e2e_screenshot "$1"
    after=$(hero_x "$1")
    [[ -n $before && -n $after ]] && ((before - start_x > 60 && after - before <= 3 && before - after <= 3))
}
# The hero's "offset" in the quicksave.
saved_offset() {
    e2e_saved_offset "$saves/_system.tsg" characters_hero
}
close_game() {
    e2e_close_window
    e2e_wait_exit 60
    [[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
}

e2e_start
e2e_wait_tick 2
sleep 0.6
e2e_screenshot carrying
e2e_lua 'sendcmd("charactermanager", "HideSlave", "characters_hero", "staff")'
sleep 0.6
e2e_screenshot bare
carried=$(count carrying "$STAFF_BOX" "$STAFF_RGB")
hidden=$(count bare "$STAFF_BOX" "$STAFF_RGB")
((carried >= 200 && hidden < 20)) ||
    e2e_fail "the staff is not beside the hero until hidden: $carried pixels, then $hidden"

keeper_before=$(count bare "$KEEPER_BOX" "$KEEPER_RGB")
e2e_lua 'sendcmd("charactermanager", "Scale", "characters_keeper", 1.6, 2)'
sleep 1
e2e_screenshot growing
sleep 2
e2e_screenshot grown
keeper_half=$(count growing "$KEEPER_BOX" "$KEEPER_RGB")
keeper_grown=$(count grown "$KEEPER_BOX" "$KEEPER_RGB")
((keeper_half > keeper_before + 100 && keeper_grown > keeper_half + 100)) ||
    e2e_fail "the keeper's back did not grow over the time: $keeper_before, $keeper_half, $keeper_grown pixels"

e2e_lua 'sendcmd("tarq", "quicksave")'
e2e_wait_file "$saves/_system.tsg" 30
at_start=$(saved_offset)
[[ -n $at_start ]] || e2e_fail "the quicksave holds no offset of the hero"
rm -f "$saves/_system.tsg"
xdotool mousemove --window "$E2E_WINDOW" 300 450
sleep 0.5
start_x=$(hero_x carrying)
xdotool click 1
e2e_await_shot walked 30 hero_arrived || e2e_fail "the hero did not walk away from his start"
e2e_lua 'sendcmd("tarq", "quicksave")'
e2e_wait_file "$saves/_system.tsg" 30
walked=$(saved_offset)
# The click sends him about 50 from his start.
e2e_apart "$at_start" "$walked" 30 ||
    e2e_fail "the hero's saved offset '$walked' is not away from his start '$at_start'"
close_game

# A fresh run shows the staff and the keeper as the chapter starts; quickloaded, the staff is hidden and the
# keeper grown as saved.
rm -f "$E2E_ROOT/ticks.txt"
e2e_start
e2e_wait_tick 2 60
sleep 0.6
e2e_screenshot fresh
fresh_keeper=$(count fresh "$KEEPER_BOX" "$KEEPER_RGB")
# The loaded hall is up once the hero is seen again beside a grown keeper (the load first shows black).
loaded_shown() {
    [[ -n $(hero_x "$1") ]] && (($(count "$1" "$KEEPER_BOX" "$KEEPER_RGB") > fresh_keeper + 200))
}
e2e_lua 'sendcmd("tarq", "quickload")'
e2e_await_shot loaded 20 loaded_shown || true
fresh_staff=$(count fresh "$STAFF_BOX" "$STAFF_RGB")
loaded_staff=$(count loaded "$STAFF_BOX" "$STAFF_RGB")
((fresh_staff >= 200 && loaded_staff < 20)) ||
    e2e_fail "the quickload does not take the staff away: $fresh_staff pixels fresh, $loaded_staff loaded"
loaded_keeper=$(count loaded "$KEEPER_BOX" "$KEEPER_RGB")
((loaded_keeper > fresh_keeper + 200)) ||
    e2e_fail "the quickloaded keeper is not grown: $fresh_keeper pixels fresh, $loaded_keeper loaded"
walked_x=$(hero_x walked)
loaded_x=$(hero_x loaded)
[[ -n $loaded_x ]] && ((loaded_x - walked_x < 20 && walked_x - loaded_x < 20)) ||
    e2e_fail "the quickloaded hero stands at x ${loaded_x:-(not seen)}, not where he walked ($walked_x); at his start $start_x"
close_game
echo "characters: passed"
