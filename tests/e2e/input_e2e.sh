#!/usr/bin/env bash
# Keys and clicks of a player reach the game's input handlers and are routed as in the main menu: the
# pointer hides inside the window and shows at its border (with the hardware cursor off), a left and a
# right click reach only the user interface, Escape without a loaded game changes no mode, and the game
# still closes with exit code 0 afterwards.
#
# In the main menu, before any scene is loaded, none of this changes what the player sees: the menu draws
# nothing yet and there is no cursor image to show. So the game runs under gdb, whose breakpoints note each
# handler as it runs (input_observe.gdb) and let the game go on; neither the program nor its data changes
# for the test, except for the setting that hands the pointer to the menu.
# Usage: input_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
command -v gdb >/dev/null || e2e_fail "gdb is not installed (scripts/setup.sh installs it)"

sed -i 's|<hwcursor>true</hwcursor>|<hwcursor>false</hwcursor>|' "$E2E_GAME/config.xml"
grep -q "<hwcursor>false</hwcursor>" "$E2E_GAME/config.xml" || e2e_fail "the demo's config.xml has no hwcursor"

e2e_start gdb -q -batch -nx -x "$(realpath "$(dirname "$0")")/input_observe.gdb" --args
e2e_wait_log "Finished loading resource group GAMEDATA"
xdotool windowfocus --sync "$E2E_WINDOW"
size=($(xdotool getwindowgeometry --shell "$E2E_WINDOW" | sed -n 's/^\(WIDTH\|HEIGHT\)=//p'))
middle_x=$((size[0] / 2))
middle_y=$((size[1] / 2))

# Each step waits until the game has seen the one before, so that no slow frame merges two of them.
xdotool mousemove --window "$E2E_WINDOW" "$middle_x" "$middle_y"
e2e_await_output "seen: ShowCursor 0" 1
xdotool mousemove --window "$E2E_WINDOW" 0 "$middle_y"
e2e_await_output "seen: ShowCursor 1" 1
# Apart from the click: OIS tells of a move only after the buttons of the same frame.
xdotool mousemove --window "$E2E_WINDOW" "$middle_x" "$middle_y"
e2e_await_output "seen: ShowCursor 0" 2
xdotool click 1
e2e_await_output "seen: GUI release of button 0" 1
xdotool click 3
e2e_await_output "seen: GUI release of button 1" 1
xdotool key Escape
e2e_await_output "seen: GUI key" 1
e2e_close_window
e2e_wait_exit 120
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT after the input"

seen=$(grep '^seen: ' "$E2E_ROOT/output.txt" || true)
expected="seen: ShowCursor 0
seen: ShowCursor 1
seen: ShowCursor 0
seen: GUI release of button 0
seen: GUI release of button 1
seen: Escape in mode 1
seen: GUI key"
if [[ "$seen" != "$expected" ]]; then
    printf 'expected:\n%s\nseen:\n%s\n' "$expected" "$seen" >&2
    e2e_fail "the input was not routed as in the main menu"
fi
echo "input: passed"
