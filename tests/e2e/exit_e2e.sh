#!/usr/bin/env bash
# Leaving the hall by its border exit, as a player on an 800 x 600 screen: chapter 1 is started from Lua and
# the hall shows (not black; the wall, floor and window in their colours, in its shot "default", where
# backdrop point (x, y) is pixel (x, y)). A click on the floor makes the hero walk ("character.Move" reaches
# his chart). The pointer then rests at the right border and is clicked there: the screenshots polled after
# the click go dark, then show the yard (sky above, grass below). Entering the yard, Lua writes out the
# current scene of "game" ("scenes_yard") and whether the tower's chart heard "scene.Leave" (state "door").
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
e2e_tower_ticks 'if tick == 1 then sendcmd("camera", "ActivateShot", "default") end'

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

# The right border, then a click there; screenshots every 0.2 s for 6 s.
xdotool mousemove --window "$E2E_WINDOW" 792 300
sleep 0.5
xdotool click 1
for n in $(seq 30); do
    e2e_screenshot "after$n"
    sleep 0.2
done
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"

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
echo "exit: passed"
