#!/usr/bin/env bash
# A walking character's footsteps reach the sound: the hero walks across the tower hall, whose floor is of
# planks, and each of his steps plays "step_wood" (its own pitch, 370 Hz) and none "step_stone" (1480 Hz),
# both through OpenAL Soft's wave driver into a recording. Standing, he makes no step.
# The walk is a sequence the test adds (the hero onto the key's place), played from Lua on the third tick
# of the tower's background sequence; its last action writes walked.txt.
# Usage: steps_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_record_sound

pimb="$E2E_GAME/pimb/chapter1"
walked="$E2E_ROOT/walked.txt"
sed -i 's|_globals.tower_ticks = (_globals.tower_ticks or 0) + 1|& e2e_on_tick(_globals.tower_ticks)|' \
    "$pimb/sequences/tower_ambience.xml"
sed -i 's|<parameter name="ambience" assetid="sequences_tower_ambience"/>|&<parameter name="e2e_walk" assetid="sequences_e2e_walk"/>|' \
    "$pimb/scenes.xml"
sed -i 's|<assetpool>|&<asset id="sequences_e2e_walk" name="walk"><action id="walk" type="MoveToPositionAction" locationref="op_key" exactpos="false" exactrot="false"/><action id="done" type="ScriptAction">io.open("'"$walked"'", "w"):close()</action></asset>|' \
    "$pimb/sequences.xml"
for changed in "$pimb/sequences/tower_ambience.xml" "$pimb/scenes.xml" "$pimb/sequences.xml"; do
    grep -q e2e_ "$changed" || e2e_fail "$changed was not extended"
done
cat >>"$E2E_GAME/pimb/Functions.lua" <<LUA
sendcmd("game", "StartChapter", "chapter1")
function e2e_on_tick(tick)
    if tick == 3 then
        local file = io.open("$E2E_ROOT/walking.txt", "w")
        file:close()
        sendcmd("game", "PlaySequence", "scenes_tower", "e2e_walk")
    end
end
LUA

e2e_start
e2e_wait_file "$E2E_ROOT/walking.txt" 60
# Where the recording stands when the walk begins: what came before is standing.
standing=$(stat -c %s "$E2E_RECORDING")
e2e_wait_file "$walked" 30
sleep 1
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
! grep -F "Sound Definition" "$(e2e_user_file welk.log)" || e2e_fail "a step sound is missing"

# Stereo 32-bit floats at 44.1 kHz after a 44-byte header (OpenAL Soft's wave file, platform notes).
walk_start=$(awk -v bytes="$standing" 'BEGIN { printf "%.2f", (bytes - 44) / 8 / 44100 }')
timeline="$E2E_ROOT/timeline.txt"
"$(dirname "$E2E_BINARY")/tone_timeline" "$E2E_RECORDING" 370 1480 >"$timeline"
# The steps: runs of 50 ms windows in which the wood's pitch sounds, counted before and after the walk's
# start; the stone's pitch must not sound at all.
read -r before after stone <<<"$(awk -v start="$walk_start" '
    { wood = $2 > 0.1; if (wood && !last) { if ($1 < start - 0.3) before++; else after++ } last = wood
      if ($3 > 0.1) stone++ }
    END { print before + 0, after + 0, stone + 0 }' "$timeline")"
((before == 0)) || e2e_fail "$before steps while he stood"
((after >= 3)) || e2e_fail "only $after steps of wood during the walk"
((stone == 0)) || e2e_fail "stone steps on the hall's planks"
echo "steps: passed ($after steps of wood)"
