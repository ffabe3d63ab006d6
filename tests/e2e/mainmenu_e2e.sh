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
# The chapter row shows the tower room (its door's teal lintel).
#
# Still to come: the key taken as the change (a click on the key, once the scene picks), and the door
# cutscene played after "subtitle" was saved off, without subtitle (cutscene_e2e.sh shows that with the
# setting written into config.xml beforehand).
# Usage: mainmenu_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/book.sh"
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

# Preferences sits one row lower on the in-game main page.
POINT[preferences_ingame]="586 341"

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

book_open
(($(book_dark_pixels open 250 230 460 170) > 300)) || e2e_fail "no entries on the right-hand page"

book_click newgame
book_click chapter
e2e_wait_log "Loading Done"
wait_marker started
# The tower room is on screen (within 5 s): its door's teal lintel.
for _ in $(seq 10); do
    e2e_screenshot hall
    teal=$(convert "$E2E_SHOTS/hall.png" -fuzz 6% -fill black +opaque "rgb(31,153,158)" -fill white \
        -opaque "rgb(31,153,158)" -format '%[fx:int(mean * w * h + 0.5)]' info:)
    ((teal > 500)) && break
    sleep 0.5
done
((teal > 500)) || e2e_fail "the chapter row does not show the tower room ($teal teal pixels)"

xdotool key Escape
sleep 1
book_shows_title ingame || e2e_fail "no title on the in-game main page"
(($(book_dark_pixels ingame 240 30 100 277) == 0)) || e2e_fail "the main page of a new start, not MainPageIngame"

book_click savegame
book_click first_row
book_click first_row
xdotool type --delay 100 "Turm 1"
sleep 0.5
book_click save
saves=$(e2e_user_file savegames)
grep -l "<name[^>]*>Turm 1</name>" "$saves"/*.tsg >/dev/null 2>&1 || e2e_fail "no save named 'Turm 1'"

book_click resume
touch "$change"
wait_marker changed
xdotool key Escape
sleep 1
book_shows_title load_ahead || e2e_fail "no in-game main page after the change"
book_click loadgame
book_click first_row
book_click load
wait_marker started

xdotool key Escape
sleep 1
book_shows_title settings_ahead || e2e_fail "no in-game main page after the load"
POINT[preferences]=${POINT[preferences_ingame]}
book_click preferences
book_pointer_to 700 300
e2e_screenshot subtitle_on
book_click subtitle
book_pointer_to 700 300
e2e_screenshot subtitle_off
book_click save_settings
grep -q "<subtitle>false</subtitle>" "$(e2e_user_file config.xml)" || e2e_fail "subtitle off not written to config.xml"
# "Aus" is drawn where "An" was: the dark letters of a wider word.
for shot in subtitle_on subtitle_off; do
    convert "$E2E_SHOTS/$shot.png" -negate "$E2E_SHOTS/${shot}_negated.png"
done
read -r on_width _ <<<"$(e2e_ink_box subtitle_on_negated 120 30 430 196 65)"
read -r off_width _ <<<"$(e2e_ink_box subtitle_off_negated 120 30 430 196 65)"
((on_width > 5 && off_width > on_width)) || e2e_fail "the label did not change from 'An' ($on_width) to 'Aus' ($off_width)"

book_click quit
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
