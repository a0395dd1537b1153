# watch_level.sh: --watch 1 goes straight to the recorded way through level 1 with its
# demonstration message, ends by itself once the level is completed, and writes nothing; a broken
# solution file is refused with its line and status 1.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"

# The demonstration message is long: it reaches further left than the title.
demonstration_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    [ "$(e2e_rgb 130 240 200 248 1 | awk '$2 >= 200 && $3 < 150 && $1 < 200 { n++ } END { print n + 0 }')" -gt 0 ]
}

e2e_start --watch 1
e2e_wait_window 20
e2e_poll 20 demonstration_shown || e2e_fail "no demonstration message"
e2e_poll 30 _e2e_completed_shown || e2e_fail "the watched level was not completed"
e2e_expect_exit 0
grep -q "level 1 (First Steps): the recorded way completes it in 4.20 s of game time" "$E2E_GAME/out.txt" ||
    e2e_fail "no line saying the level was completed"
for f in tirvex.sav wvideo.cfg error.log; do
    [ ! -e "$E2E_GAME/$f" ] || e2e_fail "watching wrote $f"
done

sed -i 's/^move 6 /move x /' "$E2E_GAME/solutions/map02.txt"
e2e_start --watch 2
e2e_expect_exit 1
grep -q "solutions/map02.txt:[0-9]*: a move needs a frame and a code" "$E2E_GAME/err.txt" ||
    e2e_fail "no line-numbered message for the broken solution"
e2e_log "passed"
