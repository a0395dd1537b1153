# missing_model.sh: a missing model file shows the fatal page, leaves "error.log" naming the
# path, ignores keys but Esc and ends with status 1 after Esc.
source "$(dirname "$0")/lib/harness.bash"
e2e_setup "$1"
rm -f "$E2E_GAME/bsp/robot.bsp"
e2e_pass_credits
e2e_wait_file "$E2E_GAME/error.log" 30
grep -qx "Fatal exception: bsp/robot.bsp" "$E2E_GAME/error.log" ||
    e2e_fail "error.log does not name bsp/robot.bsp"
[ "$(tail -c 2 "$E2E_GAME/error.log" | od -An -c | tr -d ' ')" = '\n\n' ] ||
    e2e_fail "error.log does not end in an empty line"

e2e_key space Return 1
if e2e_poll 1 eval '! e2e_running'; then e2e_fail "a key other than Esc left the fatal page"; fi
e2e_key Escape
e2e_expect_exit 1
e2e_log "ok"
