#!/usr/bin/env bash
# The tower hall's scene items and triggers as a player sees them on an 800 x 600 screen, in the hall's shot
# "default" (backdrop point (x, y) is pixel (x, y)).
#   The door: a hatch in the floor (backdrop 697..776, 488..577), violet while closed. Lua brings its chart
#   to "open" with the events a player's key and click would send ("character.Use" with the key, then
#   "character.Interact"); its chart plays the item's animation "open", which swings the leaf up and
#   creaks as it ends, and the hall's trigger on the creak leaves the door open: the hatch's region takes
#   the open leaf's yellow and keeps it.
#   The torch: the hero walks to the floor by the torch (a sequence the test adds); coming within 100 of the
#   torch's flame makes the hall's proximity trigger flare the torch (its violet over the torch's picture,
#   backdrop 260..291, 180..211). Walking away beyond 150 and back flares it once more, and only then.
# The log has no error of the items or triggers, and the game ends with exit code 0.
# Usage: items_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600

chapter="$E2E_GAME/pimb/chapter1"
# The game draws the pointer, at the top left where nothing is looked at.
sed -i "s|<hwcursor>true</hwcursor>|<hwcursor>false</hwcursor>|" "$E2E_GAME/config.xml"
# The creak and each flare leave a mark.
sed -i 's|_globals.door_creaks = (_globals.door_creaks or 0) + 1|& e2e_mark("creak")|' \
    "$E2E_GAME/data/chapter1/items.tdf"
sed -i 's|_globals.torch_flares = (_globals.torch_flares or 0) + 1|& e2e_mark("flare" .. _globals.torch_flares)|; s|<range activate="100" deactivate="150"/>|&<script event="deactivate">e2e_mark("far" .. _globals.torch_flares)</script>|' \
    "$E2E_GAME/data/chapter1/scenes.tdf"
# The flare's violet lasts 1.5 s; a busy machine can take that long to notice the mark and read the screen, so
# here it lasts 4.5 s, still well short of the hero's walk away and back.
sed -i '/<animatedpatch id="torch_flare"/,/>/ s|duration="2"|duration="6"|' "$E2E_GAME/data/chapter1/scenes.tdf"
grep -q 'duration="6"' "$E2E_GAME/data/chapter1/scenes.tdf" || e2e_fail "the flare was not lengthened"
# The hero's walks: to the floor by the torch (77 from its flame) and back to where he started (180).
sed -i 's|<assetpool>|&<asset id="sequences_e2e_torch" name="to the torch"><action id="walk" type="MoveToPositionAction" locationref="e2e_torch" exactpos="true" exactrot="false"/><action id="done" type="ScriptAction">e2e_arrived("torch")</action></asset><asset id="sequences_e2e_away" name="away"><action id="walk" type="MoveToPositionAction" locationref="positions_start" exactpos="true" exactrot="false"/><action id="done" type="ScriptAction">e2e_arrived("away")</action></asset>|' \
    "$chapter/sequences.xml"
sed -i 's|<parameter name="ambience" assetid="sequences_tower_ambience"/>|&<parameter name="e2e_torch" assetid="sequences_e2e_torch"/><parameter name="e2e_away" assetid="sequences_e2e_away"/>|' \
    "$chapter/scenes.xml"
sed -i 's|<helper name="positions_start">|<helper name="e2e_torch"><position x="-10" y="0" z="-5"/></helper>&|' \
    "$E2E_GAME/data/chapter1/scenes.tdf"
for changed in "$E2E_GAME/data/chapter1/items.tdf" "$E2E_GAME/data/chapter1/scenes.tdf" "$chapter/sequences.xml" \
    "$chapter/scenes.xml"; do
    grep -q e2e_ "$changed" || e2e_fail "$changed was not extended"
done
cat >>"$E2E_GAME/pimb/Functions.lua" <<LUA
sendcmd("game", "StartChapter", "chapter1")
function e2e_mark(name)
    io.open("$E2E_ROOT/mark_" .. name, "w"):close()
end
-- The walks, one after the other with two ticks' rest: to the torch, away, to the torch again.
local phase, rest = 0, 0
function e2e_arrived(where)
    e2e_mark(where .. phase)
    phase = phase + 1
    rest = 2
end
local function walk(sequence)
    phase = phase + 1
    sendcmd("game", "PlaySequence", "scenes_tower", sequence)
end
function e2e_on_tick(tick)
    if tick == 1 then
        sendcmd("camera", "ActivateShot", "default")
    elseif tick == 2 then
        e2e_mark("closed")
    elseif tick == 3 then
        sendcmd("poolmanager", "SendToAsset", "items_door", "character.Use", "items_key")
        sendcmd("poolmanager", "SendToAsset", "items_door", "character.Interact", "")
    end
    if rest > 0 then
        rest = rest - 1
    elseif (phase == 0 and tick >= 6) or phase == 4 then
        walk("e2e_torch")
    elseif phase == 2 then
        walk("e2e_away")
    end
end
LUA
sed -i 's|_globals.tower_ticks = (_globals.tower_ticks or 0) + 1|& e2e_on_tick(_globals.tower_ticks)|' \
    "$chapter/sequences/tower_ambience.xml"
grep -q e2e_on_tick "$chapter/sequences/tower_ambience.xml" || e2e_fail "the tower's sequence was not extended"

mark() { e2e_wait_file "$E2E_ROOT/mark_$1" "${2:-30}"; }
read_rgb() { read -r r g b <<<"$1"; }
violet() { ((r > 150 && b > 150 && g < r - 80 && g < b - 80)); }
yellow() { ((r > 200 && g > 170 && b < 120)); }
# torch_violet SHOT: the flare's violet over the torch.
torch_violet() {
    read_rgb "$(e2e_mean_colour "$1" 20 20 266 186)"
    violet
}
# flare_at N: once the flare's mark is there, the flare's shot, taken when the next frames show it.
flare_at() {
    mark "flare$1" 40
    e2e_await_shot "flare$1" 4 torch_violet || true
}

e2e_start
mark closed 60
sleep 0.5
e2e_screenshot closed
mark creak 20
sleep 1
e2e_screenshot open
flare_at 1
mark torch1 30
mark away3 40
mark far1 10
[[ ! -e "$E2E_ROOT/mark_flare2" ]] || e2e_fail "the torch flared again before the hero came back"
e2e_screenshot kept
flare_at 2
mark torch5 40
sleep 1
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"
[[ ! -e "$E2E_ROOT/mark_flare3" ]] || e2e_fail "the torch flared more than once per approach"


# The hatch: violet while closed, yellow once open, and still yellow seconds later.
read_rgb "$(e2e_mean_colour closed 30 30 720 515)"
violet || e2e_fail "the closed door is not violet: $r $g $b"
for shot in open kept; do
    read_rgb "$(e2e_mean_colour $shot 30 30 720 515)"
    yellow || e2e_fail "the door is not open in $shot: $r $g $b"
done
# The torch: its own colours before, the flare's violet as the hero comes near, each time.
read_rgb "$(e2e_mean_colour closed 20 20 266 186)"
violet && e2e_fail "the torch flares before anybody came near: $r $g $b"
for shot in flare1 flare2; do
    read_rgb "$(e2e_mean_colour $shot 20 20 266 186)"
    violet || e2e_fail "no flare over the torch in $shot: $r $g $b"
done

log=$(e2e_user_file welk.log)
! grep -E "Failed to add item|Loading SceneItem failed|Loading PatchItem failed|Couldn't load (sceneitem|patchitem|triggers)|trigger definition|Unknown trigger type|control type was unknown|NULL ptr" "$log" ||
    e2e_fail "the log has errors of the items or triggers"
echo "items: passed"
