# key_card_keys.sh: the key card (F1) shows the level's idea above it under "This level", and
# under a keys.cfg that moves undo to Z it writes the moved row of its key column, and only
# that row, over its picture. A bad line of keys.cfg is named, with the file and the line, on
# standard error, and on the view until the first key of play.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"

# The card at rest: 340 rows high, its top at 140 on a 480-row screen; the right column's
# twelfth line ("Backspace / U") has its keys at x 259..353, rows 398..410.
undo_cell() { e2e_pixels "$1" 259 398 353 410 1 | cksum; }
# The card without the undo row: its rows above and below it.
card_but_undo() { { e2e_pixels "$1" 10 140 479 397 1; e2e_pixels "$1" 10 411 479 479 1; } | cksum; }

# show_card SHOT: into the level, the view at rest (SHOT.notice), a turn and the view at rest
# again (SHOT.before), then F1 until the card rests (SHOT).
show_card() {
    e2e_play_first_level play_walk
    e2e_wait_still 30
    e2e_capture "$1.notice"
    e2e_key Left
    e2e_wait_still 30
    e2e_capture "$1.before"
    e2e_key F1
    e2e_poll 20 e2e_card_at_rest || e2e_fail "the key card did not come to rest"
    cp "$E2E_TMP/b.xwd" "$1"
    e2e_leave_level
}

show_card "$E2E_TMP/plain.xwd"
# "This level" and the idea: a box just above the card, where the view was before.
[ "$(e2e_pixels "$E2E_TMP/plain.xwd" 12 100 470 145 1 | cksum)" != \
  "$(e2e_pixels "$E2E_TMP/plain.xwd.before" 12 100 470 145 1 | cksum)" ] ||
    e2e_fail "no idea box above the key card"

printf 'undo = Z\nstep-back = NOKEY\n' >"$E2E_GAME/keys.cfg"
show_card "$E2E_TMP/moved.xwd"
grep -q "keys.cfg:2: no key \"NOKEY\"" "$E2E_GAME/err.txt" ||
    e2e_fail "the bad line of keys.cfg was not named: $(cat "$E2E_GAME/err.txt")"
[ "$(undo_cell "$E2E_TMP/plain.xwd")" != "$(undo_cell "$E2E_TMP/moved.xwd")" ] ||
    e2e_fail "the card's undo row does not show the moved key"
[ "$(card_but_undo "$E2E_TMP/plain.xwd")" = "$(card_but_undo "$E2E_TMP/moved.xwd")" ] ||
    e2e_fail "the card changed beyond the undo row"
# The fault is on the view from the start until the first key of play, and gone with it.
middle() { e2e_pixels "$E2E_TMP/$1" 0 225 639 275 1 | cksum; }
[ "$(middle plain.xwd.notice)" != "$(middle moved.xwd.notice)" ] ||
    e2e_fail "the keys.cfg fault was not on the view"
[ "$(middle plain.xwd.before)" = "$(middle moved.xwd.before)" ] ||
    e2e_fail "the keys.cfg fault stayed after a key of play"
e2e_log "ok"
