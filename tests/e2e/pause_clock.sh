# pause_clock.sh: P pauses play: the view dims, "Paused" stands in its middle and the HUD clock
# stands still however long the pause lasts; any key ends the pause and the clock runs again.
# The game was recorded as a demo meanwhile: it holds no pause and plays back to the same end.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"

# The HUD clock's digits, as a checksum of the capture's pixels there.
clock_sum() { e2e_pixels "$1" 540 8 600 28 1 | cksum; }
_clock_is_not() { e2e_capture "$E2E_TMP/c.xwd" && [ "$(clock_sum "$E2E_TMP/c.xwd")" != "$1" ]; }

# Paused: the clock's bright green is dimmed away and "Paused" is written white in the middle.
_paused_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    [ "$(e2e_green_count 540 8 600 28)" -eq 0 ] &&
        [ "$(e2e_rgb 280 225 360 255 1 |
            awk '$1 >= 230 && $2 >= 230 && $3 >= 230 { n++ } END { print n + 0 }')" -gt 20 ]
}

# _stays_still SECONDS SUM: the clock keeps showing SUM, the game running, for SECONDS.
_stays_still() {
    local end=$(( $(date +%s) + $1 + 1 ))
    while [ "$(date +%s)" -lt "$end" ]; do
        e2e_running || return 1
        e2e_capture "$E2E_TMP/c.xwd" && [ "$(clock_sum "$E2E_TMP/c.xwd")" = "$2" ] || return 1
        sleep 0.2
    done
}

demo="$E2E_TMP/pause.demo"
e2e_use_maps play_walk play_mine
e2e_boot_to_menu -record "$demo"
e2e_key 1
e2e_enter_level 1
# The clock runs: its digits change within a few seconds.
e2e_capture "$E2E_TMP/c.xwd"
e2e_poll 10 _clock_is_not "$(clock_sum "$E2E_TMP/c.xwd")" || e2e_fail "the clock does not run"

e2e_key p
e2e_poll 10 _paused_shown || e2e_fail "P did not dim the view and say Paused"
e2e_capture "$E2E_TMP/paused.xwd"
paused=$(clock_sum "$E2E_TMP/paused.xwd")
# Running, the clock would have changed twice in this time.
_stays_still 2 "$paused" || e2e_fail "the clock moved during the pause"

e2e_key space
e2e_poll 10 eval '_e2e_play_shown' || e2e_fail "a key did not end the pause"
e2e_capture "$E2E_TMP/c.xwd"
e2e_poll 10 _clock_is_not "$(clock_sum "$E2E_TMP/c.xwd")" || e2e_fail "the clock did not run again"
e2e_key Up Up
e2e_wait_completed 20
e2e_confirm_to_select 2
e2e_quit_from_select

# A typed key is recorded as rN, N its scancode times 256 plus its character: P is 16 << 8 | 112.
# Every token of scancode 16 is looked for (the old check sought 4096 alone, which a typed P
# never is), and Up (84) must be there, so that a change of form cannot pass unseen.
scancodes=$(grep -oE ' r[0-9]+' "$demo" | awk '{ print int(substr($1, 2) / 256) }' | sort -u)
grep -qx 84 <<<"$scancodes" || e2e_fail "the demo holds no Up in the form looked for"
grep -qx 16 <<<"$scancodes" && e2e_fail "the demo holds the pause key"
e2e_start -playdemo "$demo"
e2e_wait_exit 60
e2e_expect_status 0
grep -q "^level 1 (Sweet Walk): completed in" "$E2E_GAME/out.txt" ||
    e2e_fail "the playback did not end as recorded: $(grep '^level' "$E2E_GAME/out.txt")"
e2e_log "ok"
