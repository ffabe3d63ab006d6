#!/usr/bin/env bash
# The chapter's characters are built when a game starts: the hero and the keeper read their puppets from
# the chapter's data without a complaint. A puppet that names a mesh or a skeleton file the chapter lacks
# gets a log line naming the file, and the game goes on to its first scene.
# The start-up Lua asks for chapter1 ("StartChapter"); the tower room's chart writes started.txt when the
# started game reaches it ("game.Started").
# Usage: puppets_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"

started="$E2E_ROOT/started.txt"
tower="$E2E_GAME/pimb/chapter1/charts/tower.scxml"
sed -i "s|<state id=\"lit\">|<state id=\"lit\"><onentry><script>io.open(\"$started\", \"w\"):close()</script></onentry>|" "$tower"
grep -q started.txt "$tower" || e2e_fail "the tower chart was not extended"
echo 'sendcmd("game", "StartChapter", "chapter1")' >>"$E2E_GAME/pimb/Functions.lua"
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

run_game
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
