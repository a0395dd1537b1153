# level_editor.sh: the level editor, started without a map as the desktop starts it, opens the
# player's own folder of levels and builds a three-square level (start, sweet, teleport) from
# keys, proves it and saves it; the level checker then validates and solves the saved file, and
# the game plays that folder with --levels alone, keeping its own progress. Leaving with an
# unsaved change asks first; a map with faults is not opened. A playtest of a level with faults
# is refused and the editor goes on; the window's close button ends a playtest and the editor;
# no playtest folder and no error.log are left behind.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
source "$(dirname "$0")/lib/editor.bash"
e2e_setup "$1"
[ -x "$E2E_GAME/tirvex_edit" ] || e2e_fail "no level editor in $1"
# The game copy holds data/pz.dat, so the player's folder of levels is levels/ in the copy.
map="$E2E_GAME/levels/map01.txt"

# nothing_left WHEN: no playtest folder in the editor's temporary folder, no error.log where it
# was started.
nothing_left() {
    local left
    left=$(ls -A "$E2E_TMP/tmp")
    [ -z "$left" ] || e2e_fail "$1: left behind in the temporary folder: $left"
    [ ! -e "$E2E_GAME/error.log" ] || e2e_fail "$1: error.log written in the working directory"
}

# P on a level the world would stop on is refused on the status line and the editor goes on
# (it used to end on the game's fatal page, the level unsaved, its playtest folder and an
# error.log left behind): a new file with nothing in it, then three squares and a teleport but
# no start. Saved afterwards, the level is as edited.
draft="$E2E_TMP/draft.txt"
edit_start "$draft"
e2e_key p
e2e_poll 20 said "cannot playtest: line 8: square count 0" || e2e_fail "an empty level was not refused"
e2e_key space Right space Right space 2 p
e2e_poll 20 said "cannot playtest: line 8: none of the 3 squares is a starting position" ||
    e2e_fail "a level without a start was not refused"
e2e_running || e2e_fail "the editor ended on a playtest without a start"
xdotool search --name "^Tirvex level editor$" >/dev/null || e2e_fail "the editor's window is gone"
nothing_left "a refused playtest"
e2e_key F2
e2e_poll 20 said "saved $draft, with faults" || e2e_fail "the level was not saved after the refusal"
e2e_key Escape
e2e_expect_exit 0
[ "$(sed -n 8p "$draft")" = 3 ] || e2e_fail "the saved level does not hold three squares"
grep -q "^2 1 0 0 2 " "$draft" || e2e_fail "the saved level lost its teleport"
grep -q "^[0-9-]* [0-9-]* [0-9-]* [0-9-]* 1 " "$draft" && e2e_fail "the saved level gained a start"
nothing_left "the editor left after a refused playtest"

# A new level in a folder that is not there is warned of at once (it used to open silently);
# saving there fails with the file's name, and the work stays in the editor. A --game folder
# that is not there is named.
edit_start "$E2E_TMP/missing/map01.txt"
e2e_poll 20 eval 'grep -q "missing/ is not there" "$E2E_GAME/err.txt"' ||
    e2e_fail "no warning of the missing folder: $(cat "$E2E_GAME/err.txt")"
e2e_key space F2
e2e_poll 20 said "not saved: $E2E_TMP/missing/map01.txt" || e2e_fail "saving there was not refused"
e2e_key Escape
e2e_poll 20 said "unsaved changes" || e2e_fail "the work was dropped after a failed save"
e2e_key Escape
e2e_expect_exit 0
(cd "$E2E_GAME" && ./tirvex_edit --game /nonexistent "$map" 2>"$E2E_GAME/err.txt" >/dev/null)
[ $? -eq 1 ] && grep -q "game folder /nonexistent cannot be entered" "$E2E_GAME/err.txt" ||
    e2e_fail "a missing --game folder is not named: $(cat "$E2E_GAME/err.txt")"

edit_start
# A row of three squares; the start turned to face +x, a sweet, the teleport.
e2e_key space Right space Right space Left Left r 1 Right 7 Right 2
e2e_key F5
e2e_poll 60 said "won in 2 moves" || e2e_fail "the editor did not prove the level"
# W shows the way in the 3D view; P plays the level with the game's keys, Space confirms. The
# playtest has the game's undo and hint (it used to say "Nothing to undo", and I did nothing):
# the step onto the sweet is undone, the hint asked for, and the level won in two moves.
e2e_key w
e2e_poll 30 said "the way shown: level completed" || e2e_fail "the way was not shown to its end"
e2e_key p
e2e_poll 20 playtest_shown || e2e_fail "no playtest on the screen within 20 s"
e2e_key Up
e2e_key BackSpace
e2e_key i
e2e_key Up Up
e2e_wait_completed 20
e2e_hold space 0.3
e2e_poll 20 said "playtest: level completed in 2 moves, 1 undo, 1 hint" ||
    e2e_fail "the playtest did not complete the level with one undo and one hint: $(tail -1 "$E2E_GAME/out.txt")"
e2e_key F2
e2e_poll 20 said "saved $map" || e2e_fail "the editor did not save the level"
# The close button in a playtest ends it and, nothing being unsaved, the editor: its playtest
# folder goes with it. Without Python, Esc ends them instead.
e2e_key p
e2e_poll 20 playtest_shown || e2e_fail "no second playtest on the screen within 20 s"
ls "$E2E_TMP/tmp" | grep -q "^tirvex_edit_play_" || e2e_fail "no playtest folder in TMPDIR"
if command -v python3 >/dev/null; then
    close_window
else
    e2e_log "no python3: the close button is not tried"
    e2e_hold Escape 0.3
    e2e_poll 20 said "playtest left" || e2e_fail "Esc did not end the playtest"
    e2e_key Escape
fi
e2e_expect_exit 0
nothing_left "the editor closed in a playtest"

output=$("$E2E_GAME/level_checker" "$map") || { echo "$output"; e2e_fail "the saved level does not pass"; }
grep -q "solved in 2 moves" <<<"$output" || { echo "$output"; e2e_fail "the checker's solution differs"; }
grep -q "warning" <<<"$output" && { echo "$output"; e2e_fail "the saved level draws a warning"; }

# An unsaved change: the first Esc asks, the second leaves without saving.
saved=$(cat "$map")
edit_start "$map"
e2e_key Delete
e2e_key Escape
e2e_poll 20 said "unsaved changes" || e2e_fail "no question on leaving with an unsaved change"
e2e_running || e2e_fail "the editor left at once with an unsaved change"
e2e_key Escape
e2e_expect_exit 0
[ "$(cat "$map")" = "$saved" ] || e2e_fail "leaving without saving changed the file"
[ ! -e "$map~" ] || e2e_fail "a backup was made without a second save"

# A map the game would stop on is not opened: its faults, exit status 1, the file untouched.
printf 'x\nTwo starts\n0\n\n1\n\n\n2\n0 1 0 0 1 0 -1 -1 -1 -1\n1 1 0 0 1 0 -1 -1 -1 -1\n' >"$E2E_TMP/bad.txt"
(cd "$E2E_GAME" && ./tirvex_edit "$E2E_TMP/bad.txt" >"$E2E_GAME/out.txt" 2>"$E2E_GAME/err.txt")
[ $? -eq 1 ] || e2e_fail "a broken map was opened"
grep -q "bad.txt:10: " "$E2E_GAME/err.txt" || e2e_fail "no line-numbered fault for the broken map"
grep -q "not opened for editing" "$E2E_GAME/err.txt" || e2e_fail "no word that the map was refused"
# The game plays the player's folder (--levels naming none): the level completed is recorded
# beside it, not in the shipped levels' record. A folder without map01.txt is refused, status 1.
e2e_boot_to_menu --levels
e2e_key 1
e2e_enter_level 1
e2e_key Up Up
e2e_wait_completed 20
e2e_hold space 0.3
e2e_wait_end 30
[ "$(cat "$E2E_GAME/levels/tirvex.sav" 2>/dev/null)" = "01000000000000000000" ] ||
    e2e_fail "the folder's progress is not 01000000000000000000"
[ ! -e "$E2E_GAME/tirvex.sav" ] || e2e_fail "the shipped levels' progress was written"
e2e_key space
e2e_wait_select 30 1
e2e_quit_from_select
e2e_start --levels "$E2E_TMP"
e2e_expect_exit 1
grep -q "holds no readable map01.txt" "$E2E_GAME/err.txt" || e2e_fail "no message for a folder without map01.txt"
e2e_log "passed"
