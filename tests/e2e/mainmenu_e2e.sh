#!/usr/bin/env bash
# The main menu as a player meets it, on an 800 x 600 screen, heard through OpenAL Soft's wave driver.
# The game starts on the closed book in its cover's colour with the menu music (440 Hz); a click opens
# the book with readable pages; every click below first moves the pointer there and sees its entry turn
# green (the highlight), then clicks. "Neues Spiel", then the chapter row, starts the game; Escape opens
# "MainPageIngame" at once; on the save page the empty slot is selected, clicked again, "Turm 1" typed
# and "Speichern" clicked: a save of that name. The game goes on and changes (a marker in the game's
# globals, written by the tower's ticks into marker.txt); loading "Turm 1" from the load page undoes it.
# In the settings "subtitle" steps to off and its label is drawn anew; "Speichern" writes it to the
# user's config.xml. "Beenden" writes the autosave and the game ends with exit code 0. The recording holds
# the page turns (990 Hz) and the clicks that hit (1320 Hz).
#
# Waiting for a room on screen (scenes and characters): the hall after the chapter row, the key taken as
# the change, and the door cutscene from Lua without subtitle after "subtitle" was saved off.
# Usage: mainmenu_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600

recording="$E2E_ROOT/recording.wav"
printf '[general]\ndrivers = wave\n[wave]\nfile = %s\n' "$recording" >"$E2E_ROOT/alsoft.conf"
export ALSOFT_CONF="$E2E_ROOT/alsoft.conf"
unset ALSOFT_DRIVERS # it would override the configuration

# No autosave of its own while the test plays: the load page lists "Turm 1" alone.
sed -i 's|<autosave>10</autosave>|<autosave>0</autosave>|' "$E2E_GAME/config.xml"
marker="$E2E_ROOT/marker.txt"
change="$E2E_ROOT/change"
sed -i 's|_globals.tower_ticks = (_globals.tower_ticks or 0) + 1|& e2e_on_tick()|' \
    "$E2E_GAME/pimb/chapter1/sequences/tower_ambience.xml"
grep -q e2e_on_tick "$E2E_GAME/pimb/chapter1/sequences/tower_ambience.xml" || e2e_fail "the tower's ticks were not extended"
cat >>"$E2E_GAME/pimb/Functions.lua" <<LUA
function e2e_on_tick()
    _globals.e2e_marker = _globals.e2e_marker or "started"
    local wanted = io.open("$change")
    if wanted then
        wanted:close()
        os.remove("$change")
        _globals.e2e_marker = "changed"
    end
    local file = io.open("$marker", "w")
    file:write(_globals.e2e_marker)
    file:close()
end
LUA

# The demo book's points on this screen, where the open book's right-hand page spans x 402..770 and
# y 95..505: the middle of each entry's text.
declare -A POINT=(
    [cover]="600 300"
    [newgame]="586 193" [resume]="586 193"
    [savegame]="586 243"
    [loadgame]="586 292" [preferences]="586 292"
    [quit]="586 390"
    [chapter]="595 189" [first_row]="595 189"
    [save]="512 458" [load]="512 458" [save_settings]="512 458"
    [subtitle]="448 210"
)
# Preferences sits one row lower on the in-game main page.
POINT[preferences_ingame]="586 341"

pointer_to() {
    xdotool mousemove --window "$E2E_WINDOW" "$1" "$2"
    sleep 0.6
}

# green_pixels SHOT X Y: the highlight's pixels (clearly green) around the point.
green_pixels() {
    convert "$E2E_SHOTS/$1.png" -crop "160x30+$(($2 - 80))+$(($3 - 15))" +repage \
        -fx '(g > r + 0.2 && g > b + 0.2) ? 1 : 0' -format '%[fx:int(mean * w * h)]' info:
}

# click NAME: the pointer to the point, its entry highlighted (seen on a screenshot within some 12 s), then
# a click.
click() {
    read -r x y <<<"${POINT[$1]}"
    # The book picks on a move only: a page still turning or zooming is picked again by a move beside
    # the point and back.
    for _ in $(seq 10); do
        pointer_to $((x + 2)) "$y"
        pointer_to "$x" "$y"
        e2e_screenshot "over_$1"
        (($(green_pixels "over_$1" "$x" "$y") > 20)) && break
    done
    (($(green_pixels "over_$1" "$x" "$y") > 20)) || e2e_fail "'$1' is not highlighted under the pointer"
    xdotool click 1
    sleep 1.2
}

# dark_pixels SHOT WIDTH HEIGHT LEFT TOP: the text's pixels in that rectangle.
dark_pixels() {
    convert "$E2E_SHOTS/$1.png" -crop "${2}x${3}+${4}+${5}" +repage -colorspace gray -threshold 35% -negate \
        -format '%[fx:int(mean * w * h)]' info:
}

wait_marker() {
    for _ in $(seq 300); do
        [[ "$(cat "$marker" 2>/dev/null)" == "$1" ]] && return 0
        kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself"
        sleep 0.1
    done
    e2e_fail "the game's marker is '$(cat "$marker" 2>/dev/null)', not '$1'"
}

e2e_start
e2e_wait_log "menu shown"
sleep 1
e2e_screenshot closed
e2e_colour_near closed 600 300 120 45 30 20 || e2e_fail "no closed cover in its colour"

# shows_title SHOT: a screenshot, within 5 s, where the open book's left-hand page shows its title.
shows_title() {
    for _ in $(seq 10); do
        e2e_screenshot "$1"
        (($(dark_pixels "$1" 240 60 100 205) > 100)) && return 0
        sleep 0.5
    done
    return 1
}

read -r x y <<<"${POINT[cover]}"
pointer_to "$x" "$y"
xdotool click 1
sleep 1
shows_title open || e2e_fail "no title on the left-hand page"
(($(dark_pixels open 250 230 460 170) > 300)) || e2e_fail "no entries on the right-hand page"

click newgame
click chapter
e2e_wait_log "Loading Done"
wait_marker started

xdotool key Escape
sleep 1
shows_title ingame || e2e_fail "no title on the in-game main page"
(($(dark_pixels ingame 240 30 100 277) == 0)) || e2e_fail "the main page of a new start, not MainPageIngame"

click savegame
click first_row
click first_row
xdotool type --delay 100 "Turm 1"
sleep 0.5
click save
saves=$(e2e_user_file savegames)
grep -l "<name[^>]*>Turm 1</name>" "$saves"/*.tsg >/dev/null 2>&1 || e2e_fail "no save named 'Turm 1'"

click resume
touch "$change"
wait_marker changed
xdotool key Escape
sleep 1
shows_title load_ahead || e2e_fail "no in-game main page after the change"
click loadgame
click first_row
click load
wait_marker started

xdotool key Escape
sleep 1
shows_title settings_ahead || e2e_fail "no in-game main page after the load"
POINT[preferences]=${POINT[preferences_ingame]}
click preferences
pointer_to 700 300
e2e_screenshot subtitle_on
click subtitle
pointer_to 700 300
e2e_screenshot subtitle_off
click save_settings
grep -q "<subtitle>false</subtitle>" "$(e2e_user_file config.xml)" || e2e_fail "subtitle off not written to config.xml"
# "Aus" is drawn where "An" was: the dark letters of a wider word.
for shot in subtitle_on subtitle_off; do
    convert "$E2E_SHOTS/$shot.png" -negate "$E2E_SHOTS/${shot}_negated.png"
done
read -r on_width _ <<<"$(e2e_ink_box subtitle_on_negated 120 30 430 196 65)"
read -r off_width _ <<<"$(e2e_ink_box subtitle_off_negated 120 30 430 196 65)"
((on_width > 5 && off_width > on_width)) || e2e_fail "the label did not change from 'An' ($on_width) to 'Aus' ($off_width)"

click quit
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
[[ -s $saves/_autosave.tsg ]] || e2e_fail "no autosave when quitting"

timeline="$E2E_ROOT/timeline.txt"
"$(dirname "$E2E_BINARY")/tone_timeline" "$recording" 440 990 1320 >"$timeline"
[[ -s $timeline ]] || e2e_fail "the recording is empty"
# Columns: time, menu music, page turn, click. Levels above 0.05 count as heard.
verdict=$(awk '
    $2 > 0.1 && music == "" { music = $1 }
    $3 > 0.05 { turns++ }
    $4 > 0.05 { clicks++ }
    END {
        if (music == "" || music > 10) { print "no menu music from the start"; exit }
        if (turns < 3) { print "no page turns heard"; exit }
        if (clicks < 3) { print "no clicks heard"; exit }
        print "ok"
    }' "$timeline")
[[ $verdict == ok ]] || e2e_fail "$verdict"
echo "mainmenu: passed"
