# watch_level.sh: --watch goes straight to a level's recorded way with its demonstration message
# (shown on a long road made for it); --watch 1 ends by itself once the level is completed, says
# in how much game time, and writes nothing; --watch 7
# draws its squares textured as play does; a broken solution file, or one whose end line is not
# where the level completes, is refused with its line and status 1.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"

# The demonstration message is long: it reaches further left than the title.
demonstration_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    [ "$(e2e_rgb 130 240 200 248 1 | awk '$2 >= 200 && $3 < 150 && $1 < 200 { n++ } END { print n + 0 }')" -gt 0 ]
}

# grey_shades FILE: how many shades of grey the lower view of a capture holds. The squares'
# stone textures give dozens; flat shading one or two a face, the backdrop none.
grey_shades() {
    e2e_pixels "$1" 0 200 639 479 2 | sort -u |
        awk 'function h(s) { return index("0123456789abcdef", s) - 1 }
             { r = h(substr($0, 1, 1)) * 16 + h(substr($0, 2, 1))
               g = h(substr($0, 3, 1)) * 16 + h(substr($0, 4, 1))
               b = h(substr($0, 5, 1)) * 16 + h(substr($0, 6, 1))
               hi = r; if (g > hi) hi = g; if (b > hi) hi = b
               lo = r; if (g < lo) lo = g; if (b < lo) lo = b
               if (hi - lo <= 24 && hi >= 24 && hi <= 200) n++ }
             END { print n + 0 }'
}

# The demonstration message stays until another replaces it: on a long road with no sweet that is
# the completion, five seconds on, so that a capture slowed by a busy machine still sees it.
cp "$E2E_MAPS/watch_long_road.txt" "$E2E_GAME/maps/map19.txt"
(cd "$E2E_GAME" && ./level_checker --record solutions maps/map19.txt >/dev/null) ||
    e2e_fail "the long road's way was not recorded"
e2e_start --watch 19
e2e_wait_window 20
e2e_poll 20 demonstration_shown || e2e_fail "no demonstration message"
e2e_poll 30 _e2e_completed_shown || e2e_fail "the watched long road was not completed"
e2e_expect_exit 0

e2e_start --watch 1
e2e_wait_window 20
e2e_poll 30 _e2e_completed_shown || e2e_fail "the watched level was not completed"
e2e_expect_exit 0
# The game time the recorded way takes, from the solution's own first line.
ticks=$(sed -n '1s/.* \([0-9][0-9]*\) ticks of game time.*/\1/p' "$E2E_GAME/solutions/map01.txt")
[ -n "$ticks" ] || e2e_fail "solutions/map01.txt does not say its game time"
seconds=$(awk -v t="$ticks" 'BEGIN { printf "%.2f", t / 100 }')
grep -q "level 1 (First Steps): the recorded way completes it in $seconds s of game time" "$E2E_GAME/out.txt" ||
    e2e_fail "no line saying the level was completed in $seconds s"
for f in tirvex.sav wvideo.cfg error.log; do
    [ ! -e "$E2E_GAME/$f" ] || e2e_fail "watching wrote $f"
done

# Level 7 played: its squares at rest in the play default, then flat after F8, which the count of
# grey shades must tell apart for the comparison to mean anything.
mkdir -p "$E2E_TMP/seven"
cp "$E2E_GAME/maps/map07.txt" "$E2E_TMP/seven/map01.txt"
e2e_boot_to_menu --levels "$E2E_TMP/seven"
e2e_key 1
e2e_enter_level 1
e2e_wait_still 20
e2e_capture "$E2E_TMP/played.xwd"
played=$(grey_shades "$E2E_TMP/played.xwd")
e2e_key F8
flat_shown() { e2e_capture "$E2E_TMP/flat.xwd" && [ "$(grey_shades "$E2E_TMP/flat.xwd")" -lt $((played / 2)) ]; }
e2e_poll 10 flat_shown || e2e_fail "flat shading shows as many grey shades as textures ($played)"
e2e_leave_level
e2e_log "level 7 played: $played grey shades textured, $(grey_shades "$E2E_TMP/flat.xwd") flat"

# Watched, it draws the same textures (it drew every frame flat, as play draws only the first).
watched_textured() {
    e2e_capture "$E2E_TMP/watched.xwd" && [ "$(grey_shades "$E2E_TMP/watched.xwd")" -ge $((played / 2)) ]
}
e2e_start --watch 7
e2e_wait_window 20
e2e_poll 20 watched_textured || e2e_fail "--watch 7 draws $(grey_shades "$E2E_TMP/watched.xwd") grey shades, play $played"
e2e_poll 30 _e2e_completed_shown || e2e_fail "the watched level 7 was not completed"
# Over by itself a moment after the completion: the robot rises in the teleport for 1.5 s.
e2e_wait_exit 10
e2e_expect_status 0

sed -i 's/^move 6 /move x /' "$E2E_GAME/solutions/map02.txt"
e2e_start --watch 2
e2e_expect_exit 1
grep -q "solutions/map02.txt:[0-9]*: a move needs a frame (0 to 1000000) and a code" "$E2E_GAME/err.txt" ||
    e2e_fail "no line-numbered message for the broken solution"

# An end line far past the completion kept the watch on "Level completed: press Space" for hours;
# now the watch stops where the level completes, naming the end line.
end_line=$(grep -n '^end ' "$E2E_GAME/solutions/map01.txt" | cut -d: -f1)
end_frame=$(sed -n 's/^end \([0-9]*\).*/\1/p' "$E2E_GAME/solutions/map01.txt")
sed -i 's/^end .*/end 999999/' "$E2E_GAME/solutions/map01.txt"
e2e_start --watch 1
e2e_wait_exit 30
e2e_expect_status 1
grep -q "solutions/map01.txt:$end_line: the level is completed after $end_frame frames, the end line says 999999" \
    "$E2E_GAME/err.txt" || e2e_fail "no message naming the wrong end line"
e2e_log "passed"
