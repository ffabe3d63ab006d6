#!/usr/bin/env bash
# The characters' controls on screen (800 x 600, the tower hall's shot "default"; the camera looks down from
# high above the hall's middle, so a figure in the middle shows the top of its head and shoulders):
# - the hero, placed before the doorway and left alone, idles (his figure moves a little) and then plays his
#   auto action: his left arm comes up over his head (the top of his head, skin coloured, is partly hidden),
#   and goes down again;
# - the keeper works his chain: the stick in his right hand goes up with the arm (its green leaves the band
#   below his hand), stays up while he swings, and comes down again;
# - "focus" at the lamp (up to his right) turns the hero's face to it: his hair shows on the left of his
#   head and his face on the lamp's side; "focus" without numbers turns it back;
# - walking, dark blobs go with his feet: the test widens them so that they show beside his body from above.
# The start-up Lua asks for chapter1; Lua placed on the tower's background sequence, which ticks about once
# a second, switches the shot and places the hero at its first tick and runs the test's commands later.
# The sequence that places him goes on waiting in the foreground, so he is busy: he does not glance round
# (a glance turns his figure), while his auto action still plays on its own timer. The walk replaces it.
# Usage: controls_on_screen_e2e.sh BINARY BUILD_DIR
source "$(dirname "$0")/harness.sh"
e2e_setup "$1" "$2"
e2e_screen 800x600

pimb="$E2E_GAME/pimb/chapter1"
characters="$E2E_GAME/data/chapter1/characters.tdf"
sed -i 's|<parameter name="ambience" assetid="sequences_tower_ambience"/>|&<parameter name="e2e_place" assetid="sequences_e2e_place"/><parameter name="e2e_walk" assetid="sequences_e2e_walk"/>|' \
    "$pimb/scenes.xml"
sed -i 's|<assetpool>|&<asset id="sequences_e2e_place" name="place"><action id="place" type="PlaceAction" objref="characters_hero" poshelper="op_door"/><action id="stay" type="WaitAction" duration="600"/></asset><asset id="sequences_e2e_walk" name="walk"><action id="walk" type="MoveToPositionAction" locationref="sp_default" exactpos="false" exactrot="false"/><action id="done" type="ScriptAction">io.open("'"$E2E_ROOT/walked.txt"'", "w"):close()</action></asset>|' \
    "$pimb/sequences.xml"
sed -i 's|<element bone="\(foot_[lr]\)" width="24" height="36"|<element bone="\1" width="70" height="90"|' "$characters"
for changed in "$pimb/scenes.xml" "$pimb/sequences.xml"; do
    grep -q e2e_ "$changed" || e2e_fail "$changed was not extended"
done
(($(grep -c 'width="70" height="90"' "$characters") == 2)) || e2e_fail "the hero's blobs were not widened"
echo 'sendcmd("game", "StartChapter", "chapter1")' >>"$E2E_GAME/pimb/Functions.lua"
e2e_lua_commands 'if tick == 1 then
    sendcmd("camera", "ActivateShot", "default")
    sendcmd("game", "PlaySequence", "scenes_tower", "e2e_place")
end'

SKIN="229,184,148"
STICK="26,140,51"
watch="$(dirname "$E2E_BINARY")/colour_timeline"

e2e_start
e2e_wait_tick 2 60
# The hero's figure before the doorway (skin, grey shoulders, blue back) and the band below the keeper's
# right hand, for 20 seconds.
hero="$E2E_ROOT/hero.txt"
keeper="$E2E_ROOT/keeper.txt"
"$watch" 20 300 340 200 160 12 "$SKIN" 115,115,128 25,64,217 >"$hero" &
hero_watch=$!
"$watch" 30 460 500 100 100 12 "$STICK" >"$keeper" &
keeper_watch=$!
wait "$hero_watch"

# Left alone he idles, then acts: for 2 seconds or more his head shows whole (its skin count stays within
# 100 of its most in the first 3 seconds) and his figure moves (one of the counts changes by 15 or more);
# then the arm hides 250 pixels or more of the head, and shows it whole again.
read -r rest moved action_start action_end <<<"$(awk '
    FNR == NR { if (FNR == 1) first = $1; if ($1 - first <= 3 && $2 > rest) rest = $2; next }
    !start && $2 > rest - 100 && !whole { whole = $1; for (i = 2; i <= 4; i++) { low[i] = $i; high[i] = $i } }
    !start && whole { for (i = 2; i <= 4; i++) { if ($i < low[i]) low[i] = $i; if ($i > high[i]) high[i] = $i } }
    !start && $2 < rest - 250 {
        moved = 0; for (i = 2; i <= 4; i++) if (high[i] - low[i] >= 15) moved = 1
        if (whole && $1 - whole >= 2 && moved) start = $1; else whole = 0
    }
    start && !end && $2 > rest - 100 { end = $1 }
    END { print rest, moved + 0, start + 0, end + 0 }' "$hero" "$hero")"
[[ $action_start != 0 ]] ||
    e2e_fail "no action after 2 s of idling (moved: $moved, head $rest): $(head -n 3 "$hero")"
awk -v s="$action_start" -v e="$action_end" 'BEGIN { exit !(e > s) }' ||
    e2e_fail "the hero's arm did not come up over his head and down again ($action_start..$action_end s, head $rest)"

# The head: its skin on the lamp's side (right of the resting head), and its hair.
head_counts() {
    echo "$(e2e_count_colour "$1" 60 80 450 400 229 184 148 2) $(e2e_count_colour "$1" 140 100 370 390 89 51 20 2)"
}
turned() {
    local skin hair
    read -r skin hair <<<"$(head_counts "$1")"
    ((skin >= 800 && hair >= 1000)) || { echo "$1: $skin skin pixels on the lamp's side, $hair of hair" >&2; return 1; }
}
straight() {
    local skin hair
    read -r skin hair <<<"$(head_counts "$1")"
    ((skin < 100 && hair < 100)) || { echo "$1: $skin skin pixels on the lamp's side, $hair of hair" >&2; return 1; }
}
e2e_lua 'sendcmd("tarq", "focus", 90, 60, 50)'
e2e_await_shot focused 10 turned || e2e_fail "the hero's face did not turn to the lamp"
e2e_lua 'sendcmd("tarq", "focus")'
e2e_await_shot unfocused 10 straight || e2e_fail "the hero's face did not turn back"

wait "$keeper_watch"
# The chain: the stick in the keeper's raised hand fills the band and swings there; it leaves the band as
# he lets the chain down and comes back as he lifts it again (the two take a second each), and between two
# such rounds it stays up for his two swings or more (3 s).
read -r rounds shortest_up longest_down <<<"$(awk '
    { count[NR] = $2; at[NR] = $1; if ($2 > full) full = $2 }
    END {
        state = ""; runs = 0
        for (i = 1; i <= NR; i++) {
            now = count[i] > full * 2 / 3 ? "up" : count[i] < full / 3 ? "down" : state
            if (now != state) { runs++; kind[runs] = now; from[runs] = at[i]; state = now }
        }
        from[runs + 1] = at[NR]
        rounds = 0; shortest = 99; longest = 0
        for (r = 2; r < runs; r++) {
            span = from[r + 1] - from[r]
            if (kind[r] == "down" && kind[r - 1] == "up" && kind[r + 1] == "up") {
                rounds++; if (span > longest) longest = span }
            if (kind[r] == "up" && kind[r - 1] == "down" && kind[r + 1] == "down" && span < shortest)
                shortest = span
        }
        print rounds, shortest, longest
    }' "$keeper")"
((rounds >= 1)) || e2e_fail "the keeper did not let his chain down and lift it again: $(tr '\n' ' ' <"$keeper" | head -c 600)"
awk -v up="$shortest_up" -v down="$longest_down" 'BEGIN { exit !(up >= 3 && down <= 3) }' ||
    e2e_fail "the keeper's chain was up for only $shortest_up s between rounds, or down for $longest_down s"

e2e_screenshot standing
e2e_lua 'sendcmd("game", "PlaySequence", "scenes_tower", "e2e_walk")'
e2e_wait_file "$E2E_ROOT/walked.txt" 30
sleep 1
e2e_screenshot walked
e2e_close_window
e2e_wait_exit 60
[[ $E2E_EXIT -eq 0 ]] || e2e_fail "the game ended with exit code $E2E_EXIT"

# The blobs: the floor beside his feet before the doorway (350, 416) is dark while he stands there and of
# the floor's brightness once he has gone; beside his feet where he walked to (390, 512) it is the other way
# round. Brightness is the sum of the mean red, green and blue of a 20 x 16 rectangle; the floor's is 210.
brightness() {
    local r g b
    read -r r g b <<<"$(e2e_mean_colour "$1" 20 16 "$2" "$3")"
    echo $((r + g + b))
}
# blob DARK LIGHT X Y: the rectangle is dark (below 185) in the shot DARK, and 30 brighter in LIGHT.
blob() {
    local dark light
    dark=$(brightness "$1" "$3" "$4")
    light=$(brightness "$2" "$3" "$4")
    ((dark < 185 && light >= dark + 30)) ||
        e2e_fail "no blob at $3,$4 in $1 (brightness $dark) that goes with him in $2 ($light)"
}
blob standing walked 350 416
blob walked standing 390 512
echo "controls on screen: passed (action at $action_start s; $rounds rounds of the chain, up $shortest_up s or more, down $longest_down s or less)"
