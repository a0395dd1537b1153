# undo_play.sh: P pauses play: the view dims, "Paused" stands in its middle and the HUD clock
# stands still however long the pause lasts; any key ends the pause and the clock runs again. A
# mibo pushed ahead jams the only road; Backspace puts it back with the robot, and the level
# completed the right way afterwards is recorded in tirvex.sav. Then Backspace held steps back
# over five commands to the view of the start. The game was recorded as a demo, which holds no
# pause and plays back to the same outcomes.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
demo="$E2E_TMP/undo.demo"

# The view below the message line, which tells where the robot and the mibo stand; the clock.
view_sum() { e2e_pixels "$1" 0 260 639 479 4 | cksum; }
_view_is() { e2e_capture "$E2E_TMP/now.xwd" && [ "$(view_sum "$E2E_TMP/now.xwd")" = "$1" ]; }
_view_is_not() { e2e_capture "$E2E_TMP/now.xwd" && [ "$(view_sum "$E2E_TMP/now.xwd")" != "$1" ]; }
clock_sum() { e2e_pixels "$1" 540 8 600 28 1 | cksum; }
_clock_is_not() { e2e_capture "$E2E_TMP/c.xwd" && [ "$(clock_sum "$E2E_TMP/c.xwd")" != "$1" ]; }
clock_runs() {
    e2e_capture "$E2E_TMP/c.xwd"
    e2e_poll 10 _clock_is_not "$(clock_sum "$E2E_TMP/c.xwd")" || e2e_fail "the clock does not run $1"
}
# Paused: the clock's digits gone from the dimmed view, white "Paused" in its middle.
_paused_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    [ "$(e2e_green_count 540 8 600 28)" -eq 0 ] &&
        [ "$(e2e_rgb 280 225 360 255 1 |
            awk '$1 >= 230 && $2 >= 230 && $3 >= 230 { n++ } END { print n + 0 }')" -gt 20 ]
}
# _stays_still SECONDS SUM: the clock shows SUM for SECONDS, as long as the game runs.
_stays_still() {
    local end=$(( $(date +%s) + $1 + 1 ))
    while [ "$(date +%s)" -lt "$end" ]; do
        e2e_running || return 1
        e2e_capture "$E2E_TMP/c.xwd" && [ "$(clock_sum "$E2E_TMP/c.xwd")" = "$2" ] || return 1
        sleep 0.2
    done
}

e2e_use_maps undo_push play_walk
e2e_boot_to_menu -record "$demo"
e2e_key 1
e2e_enter_level 1
clock_runs "in play"
e2e_key p
e2e_poll 10 _paused_shown || e2e_fail "P did not dim the view and say Paused"
e2e_capture "$E2E_TMP/paused.xwd"
_stays_still 2 "$(clock_sum "$E2E_TMP/paused.xwd")" || e2e_fail "the clock moved during the pause"
e2e_key space
e2e_poll 10 eval '_e2e_play_shown' || e2e_fail "a key did not end the pause"
clock_runs "after the pause"

e2e_wait_still 30
e2e_capture "$E2E_TMP/start.xwd"
start=$(view_sum "$E2E_TMP/start.xwd")
e2e_key Up
e2e_poll 20 _view_is_not "$start" || e2e_fail "Up did not move the robot"
e2e_wait_still 20
e2e_key BackSpace
e2e_poll 20 _view_is "$start" || e2e_fail "Backspace did not bring back the start"

e2e_key Left Up Right Up Right Up Left Up Up Up
e2e_wait_completed 30
e2e_confirm_to_select 2
e2e_expect_save 01000000000000000000

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

scancodes=$(grep -oE ' r[0-9]+' "$demo" | awk '{ print int(substr($1, 2) / 256) }' | sort -u)
grep -qx 84 <<<"$scancodes" || e2e_fail "the demo holds no Up in the form looked for"
grep -qx 16 <<<"$scancodes" && e2e_fail "the demo holds the pause key"
grep -q " h63" "$demo" || e2e_fail "the demo holds no held Backspace"
e2e_start -playdemo "$demo"
e2e_wait_exit 60
e2e_expect_status 0
expected="level 1 (Undo Push): completed in
level 1 (Undo Push): left with Esc"
got=$(sed 's/ completed in .*/ completed in/' "$E2E_GAME/out.txt" | grep '^level ')
[ "$got" = "$expected" ] || e2e_fail "the playback printed: $got"
e2e_log "passed"
