#!/usr/bin/env bash
# Damaged files as a player's disk or an author's editor makes them, each in a fresh copy of the demo with a
# fresh HOME: every one gives a log line that names the file or id, and the game either runs on (and ends
# with exit code 0 when its window is closed), or goes back to the main menu, whose open book says why in
# red on its left-hand page, or, where it cannot go on, ends with a non-zero exit code.
# Cases marked "play" start the first chapter from the start-up Lua, as the main menu's new game does; the
# last case starts a chapter with a broken new game through the menu, clicking like a player.
# Usage: damaged_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/book.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600

# "<a>" levels times, closed again: far deeper than any real file.
deep() {
    local levels=$1 open close
    open=$(printf '<a>%.0s' $(seq "$levels"))
    close=$(printf '</a>%.0s' $(seq "$levels"))
    printf '%s%s' "$open" "$close"
}
DEEP=$(deep 40000)

fresh_game() {
    rm -rf "$E2E_GAME" "$E2E_HOME"
    cp -a "$E2E_BUILD/demo" "$E2E_GAME"
    mkdir -p "$E2E_HOME" "$(e2e_user_file savegames)"
}

play() {
    echo 'sendcmd("game", "StartChapter", "chapter1")' >>"$E2E_GAME/pimb/Functions.lua"
}

# Whether a screenshot within 60 s shows the open book with the failure message's red letters on the
# left-hand page below the title.
shows_message() {
    for _ in $(seq 120); do
        e2e_screenshot "$1"
        book_opened "$1" && (($(book_pixels "$1" 310 140 60 330 'r > g + 0.15 && r > b + 0.15') > 300)) &&
            return 0
        sleep 0.5
    done
    return 1
}

# One case: the damage (a shell function), what happens ("runs", "menu" or "fails") and the log line it
# must give.
check() {
    local name=$1 damage=$2 outcome=$3 logged=$4 log
    echo "case: $name"
    fresh_game
    "$damage"
    log=$(e2e_user_file welk.log)
    if [[ $outcome != fails ]]; then
        e2e_start
        e2e_wait_log "$logged"
        if [[ $outcome == menu ]]; then
            shows_message "${name// /_}" || e2e_fail "$name: no main menu that says why"
        else
            e2e_wait_log "Finished loading resource group GAMEDATA"
            sleep 1
        fi
        kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "$name: the game ended by itself"
        e2e_close_window
        e2e_wait_exit 60
        [[ $E2E_EXIT -eq 0 ]] || e2e_fail "$name: the game ended with exit code $E2E_EXIT"
    else
        (cd "$E2E_GAME" && HOME="$E2E_HOME" exec "$E2E_BINARY") >"$E2E_ROOT/output.txt" 2>&1 &
        E2E_PID=$!
        e2e_wait_exit 120
        [[ $E2E_EXIT -ne 0 ]] || e2e_fail "$name: the game ended with exit code 0"
        grep -qF -- "$logged" "$log" || e2e_fail "$name: no '$logged' in the log"
    fi
}

deep_config() { printf '<config>%s</config>' "$DEEP" >"$(e2e_user_file config.xml)"; }
deep_save() { printf '<savegame version="1.03"><gamestate>%s</gamestate></savegame>' "$DEEP" \
    >"$(e2e_user_file savegames/savegame5.tsg)"; }
deep_tdf() { printf '<tarqdata>%s</tarqdata>' "$DEEP" >"$E2E_GAME/data/common/deep.tdf"; }
deep_gamestate() { printf '<gamestate>%s</gamestate>' "$DEEP" >"$E2E_GAME/pimb/chapter1/gamestate.xml"; play; }
deep_pool() { printf '<asset id="items_deep">%s</asset>' "$DEEP" >"$E2E_GAME/pimb/chapter1/items/deep.xml"; play; }
deep_chart() { printf '<scxml>%s</scxml>' "$DEEP" >"$E2E_GAME/pimb/chapter1/charts/door.scxml"; play; }
empty_ogre_cfg() { : >"$(e2e_user_file ogre.cfg)"; }
garbage_ogre_cfg() { head -c 300 "$E2E_BINARY" >"$(e2e_user_file ogre.cfg)"; }
bad_resource() { printf '[INTERFACEDATA]\nBogus=nowhere\n' >>"$E2E_GAME/resources.cfg"; }
missing_asset_file() { rm "$E2E_GAME/pimb/chapter1/charts/key.scxml"; play; }
unknown_start_scene() {
    sed -i 's|<startscene>scenes_tower</startscene>|<startscene>scenes_nowhere</startscene>|' \
        "$E2E_GAME/data/common/quillmere.tdf"
    play
}
empty_gamestate() { : >"$E2E_GAME/pimb/chapter1/gamestate.xml"; play; }
empty_gamestate_no_menu() {
    rm "$E2E_GAME/data/interface/mainmenu.tdf"
    empty_gamestate
}

check "deep config.xml" deep_config runs "config.xml nests elements 40001 levels deep"
check "deep save game" deep_save runs "savegame5.tsg nests elements 40002 levels deep"
check "deep .tdf" deep_tdf runs "deep.tdf nests elements 40001 levels deep"
check "deep pool file" deep_pool runs "items/deep.xml nests elements 40001 levels deep"
check "deep state chart" deep_chart runs "charts/door.scxml nests elements 40001 levels deep"
check "empty ogre.cfg" empty_ogre_cfg runs "ogre.cfg cannot be used"
check "garbage ogre.cfg" garbage_ogre_cfg runs "ogre.cfg cannot be used"
check "bad resources.cfg entry" bad_resource runs "resources.cfg: the resource location Bogus=nowhere"
check "missing asset file" missing_asset_file runs "charts/key.scxml cannot be read"
check "unknown start scene" unknown_start_scene runs "starts in the scene 'scenes_nowhere'"
check "deep gamestate.xml" deep_gamestate menu "gamestate.xml nests elements 40001 levels deep"
check "empty gamestate.xml" empty_gamestate menu "chapter 'chapter1' cannot be started... back to the main menu"
grep -qF "gamestate.xml in row" "$(e2e_user_file welk.log)" || e2e_fail "the empty gamestate.xml is not named"
check "empty gamestate.xml without a main menu" empty_gamestate_no_menu fails \
    "chapter 'chapter1' cannot be started... quitting!"

echo "case: a new game of a chapter with an empty gamestate.xml, from the main menu"
fresh_game
: >"$E2E_GAME/pimb/chapter1/gamestate.xml"
e2e_start
e2e_wait_log "menu shown"
sleep 1
book_open
book_click newgame
book_click chapter
shows_message from_menu || e2e_fail "the menu's new game: no main menu that says why"
e2e_wait_log "chapter1/gamestate.xml in row"
book_click quit
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the menu's new game: the game ended with exit code $E2E_EXIT"
echo "damaged: passed"
