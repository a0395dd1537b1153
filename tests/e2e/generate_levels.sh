# generate_levels.sh: tirvex --generate IDEA SIZE makes ten levels with the generator beside the
# game into a new folder of the player's own levels, saying on the start-up console what it
# makes, then plays that folder; each level has its proof, which carries the map's hash for the
# par. Esc while it works keeps only whole levels, and kills a generator deaf to it; a killed game
# takes its generator along, and a set it left is finished when asked for again. Wrong names, a
# full disk, a missing generator, and a generator that makes nothing are said, and nothing
# is left behind.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
trap 'umount "$E2E_GAME/levels/generated-5" 2>/dev/null; e2e_cleanup' EXIT
# The game copy holds data/pz.dat, so the player's folder, and its levels/, is the copy.
levels="$E2E_GAME/levels"
rm -rf "$levels"

# Wrong names are refused before any window opens, the wrong one named (once it was not).
(cd "$E2E_GAME" && ./tirvex --generate walk huge >"$E2E_TMP/out" 2>"$E2E_TMP/err")
[ $? -eq 2 ] || e2e_fail "a wrong size did not end with status 2"
grep -qx 'tirvex: no size "huge" for --generate: small, medium or large' "$E2E_TMP/err" ||
    e2e_fail "no word of the names --generate takes: $(cat "$E2E_TMP/err")"
(cd "$E2E_GAME" && ./tirvex --generate walk small --levels . >"$E2E_TMP/out" 2>"$E2E_TMP/err")
[ $? -eq 2 ] || e2e_fail "--generate with --levels was not refused"

(cd "$E2E_GAME" && ./tirvex --seed 3 >"$E2E_TMP/out" 2>"$E2E_TMP/err")
[ $? -eq 2 ] || e2e_fail "--seed without --generate was not refused"

# A set of ten small walks: the generator's child ends, the console waits for a key, and the
# main menu then plays the new folder. The seed is given, so the levels are the same each run.
e2e_pass_credits --generate walk small --seed 1
only_set() {
    local sets
    sets=$(ls -d "$levels"/generated-* 2>/dev/null | wc -l)
    [ "$sets" -eq 1 ] && set_dir=$(ls -d "$levels"/generated-*)
}
e2e_poll 20 only_set || e2e_fail "no generated-SEED folder in $levels"
[ "$set_dir" = "$levels/generated-1" ] || e2e_fail "the folder is not named for the seed: $set_dir"
# The game's own generator, by its folder: another run on the machine is none of this test's.
generator_runs() { pgrep -f -- "--out $levels/generated-" >/dev/null; }
generator_done() { ! generator_runs && [ -e "$set_dir/map10.txt" ]; }
e2e_poll 300 generator_done || e2e_fail "the ten levels were not made: $(ls "$set_dir")"
for n in 01 02 03 04 05 06 07 08 09 10; do
    [ -s "$set_dir/map$n.txt" ] || e2e_fail "map$n.txt is missing"
    head -2 "$set_dir/solutions/map$n.txt" | grep -q "^# map hash [0-9a-f]\{16\}$" ||
        e2e_fail "the proof of map$n.txt names no map hash"
done
[ ! -e "$set_dir/map11.txt" ] || e2e_fail "more than ten levels"
e2e_running || e2e_fail "the game ended after making the levels"
e2e_key space
e2e_wait_menu 30
e2e_capture "$E2E_TMP/menu.xwd"
E2E_MENU_SUM=$(e2e_screen_sum "$E2E_TMP/menu.xwd")
e2e_key 1
e2e_wait_select 20 1
e2e_enter_level 1
e2e_hold Escape 0.3
e2e_wait_select 20 1
e2e_quit_from_select
"$E2E_GAME/level_checker" "$set_dir"/map01.txt >"$E2E_TMP/check" 2>&1 ||
    e2e_fail "the checker does not pass map01.txt: $(cat "$E2E_TMP/check")"

# A set left unfinished (a proof gone, a map changed, a level missing) is finished when its seed
# is asked for again, with the levels the seed made before in their places; it was refused.
cksum "$set_dir"/map*.txt "$set_dir"/solutions/map*.txt >"$E2E_TMP/before"
rm "$set_dir/solutions/map04.txt" "$set_dir/map10.txt" "$set_dir/solutions/map10.txt"
echo >>"$set_dir/map07.txt"
e2e_pass_credits --generate walk small --seed 1
e2e_poll 60 generator_done || e2e_fail "the set was not finished: $(ls "$set_dir")"
e2e_key space
e2e_wait_menu 30
e2e_quit_from_menu
cksum "$set_dir"/map*.txt "$set_dir"/solutions/map*.txt | cmp - "$E2E_TMP/before" ||
    e2e_fail "the finished set is not the one the seed made"
# The map changed since it was made is kept beside, not lost (it used to be removed).
[ "$(tail -c 2 "$set_dir/map07.txt~" | od -An -tx1 | tr -d ' ')" = 0a0a ] ||
    e2e_fail "the edited map07.txt was not kept as map07.txt~"

# The same seed again: its levels are there already, and are played as they are, not made over
# (the game used to refuse them).
e2e_pass_credits --generate walk small --seed 1
e2e_key space
e2e_wait_menu 30
generator_runs && e2e_fail "a generator was started for a whole set"
e2e_quit_from_menu
cksum "$set_dir"/map*.txt "$set_dir"/solutions/map*.txt | cmp -s - "$E2E_TMP/before" ||
    e2e_fail "the set was changed"

# A full disk: the whole levels are played and the player hears why there are no more (the
# game once played a level with an empty proof and said nothing).
if [ "$(id -u)" = 0 ]; then
    rm -rf "$levels" && mkdir -p "$levels/generated-5"
    mount -t tmpfs -o size=24k tmpfs "$levels/generated-5" || e2e_fail "no tmpfs mounted"
    e2e_pass_credits --generate walk small --seed 5
    e2e_poll 60 grep -q "The disk is full: 3 of 10 levels were made" "$E2E_GAME/err.txt" ||
        e2e_fail "no word of the full disk"
    [ "$(ls "$levels/generated-5"/map*.txt | wc -l)" = 3 ] || e2e_fail "not 3 levels kept"
    e2e_key space
    e2e_wait_menu 30
    e2e_quit_from_menu
    umount "$levels/generated-5"
fi

# Esc while a slow set is made: only whole levels stay (each with its proof), and with none the
# folder is taken away and the game ends.
rm -rf "$levels"
e2e_pass_credits --generate push large --seed 1
e2e_poll 20 generator_runs || e2e_fail "the generator did not start"
e2e_key Escape
e2e_poll 20 eval '! generator_runs' || e2e_fail "Esc did not stop the generator"
if [ -z "$(ls -d "$levels"/generated-* 2>/dev/null)" ]; then
    e2e_expect_exit 0
else
    set_dir=$(ls -d "$levels"/generated-*)
    for map in "$set_dir"/map*.txt; do
        [ -s "$set_dir/solutions/$(basename "$map")" ] || e2e_fail "$map was kept without its proof"
    done
    e2e_key space
    e2e_wait_menu 30
    e2e_capture "$E2E_TMP/menu.xwd"
    e2e_quit_from_menu
fi

# A killed game takes its generator along: it once wrote another level into the set later.
e2e_pass_credits --generate push large --seed 2
e2e_poll 20 generator_runs || e2e_fail "the generator did not start"
kill -KILL "$E2E_PID" && wait "$E2E_PID" 2>/dev/null
E2E_PID=""
e2e_poll 5 eval '! generator_runs' || e2e_fail "the generator outlived its game"

# A generator deaf to SIGTERM is killed 2 s after Esc: the game once waited for it for ever.
printf '#!/bin/sh\ntrap "" TERM\nwhile :; do sleep 1; done\n' >"$E2E_GAME/level_generator"
e2e_pass_credits --generate walk small --seed 3
e2e_poll 20 generator_runs || e2e_fail "the stubborn generator did not start"
e2e_key Escape
e2e_expect_exit 0
generator_runs && e2e_fail "the stubborn generator was left running"

# No generator beside the game: said in the window, on standard error, and nothing is made.
rm -rf "$levels"
rm "$E2E_GAME/level_generator"
e2e_pass_credits --generate walk small
e2e_poll 20 grep -q "level generator (tirvex-generate) is not beside the game" "$E2E_GAME/err.txt" ||
    e2e_fail "no word of the missing generator"
e2e_running || e2e_fail "the window did not wait for a key"
e2e_key space
e2e_expect_exit 1
[ -z "$(ls -A "$levels" 2>/dev/null)" ] || e2e_fail "something was left in $levels: $(ls -A "$levels")"
[ ! -e "$E2E_GAME/error.log" ] || e2e_fail "an error.log was written"
e2e_log "passed"
