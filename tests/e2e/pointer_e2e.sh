#!/usr/bin/env bash
# The pointer is where the player sees it: moved by xdotool to a window pixel and clicked there, it reaches
# the game's user interface (and with it hover and picking, which read the same mouse state) at that pixel,
# within 1 pixel, from the first move on: at the window's centre and at its two far corners. Two clicks at
# different places that the game reads in one frame, as after a slow frame, each reach it where they were
# made.
#
# The main menu draws nothing yet, so the game runs under gdb, whose breakpoints note the position the
# user interface is handed (pointer_observe.gdb), as input_e2e.sh does.
# Usage: pointer_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
command -v gdb >/dev/null || e2e_fail "gdb is not installed (scripts/setup.sh installs it)"

e2e_start gdb -q -batch -nx -x "$(realpath "$(dirname "$0")")/pointer_observe.gdb" --args
e2e_wait_log "Finished loading resource group GAMEDATA"
xdotool windowfocus --sync "$E2E_WINDOW"
size=($(xdotool getwindowgeometry --shell "$E2E_WINDOW" | sed -n 's/^\(WIDTH\|HEIGHT\)=//p'))
points=("$((size[0] / 2)) $((size[1] / 2))" "0 0" "$((size[0] - 1)) $((size[1] - 1))")

releases=0
for point in "${points[@]}"; do
    # shellcheck disable=SC2086 # the point is two words
    xdotool mousemove --window "$E2E_WINDOW" $point
    sleep 0.5
    xdotool click 1
    # The game has seen this click before the pointer goes on.
    releases=$((releases + 1))
    e2e_await_output "seen: release " "$releases"
done

# The game is held at its move to (7, 5) while both clicks are made.
xdotool mousemove --window "$E2E_WINDOW" 7 5
e2e_wait_file "$E2E_GAME/held" 60
together=("$((size[0] / 4)) $((size[1] / 4))" "$((size[0] * 3 / 4)) $((size[1] * 3 / 4))")
# shellcheck disable=SC2086 # each point is two words
xdotool mousemove --window "$E2E_WINDOW" ${together[0]} click 1 mousemove --window "$E2E_WINDOW" ${together[1]} click 1
sleep 0.5
touch "$E2E_GAME/go"
sleep 2
e2e_close_window
e2e_wait_exit 120
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT after the moves"

# Each release against the point of that click, and each point clicked alone among the moves seen (the
# game hears of a frame's moves once, after its button events, so a move may come after its click).
near() { # near X Y SEEN_X SEEN_Y
    (($3 >= $1 - 1 && $3 <= $1 + 1 && $4 >= $2 - 1 && $4 <= $2 + 1))
}
clicked=("${points[@]}" "${together[@]}")
mapfile -t seen < <(grep '^seen: ' "$E2E_ROOT/output.txt" || true)
clicks=0
for line in "${seen[@]}"; do
    [[ $line == "seen: release "* ]] || continue
    ((clicks < ${#clicked[@]})) || e2e_fail "more releases than clicks: ${seen[*]}"
    read -r x y <<<"${clicked[clicks]}"
    # shellcheck disable=SC2086 # two numbers
    near "$x" "$y" ${line#seen: release } ||
        e2e_fail "a click at $x $y reached the game at ${line#seen: release }: ${seen[*]}"
    clicks=$((clicks + 1))
done
((clicks == ${#clicked[@]})) || e2e_fail "$clicks of ${#clicked[@]} clicks were seen: ${seen[*]}"
for point in "${points[@]}"; do
    read -r x y <<<"$point"
    found=""
    for line in "${seen[@]}"; do
        # shellcheck disable=SC2086 # two numbers
        [[ $line == "seen: move "* ]] && near "$x" "$y" ${line#seen: move } && found=yes
    done
    [[ -n $found ]] || e2e_fail "the pointer moved to $x $y was not seen there: ${seen[*]}"
done
echo "pointer: passed"
