#!/usr/bin/env bash
# The mistakes a new user makes when starting the game, each on a fresh copy of the demo: the game tells
# on standard error what is wrong in words a player understands and ends with a clear exit code, or starts
# all the same where it can. None of them crashes.
# Usage: startup_mistakes_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"

fresh_game() {
    rm -rf "$E2E_GAME" "$E2E_HOME"
    cp -a "$E2E_BUILD/demo" "$E2E_GAME"
    mkdir -p "$E2E_HOME/Documents/Quillmere"
}

# An X server that has stopped: it takes connections and never answers them. It runs in a session of its
# own: where this test's process group has no parent in its session, the kernel would wake a stopped member
# as soon as another member (a game started here) ends.
silent_server_pid=""
start_silent_server() {
    local display_file="$E2E_ROOT/silent-display" pid_file="$E2E_ROOT/silent-pid"
    # setsid may fork; the shell that becomes the server writes down its own process id first.
    setsid bash -c 'echo $$ >"$1"; exec Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp' _ "$pid_file" \
        3>"$display_file" 2>/dev/null &
    for _ in $(seq 100); do
        [[ -s "$display_file" ]] && break
        sleep 0.1
    done
    [[ -s "$display_file" ]] || e2e_fail "the X server for the silent display did not start"
    SILENT_DISPLAY=":$(head -n 1 "$display_file")"
    silent_server_pid=$(cat "$pid_file")
    kill -STOP "$silent_server_pid"
}
stop_silent_server() {
    [[ -n "$silent_server_pid" ]] || return 0
    kill -CONT "$silent_server_pid" 2>/dev/null || true
    kill "$silent_server_pid" 2>/dev/null || true
    silent_server_pid=""
}
trap 'stop_silent_server; e2e_cleanup' EXIT

# A display number nobody serves.
UNSERVED_DISPLAY=""
for number in $(seq 400 499); do
    if [[ ! -e /tmp/.X11-unix/X$number ]]; then
        UNSERVED_DISPLAY=":$number"
        break
    fi
done
[[ -n "$UNSERVED_DISPLAY" ]] || e2e_fail "no free display number"

# The mistakes; each runs on a fresh game before the launcher starts it.
no_mistake() { :; }
no_plugins_file() { rm "$E2E_GAME/plugins.cfg"; }
broken_settings() {
    printf '%s' "$BROKEN_SETTINGS" >"$(e2e_user_file config.xml)"
    echo "an older broken file" >"$(e2e_user_file config.xml.broken)"
}
BROKEN_SETTINGS='<config><gamedata>data/</gamedata'
missing_data_folder() { sed -i 's|<gamedata>data/</gamedata>|<gamedata>nodata/</gamedata>|' "$E2E_GAME/config.xml"; }
empty_data_folder() {
    mkdir "$E2E_GAME/emptydata"
    sed -i 's|<gamedata>data/</gamedata>|<gamedata>emptydata/</gamedata>|' "$E2E_GAME/config.xml"
}
missing_pimb_folder() { rm -r "$E2E_GAME/pimb"; }

# run_case NAME MISTAKE ENDS EXIT_CODE EXPECTED_ERROR [LAUNCHER...]
# ENDS: "itself" when the game must end on its own, "window" when it starts and is closed by the player.
run_case() {
    local name=$1 mistake=$2 ends=$3 code=$4 expected=$5
    shift 5
    fresh_game
    "$mistake"
    e2e_launch "$@"
    if [[ $ends == window ]]; then
        e2e_wait_window "$@"
        e2e_close_window
    fi
    e2e_wait_exit 120
    local errors
    errors=$(cat "$E2E_ROOT/errors.txt")
    [[ $E2E_EXIT -eq $code ]] || e2e_fail "$name: exit code $E2E_EXIT instead of $code"
    [[ $errors == *"$expected"* ]] || e2e_fail "$name: standard error lacks '$expected'"
    [[ $errors != *Sanitizer* && $errors != *"runtime error"* ]] || e2e_fail "$name: the sanitizers found a fault"
    echo "$name: passed"
}

game=$(realpath "$E2E_GAME")
start_silent_server
run_case "no display" no_mistake itself 1 \
    "The Quillmere can't start: cannot open the X display: DISPLAY is not set. The game needs a graphical desktop" \
    env -u DISPLAY
run_case "a display that does not answer" no_mistake itself 1 \
    "The Quillmere can't start: cannot open the X display \"$SILENT_DISPLAY\": the X server there does not answer." \
    env DISPLAY="$SILENT_DISPLAY"
stop_silent_server
run_case "a display where no X server runs" no_mistake itself 1 \
    "The Quillmere can't start: cannot open the X display \"$UNSERVED_DISPLAY\": no X server runs there" \
    env DISPLAY="$UNSERVED_DISPLAY"
run_case "no plugins.cfg in the current folder" no_plugins_file itself 1 \
    "The Quillmere can't start: cannot find plugins.cfg in $game/. The game starts in its working folder"
run_case "a broken config.xml" broken_settings window 0 \
    "Warning: the settings file $(e2e_user_file config.xml) can't be read (row 1 col 33); it was moved to $(e2e_user_file config.xml.broken)"
[[ $(cat "$(e2e_user_file config.xml.broken)") == "$BROKEN_SETTINGS" ]] \
    || e2e_fail "config.xml.broken does not hold the broken settings"
grep -q "config.xml: Error reading end tag. (row 1 col 33)" "$(e2e_user_file welk.log)" \
    || e2e_fail "the log does not say where config.xml is broken"
grep -q "<gamedata>data/</gamedata>" "$(e2e_user_file config.xml)" \
    || e2e_fail "no new config.xml was written"
run_case "a missing data folder" missing_data_folder window 0 \
    "Warning: the folder $game/nodata/, which the setting \"gamedata\" names, is missing; it should hold the game's data"
grep -q "which the setting \"gamedata\" names, is missing" "$(e2e_user_file welk.log)" \
    || e2e_fail "the log does not name the missing data folder"
run_case "an empty data folder" empty_data_folder window 0 \
    "Warning: the folder $game/emptydata/, which the setting \"gamedata\" names, is empty"
run_case "a missing pimb folder" missing_pimb_folder window 0 \
    "Warning: the folder $game/pimb/, which the setting \"pimbdata\" names, is missing; it should hold the chapters' logic"
echo "startup mistakes: passed"
