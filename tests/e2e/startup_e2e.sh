#!/usr/bin/env bash
# The game starts on the demo data, shows its window, writes its log and OGRE settings, and ends with exit
# code 0 when the window is closed and when a script asks it to quit. Broken data gives log lines and the
# game starts all the same.
# Usage: startup_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"

# A normal start, closed through the window.
e2e_start
e2e_wait_log "Finished loading resource group GAMEDATA"
e2e_screenshot started
[[ -f $(e2e_user_file welk.log) ]] || e2e_fail "no welk.log in the user folder"
grep -q "Full Screen" "$(e2e_user_file ogre.cfg)" || e2e_fail "no ogre.cfg with the render settings"
grep -q "^Render System=OpenGL Rendering Subsystem" "$(e2e_user_file ogre.cfg)" \
    || e2e_fail "ogre.cfg names another render system"
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "closing the window ended the game with exit code $E2E_EXIT"

# Broken data: a config.xml that is no XML, a .tdf with an XML error, no sounds.xml, no Functions.lua.
echo "<config><gamedata>data/</gamedata" >"$(e2e_user_file config.xml)"
printf '<?xml version="1.0" ?>\n<tarqdata>\n  <chapterdata id="broken">\n</tarqdata>\n' \
    >"$E2E_GAME/data/common/broken.tdf"
rm "$E2E_GAME/data/sound/sounds.xml" "$E2E_GAME/pimb/Functions.lua"
e2e_start
e2e_wait_log "Finished loading resource group GAMEDATA"
log=$(e2e_user_file welk.log)
grep -q "config.xml" "$log" || e2e_fail "no log line about the broken config.xml"
grep -q "broken.tdf' in row" "$log" || e2e_fail "no log line about the broken .tdf"
grep -q "sounds.xml" "$log" || e2e_fail "no log line about the missing sounds.xml"
grep -q "Functions.lua" "$log" || e2e_fail "no log line about the missing Functions.lua"
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game with broken data ended with exit code $E2E_EXIT"

# A script that asks to quit: the game ends at the end of its first frame.
rm "$(e2e_user_file config.xml)"
echo 'sendcmd("tarq", "quit")' >"$E2E_GAME/pimb/Functions.lua"
e2e_launch
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "quit ended the game with exit code $E2E_EXIT"
echo "startup: passed"
