# level_editor_folder.sh: the editor's folder of levels when things go wrong. Started without a
# map, as the desktop starts it, a map01.txt the game would stop on is shown with its faults on a
# page in the window until Esc, the file untouched (it used to end at once, the faults on
# standard error alone). A renumbering (Ctrl+G) killed by a signal, once while it makes the
# backups and once after its journal, is undone or finished when the editor opens the folder
# again: every level there once, no number missing, nothing hidden left; a link planted at a
# backup's name is never written through. The folder keys show a broken map's page and stay.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
source "$(dirname "$0")/lib/editor.bash"
e2e_setup "$1"
[ -x "$E2E_GAME/tirvex_edit" ] || e2e_fail "no level editor in $1"
# The game copy holds data/pz.dat, so the player's folder of levels is levels/ in the copy.
levels="$E2E_GAME/levels"
mkdir -p "$levels"

printf 'x\nTwo starts\n0\n\n1\n\n\n2\n0 1 0 0 1 0 -1 -1 -1 -1\n1 1 0 0 1 0 -1 -1 -1 -1\n' >"$levels/map01.txt"
cp "$levels/map01.txt" "$E2E_TMP/bad.txt"
edit_start
e2e_poll 20 said "^page: map01.txt: not opened for editing" || e2e_fail "no page for the broken map01.txt"
said "^| line 10: fault: " || e2e_fail "the page does not list the fault with its line"
e2e_running || e2e_fail "the editor ended without waiting"
e2e_key Escape
e2e_expect_exit 1
cmp -s "$levels/map01.txt" "$E2E_TMP/bad.txt" || e2e_fail "the broken map was changed"

# Three shipped levels (written as the editor writes, so that it finds nothing unsaved); a link
# planted at map02.txt~ points at a file outside the folder.
shipped="$E2E_GAME/maps"
cp "$shipped/map01.txt" "$shipped/map02.txt" "$shipped/map03.txt" "$levels/"
printf 'not a level\n' >"$E2E_TMP/victim.txt"
ln -s "$E2E_TMP/victim.txt" "$levels/map02.txt~"

# folder_is ORDER: map01..03 are these shipped maps, nothing else and nothing hidden is there.
folder_is() {
    local n=1 shipped_number
    for shipped_number in "$@"; do
        cmp -s "$levels/map0$n.txt" "$shipped/map0$shipped_number.txt" ||
            e2e_fail "map0$n.txt is not shipped map $shipped_number ($(ls -A "$levels" | tr '\n' ' '))"
        n=$((n + 1))
    done
    [ ! -e "$levels/map04.txt" ] || e2e_fail "a fourth level appeared"
    [ -z "$(ls -A "$levels" | grep '^\.')" ] || e2e_fail "hidden names left: $(ls -A "$levels" | tr '\n' ' ')"
    [ "$(cat "$E2E_TMP/victim.txt")" = "not a level" ] || e2e_fail "the link at map02.txt~ was written through"
}

# renumber_killed_at N: map03 is given number 1, the editor killed at its Nth renameat (the
# backups are renamed into place first, one a level, then the second names over the maps).
renumber_killed_at() {
    edit_start strace -e trace=renameat -e inject=renameat:signal=KILL:when="$1" -- "$levels/map03.txt"
    local editor
    editor=$(pgrep -P "$E2E_PID" -x tirvex_edit)
    # Slowed by the tracing, the editor takes keys once it has drawn its screen.
    e2e_poll 60 eval 'e2e_capture "$E2E_TMP/shot.xwd" && e2e_lit "$E2E_TMP/shot.xwd" 0 0 639 479 8' ||
        { [ -n "$editor" ] && kill "$editor"; e2e_fail "the editor drew nothing"; }
    xdotool mousemove 300 200 mousemove 320 240
    e2e_key ctrl+g 1 Return
    if ! e2e_poll 30 eval '! e2e_running'; then
        # strace leaves its tracee running when it is stopped: the editor is ended by its own id.
        [ -n "$editor" ] && kill "$editor"
        e2e_fail "the editor was not killed at renameat $1"
    fi
    e2e_wait_exit 1
    [ "$E2E_STATUS" = 137 ] || e2e_fail "the editor was not killed at renameat $1 (status $E2E_STATUS)"
}
# reopen: the editor without a map opens the folder, which is mended first; Esc leaves.
reopen() {
    edit_start
    e2e_key Escape
    e2e_expect_exit 0
}

renumber_killed_at 2
[ -e "$levels/.renumbering.journal" ] && e2e_fail "a journal before the backups were made"
reopen
folder_is 1 2 3

renumber_killed_at 5
[ -e "$levels/.renumbering.journal" ] || e2e_fail "no journal when the maps were being renamed"
reopen
said "a renumbering that was stopped is finished: map03.txt is now map01.txt" ||
    e2e_fail "the editor did not say it finished the renumbering"
folder_is 3 1 2
[ ! -L "$levels/map02.txt~" ] || e2e_fail "the link at map02.txt~ was left for a backup"
cmp -s "$levels/map02.txt~" "$shipped/map02.txt" || e2e_fail "map02.txt~ is not the old map02.txt"
# The folder keys onto a broken map show its page too, and the editor stays on its level.
cp "$E2E_TMP/bad.txt" "$levels/map04.txt"
edit_start "$levels/map03.txt"
e2e_key ctrl+Next
e2e_poll 20 said "^page: map04.txt: not opened for editing" || e2e_fail "no page for the broken map04.txt"
e2e_key Escape
e2e_running || e2e_fail "the editor ended on the broken map04.txt"
e2e_key Escape
e2e_expect_exit 0
cmp -s "$levels/map04.txt" "$E2E_TMP/bad.txt" || e2e_fail "the broken map04.txt was changed"
e2e_log "passed"
