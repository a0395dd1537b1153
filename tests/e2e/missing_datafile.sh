# missing_datafile.sh: without "data/pz.dat" the program ends with status 1 after the credits
# key, without reaching the menu.
source "$(dirname "$0")/lib/harness.bash"
e2e_setup "$1"
rm -f "$E2E_GAME/data/pz.dat"
e2e_start
e2e_wait_window 20
e2e_wait_credits 20
e2e_running || e2e_fail "the game ended before the credits key"
e2e_key space
e2e_wait_exit 20
e2e_expect_status 1
grep -q "Error loading data file data/pz.dat" "$E2E_GAME/err.txt" ||
    e2e_fail "no datafile error on standard error"
e2e_log "ok"
