# play_idle.sh: a level with the robot at rest runs its frames at the display's pace without
# spinning a core: the game's processor use stays well under one core.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
e2e_play_first_level play_walk
e2e_wait_still 30    # the camera has come down into the level

# Frames drawn: each one sleeps once in the main thread before it is shown.
switches() { awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$E2E_PID/task/$E2E_PID/status"; }
before=$(switches)
cpu=$(e2e_cpu_percent 5)
after=$(switches)
e2e_log "idle in a level: ${cpu}% of a core, about $(( (after - before) / 5 )) sleeps of the main thread a second"
[ "$cpu" -lt 50 ] || e2e_fail "the idle level uses ${cpu}% of a core"

e2e_leave_level
