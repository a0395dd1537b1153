# teach_first_loss.sh: the player's first loss adds its line under the message line, naming the
# keys of undo, restart and hint, and tirvex-lessons.txt keeps it from coming again: a second
# loss, in the same run and in the next one, shows the message alone.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"

# The line under the message line, centred, wider than the death message: its green (well
# above red and blue) left of where the message's text begins.
_note_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    [ "$(e2e_rgb 92 250 140 262 1 |
        awk '$2 >= 220 && $2 - $1 >= 40 && $2 - $3 >= 40 { n++ } END { print n + 0 }')" -gt 10 ]
}
_note_gone() { ! _note_shown; }

# Level 1: the mine straight ahead.
e2e_play_first_level play_mine play_walk
e2e_wait_still 30
e2e_key Up
e2e_wait_dead 20
e2e_poll 10 _note_shown || e2e_fail "the first loss added no line under its message"
grep -qx "first-loss" "$E2E_GAME/tirvex-lessons.txt" 2>/dev/null ||
    e2e_fail "tirvex-lessons.txt does not keep the lesson: $(cat "$E2E_GAME/tirvex-lessons.txt" 2>&1)"

# Space starts the level again: the line goes with the loss; the next loss has none.
e2e_hold space 0.3
e2e_poll 20 _note_gone || e2e_fail "the line stayed after the restart"
e2e_wait_still 30
e2e_key Up
e2e_wait_dead 20
_note_shown && e2e_fail "the second loss added the line again"
e2e_hold Escape 0.3
e2e_wait_select 20 1
e2e_quit_from_select

# The next run of the same player: still not again.
e2e_play_first_level play_mine play_walk
e2e_wait_still 30
e2e_key Up
e2e_wait_dead 20
_note_shown && e2e_fail "a later run added the line again"
e2e_leave_level
