# End-to-end harness, sourced by the *_e2e.sh tests: runs the real program on a copy of the demo game
# under the current X display (scripts/with-display.sh provides Xvfb), with HOME in a temporary folder,
# and plays it through xdotool like a player.
#
#   e2e_setup BINARY BUILD_DIR     copies the demo into a fresh working folder, makes a fresh HOME
#   e2e_launch [WRAPPER...]        starts the game (through the wrapper command when one is given, e.g.
#                                  a debugger with "--args", or env) without waiting (E2E_PID); its
#                                  standard output goes to $E2E_ROOT/output.txt, its standard error to
#                                  $E2E_ROOT/errors.txt
#   e2e_wait_window [WRAPPER...]   waits for the window of the game so started (E2E_WINDOW)
#   e2e_start [WRAPPER...]         e2e_launch, then e2e_wait_window
#   e2e_wait_log TEXT [SECONDS]    waits until the game's log holds the text (fails after the time)
#   e2e_wait_file FILE [SECONDS]   waits until the file exists (fails when the game ends first or after the time)
#   e2e_screenshot NAME            captures the screen into $E2E_SHOTS/NAME.png
#   e2e_close_window               closes the window as a player would
#   e2e_wait_exit [SECONDS]        waits for the game to end; its exit code in E2E_EXIT
#   e2e_user_file NAME             path of a file in the game's user folder
#   e2e_fail MESSAGE               prints the message and the log, ends the test with failure
#   e2e_record_sound               the game's sound goes through OpenAL Soft's wave driver into
#                                  $E2E_RECORDING (rewritten at each start)
set -euo pipefail

e2e_setup() {
    E2E_BINARY=$(realpath "$1")
    E2E_BUILD=$(realpath "$2")
    E2E_ROOT=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-e2e.XXXXXX")
    E2E_GAME="$E2E_ROOT/game"
    E2E_HOME="$E2E_ROOT/home"
    E2E_SHOTS=${E2E_SHOTS:-$E2E_ROOT/shots}
    mkdir -p "$E2E_HOME" "$E2E_SHOTS"
    cp -a "$E2E_BUILD/demo" "$E2E_GAME"
    trap e2e_cleanup EXIT
}

e2e_cleanup() {
    if [[ -n "${E2E_PID:-}" ]] && kill -0 "$E2E_PID" 2>/dev/null; then
        kill -9 "$E2E_PID" 2>/dev/null || true
    fi
    [[ -n "${E2E_KEEP:-}" ]] || rm -rf "$E2E_ROOT"
}

e2e_record_sound() {
    E2E_RECORDING="$E2E_ROOT/recording.wav"
    printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$E2E_RECORDING" >"$E2E_ROOT/alsoft.conf"
    export ALSOFT_CONF="$E2E_ROOT/alsoft.conf"
    unset ALSOFT_DRIVERS # it would override the configuration
}

e2e_user_file() {
    echo "$E2E_HOME/Documents/Quillmere/$1"
}

e2e_fail() {
    echo "FAIL: $*" >&2
    local log
    log=$(e2e_user_file welk.log)
    [[ -f "$log" ]] && tail -n 40 "$log" >&2
    [[ -f "$E2E_ROOT/output.txt" ]] && tail -n 40 "$E2E_ROOT/output.txt" >&2
    [[ -f "$E2E_ROOT/errors.txt" ]] && tail -n 40 "$E2E_ROOT/errors.txt" >&2
    exit 1
}

# The GL driver leaks from libraries that OGRE unloads at shutdown, where no suppression can name them;
# the unit tests keep the leak check on for our own code.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=0"

e2e_launch() {
    (cd "$E2E_GAME" && HOME="$E2E_HOME" exec "$@" "$E2E_BINARY") >"$E2E_ROOT/output.txt" 2>"$E2E_ROOT/errors.txt" &
    E2E_PID=$!
}

e2e_start() {
    e2e_launch "$@"
    e2e_wait_window "$@"
}

e2e_wait_window() {
    # A wrapper's child owns the window; the screen is this test's own, so the title alone finds it.
    local owner=(--pid "$E2E_PID")
    [[ $# -eq 0 ]] || owner=()
    E2E_WINDOW=""
    for _ in $(seq 600); do
        E2E_WINDOW=$(xdotool search --onlyvisible "${owner[@]}" --name '^The Quillmere$' 2>/dev/null | head -n 1 || true)
        [[ -n "$E2E_WINDOW" ]] && return 0
        kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended before its window appeared"
        sleep 0.1
    done
    e2e_fail "no window 'The Quillmere' after 60 s"
}

e2e_wait_log() {
    local text=$1 seconds=${2:-60} log
    log=$(e2e_user_file welk.log)
    for _ in $(seq $((seconds * 10))); do
        grep -qF -- "$text" "$log" 2>/dev/null && return 0
        sleep 0.1
    done
    e2e_fail "no '$text' in the log after $seconds s"
}

e2e_wait_file() {
    local file=$1 seconds=${2:-30}
    for _ in $(seq $((seconds * 10))); do
        [[ -e $file ]] && return 0
        kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself"
        sleep 0.1
    done
    e2e_fail "no $file after $seconds s"
}

e2e_screenshot() {
    import -window root "$E2E_SHOTS/$1.png"
}

e2e_close_window() {
    "$(dirname "$E2E_BINARY")/close_window" "$E2E_WINDOW"
}

e2e_wait_exit() {
    local seconds=${1:-60}
    for _ in $(seq $((seconds * 10))); do
        if ! kill -0 "$E2E_PID" 2>/dev/null; then
            E2E_EXIT=0
            wait "$E2E_PID" || E2E_EXIT=$?
            E2E_PID=""
            return 0
        fi
        sleep 0.1
    done
    e2e_fail "the game did not end within $seconds s"
}
