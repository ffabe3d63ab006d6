#!/usr/bin/env bash
# The chapter's characters are built with their controls, step sounds and blob shadows when a game starts,
# without a complaint. A control whose data names a clip, a pose or a bone the figure lacks, and a blob
# shadow under a bone the skeleton lacks, get a log line naming it, and the game goes on to its first
# scene.
# The start-up Lua asks for chapter1 ("StartChapter"); the tower room's chart writes started.txt when the
# started game reaches it ("game.Started").
# Usage: controls_e2e.sh BINARY BUILD_DIR
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
for problem in "leads to no clip" "finds no pose" "has no bone" "unavailable" "T-Pose" \
    "control type was unknown" "ShadowBlob material"; do
    if grep -F -- "$problem" "$log"; then
        e2e_fail "the demo's characters gave the line above"
    fi
done

characters="$E2E_GAME/data/chapter1/characters.tdf"
sed -i 's|<idle path="skeletal/idle/look"/>|<idle path="skeletal/idle/yawn"/>|;
        s|<headbone boneref="head">|<headbone boneref="crown">|;
        s|<eyes left="blink_l" right="blink_r" speed="1"|<eyes left="blink_l" right="wink" speed="1"|;
        s|<element bone="foot_l" width="26"|<element bone="paw_l" width="26"|' "$characters"
for changed in skeletal/idle/yawn crown wink paw_l; do
    grep -q "$changed" "$characters" || e2e_fail "the characters were not broken ($changed)"
done
run_game
grep -q "The control 'idle' of 'characters_hero' names the animation path 'skeletal/idle/yawn', which leads to no clip." \
    "$log" || e2e_fail "no log line naming the idle without clip"
grep -q "The focus control 'focus' of 'characters_hero' has no bone 'crown'" "$log" \
    || e2e_fail "no log line naming the missing head bone"
grep -q "The face control 'face' of 'characters_hero' finds no pose 'wink'." "$log" \
    || e2e_fail "no log line naming the missing eye pose"
grep -q "The blob shadow of 'characters_keeper' has no bone 'paw_l'" "$log" \
    || e2e_fail "no log line naming the keeper's missing foot"
echo "controls: passed"
