# undo_play.sh: a mibo pushed ahead jams the only road; Backspace puts it back with the robot,
# and the level completed the right way afterwards is recorded in tirvex.sav. Then Backspace held
# steps back over five commands to the view of the start. The game was recorded as a demo, which
# plays back to the same outcomes.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
demo="$E2E_TMP/undo.demo"

# The view below the message line, which tells where the robot and the mibo stand.
view_sum() { e2e_pixels "$1" 0 260 639 479 4 | cksum; }
_view_is() { e2e_capture "$E2E_TMP/now.xwd" && [ "$(view_sum "$E2E_TMP/now.xwd")" = "$1" ]; }
_view_is_not() { e2e_capture "$E2E_TMP/now.xwd" && [ "$(view_sum "$E2E_TMP/now.xwd")" != "$1" ]; }

e2e_use_maps undo_push play_walk
e2e_boot_to_menu -record "$demo"
e2e_key 1
e2e_enter_level 1
e2e_wait_still 30
e2e_capture "$E2E_TMP/start.xwd"
start=$(view_sum "$E2E_TMP/start.xwd")

# Up pushes the mibo along the road, where the sweet behind it stops it for good.
e2e_key Up
e2e_poll 20 _view_is_not "$start" || e2e_fail "Up did not move the robot"
e2e_wait_still 20
e2e_key BackSpace
e2e_poll 20 _view_is "$start" || e2e_fail "Backspace did not bring back the start"

# The right way: round by the niche, the mibo pushed sideways into the pit, then up the road.
e2e_key Left Up Right Up Right Up Left Up Up Up
e2e_wait_completed 30
e2e_confirm_to_select 2
e2e_expect_save 01000000000000000000

# Five commands, then Backspace held: one step at the press and the rest at the repeat's pace.
e2e_key Up
e2e_enter_level 1
e2e_wait_still 30
e2e_key Left Up Right Up Right
e2e_wait_still 20
_view_is_not "$start" || e2e_fail "the five commands left the view as it was"
e2e_hold BackSpace 2.5
e2e_poll 20 _view_is "$start" || e2e_fail "held Backspace did not step back to the start"
e2e_hold Escape 0.3
e2e_wait_select 20 2
e2e_quit_from_select

# The demo plays the undos back exactly: the same completion, the same end.
e2e_start -playdemo "$demo"
e2e_wait_exit 60
e2e_expect_status 0
expected="level 1 (Undo Push): completed in
level 1 (Undo Push): left with Esc"
got=$(sed 's/ completed in .*/ completed in/' "$E2E_GAME/out.txt" | grep '^level ')
[ "$got" = "$expected" ] || e2e_fail "the playback printed: $got"
grep -q " h63" "$demo" || e2e_fail "the demo holds no held Backspace"
e2e_log "passed"
