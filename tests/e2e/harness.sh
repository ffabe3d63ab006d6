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
#   e2e_tower_ticks LUA            the tower room's background sequence, which ticks about once a second
#                                  while chapter 1 runs, runs LUA at each tick (its number in `tick`) and
#                                  then notes the tick for e2e_wait_tick
#   e2e_wait_tick N [SECONDS]      waits until the tower has ticked N times (fails when the game ends first
#                                  or after the time, default 30 s)
#   e2e_screenshot NAME            captures the screen into $E2E_SHOTS/NAME.png
#   e2e_await_shot NAME SECONDS CHECK...
#                                  captures NAME again and again until the command CHECK... (given the
#                                  shot's name) succeeds; fails (status 1, after CHECK's own words) when it
#                                  does not within the time or the game ends
#   e2e_lua_commands [LUA]         e2e_tower_ticks running the Lua that e2e_lua hands over at the next tick,
#                                  then LUA
#   e2e_lua LUA [SECONDS]          has the running game run LUA at the tower's next tick and waits until it
#                                  has (fails when the game ends first or after the time, default 30 s)
#   e2e_lua_send LUA               hands LUA over like e2e_lua without waiting (for an effect too short to
#                                  be missed); e2e_lua_wait [SECONDS] then waits until it has run
#   e2e_close_window               closes the window as a player would
#   e2e_wait_exit [SECONDS]        waits for the game to end; its exit code in E2E_EXIT
#   e2e_user_file NAME             path of a file in the game's user folder
#   e2e_fail MESSAGE               prints the message and the log, ends the test with failure
#   e2e_record_sound               the game's sound goes through OpenAL Soft's wave driver into
#                                  $E2E_RECORDING (rewritten at each start)
#   e2e_screen WIDTHxHEIGHT        from here on the display is a new Xvfb screen of that size (the game's
#                                  full-screen window takes the screen's size); it ends with the test
#   e2e_colour_near SHOT X Y R G B [TOLERANCE]
#                                  whether the screenshot's pixel has about that colour (0..255, default
#                                  tolerance 40); says what it saw when not
#   e2e_mean_colour SHOT WIDTH HEIGHT LEFT TOP
#                                  "r g b" (0..255), the mean colour of that rectangle
#   e2e_colours_near "R G B" "R G B" [TOLERANCE]
#                                  whether the two colours are about equal (default tolerance 30)
#   e2e_changed_pixels SHOT OTHER WIDTH HEIGHT LEFT TOP [THRESHOLD]
#                                  how many pixels of that rectangle differ by more than the threshold
#                                  (default 20%) between the two screenshots
#   e2e_count_colour SHOT WIDTH HEIGHT LEFT TOP R G B [FUZZ]
#                                  how many pixels of that rectangle have about that colour (0..255,
#                                  default fuzz 10% of the colour space)
#   e2e_ink_box SHOT WIDTH HEIGHT LEFT TOP [THRESHOLD]
#                                  "width left top" of the pixels brighter than the threshold (default
#                                  50%) in that rectangle, relative to it; "0" when there are none
#   e2e_colour_box SHOT WIDTH HEIGHT LEFT TOP R G B [FUZZ]
#                                  "width left top" of the pixels of about that colour in that rectangle,
#                                  relative to it; width 0 when there are none
#   e2e_saved_offset SAVE CHARACTER
#                                  the character's saved "offset" ("x y z") in the save file; nothing when
#                                  it holds none
#   e2e_apart "X Y Z" "X Y Z" DISTANCE
#                                  whether the two places lie more than the distance apart seen from above
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
    [[ -z "${E2E_XVFB:-}" ]] || kill "$E2E_XVFB" 2>/dev/null || true
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

# Waits until the game's standard output holds at least COUNT lines that start with PREFIX: a slow frame
# must not merge the next step's input with this one.
e2e_await_output() {
    local prefix=$1 count=$2 seconds=${3:-60}
    for _ in $(seq $((seconds * 10))); do
        (($(grep -c -F -- "$prefix" "$E2E_ROOT/output.txt" 2>/dev/null || true) >= count)) && return 0
        kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself"
        sleep 0.1
    done
    e2e_fail "fewer than $count lines '$prefix' from the game within $seconds s"
}

e2e_tower_ticks() {
    local sequence="$E2E_GAME/pimb/chapter1/sequences/tower_ambience.xml"
    sed -i 's|_globals.tower_ticks = (_globals.tower_ticks or 0) + 1|& e2e_on_tick(_globals.tower_ticks)|' "$sequence"
    grep -q e2e_on_tick "$sequence" || e2e_fail "the tower's sequence was not extended"
    cat >>"$E2E_GAME/pimb/Functions.lua" <<LUA
function e2e_on_tick(tick)
    $1
    local file = io.open("$E2E_ROOT/ticks.txt", "a")
    file:write("tick ", tick, "\n")
    file:close()
end
LUA
}

e2e_wait_tick() {
    local seconds=${2:-30}
    for _ in $(seq $((seconds * 10))); do
        grep -qx "tick $1" "$E2E_ROOT/ticks.txt" 2>/dev/null && return 0
        kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself"
        sleep 0.1
    done
    e2e_fail "no tick $1 of the tower within $seconds s"
}

# The screen as it stands last before the tower's tick NEXT: what the tick before switched is drawn by
# then however slowly frames come, and nothing of tick NEXT yet (its line is written before its frame).
e2e_screenshot_before_tick() {
    local name=$1 next=$2 seconds=${3:-30} candidate="$E2E_SHOTS/.$1.png"
    for _ in $(seq $((seconds * 4))); do
        import -window root "$candidate"
        if grep -qx "tick $next" "$E2E_ROOT/ticks.txt" 2>/dev/null; then
            [[ -e "$E2E_SHOTS/$name.png" ]] || e2e_fail "tick $next came before a screenshot of $name"
            rm -f "$candidate"
            return 0
        fi
        mv "$candidate" "$E2E_SHOTS/$name.png"
        kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself"
    done
    e2e_fail "no tick $next within $seconds s"
}

e2e_screenshot() {
    import -window root "$E2E_SHOTS/$1.png"
}

e2e_await_shot() {
    local name=$1 seconds=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    while true; do
        e2e_screenshot "$name"
        "$@" "$name" 2>/dev/null && return 0
        kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself"
        ((SECONDS < deadline)) || break
        sleep 0.1
    done
    "$@" "$name" || true
    return 1
}

e2e_lua_commands() {
    cat >>"$E2E_GAME/pimb/Functions.lua" <<LUA
function e2e_run_command()
    local file = io.open("$E2E_ROOT/command.lua")
    if not file then return end
    file:close()
    local ran, failure = pcall(dofile, "$E2E_ROOT/command.lua")
    if not ran then
        file = io.open("$E2E_ROOT/command_failure.txt", "w")
        file:write(tostring(failure))
        file:close()
    end
    os.remove("$E2E_ROOT/command.lua")
end
LUA
    e2e_tower_ticks "e2e_run_command() ${1:-}"
}

e2e_lua() {
    e2e_lua_send "$1"
    e2e_lua_wait "${2:-30}"
}

e2e_lua_send() {
    E2E_LUA=$1
    printf '%s\n' "$1" >"$E2E_ROOT/command.new"
    mv "$E2E_ROOT/command.new" "$E2E_ROOT/command.lua"
}

e2e_lua_wait() {
    local seconds=${1:-30}
    for _ in $(seq $((seconds * 10))); do
        if [[ ! -e $E2E_ROOT/command.lua ]]; then
            [[ ! -e $E2E_ROOT/command_failure.txt ]] ||
                e2e_fail "'$E2E_LUA' failed: $(cat "$E2E_ROOT/command_failure.txt")"
            return 0
        fi
        kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself"
        sleep 0.1
    done
    e2e_fail "the game did not run '$E2E_LUA' within $seconds s"
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

e2e_screen() {
    [[ -z "${E2E_XVFB:-}" ]] || kill "$E2E_XVFB" 2>/dev/null || true
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$display_file" 2>/dev/null &
    E2E_XVFB=$!
    for _ in $(seq 100); do
        [[ -s $display_file ]] && break
        sleep 0.1
    done
    [[ -s $display_file ]] || e2e_fail "no Xvfb screen of $1"
    export DISPLAY=":$(head -n 1 "$display_file")"
    rm -f "$display_file"
}

e2e_colour_near() {
    local seen
    seen=$(convert "$E2E_SHOTS/$1.png" -format "%[fx:int(255*p{$2,$3}.r+0.5)] %[fx:int(255*p{$2,$3}.g+0.5)] %[fx:int(255*p{$2,$3}.b+0.5)]" info:)
    read -r r g b <<<"$seen"
    local tolerance=${7:-40}
    ((r >= $4 - tolerance && r <= $4 + tolerance && g >= $5 - tolerance && g <= $5 + tolerance &&
        b >= $6 - tolerance && b <= $6 + tolerance)) && return 0
    echo "$1 at $2,$3 is $seen, not $4 $5 $6" >&2
    return 1
}

e2e_mean_colour() {
    convert "$E2E_SHOTS/$1.png" -crop "${2}x${3}+${4}+${5}" +repage -resize 1x1\! \
        -format "%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]" info:
}

e2e_colours_near() {
    local r1 g1 b1 r2 g2 b2
    read -r r1 g1 b1 <<<"$1"
    read -r r2 g2 b2 <<<"$2"
    local t=${3:-30}
    ((r1 >= r2 - t && r1 <= r2 + t && g1 >= g2 - t && g1 <= g2 + t && b1 >= b2 - t && b1 <= b2 + t))
}

e2e_changed_pixels() {
    convert "$E2E_SHOTS/$1.png" "$E2E_SHOTS/$2.png" -crop "${3}x${4}+${5}+${6}" +repage \
        -compose difference -composite -colorspace gray -threshold "${7:-20}%" -format "%[fx:int(mean*w*h+0.5)]" info:
}

e2e_count_colour() {
    # The colour's pixels turn magenta, all others black; the mean red then counts them.
    convert "$E2E_SHOTS/$1.png" -crop "${2}x${3}+${4}+${5}" +repage -fuzz "${9:-10}%" \
        -fill magenta -opaque "rgb($6,$7,$8)" -fill black +opaque magenta -format "%[fx:int(mean.r*w*h+0.5)]" info:
}

e2e_ink_box() {
    convert "$E2E_SHOTS/$1.png" -crop "${2}x${3}+${4}+${5}" +repage -colorspace gray -threshold "${6:-50}%" \
        -format '%@' info: 2>/dev/null | sed -E 's/^([0-9]+)x[0-9]+\+([0-9]+)\+([0-9]+)$/\1 \2 \3/'
}

e2e_colour_box() {
    # Every other pixel turns black first, so that white of the picture's own does not count.
    convert "$E2E_SHOTS/$1.png" -crop "${2}x${3}+${4}+${5}" +repage -fuzz "${9:-10}%" \
        -fill black +opaque "rgb($6,$7,$8)" -fill white -opaque "rgb($6,$7,$8)" -format '%@' info: 2>/dev/null |
        sed -E 's/^([0-9]+)x[0-9]+\+([0-9]+)\+([0-9]+)$/\1 \2 \3/'
}

e2e_saved_offset() {
    sed -n "s/.*<$2 offset=\"\([^\"]*\)\".*/\1/p" "$1" | head -n 1
}

e2e_apart() {
    local ax az bx bz
    read -r ax _ az <<<"$1"
    read -r bx _ bz <<<"$2"
    awk -v a="$ax" -v b="$az" -v c="$bx" -v d="$bz" -v r="$3" 'BEGIN { exit !(((c - a) ^ 2 + (d - b) ^ 2) > r ^ 2) }'
}
