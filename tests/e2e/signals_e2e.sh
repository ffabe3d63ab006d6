#!/usr/bin/env bash
# SIGTERM and SIGINT end a running game as "quit" does: at the end of a frame, through the whole shutdown,
# with exit code 0 and the log complete.
# Usage: signals_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"

for signal in TERM INT; do
    rm -f "$(e2e_user_file welk.log)"
    e2e_start
    e2e_wait_log "Finished loading resource group GAMEDATA"
    sleep 1 # well into the main loop
    kill -s "$signal" "$E2E_PID"
    e2e_wait_exit 60
    [[ $E2E_EXIT -eq 0 ]] || e2e_fail "SIG$signal ended the game with exit code $E2E_EXIT"
    log=$(e2e_user_file welk.log)
    grep -q "Quit on SIG$signal" "$log" || e2e_fail "the log does not say that SIG$signal ended the game"
    # The last steps of the shutdown: OGRE stops and unloads its render system.
    grep -q "OGRE Shutdown" "$log" || e2e_fail "SIG$signal: the log has no shutdown"
    grep -q "Unloading library .*RenderSystem_GL" "$log" || e2e_fail "SIG$signal: the render system was not unloaded"
    echo "SIG$signal: passed"
done
echo "signals: passed"
