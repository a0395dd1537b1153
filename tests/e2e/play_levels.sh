# play_levels.sh: a game played from the main menu through both test levels. Past the credits
# key the menu idles cheaply, ignores other keys and comes back after every choice: the cast, the
# video mode dialog cancelled (wvideo.cfg left as it was) and the level select. A level completed after F2 (slow motion on and off again) is not recorded,
# nor one left by holding Esc; F12 writes screen01.bmp, a BMP of the frame on the screen; a
# level completed and confirmed is recorded in the 20 bytes of tirvex.sav. In level 2 the robot
# dies on a mine: the player's first loss adds its line under the message line, naming the keys
# of undo, restart and hint, and tirvex-lessons.txt keeps it from coming again (a second loss, in
# the same run and in the next one, shows the message alone); Space restarts, and completing
# the last map shows the end screen. Esc in the menu ends the program with status 0. The cast
# screen steps through its seven entries with Right and Left and with clicks on its previous and
# next buttons, stops at both ends, and leaves with Esc or the exit button for the key help
# page, which one more key leaves for the main menu.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
e2e_use_maps play_walk play_mine

_note_gone() { ! e2e_tip_shown; }
unrecorded() { [ ! -e "$E2E_GAME/tirvex.sav" ] || e2e_fail "$1 was recorded"; }

entry_sum() {
    e2e_capture "$E2E_TMP/shot.xwd" && e2e_pixels "$E2E_TMP/shot.xwd" 400 130 632 330 2 | cksum
}
_entry_is() { [ "$(entry_sum)" = "$1" ]; }
_entry_left() { [ "$(entry_sum)" != "$1" ]; }

# step ACTION...: does the action and waits until another entry is shown; prints its sum.
step() {
    local before
    before=$(entry_sum)
    "$@"
    e2e_poll 10 _entry_left "$before" || e2e_fail "the entry did not change after $*"
    sleep 0.2
    entry_sum
}

# stays ACTION...: does the action and checks that the entry stays.
stays() {
    local before
    before=$(entry_sum)
    "$@"
    sleep 0.6
    _entry_is "$before" || e2e_fail "the entry changed after $* at the end of the cast"
}

click_at() { xdotool mousemove "$1" "$2" click 1; }

e2e_boot_to_menu
cpu=$(e2e_cpu_percent 4)
e2e_log "idle in the main menu: ${cpu}% of a core"
[ "$cpu" -lt 25 ] || e2e_fail "the idle menu uses ${cpu}% of a core"
e2e_key x Return a
e2e_stays_menu 1 || e2e_fail "a key other than Esc, 1, 2, 3 left the menu"
e2e_open_cast
sleep 0.3
sums=("$(entry_sum)")
for i in 1 2 3 4 5 6; do
    sums[$i]=$(step e2e_key Right)
done
stays e2e_key Right
[ "$(printf '%s\n' "${sums[@]}" | sort -u | wc -l)" = 7 ] || e2e_fail "the seven entries are not all different"

# The previous button walks back through the same entries, then does nothing at the first.
for i in 5 4 3 2 1 0; do
    [ "$(step click_at 104 137)" = "${sums[$i]}" ] || e2e_fail "previous did not show entry $i"
done
stays click_at 104 137
for i in 1 2 3 4 5 6; do
    [ "$(step click_at 285 137)" = "${sums[$i]}" ] || e2e_fail "next did not show entry $i"
done
stays click_at 285 137
[ "$(step e2e_key Left)" = "${sums[5]}" ] || e2e_fail "Left did not show entry 5"
stays click_at 330 137

e2e_key Escape
e2e_help_to_menu

# The exit button leaves the same way.
e2e_open_cast
click_at 195 137
e2e_help_to_menu
e2e_key 3
e2e_wait_dialog 20
e2e_key Escape
e2e_wait_menu_again 20
[ ! -e "$E2E_GAME/wvideo.cfg" ] || e2e_fail "the cancelled dialog wrote wvideo.cfg"
e2e_key 1
e2e_wait_select 20 1
e2e_key Escape
e2e_wait_menu_again 20
e2e_stays_menu 1 || e2e_fail "the menu did not stay after play returned"

e2e_key 1
e2e_enter_level 1
e2e_key F2 F2 Up Up
e2e_wait_completed 20
e2e_confirm_to_select 1
unrecorded "a level played in slow motion"
e2e_enter_level 1
e2e_key Up Up
e2e_wait_completed 20
e2e_hold Escape 0.3
e2e_wait_select 20 1
unrecorded "a level left with Esc"

e2e_enter_level 1
e2e_wait_still 30
e2e_key F12
e2e_wait_file "$E2E_GAME/screen01.bmp" 10
e2e_capture "$E2E_TMP/shot.xwd"
[ "$(e2e_bmp_size "$E2E_GAME/screen01.bmp")" = "640 480 8" ] ||
    e2e_fail "screen01.bmp is $(e2e_bmp_size "$E2E_GAME/screen01.bmp"), not 640 x 480 in 8 bits"
e2e_rgb 0 260 639 479 4 >"$E2E_TMP/screen.rgb"
e2e_bmp_rgb "$E2E_GAME/screen01.bmp" 0 260 639 479 4 >"$E2E_TMP/file.rgb" ||
    e2e_fail "screen01.bmp cannot be read"
e2e_same_picture "$E2E_TMP/screen.rgb" "$E2E_TMP/file.rgb" ||
    e2e_fail "screen01.bmp does not show the frame on the screen"
[ "$(awk '$1 + $2 + $3 > 60' "$E2E_TMP/file.rgb" | wc -l)" -gt 1000 ] || e2e_fail "screen01.bmp is dark"
e2e_key Up Up
e2e_wait_completed 20
e2e_confirm_to_select 2
e2e_expect_save 01000000000000000000

e2e_enter_level 2
e2e_wait_still 30
e2e_key Up
e2e_wait_dead 20
e2e_poll 10 e2e_tip_shown || e2e_fail "the first loss added no line under its message"
grep -qx "first-loss" "$E2E_GAME/tirvex-lessons.txt" 2>/dev/null ||
    e2e_fail "tirvex-lessons.txt does not keep the lesson: $(cat "$E2E_GAME/tirvex-lessons.txt" 2>&1)"
e2e_hold space 0.3
e2e_poll 20 _note_gone || e2e_fail "the line stayed after the restart"
e2e_wait_still 30
e2e_key Up
e2e_wait_dead 20
e2e_tip_shown && e2e_fail "the second loss added the line again"
e2e_hold space 0.3
e2e_key Right Up Up
e2e_wait_completed 20
e2e_hold space 0.3
e2e_wait_end 30
e2e_expect_save 01100000000000000000
e2e_key space
e2e_wait_select 30 2
e2e_quit_from_select

# A later run: the lesson is not taught again.
e2e_boot_to_menu
e2e_key 1
e2e_enter_level 2
e2e_wait_still 30
e2e_key Up
e2e_wait_dead 20
e2e_tip_shown && e2e_fail "a later run added the line again"
e2e_hold Escape 0.3
e2e_wait_select 20 2
e2e_quit_from_select
[ ! -e "$E2E_GAME/wvideo.cfg" ] || e2e_fail "wvideo.cfg was written"
