# play_my_levels.sh: "Play my levels" (tirvex --levels, no folder) from the desktop, where no one
# reads standard error. With no levels yet the game's window says where levels go and that the
# Level Editor makes them, until a key ends it (it used to end at once, the message on standard
# error alone). A renumbering of the folder that was stopped after its journal is finished
# before the levels are listed. A level saved with faults is refused in the level select with
# its file, line and fault, and the list goes on (it used to end the game on the fatal page).
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
# The game copy holds data/pz.dat, so the player's folder, and its levels/, is the copy.
levels="$E2E_GAME/levels"
rm -rf "$levels"

e2e_start --levels
e2e_wait_window 20
e2e_wait_credits 20
e2e_poll 10 grep -q "no levels of your own yet" "$E2E_GAME/err.txt" || e2e_fail "no word of the missing levels"
grep -q "$levels" "$E2E_GAME/err.txt" || e2e_fail "the message does not name the folder"
grep -q "Level Editor" "$E2E_GAME/err.txt" || e2e_fail "the message does not name the editor"
e2e_running || e2e_fail "the window did not wait for a key"
e2e_key space
e2e_expect_exit 1
[ ! -e "$E2E_GAME/error.log" ] || e2e_fail "an error.log was written"

# Three levels, the middle one without its start, as a renumbering moving 3 to 1 left them when
# it was stopped after its journal: each map has its second name, none is renamed yet.
mkdir -p "$levels"
cp "$E2E_MAPS/play_walk.txt" "$levels/map03.txt"
cp "$E2E_MAPS/play_mine.txt" "$levels/map02.txt"
sed 's/^1 0 0 0 1 0 /1 0 0 0 0 0 /' "$E2E_MAPS/play_walk.txt" >"$levels/map01.txt"
cmp -s "$levels/map01.txt" "$E2E_MAPS/play_walk.txt" && e2e_fail "the start was not taken away"
cp "$levels/map01.txt" "$E2E_TMP/faulty.txt"
ln "$levels/map03.txt" "$levels/.renumbering.01"
ln "$levels/map01.txt" "$levels/.renumbering.02"
ln "$levels/map02.txt" "$levels/.renumbering.03"
printf 'tirvex renumbering\nmove 3 1 3\n1\n2\n3\nend\n' >"$levels/.renumbering.journal"
printf '01000000000000000000' >"$levels/tirvex.sav"

e2e_boot_to_menu --levels
grep -q "renumbering that was stopped is finished" "$E2E_GAME/err.txt" ||
    e2e_fail "the stopped renumbering was not finished"
cmp -s "$levels/map02.txt" "$E2E_TMP/faulty.txt" || e2e_fail "map02.txt is not the level moved to 2"
cmp -s "$levels/map01.txt" "$E2E_MAPS/play_walk.txt" || e2e_fail "map01.txt is not the level moved to 1"
cmp -s "$levels/map03.txt" "$E2E_MAPS/play_mine.txt" || e2e_fail "map03.txt is not the level moved to 3"
[ -z "$(ls -A "$levels" | grep '^\.')" ] || e2e_fail "hidden names left: $(ls -A "$levels")"

# The cursor stands on level 2, which has faults: Enter is refused in a red box at the bottom.
red_box() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    [ "$(e2e_rgb 0 380 639 479 1 | awk '$1 >= 180 && $2 <= 110 && $3 <= 110 { n++ } END { print n + 0 }')" -gt 100 ]
}
e2e_key 1
e2e_wait_select 20 2
red_box && e2e_fail "a refusal before Enter"
e2e_key Return
e2e_poll 10 red_box || e2e_fail "no refusal box for the level with faults"
e2e_running || e2e_fail "the game ended on the level with faults"
e2e_wait_select 5 2
# Level 1 is still played from the list.
e2e_key Up
e2e_poll 10 eval '! red_box' || e2e_fail "the refusal stayed after the cursor moved"
e2e_enter_level 1
e2e_hold Escape 0.3
e2e_wait_select 20 2
e2e_quit_from_select
[ ! -e "$E2E_GAME/error.log" ] || e2e_fail "an error.log was written"
e2e_log "passed"
