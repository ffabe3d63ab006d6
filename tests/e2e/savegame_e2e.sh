#!/usr/bin/env bash
# Save games in the running program. The start scans the save folder (a broken save is logged and the game
# starts all the same) and unlocks the first chapter in the settings. The save commands that the game's Lua
# sends before any game runs write nothing, load nothing and leave the saves there as they were; the game
# still runs and ends with exit code 0 when its window is closed.
# Then a game runs: the start-up Lua asks for chapter1 ("StartChapter"), which starts in one of the first
# frames. The tower room's chart runs e2e_on_start() when the started game reaches it ("game.Started");
# each run's start-up Lua says what that does. The second run quicksaves a marked game, the third starts a
# fresh game and quickloads the marked one, and writes what it then finds into loaded.txt.
# Usage: savegame_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"

saves=$(e2e_user_file savegames)
mkdir -p "$saves"
cp "$(dirname "$0")/../../fuzz/corpus/savegame/played.tsg" "$saves/savegame0.tsg"
echo '<savegame version="1.03"><name>cut short' >"$saves/savegame1.tsg"
kept=$(sha256sum "$saves/savegame0.tsg" "$saves/savegame1.tsg")
functions="$E2E_GAME/pimb/Functions.lua"
cp "$functions" "$E2E_ROOT/Functions.lua"
tower="$E2E_GAME/pimb/chapter1/charts/tower.scxml"
sed -i 's|<state id="lit">|<state id="lit"><onentry><script>if e2e_on_start then e2e_on_start() end</script></onentry>|' "$tower"
grep -q e2e_on_start "$tower" || e2e_fail "the tower chart was not extended"
cat >>"$functions" <<'LUA'
for _, command in ipairs({"quicksave", "autosave", "quickload", "autoload"}) do
    sendcmd("tarq", command)
end
LUA

e2e_start
e2e_wait_log "Finished loading resource group GAMEDATA"
grep -q "Load savegames" "$(e2e_user_file welk.log)" || e2e_fail "the start did not load the save games"
log=$(e2e_user_file welk.log)
grep -q "savegame1.tsg" "$log" || e2e_fail "no log line about the broken save"
grep -q "<unlocked_chapter1>true</unlocked_chapter1>" "$(e2e_user_file config.xml)" \
    || e2e_fail "the first chapter is not unlocked in config.xml"
[[ ! -e $saves/_system.tsg && ! -e $saves/_autosave.tsg ]] || e2e_fail "a save was written without a game"
[[ $(sha256sum "$saves/savegame0.tsg" "$saves/savegame1.tsg") == "$kept" ]] || e2e_fail "a save was changed"
kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself"
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"

# Runs the game with the original start-up Lua followed by the given Lua until loaded.txt or _system.tsg
# (the file given) appears, then closes it; it must end with exit code 0.
run_game() {
    local wait_for=$1 lua=$2
    cp "$E2E_ROOT/Functions.lua" "$functions"
    printf '%s\n' "$lua" >>"$functions"
    e2e_start
    e2e_wait_file "$wait_for" 60
    sleep 0.5
    e2e_close_window
    e2e_wait_exit 60
    [[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
}

run_game "$saves/_system.tsg" '
sendcmd("game", "StartChapter", "chapter1")
function e2e_on_start()
    _globals.e2e_marker = "saved game"
    sendcmd("tarq", "quicksave")
end'
grep -q '<currentchapter>chapter1</currentchapter>' "$saves/_system.tsg" || e2e_fail "_system.tsg holds no chapter1"
grep -q 'e2e_marker' "$saves/_system.tsg" || e2e_fail "_system.tsg holds not the marked game's globals"
grep -q 'scenes_tower' "$saves/_system.tsg" || e2e_fail "_system.tsg holds not the tower room"
saved=$(sha256sum "$saves/_system.tsg")

loaded="$E2E_ROOT/loaded.txt"
run_game "$loaded" "
sendcmd(\"game\", \"StartChapter\", \"chapter1\")
function e2e_on_start()
    if e2e_loading then return end
    e2e_loading = true
    local before = tostring(_globals.e2e_marker)
    sendcmd(\"tarq\", \"quickload\")
    local file = io.open(\"$loaded\", \"w\")
    file:write(before, \" / \", tostring(_globals.e2e_marker), \" / \", sendcmd(\"game\", \"GetCurrentScene\"))
    file:close()
end"
[[ $(cat "$loaded") == "nil / saved game / scenes_tower" ]] || e2e_fail "the loaded game is not the saved one: $(cat "$loaded")"
[[ $(sha256sum "$saves/_system.tsg") == "$saved" ]] || e2e_fail "the quickload changed _system.tsg"
echo "savegame: passed"
