#!/usr/bin/env bash
# What a player hears, recorded through OpenAL Soft's wave driver. The main menu's music ("artefaktthema",
# a 440 Hz tone) plays from the start. A chapter started from the start-up Lua reaches the tower room,
# whose chart asks for the tower's music (660 Hz) with a fade-out of one second: the menu music falls
# away over that second, then the tower music fades in. The click that Lua plays at that moment with
# "PlaySound" ("common\menue_klick_ok", 1320 Hz) is heard too. The game then ends with exit code 0.
# Usage: sound_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"

e2e_record_sound

tower="$E2E_GAME/pimb/chapter1/charts/tower.scxml"
sed -i 's|<state id="lit">|<state id="lit"><onentry><script>if e2e_on_start then e2e_on_start() end</script></onentry>|' "$tower"
grep -q e2e_on_start "$tower" || e2e_fail "the tower chart was not extended"
clicked="$E2E_ROOT/clicked.txt"
cat >>"$E2E_GAME/pimb/Functions.lua" <<LUA
sendcmd("game", "StartChapter", "chapter1")
function e2e_on_start()
    local id = sendcmd("sound", "PlaySound", "common\\\\menue_klick_ok")
    local file = io.open("$clicked", "w")
    file:write(tostring(id))
    file:close()
end
LUA

e2e_start
for _ in $(seq 300); do
    [[ -s $clicked ]] && break
    kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself"
    sleep 0.1
done
[[ -s $clicked ]] || e2e_fail "the tower room was not reached within 30 s"
[[ $(cat "$clicked") -gt 0 ]] || e2e_fail "PlaySound from Lua started nothing: $(cat "$clicked")"
# The fade-out (1 s) and the fade-in (2 s), and the tower music for a while.
sleep 4.5
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"

timeline="$E2E_ROOT/timeline.txt"
"$(dirname "$E2E_BINARY")/tone_timeline" "$E2E_RECORDING" 440 660 1320 >"$timeline"
[[ -s $timeline ]] || e2e_fail "the recording is empty"
# Columns: time, menu music, tower music, click. Levels above 0.1 count as heard, below 0.01 as silent.
verdict=$(awk '
    $2 > 0.1 && menu == "" { menu = $1; peak = $2 }
    $2 > peak { peak = $2 }
    menu != "" && tower == "" && $2 > 0.02 && $2 < peak * 0.7 { fading = $1 }
    menu != "" && $3 > 0.1 && tower == "" { tower = $1; menuThen = $2 }
    $4 > 0.05 { click = $1 }
    END {
        if (menu == "") { print "no menu music"; exit }
        if (fading == "") { print "the menu music did not fade out"; exit }
        if (tower == "") { print "no tower music after the menu music"; exit }
        if (menuThen > 0.01) { print "the menu music still sounds when the tower music is heard"; exit }
        if (fading > tower) { print "the fade came after the tower music"; exit }
        if (click == "") { print "no click"; exit }
        print "ok"
    }' "$timeline")
[[ $verdict == ok ]] || { cat "$timeline" >&2; e2e_fail "$verdict"; }
echo "sound: passed"
