# play_my_levels.sh: "Play my levels" (tirvex --levels, no folder) from the desktop, where no one
# reads standard error. With no levels yet the game's window says where levels go and that the
# Level Editor makes them, until a key ends it (it used to end at once, the message on standard
# error alone). A renumbering of the folder that was stopped after its journal is finished
# before the levels are listed. A level saved with faults is refused in the level select with
# its file, line and fault, and the list goes on (it used to end the game on the fatal page).
# With generated sets there, the start-up console lists them and the own levels to choose from.
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

# With a generated set beside them (the runs above had none: the menu came at once, as before)
# the console lists both and waits for a number: Esc ends the game, writing nothing; 2 plays the
# set, its progress kept in its folder. A set could not be reached again from the game.
set="$levels/generated-5"
mkdir -p "$set"
cp "$E2E_MAPS/play_walk.txt" "$set/map01.txt"
cp "$E2E_MAPS/play_mine.txt" "$set/map02.txt"
list_shown() {   # the list's first line in the console, and no menu picture below it
    e2e_capture "$E2E_TMP/shot.xwd" && e2e_lit "$E2E_TMP/shot.xwd" 0 192 120 199 1 &&
        ! e2e_lit "$E2E_TMP/shot.xwd" 0 320 639 479 4
}
e2e_pass_credits --levels
e2e_poll 20 list_shown || e2e_fail "no list of the levels and sets"
e2e_key Escape
e2e_expect_exit 0
[ ! -e "$set/tirvex.sav" ] || e2e_fail "listing wrote a progress file"
e2e_pass_credits --levels
e2e_poll 20 list_shown || e2e_fail "no list of the levels and sets"
e2e_key 2
e2e_wait_menu 30
e2e_capture "$E2E_TMP/menu.xwd"
E2E_MENU_SUM=$(e2e_screen_sum "$E2E_TMP/menu.xwd")
e2e_key 1
e2e_enter_level 1
e2e_key Up Up
e2e_wait_completed 20
e2e_confirm_to_select 2
e2e_quit_from_select
[ "$(head -c 2 "$set/tirvex.sav")" = 01 ] || e2e_fail "the set's level 1 was not recorded in it"
[ "$(cat "$levels/tirvex.sav")" = 01000000000000000000 ] || e2e_fail "your own progress changed"
e2e_log "passed"
