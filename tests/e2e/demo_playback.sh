# demo_playback.sh: -record a game that completes level 1, dies once in level 2, restarts it and
# leaves; -playdemo plays it back straight from the start with the same outcomes and leaves
# tirvex.sav as it was; -timedemo prints its figures; a demo edited to diverge (an outcome, or a
# command of a level's way) stops with the level and frame; a foreign or truncated demo, or one
# with ticks or a move code out of range, is refused with its line, and a folder by name.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
demo="$E2E_TMP/game.demo"

e2e_use_maps play_walk play_mine
e2e_boot_to_menu -record "$demo"
e2e_key 1
e2e_enter_level 1
e2e_key Up Up
e2e_wait_completed 20
e2e_hold space 0.3
e2e_enter_level 2
e2e_key Up
e2e_wait_dead 20
e2e_hold space 0.3
e2e_wait_play 20
e2e_hold Escape 0.3
e2e_wait_select 20 2
e2e_quit_from_select
grep -q "^tirvex-demo 1$" "$demo" || e2e_fail "the demo has no version line"
[ "$(grep -c '^end ' "$demo")" -eq 2 ] || e2e_fail "the demo does not hold two level ends"
# Each level's commands from its log, level 2's restart among them, just before its end.
[ "$(grep -A1 '^way' "$demo" | grep -c '^end ')" -eq 2 ] && grep -Eq '^way .* [0-9]+:-1( |$)' "$demo" ||
    e2e_fail "the demo does not hold the levels' commands: $(grep '^way' "$demo")"
saved=$(od -An -c "$E2E_GAME/tirvex.sav" | tr -d ' \n')

e2e_start -playdemo "$demo"
e2e_wait_exit 60
e2e_expect_status 0
expected="level 1 (Sweet Walk): completed in
level 2 (Mine Ahead): lost: blown up or run over
level 2 (Mine Ahead): left with Esc"
got=$(sed 's/ completed in .*/ completed in/' "$E2E_GAME/out.txt" | grep '^level ')
[ "$got" = "$expected" ] || e2e_fail "the playback printed: $got"
[ "$(od -An -c "$E2E_GAME/tirvex.sav" | tr -d ' \n')" = "$saved" ] || e2e_fail "the playback changed tirvex.sav"

e2e_start -timedemo "$demo"
e2e_wait_exit 60
e2e_expect_status 0
grep -q "^timedemo: [0-9]* frames in [0-9.]* s: [0-9.]* frames a second$" "$E2E_GAME/out.txt" ||
    e2e_fail "no timedemo figures"

# The robot's square edited in the first trace of level 1: playback stops there.
sed '0,/@/s/@\([0-9-]*\),/@9\1,/' "$demo" >"$E2E_TMP/diverged.demo"
e2e_start -playdemo "$E2E_TMP/diverged.demo"
e2e_wait_exit 60
e2e_expect_status 1
grep -q "diverged.demo: the demo diverges in level 1 (Sweet Walk) at frame [0-9]*:" "$E2E_GAME/out.txt" ||
    e2e_fail "no divergence named with its level and frame"
# A command's frame edited in level 1's way: playback stops at the level's end.
sed '0,/^way /s/^way \([0-9]*\):/way 9\1:/' "$demo" >"$E2E_TMP/other-way.demo"
e2e_start -playdemo "$E2E_TMP/other-way.demo"
e2e_wait_exit 60
e2e_expect_status 1
grep -q "diverges in level 1 (Sweet Walk) at frame [0-9]*: the commands the level took differ" \
    "$E2E_GAME/out.txt" || e2e_fail "no divergence of the commands: $(cat "$E2E_GAME/out.txt")"

printf 'not a demo\n' >"$E2E_TMP/foreign.demo"
head -n 3 "$demo" >"$E2E_TMP/truncated.demo"
printf 'tirvex-demo 1\nlevel 7\nf t2\nend x 0 0 0\n' >"$E2E_TMP/nomap.demo"
# Ticks play could not have recorded (atoi took them: two billion overflowed the swoop).
printf 'tirvex-demo 1\nlevel 1\nf t2\nf t-1000\nend x 0 0 0\n' >"$E2E_TMP/negative.demo"
printf 'tirvex-demo 1\nlevel 1\nf t2\nway 3:72 5:73\nend x 0 0 0\n' >"$E2E_TMP/badway.demo"
for name in foreign:1 truncated:3 nomap:2 badway:4 negative:4; do
    e2e_start -playdemo "$E2E_TMP/${name%:*}.demo"
    e2e_wait_exit 20
    e2e_expect_status 1
    grep -q "${name%:*}.demo:${name#*:}: " "$E2E_GAME/err.txt" || e2e_fail "no line named for the ${name%:*} demo"
done
grep -q "negative.demo:4: a frame's ticks must be a number from 0 to 6000" "$E2E_GAME/err.txt" ||
    e2e_fail "the negative ticks are not named as the fault"
# A folder read as an empty demo ("dir.demo:0: empty").
mkdir "$E2E_TMP/dir.demo"
e2e_start -playdemo "$E2E_TMP/dir.demo"
e2e_wait_exit 20
e2e_expect_status 1
grep -q "dir.demo: not a regular file" "$E2E_GAME/err.txt" || e2e_fail "the folder is not named as such"
# The demo and its levels stay beside the build for make bench's timedemo.
bench="$1/../demos"
mkdir -p "$bench/levels"
cp "$demo" "$bench/walk_and_mine.demo"
cp "$E2E_GAME/maps/map01.txt" "$E2E_GAME/maps/map02.txt" "$bench/levels/"
e2e_log "passed"
