#!/usr/bin/env bash
# Save games in the running program. The start scans the save folder (a broken save is logged and the game
# starts all the same) and unlocks the first chapter in the settings. The save commands that the game's Lua
# sends before any game runs write nothing, load nothing and leave the saves there as they were; the game
# still runs and ends with exit code 0 when its window is closed.
# Usage: savegame_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"

saves=$(e2e_user_file savegames)
mkdir -p "$saves"
cp "$(dirname "$0")/../../fuzz/corpus/savegame/played.tsg" "$saves/savegame0.tsg"
echo '<savegame version="1.03"><name>cut short' >"$saves/savegame1.tsg"
kept=$(sha256sum "$saves/savegame0.tsg" "$saves/savegame1.tsg")
cat >>"$E2E_GAME/pimb/Functions.lua" <<'LUA'
for _, command in ipairs({"quicksave", "autosave", "quickload", "autoload"}) do
    sendcmd("tarq", command)
end
LUA

e2e_start
sleep 1
log=$(e2e_user_file welk.log)
grep -q "Load savegames" "$log" || e2e_fail "the start did not load the save games"
grep -q "savegame1.tsg" "$log" || e2e_fail "no log line about the broken save"
grep -q "<unlocked_chapter1>true</unlocked_chapter1>" "$(e2e_user_file config.xml)" \
    || e2e_fail "the first chapter is not unlocked in config.xml"
[[ ! -e $saves/_system.tsg && ! -e $saves/_autosave.tsg ]] || e2e_fail "a save was written without a game"
[[ $(sha256sum "$saves/savegame0.tsg" "$saves/savegame1.tsg") == "$kept" ]] || e2e_fail "a save was changed"
kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself"
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
echo "savegame: passed"
