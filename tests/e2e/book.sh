# The demo's main-menu book on an 800 x 600 screen (e2e_screen 800x600), played like a player; sourced by
# the *_e2e.sh tests after harness.sh.
#
#   POINT[NAME]              "x y" of an entry: the middle of its text, where the open book's right-hand
#                            page spans x 402..770 and y 95..505
#   book_pointer_to X Y      moves the pointer there and lets the menu see it
#   book_click NAME          the pointer to the entry, its highlight seen on a screenshot (within 40 s),
#                            then a click
#   book_dark_pixels SHOT WIDTH HEIGHT LEFT TOP
#                            the text's pixels in that rectangle
#   book_pixels SHOT WIDTH HEIGHT LEFT TOP FX
#                            the pixels of that rectangle for which the ImageMagick expression holds
#   book_shows_title SHOT    whether a screenshot within 5 s shows the title on the left-hand page
#   book_opened SHOT         whether the screenshot shows the book open and zoomed in: the title on the
#                            left-hand page, and the page's paper filling the part below the title
#   book_open                the pointer on the closed cover, a click, the book opened within 60 s
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

book_pointer_to() {
    xdotool mousemove --window "$E2E_WINDOW" "$1" "$2"
    sleep 0.6
}

# The highlight's pixels (clearly green) around the point: SHOT X Y.
book_green_pixels() {
    convert "$E2E_SHOTS/$1.png" -crop "160x30+$(($2 - 80))+$(($3 - 15))" +repage \
        -fx '(g > r + 0.2 && g > b + 0.2) ? 1 : 0' -format '%[fx:int(mean * w * h)]' info:
}

book_click() {
    local x y deadline=$((SECONDS + 40))
    read -r x y <<<"${POINT[$1]}"
    # The book picks on a move only: a page still turning or zooming is picked again by a move beside
    # the point and back. A busy machine turns the pages in fewer, slower frames.
    while true; do
        book_pointer_to $((x + 2)) "$y"
        book_pointer_to "$x" "$y"
        e2e_screenshot "over_$1"
        (($(book_green_pixels "over_$1" "$x" "$y") > 20)) && break
        ((SECONDS < deadline)) || e2e_fail "'$1' is not highlighted under the pointer"
    done
    xdotool click 1
    sleep 1.2
}

book_dark_pixels() {
    convert "$E2E_SHOTS/$1.png" -crop "${2}x${3}+${4}+${5}" +repage -colorspace gray -threshold 35% -negate \
        -format '%[fx:int(mean * w * h)]' info:
}

book_shows_title() {
    for _ in $(seq 10); do
        e2e_screenshot "$1"
        (($(book_dark_pixels "$1" 240 60 100 205) > 100)) && return 0
        sleep 0.5
    done
    return 1
}

book_pixels() {
    convert "$E2E_SHOTS/$1.png" -crop "${2}x${3}+${4}+${5}" +repage -fx "($6) ? 1 : 0" \
        -format '%[fx:int(mean * w * h)]' info:
}

book_opened() {
    (($(book_pixels "$1" 310 140 60 330 'g > 0.75') > 38000 && $(book_dark_pixels "$1" 240 60 100 205) > 100))
}

book_open() {
    local x y
    read -r x y <<<"${POINT[cover]}"
    book_pointer_to "$x" "$y"
    xdotool click 1
    # The zoom takes a second; a loaded machine draws it in fewer, slower frames.
    for _ in $(seq 120); do
        e2e_screenshot open
        book_opened open && return 0
        sleep 0.5
    done
    e2e_fail "the book did not open with its title on the left-hand page"
}
