#!/usr/bin/env bash
# The golden key taken with a click, as a player on an 800 x 600 screen: chapter 1 is started from Lua and
# the hall shows in its shot "default", the keeper sent out of the hall so that the key on the bench shows
# (a gold bar about backdrop 612..637, 470..478). The pointer on the key and a click: the hero's chart hears
# "character.Interact" with the key and sends "itemmanager" "RemoveItem" and "inventory" "AddItem", so the
# key's gold leaves its region of the hall. The inventory row, opened with the pointer on the screen's last
# pixel row, shows the key's icon. A quicksave holds the key in the hero's inventory and no element for it
# under "itemmanager", where the lamp, still in the hall, has its own.
# Usage: takekey_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600

# The key's gold as the hall shows it (items.material) and its icon's (media/40-gui.sh).
KEY_RGB="217 179 26"
ICON_RGB="255 215 0"
KEY_BOX="45 30 602 460"
KEY_POINT="624 474"
ROW="800 120 0 480"

echo 'sendcmd("game", "StartChapter", "chapter1")' >>"$E2E_GAME/pimb/Functions.lua"
e2e_lua_commands 'if tick == 1 then
        sendcmd("camera", "ActivateShot", "default")
        sendcmd("charactermanager", "RemoveCharacter", "characters_keeper")
    end'

# Checks for e2e_await_shot, given the shot's name.
key_shows() { (($(e2e_count_colour "$1" $KEY_BOX $KEY_RGB 12) > 20)); }
key_gone() { (($(e2e_count_colour "$1" $KEY_BOX $KEY_RGB 12) == 0)); }
icon_in_row() { (($(e2e_count_colour "$1" $ROW $ICON_RGB 6) > 150)); }

e2e_start
e2e_wait_tick 2 60
e2e_await_shot hall 20 key_shows || e2e_fail "no key on the bench"

xdotool mousemove --window "$E2E_WINDOW" $KEY_POINT
sleep 0.5
xdotool click 1
e2e_await_shot taken 20 key_gone || e2e_fail "the key clicked is still in the hall"
xdotool mousemove --window "$E2E_WINDOW" 400 599
e2e_await_shot row 20 icon_in_row || e2e_fail "the inventory row shows no key"

saves=$(e2e_user_file savegames)
e2e_lua 'sendcmd("tarq", "quicksave")'
e2e_wait_file "$saves/_system.tsg" 30
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"

save=$(grep -l "<itemmanager" "$saves"/* | head -n 1)
[[ -n $save ]] || e2e_fail "no save holds an itemmanager element: $(ls "$saves")"
items=$(sed -n '/<itemmanager/,/<\/itemmanager>/p' "$save")
grep -q "<items_lamp" <<<"$items" || e2e_fail "the lamp in the hall has no element under itemmanager: $items"
! grep -q "<items_key" <<<"$items" || e2e_fail "the key taken still has an element under itemmanager: $items"
grep -q 'itemid="items_key"' "$save" || e2e_fail "the key is not in the saved inventory"
echo "takekey: passed"
