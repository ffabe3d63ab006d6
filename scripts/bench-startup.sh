#!/usr/bin/env bash
# Start-up benchmark: builds the game in Release (build/release), then starts it RUNS times (default 5)
# on a copy of the demo game under a private Xvfb screen and prints, for each run and as medians, the
# milliseconds from the start of the process to
#   window       OGRE logs that it creates the render window;
#   main menu    OGRE logs that it has loaded the resource group "GAMEDATA": the set-up's last step then
#                builds the first scene, which loads nothing, and enters the main-menu mode;
#   menu shown   the main menu writes "menu shown" at the end of the first frame that showed its book;
#   first frame  OGRE starts shutting down: the demo's Functions.lua asks to quit at start-up, so the loop
#                ends at the end of the first frame, and the shutdown's first line follows a millisecond or
#                so later.
# The program reports none of these moments itself: the lines of its log file are stamped as they arrive. (File times
# are no help at this scale: they follow the kernel's clock tick, a few milliseconds behind.) One run
# before the measured ones fills the user folder and the file cache, so the figures are those of a usual
# start, not of the very first one.
# Usage: scripts/bench-startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "Usage: $0 [RUNS]" >&2; exit 2; }

if [[ -z "${QUILLMERE_BENCH_DISPLAY:-}" ]]; then
    build=build/release
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_TESTS=OFF -DQUILLMERE_BENCH=OFF \
        >/dev/null
    cmake --build "$build" -j"${JOBS:-3}" --target quillmere quillmere_demo >/dev/null
    # A screen of its own, so that no other window shares the machine's display with the game.
    exec env --unset=DISPLAY QUILLMERE_BENCH_DISPLAY=1 QUILLMERE_BENCH_BUILD="$PWD/$build" \
        bash scripts/with-display.sh bash "$0" "$runs"
fi

build=$QUILLMERE_BENCH_BUILD
root=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-bench.XXXXXX")
trap '[[ -n "${QUILLMERE_BENCH_KEEP:-}" ]] || rm -rf "$root"' EXIT
game=$root/game
home=$root/home
cp -a "$build/demo" "$game"
echo 'sendcmd("tarq", "quit")' >>"$game/pimb/Functions.lua"
mkdir -p "$home"
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}

window_line="_createRenderWindow"
menu_line="Finished loading resource group GAMEDATA"
shown_line="menu shown"
frame_line="DefaultWorkQueue('Root') shutting down"

# One start of the game; prints "window main-menu menu-shown first-frame" in milliseconds, "-" for a moment
# missed.
run_once() {
    local stamped=$root/stamped.txt log=$home/Documents/Quillmere/welk.log start pid
    rm -f "$log"
    mkdir -p "$(dirname "$log")" # so that tail can watch for the log to appear
    start=$EPOCHREALTIME
    (cd "$game" && HOME=$home exec "$build/quillmere") >/dev/null 2>&1 &
    pid=$!
    # The log file is written line by line as OGRE logs; tail polls it every 2 ms until the game ends, grep passes
    # on only the lines wanted, and the shell stamps that handful of lines as they come.
    tail -F -s 0.002 -n +1 --pid="$pid" "$log" 2>/dev/null |
        grep --line-buffered -F -e "$window_line" -e "$menu_line" -e "$shown_line" -e "$frame_line" |
        while IFS= read -r line; do printf '%s %s\n' "$EPOCHREALTIME" "$line"; done >"$stamped" || true
    wait "$pid" || true
    awk -v start="$start" -v window="$window_line" -v menu="$menu_line" -v shown="$shown_line" -v frame="$frame_line" '
        function at(text,    i) {
            for (i = 1; i <= n; ++i)
                if (index(lines[i], text))
                    return sprintf("%.1f", (times[i] - start) * 1000)
            return "-"
        }
        { times[++n] = $1; lines[n] = $0 }
        END { print at(window), at(menu), at(shown), at(frame) }' "$stamped"
}

run_once >/dev/null
results=$root/results.txt
row() { printf '%-8s %8s %10s %11s %12s%s\n' "$@"; }
row run window "main menu" "menu shown" "first frame" ""
for run in $(seq "$runs"); do
    read -r window menu shown frame < <(run_once)
    row "$run" "$window" "$menu" "$shown" "$frame" ""
    echo "$window $menu $shown $frame" >>"$results"
done

# The middle value of a column (the mean of the two middle ones for an even count); "-" marks a failed run.
median() {
    awk -v column="$1" '$column != "-" { print $column }' "$results" | sort -g |
        awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) printf "%.1f", v[(NR + 1) / 2];
                                  else printf "%.1f", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
row median "$(median 1)" "$(median 2)" "$(median 3)" "$(median 4)" "   (ms from start, $runs runs)"
