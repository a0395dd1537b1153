# scale_1080.sh: on a 1920x1080 desktop the 640x480 picture fills 1280x960, every 2x2 block one
# colour and black around it; a window laid over it and taken away leaves it whole; the video
# mode dialog is enlarged too and its Cancel clicked; a click on the cast screen's next button
# lands through the factor;
# Alt+Enter twice in a level comes back to the same mode with the level going on; a screenshot
# keeps the picture's own 640x480.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
source "$(dirname "$0")/lib/scale.bash"
E2E_SCREEN=1920x1080
e2e_setup "$1"
e2e_use_maps play_walk
e2e_boot_big 2

# The screen's checksum once it stands still (two captures a moment apart agree).
still_sum=""
_still() {
    e2e_capture "$E2E_TMP/a.xwd" && sleep 0.3 && e2e_capture "$E2E_TMP/b.xwd" &&
        cmp -s "$E2E_TMP/a.xwd" "$E2E_TMP/b.xwd" && still_sum=$(cksum <"$E2E_TMP/a.xwd")
}
_still_other() { _still && [ "$still_sum" != "$1" ]; }
wait_other_screen() { e2e_poll 30 _still_other "$1" || e2e_fail "no other screen after $2"; }

# The HUD clock's green digits, and the first bar of the level select, as play.bash finds them.
_play_shown() { [ "$(e2e_picture_green 540 8 600 28)" -gt 80 ]; }
_select_shown() { [ "$(e2e_picture_green 360 64 366 70)" -gt 10 ]; }

e2e_poll 60 _still || e2e_fail "no main menu standing still"
menu=$still_sum

# A window laid over the menu and taken away: the menu comes back whole, though the game draws
# nothing new while it stands still (the uncovered part is drawn again from the picture).
xlogo -geometry 600x400+200+200 &
cover=$!
e2e_poll 20 eval '_still && [ "$still_sum" != "$menu" ]' || e2e_fail "the covering window did not show"
kill "$cover"
wait "$cover" 2>/dev/null
e2e_poll 20 eval '_still && [ "$still_sum" = "$menu" ]' || e2e_fail "the uncovered menu was not drawn again"

# The video mode dialog is enlarged like every screen, its box twice its size and sharp (the
# pointer over it), and a click on its Cancel button lands through the factor.
xdotool mousemove 960 540
e2e_key 3
_dialog_big() {
    e2e_capture "$E2E_TMP/big.xwd" || return 1
    read -r box_left box_top box_w box_h sharp < <(e2e_picture "$E2E_TMP/big.xwd" 2) || return 1
    [ "$sharp" = 1 ] && [ "$box_w" -gt 400 ] && [ "$box_w" -lt 1280 ] && [ "$box_h" -gt 200 ]
}
e2e_poll 20 _dialog_big || e2e_fail "no enlarged video mode dialog: $(e2e_picture "$E2E_TMP/big.xwd" 2)"
# The library's dialog looks at the button now and then: held as a hand holds it, not a blink.
xdotool mousemove $((box_left + box_w * 787 / 1000)) $((box_top + box_h * 86 / 100)) \
        mousedown 1 sleep 0.2 mouseup 1
e2e_poll 30 eval '_still && [ "$still_sum" = "$menu" ]' || e2e_fail "Cancel, clicked, did not bring the menu back"
e2e_key 2
e2e_expect_picture 1280 960
e2e_log "picture at $E2E_LEFT,$E2E_TOP"

# The title and description of the entry, which stand still while the model turns.
entry_sum() { e2e_picture_sum 400 130 632 330; }
_entry_is() { [ "$(entry_sum)" = "$1" ]; }
# The first entry as it stands once drawn whole: the same in two looks (taken while the screen
# was still coming up, it matched no later look, and the previous button seemed not to act).
first=""
_entry_settled() { local now; now=$(entry_sum) && [ "$now" = "$first" ] || { first=$now; false; }; }
e2e_poll 20 _entry_settled || e2e_fail "the cast screen's first entry does not stand still"
e2e_click_picture 285 137
e2e_poll 10 eval '! _entry_is "$first"' || e2e_fail "the next button did not act"
e2e_click_picture 104 137
e2e_poll 10 _entry_is "$first" || e2e_fail "the previous button did not act"
e2e_key Escape
wait_other_screen "$menu" "leaving the cast"
e2e_key space
wait_other_screen "$still_sum" "the key help page"

# Into the level, then Alt+Enter twice: the same mode, the level still on.
e2e_key 1
e2e_poll 20 _select_shown || e2e_fail "no level select"
e2e_key Return
e2e_poll 20 _play_shown || e2e_fail "no level on the screen"
left=$E2E_LEFT top=$E2E_TOP
e2e_key alt+Return
e2e_poll 20 eval '_e2e_picture_is 1280 960 && [ "$E2E_LEFT,$E2E_TOP" != "$left,$top" ]' ||
    e2e_fail "Alt+Enter did not switch between window and full screen"
e2e_poll 20 _play_shown || e2e_fail "the level is not on the screen after one Alt+Enter"
e2e_key alt+Return
e2e_expect_picture 1280 960
[ "$E2E_LEFT,$E2E_TOP" = "$left,$top" ] || e2e_fail "the picture moved to $E2E_LEFT,$E2E_TOP"
e2e_poll 20 _play_shown || e2e_fail "the level is not on the screen after two Alt+Enter"
e2e_wait_file "$E2E_GAME/wvideo.cfg" 5
grep -q ' 640 480$' "$E2E_GAME/wvideo.cfg" || e2e_fail "wvideo.cfg does not keep the mode"

# F12 saves the picture at its own size.
e2e_key F12
e2e_wait_file "$E2E_GAME/screen01.bmp" 10
[ "$(e2e_bmp_size "$E2E_GAME/screen01.bmp")" = "640 480 8" ] ||
    e2e_fail "the screenshot is $(e2e_bmp_size "$E2E_GAME/screen01.bmp")"
e2e_hold Escape 0.3
e2e_poll 20 _select_shown || e2e_fail "no level select after leaving the level"
e2e_key Escape
# The main menu, as it stood when the dialog's Cancel brought it back (still_sum last held the
# menu too, after the key help page, so a wait for another screen would wait for nothing).
e2e_poll 20 eval '_still && [ "$still_sum" = "$menu" ]' || e2e_fail "no main menu"
e2e_quit_from_menu
