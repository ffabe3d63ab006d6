#!/usr/bin/env bash
# The chapter's characters are built when a game starts: the hero and the keeper read their puppets from
# the chapter's data without a complaint, and the tower hall shows them where its state places them, in
# their colours: on an 800 x 600 screen in the hall's shot "default" (backdrop point (x, y) is pixel
# (x, y)), the hero's back (blue) at his start (backdrop 163, 517), the keeper's back (yellow) at his place
# (519, 419) and his lantern's glass beside him. A puppet that names a mesh or a skeleton file the chapter
# lacks gets a log line naming the file, and the game goes on to its first scene.
# The start-up Lua asks for chapter1 ("StartChapter"); the tower room's chart writes started.txt when the
# started game reaches it ("game.Started"); Lua takes the shot at the room's first tick, the screenshot
# follows its second.
# Usage: puppets_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600

started="$E2E_ROOT/started.txt"
tower="$E2E_GAME/pimb/chapter1/charts/tower.scxml"
sed -i "s|<state id=\"lit\">|<state id=\"lit\"><onentry><script>io.open(\"$started\", \"w\"):close()</script></onentry>|" "$tower"
grep -q started.txt "$tower" || e2e_fail "the tower chart was not extended"
echo 'sendcmd("game", "StartChapter", "chapter1")' >>"$E2E_GAME/pimb/Functions.lua"
e2e_tower_ticks 'if tick == 1 then sendcmd("camera", "ActivateShot", "default") end'
log=$(e2e_user_file welk.log)

# Runs the game until the tower room has started, then closes it; it must end with exit code 0.
run_game() {
    rm -f "$started"
    e2e_start
    e2e_wait_file "$started" 30
    e2e_close_window
    e2e_wait_exit 60
    [[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
}

e2e_start
e2e_wait_tick 2
sleep 0.6
e2e_screenshot figures
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
[[ -e $started ]] || e2e_fail "the tower room did not start"
# figure WHAT COUNT WIDTH HEIGHT LEFT TOP R G B: at least COUNT pixels of that colour in the rectangle.
figure() {
    local seen
    seen=$(e2e_count_colour figures "${@:3}")
    ((seen >= $2)) || e2e_fail "$1: $seen pixels of its colour, fewer than $2"
}
figure "the hero's back at his start" 1000 200 100 63 467 25 64 217
figure "the keeper's back at his place" 1000 200 60 419 395 217 191 25
figure "the keeper's lantern beside him" 30 100 80 400 430 255 224 89
for problem in "was not found" "Couldn't create entity" "Could not retrieve" "AnimPath" "cannot be merged"; do
    if grep -F -- "$problem" "$log"; then
        e2e_fail "the demo's characters gave the line above"
    fi
done

characters="$E2E_GAME/data/chapter1/characters.tdf"
sed -i 's|meshfile="keeper_body.mesh"|meshfile="keeper_gone.mesh"|; s|skeletonfile="hero_extra.skeleton"|skeletonfile="hero_gone.skeleton"|' "$characters"
grep -q keeper_gone.mesh "$characters" && grep -q hero_gone.skeleton "$characters" \
    || e2e_fail "the characters were not broken"
run_game
grep -q "The mesh file 'keeper_gone.mesh' was not found." "$log" || e2e_fail "no log line naming the missing mesh"
grep -q "The skeleton file 'hero_gone.skeleton' was not found." "$log" \
    || e2e_fail "no log line naming the missing skeleton file"
echo "puppets: passed"
