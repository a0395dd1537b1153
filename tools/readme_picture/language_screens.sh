# language_screens.sh GAME_DIR OUT_DIR [CODE...]: the game and the editor in each language (po/LINGUAS
# when no CODE is given), played under Xvfb and captured as OUT_DIR/CODE-NAME.png: the main menu,
# the level select, the key card (F1), the first loss with its tip, the Tab panel of the level's
# records and the level editor. The level is tests/maps/play_mine.txt, where the first step up
# sets off a mine.
here=$(cd "$(dirname "$0")" && pwd)
game=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
shift 2
codes=("$@")
[ ${#codes[@]} -gt 0 ] || mapfile -t codes < <(grep -v '^#' "$here/../../po/LINGUAS")
source "$here/../../tests/e2e/lib/harness.bash"
source "$here/../../tests/e2e/lib/play.bash"
source "$here/../../tests/e2e/lib/editor.bash"
e2e_setup "$game"
e2e_use_maps play_mine

# shot CODE NAME: the screen as it stands, as OUT_DIR/CODE-NAME.png.
shot() {
    e2e_capture "$E2E_TMP/shot.xwd" || e2e_fail "no capture for $1-$2"
    e2e_pixels "$E2E_TMP/shot.xwd" 0 0 639 479 1 --rgb |
        python3 "$here/bmp_to_png.py" --rgb 640 480 "$out/$1-$2.png" || e2e_fail "no $1-$2.png"
}

# middle CAPTURE: the sum of the middle of a capture, where the level stands still.
middle() { e2e_pixels "$1" 120 120 520 360 4 | cksum; }

for code in "${codes[@]}"; do
    rm -f "$E2E_GAME/tirvex-lessons.txt" "$E2E_GAME/tirvex.sav"
    e2e_boot_to_menu --language "$code"
    shot "$code" menu
    e2e_key 1
    e2e_wait_select 20 1
    shot "$code" select
    e2e_enter_level 1
    e2e_wait_still 30
    e2e_key F1
    e2e_poll 20 e2e_card_at_rest || e2e_fail "the key card did not come to rest"
    shot "$code" keys
    e2e_key F1
    e2e_wait_play 20
    e2e_capture "$E2E_TMP/still.xwd"
    still=$(middle "$E2E_TMP/still.xwd")
    xdotool keydown Tab
    e2e_poll 5 eval 'e2e_capture "$E2E_TMP/tab.xwd" && [ "$(middle "$E2E_TMP/tab.xwd")" != "$still" ]' ||
        { xdotool keyup Tab; e2e_fail "no Tab panel"; }
    shot "$code" records
    xdotool keyup Tab
    e2e_key Up
    e2e_wait_dead 20
    e2e_poll 10 e2e_tip_shown || e2e_fail "no tip under the first loss"
    shot "$code" loss
    e2e_hold Escape 0.3
    e2e_wait_select 20 1
    e2e_key Escape
    e2e_wait_menu_again 20
    e2e_key Escape
    e2e_expect_exit 0
    edit_start --language "$code" maps/map01.txt
    e2e_poll 20 eval 'e2e_capture "$E2E_TMP/shot.xwd" && e2e_lit "$E2E_TMP/shot.xwd" 0 0 639 479 8' ||
        e2e_fail "the editor drew nothing"
    shot "$code" editor
    close_window
    e2e_wait_exit 20
    e2e_log "$code: 6 pictures"
done
