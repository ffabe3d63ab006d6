#!/usr/bin/env bash
# Leaving the hall by its border exit, as a player on an 800 x 600 screen: chapter 1 is started from Lua and
# the hall shows (not black; the wall, floor and window in their colours, in its shot "default", where
# backdrop point (x, y) is pixel (x, y)). A click on the floor makes the hero walk ("character.Move" reaches
# his chart). The pointer then rests at the right border and is clicked there: the screenshots polled after
# the click go dark, then show the yard (sky above, grass below). Entering the yard, Lua writes out the
# current scene of "game" ("scenes_yard") and whether the tower's chart heard "scene.Leave" (state "door").
# Over the right border the hardware cursor is the leave pointer (its arrow in the leave colour, read by
# cursor_colour), in the middle it is not. In the yard a shot chosen from Lua and a quicksave; a fresh
# run's quickload shows the yard in that shot (the screenshot matches the one before the save) without
# scene events (the yard's chart counts no second visit and notes no second entry).
# Usage: exit_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600

cat >>"$E2E_GAME/pimb/Functions.lua" <<LUA
sendcmd("game", "StartChapter", "chapter1")
function e2e_note(text)
    local file = io.open("$E2E_ROOT/notes.txt", "a")
    file:write(text, "\n")
    file:close()
end
function e2e_in_yard()
    e2e_note("scene " .. tostring(sendcmd("game", "GetCurrentScene")))
    e2e_note("tower left " .. tostring(sendcmd("poolmanager", "AssetInState", "scenes_tower", "door")))
end
LUA
sed -i 's|_globals.yard_visits = (_globals.yard_visits or 0) + 1|& e2e_in_yard()|' \
    "$E2E_GAME/pimb/chapter1/charts/yard.scxml"
grep -q e2e_in_yard "$E2E_GAME/pimb/chapter1/charts/yard.scxml" || e2e_fail "the yard's chart was not extended"
# The hero's chart notes his walks.
sed -i 's|<state id="awake">|&<transition event="character.Move"><script>e2e_note("walk")</script></transition>|' \
    "$E2E_GAME/pimb/chapter1/charts/hero.scxml"
grep -q 'e2e_note("walk")' "$E2E_GAME/pimb/chapter1/charts/hero.scxml" || e2e_fail "the hero's chart was not extended"
e2e_lua_commands 'if tick == 1 then sendcmd("camera", "ActivateShot", "default") end'
# The tower's background ticks on after the hall is left, also in a game loaded there.
again='<script>sendcmd("game", "PlayBackgroundSequence", "scenes_tower", "ambience", 1)</script>'
sed -i "s|<state id=\"door\">|&<transition event=\"sequence.Done\">$again</transition><transition event=\"game.Started\">$again</transition>|" \
    "$E2E_GAME/pimb/chapter1/charts/tower.scxml"
grep -q 'event="sequence.Done">' "$E2E_GAME/pimb/chapter1/charts/tower.scxml" || e2e_fail "the tower's chart was not extended"
# The arrow colour of the demo's leave pointer.
LEAVE_POINTER=30C0F0
pointer() { "$(dirname "$E2E_BINARY")/cursor_colour"; }

e2e_start
e2e_wait_tick 2
sleep 0.6
e2e_screenshot hall
# Wall, floor and window of the hall's picture.
e2e_colour_near hall 300 100 138 122 102 || e2e_fail "no wall in the hall"
e2e_colour_near hall 720 470 107 68 35 || e2e_fail "no floor in the hall"
e2e_colour_near hall 600 160 48 96 208 || e2e_fail "no window in the hall"

# A click on the floor in the middle of the hall: the hero walks.
xdotool mousemove --window "$E2E_WINDOW" 300 450
sleep 0.5
xdotool click 1
for _ in $(seq 50); do
    grep -qx walk "$E2E_ROOT/notes.txt" 2>/dev/null && break
    sleep 0.1
done
grep -qx walk "$E2E_ROOT/notes.txt" 2>/dev/null || e2e_fail "a click on the floor made nobody walk"

[[ $(pointer) != "$LEAVE_POINTER" ]] || e2e_fail "the leave pointer shows in the middle of the hall"

# The right border, then a click there; screenshots every 0.2 s for 6 s.
xdotool mousemove --window "$E2E_WINDOW" 792 300
sleep 0.5
[[ $(pointer) == "$LEAVE_POINTER" ]] || e2e_fail "over the right border the pointer is $(pointer), not the leave pointer"
xdotool click 1
for n in $(seq 30); do
    e2e_screenshot "after$n"
    sleep 0.2
done

# The yard in a shot of its own, saved.
saves=$(e2e_user_file savegames)
e2e_lua 'sendcmd("camera", "ActivateShot", "yard_doorway")'
sleep 1
e2e_screenshot before_save
rm -f "$saves/_system.tsg"
e2e_lua 'sendcmd("tarq", "quicksave")'
e2e_wait_file "$saves/_system.tsg" 30
close_game() {
    e2e_close_window
    e2e_wait_exit 60
    [[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
}
close_game

# A fresh run, quickloaded.
rm -f "$E2E_ROOT/ticks.txt"
e2e_start
e2e_wait_tick 2 60
e2e_lua 'sendcmd("tarq", "quickload")'
as_saved() { (($(e2e_changed_pixels "$1" before_save 800 600 0 0) < 4800)); }
e2e_await_shot loaded 20 as_saved ||
    e2e_fail "the quickloaded yard differs from the one saved in $(e2e_changed_pixels loaded before_save 800 600 0 0) pixels"
e2e_lua 'e2e_note("visits " .. tostring(_globals.yard_visits))'
close_game

brightness() { read -r r g b <<<"$1"; echo $((r + g + b)); }
dark=""
yard=""
for n in $(seq 30); do
    level=$(brightness "$(e2e_mean_colour "after$n" 600 400 100 100)")
    if [[ -z $dark ]]; then
        ((level < 60)) && dark=$n
        continue
    fi
    # The sky is blue above, the grass green below.
    read -r sr sg sb <<<"$(e2e_mean_colour "after$n" 200 60 200 80)"
    read -r gr gg gb <<<"$(e2e_mean_colour "after$n" 200 100 400 330)"
    if ((sb > sr + 40 && gg > gr + 40 && gg > gb + 40)); then
        yard=$n
        break
    fi
done
[[ -n $dark ]] || e2e_fail "the screen never went dark after the click at the border"
[[ -n $yard ]] || e2e_fail "no yard after the screen went dark (screenshot after$dark)"
grep -qx "scene scenes_yard" "$E2E_ROOT/notes.txt" || e2e_fail "not in the yard: $(cat "$E2E_ROOT/notes.txt")"
grep -qx "tower left true" "$E2E_ROOT/notes.txt" || e2e_fail "the tower heard no scene.Leave: $(cat "$E2E_ROOT/notes.txt")"
# The shot saved is not the one the yard starts in.
(($(e2e_changed_pixels before_save "after$yard" 800 600 0 0) > 48000)) || e2e_fail "the yard's shot did not change"
(($(grep -cx "scene scenes_yard" "$E2E_ROOT/notes.txt") == 1)) || e2e_fail "the load entered the yard: $(cat "$E2E_ROOT/notes.txt")"
grep -qx "visits 1" "$E2E_ROOT/notes.txt" || e2e_fail "the yard counted the load as a visit: $(cat "$E2E_ROOT/notes.txt")"
echo "exit: passed"
