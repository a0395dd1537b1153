#!/bin/sh
# scale_bench.sh: the processor time paced play takes at picture factors 1, 2 and 4, the game's
# and the X server's apart, in a 2560x1920 Xvfb window at each factor; then the unpaced frames a
# second of the same demo. The demo is tests/demos/bench.demo (shipped level 15 as level 1, the
# robot turning so the view changes through most frames: 1,517 frames, 25 s at its pace).
# The game, started with TIRVEX_BENCH_MARKS, prints a line with its processor time when the
# demo's first frame is shown and one when it is over; Xvfb's (/proc/PID/stat) is read as each
# line appears, so start-up and shutting down are left out. Each factor is played three
# times and the least and the median are printed, as % of one core, the game's beside its target.
# RUNS and FACTORS in the environment change the playbacks a factor and the factors.
# Usage: scale_bench.sh GAME_DIR; run by make bench.
game=$(cd "$1" && pwd) || exit 1
here=$(cd "$(dirname "$0")" && pwd)
demo="$here/../../tests/demos/bench.demo"
map="$here/../../assets/maps/map15.txt"
GAME_TARGET=10      # % of a core the game may take at factor 4
RUNS=${RUNS:-3}       # playbacks a factor (the environment may say fewer or more)
[ -f "$demo" ] && [ -f "$map" ] || { echo "no bench demo or level 15 beside the script"; exit 1; }
command -v Xvfb >/dev/null || { echo "no Xvfb: skipped"; exit 0; }
frames=$(grep -c '^f ' "$demo")
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tirvex-bench.XXXXXX")
xvfb_pid=""
game_pid=""
# stop PID: ends a process this script started, at once if it does not end within 2 s of asking.
stop() {
    kill "$1" 2>/dev/null || return 0
    i=0
    while kill -0 "$1" 2>/dev/null && [ "$i" -lt 100 ]; do sleep 0.02; i=$((i + 1)); done
    kill -9 "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}
cleanup() {
    [ -n "$game_pid" ] && stop "$game_pid"
    [ -n "$xvfb_pid" ] && stop "$xvfb_pid"
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
mkdir -p "$tmp/levels" "$tmp/home"
cp "$map" "$tmp/levels/map01.txt"
ticks_per_second=$(getconf CLK_TCK)

# poll SECONDS COMMAND...: runs COMMAND every 20 ms until it succeeds, at most SECONDS.
poll() {
    limit=$(($1 * 50)) i=0
    shift
    until "$@"; do
        i=$((i + 1))
        [ "$i" -ge "$limit" ] && return 1
        sleep 0.02
    done
}

# The processor ticks (user and system) process $1 has taken; the fields after its name.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
# game_seconds MOMENT FILE: "PROCESSOR CLOCK", the times in seconds the game printed with that
# mark. It reads its own: it may have ended, and been reaped, before this script reads /proc.
game_seconds() { sed -n "s/^bench: $1, processor time \([0-9.]*\) s, clock \([0-9.]*\) s\$/\1 \2/p" "$2"; }
now() { date +%s.%N; }

Xvfb -displayfd 1 -screen 0 2560x1920x24 -nolisten tcp -noreset >"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
poll 20 grep -qs '[0-9]' "$tmp/display" || { echo "Xvfb did not start"; exit 1; }
DISPLAY=":$(tr -dc '0-9' <"$tmp/display")"
export DISPLAY

# play FACTOR: one paced playback; prints "GAME% X% FRAMES_A_SECOND", or nothing when it failed.
play() {
    out="$tmp/out.txt"
    (cd "$game" && TIRVEX_BENCH_MARKS=1 exec ./tirvex -nosound --window --scale "$1" \
        --home "$tmp/home" --levels "$tmp/levels" -playdemo "$demo" >"$out" 2>"$tmp/err.txt") &
    game_pid=$!
    if ! poll 60 grep -q '^bench: first frame' "$out"; then
        stop "$game_pid"; game_pid=""; return
    fi
    x0=$(cpu_ticks "$xvfb_pid") t0=$(now)
    if ! poll 300 grep -q '^bench: over' "$out"; then
        stop "$game_pid"; game_pid=""; return
    fi
    x1=$(cpu_ticks "$xvfb_pid") t1=$(now)
    wait "$game_pid"
    game_pid=""
    printf '%s %s\n' "$(game_seconds 'first frame' "$out")" "$(game_seconds over "$out")" |
        awk -v x="$((x1 - x0))" -v t0="$t0" -v t1="$t1" -v hz="$ticks_per_second" -v n="$frames" '
        NF == 4 { s = $4 - $2
                  printf "%.1f %.1f %.1f\n", 100 * ($3 - $1) / s, 100 * x / hz / (t1 - t0), n / s }'
}

# least_and_median COLUMN FILE: "least/median" of that column of the runs' lines.
least_and_median() {
    cut -d' ' -f"$1" "$2" | sort -n | awk '{ v[NR] = $1 } END { printf "%s/%s", v[1], v[int((NR + 1) / 2)] }'
}

echo "paced play of $frames frames ($RUNS runs a factor; least/median, % of one core):"
echo "factor  picture    game CPU     X server CPU  frames a second  target (game at factor 4 < $GAME_TARGET %)"
for factor in ${FACTORS:-1 2 4}; do
    : >"$tmp/runs"
    for run in $(seq "$RUNS"); do
        play "$factor" >>"$tmp/runs"
    done
    if [ "$(wc -l <"$tmp/runs")" -ne "$RUNS" ]; then
        echo "factor $factor: the playback did not run to its end: $(head -c 300 "$tmp/err.txt")"
        continue
    fi
    verdict=""
    if [ "$factor" = 4 ]; then
        median=$(least_and_median 1 "$tmp/runs" | cut -d/ -f2)
        verdict=$(awk -v m="$median" -v t="$GAME_TARGET" 'BEGIN { print (m < t ? "met" : "missed") }')
    fi
    printf '%-7s %-10s %-12s %-13s %-16s %s\n' "$factor" "$((640 * factor))x$((480 * factor))" \
        "$(least_and_median 1 "$tmp/runs")" "$(least_and_median 2 "$tmp/runs")" \
        "$(least_and_median 3 "$tmp/runs")" "$verdict"
done

echo "unpaced (-timedemo, the same demo):"
for factor in ${FACTORS:-1 2 4}; do
    fps=$(cd "$game" && ./tirvex -nosound --window --scale "$factor" --home "$tmp/home" \
          --levels "$tmp/levels" -timedemo "$demo" 2>/dev/null |
          sed -n 's/.*: \([0-9.]*\) frames a second/\1/p')
    printf 'factor %s: %s frames a second\n' "$factor" "${fps:-?}"
done
