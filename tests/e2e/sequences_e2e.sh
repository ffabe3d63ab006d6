#!/usr/bin/env bash
# Sequences in the running program. The start-up Lua starts chapter1; once the game has started, the tower
# room's chart plays its background sequence on layer 1 (a pause, a tick of "_globals.tower_ticks", a go-to)
# again and again, and the Lua plays the door's sequence ("PlaySequence" with the door's logic as owner)
# without the key: it rattles. At the second tick of the tower the key is taken and the door's sequence
# plays again: the door is unlocked and the chapter's closing cutscene plays (a few seconds: a door creak,
# the keeper's voice, the hero's line, a fade to black and back). The door's chart hears "sequence.Done"
# each time and the Lua writes what it then finds into sequences.txt, with the tower's ticks so far: they
# went on during the cutscene, and go on after it. The game ends with exit code 0 when its window is
# closed.
#
# The door's and the tower's chart and the tower's sequence are extended only to call the Lua of this test.
# A click on the key would play its sequence once the scene's picking has landed; until then the unit tests
# click through the game components.
# Usage: sequences_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"

chapter="$E2E_GAME/pimb/chapter1"
sed -i 's|<state id="lit">|<state id="lit"><onentry><script>if e2e_on_start then e2e_on_start() end</script></onentry>|' \
    "$chapter/charts/tower.scxml"
sed -i 's|<state id="door">|<state id="door"><transition event="sequence.Done"><script>if e2e_on_door_done then e2e_on_door_done() end</script></transition>|' \
    "$chapter/charts/door.scxml"
sed -i 's|_globals.tower_ticks = (_globals.tower_ticks or 0) + 1|& if e2e_on_tick then e2e_on_tick() end|' \
    "$chapter/sequences/tower_ambience.xml"
grep -q e2e_on_start "$chapter/charts/tower.scxml" || e2e_fail "the tower chart was not extended"
grep -q e2e_on_door_done "$chapter/charts/door.scxml" || e2e_fail "the door chart was not extended"
grep -q e2e_on_tick "$chapter/sequences/tower_ambience.xml" || e2e_fail "the tower's sequence was not extended"

report="$E2E_ROOT/sequences.txt"
cat >>"$E2E_GAME/pimb/Functions.lua" <<LUA
sendcmd("game", "StartChapter", "chapter1")
function e2e_write(line)
    local file = io.open("$report", "a")
    file:write(line, "\n")
    file:close()
end
function e2e_on_start()
    sendcmd("game", "PlaySequence", "items_door", "unlock")
end
function e2e_on_door_done()
    e2e_doors = (e2e_doors or 0) + 1
    e2e_write(string.format("door %s rattled %s tries %s ticks %d", tostring(_globals.door),
        tostring(_globals.door_rattled), tostring(_globals.door_tries), _globals.tower_ticks or 0))
end
function e2e_on_tick()
    if _globals.tower_ticks == 2 then
        _globals.key_taken = true
        sendcmd("game", "PlaySequence", "items_door", "unlock")
    elseif e2e_doors == 2 and not e2e_ticked_after then
        e2e_ticked_after = true
        e2e_write("ticks " .. _globals.tower_ticks)
    end
end
LUA

e2e_start
for _ in $(seq 600); do
    grep -q "^ticks" "$report" 2>/dev/null && break
    kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself"
    sleep 0.1
done
[[ -f $report ]] || e2e_fail "no sequence ended within 60 s"
found=$(cat "$report")
# The cutscene lasts seconds, so the tower has ticked on by the time it ends: more than twice.
if ! [[ $found =~ ^"door locked rattled 1 tries 1 ticks 0"$'\n'"door closed rattled 1 tries 2 ticks "([0-9]+)$'\n'"ticks "([0-9]+)$ ]] ||
    ((BASH_REMATCH[1] <= 2 || BASH_REMATCH[2] <= BASH_REMATCH[1])); then
    printf 'found:\n%s\n' "$found" >&2
    e2e_fail "the sequences did not run as the data says"
fi
log=$(e2e_user_file welk.log)
if grep -E "Failed to create SequenceAction|not found in sequence|might not run properly" "$log"; then
    e2e_fail "the demo's sequences have bad data"
fi
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
echo "sequences: passed"
