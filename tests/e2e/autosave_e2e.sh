#!/usr/bin/env bash
# The autosave at its shortest interval (10 played seconds) in the running game: chapter 1 is started from
# Lua and the player stands in the hall, so the game is saveable once the curtain has opened; an autosave
# appears. While the scene manager is busy (interaction blocked from Lua, one of the flags that also hold
# while the curtain is down for a change), none does.
# Usage: autosave_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"

sed -i "s|<autosave>[0-9]*</autosave>|<autosave>10</autosave>|" "$E2E_GAME/config.xml"
grep -q "<autosave>10</autosave>" "$E2E_GAME/config.xml" || e2e_fail "no autosave setting in config.xml"
saves=$(e2e_user_file savegames)

run_for_autosave() { # run_for_autosave LUA SECONDS: whether an autosave appeared within the seconds
    local lua=$1 seconds=$2
    cp "$E2E_ROOT/Functions.lua" "$E2E_GAME/pimb/Functions.lua"
    cat >>"$E2E_GAME/pimb/Functions.lua" <<LUA
sendcmd("game", "StartChapter", "chapter1")
$lua
LUA
    rm -f "$saves/_autosave.tsg"
    e2e_start
    local found=1
    for _ in $(seq $((seconds * 10))); do
        if [[ -e $saves/_autosave.tsg ]]; then
            found=0
            break
        fi
        sleep 0.1
    done
    e2e_close_window
    e2e_wait_exit 60
    [[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
    return $found
}

e2e_tower_ticks 'if e2e_tick_hook then e2e_tick_hook(tick) end'
cp "$E2E_GAME/pimb/Functions.lua" "$E2E_ROOT/Functions.lua"
run_for_autosave "" 45 || e2e_fail "no autosave while the player stood in the hall"
# From the tower's first tick on, interaction is blocked, as while the curtain is down for a change.
if run_for_autosave 'function e2e_tick_hook() sendcmd("scenemanager", "BlockInteraction", true) end' 30; then
    e2e_fail "an autosave was written while interaction was blocked"
fi
echo "autosave: passed"
