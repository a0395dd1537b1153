# play_idle.sh: a level with the robot at rest runs its frames at the display's pace without
# spinning a core: the game's processor use stays well under one core. SIGTERM then ends the
# game through its own shutdown, the demo it recorded whole; the X server going away ends it
# with status 1 and the reason.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
e2e_use_maps play_walk
e2e_boot_to_menu -record "$E2E_TMP/idle.demo"
e2e_key 1
e2e_enter_level 1
e2e_wait_still 30    # the camera has come down into the level

# Frames drawn: each one sleeps once in the main thread before it is shown.
switches() { awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$E2E_PID/task/$E2E_PID/status"; }
before=$(switches)
cpu=$(e2e_cpu_percent 5)
after=$(switches)
e2e_log "idle in a level: ${cpu}% of a core, about $(( (after - before) / 5 )) sleeps of the main thread a second"
[ "$cpu" -lt 50 ] || e2e_fail "the idle level uses ${cpu}% of a core"

# The library's own handler shut the game down inside the signal (and was seen to deadlock
# there); now the signal only asks, and play, the level select and the menu are left as by Esc.
kill -TERM "$E2E_PID"
e2e_wait_exit 10
e2e_expect_status 0
e2e_start -timedemo "$E2E_TMP/idle.demo"
e2e_wait_exit 60
e2e_expect_status 0
grep -q "^level 1 " "$E2E_GAME/out.txt" || e2e_fail "the demo of the ended game does not play back"

e2e_start
e2e_wait_window 20
kill "$E2E_XVFB_PID"
e2e_wait_exit 10
e2e_expect_status 1
grep -q "connection to the X server was lost" "$E2E_GAME/err.txt" ||
    e2e_fail "no reason given for the end: $(cat "$E2E_GAME/err.txt")"
E2E_XVFB_PID=""
