# bad_video_mode.sh: a mode in "wvideo.cfg" that cannot be set writes "error.txt" and ends the
# program with status 1 before anything else happens.
source "$(dirname "$0")/lib/harness.bash"
e2e_setup "$1"
printf '1 100000 100000\n' >"$E2E_GAME/wvideo.cfg"
e2e_start
e2e_wait_file "$E2E_GAME/error.txt" 20
e2e_expect_exit 1
[ "$(head -n 1 "$E2E_GAME/error.txt")" = "Error setting graphics mode" ] ||
    e2e_fail "error.txt does not start with the graphics mode error"
grep -q "Error setting graphics mode" "$E2E_GAME/out.txt" ||
    e2e_fail "the console did not report the error"
e2e_log "ok"
