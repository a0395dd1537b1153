# play_cast.sh: the cast screen steps through its seven entries with Right and Left and with
# clicks on its previous and next buttons, stops at both ends, and leaves with Esc or the exit
# button for the key help page, which one more key leaves for the main menu.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
e2e_boot_to_menu

# The entry's title bar and description, which stand still while the model turns.
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
e2e_quit_from_menu
