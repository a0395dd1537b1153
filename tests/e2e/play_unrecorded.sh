# play_unrecorded.sh: a level completed after F2 (slow motion on and off again) is not recorded,
# nor one left by holding Esc; F12 writes screen01.bmp, a BMP of the frame on the screen.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
e2e_play_first_level play_walk play_mine
e2e_key F2 F2 Up Up
e2e_wait_completed 20
e2e_confirm_to_select 1
[ -e "$E2E_GAME/tirvex.sav" ] && e2e_fail "a level played in slow motion was recorded"

e2e_enter_level 1
e2e_key Up Up
e2e_wait_completed 20
e2e_hold Escape 0.3
e2e_wait_select 20 1
[ -e "$E2E_GAME/tirvex.sav" ] && e2e_fail "a level left with Esc was recorded"

# The screenshot: once the camera has come down, the lower part of the frame stands still.
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
[ "$(awk '$1 + $2 + $3 > 60' "$E2E_TMP/file.rgb" | wc -l)" -gt 1000 ] ||
    e2e_fail "screen01.bmp is dark"

e2e_leave_level
