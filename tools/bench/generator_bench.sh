#!/bin/bash
# generator_bench.sh: the level generator's time and memory against its targets, for a level of
# every idea (walk push runner chain mix) at every size (small medium large) over a few seeds,
# and for the desktop action's set of ten medium mix levels. The targets: for each idea and
# size, the median of the seeds at most 5 s a level, the worst at most 30 s and the peak
# resident memory at most 256 MB; the set of ten made in at most 20 s of wall time.
# Usage: generator_bench.sh GAME_DIR [SEEDS [SET_SEEDS]]; make bench runs it with 5 seeds and
# one set (seed 1).
#
# Each level is made alone with --jobs 2, seeds 1 to SEEDS, and its time is the generator's own
# figure; the peak is its resident memory. A seed that finds no level is named. The set is made
# as the game makes it (--count 10 --set --jobs 2), timed by the clock around the whole run,
# with the generator's own sum of its levels' times beside. Each figure is printed beside its
# target and each miss marked MISSED; the last line counts the targets met and missed. The exit
# status is 1 only when the generator cannot be run: a missed target is no failure.
set -u
game_dir=$(cd "$1" && pwd) || exit 1
seeds=${2:-5}
set_seeds=${3:-1}
generator=$game_dir/level_generator
[ -x "$generator" ] || { echo "no level generator in $game_dir"; exit 1; }
tmp=$(mktemp -d) && trap 'rm -rf "$tmp"' EXIT
: >"$tmp/judged"

# The generator's own figures from its last line: "N levels in S s; peak resident memory M MB".
figures() {
    sed -n 's/^\([0-9]*\) levels\? in \([0-9.]*\) s; peak resident memory \([0-9.]*\) MB.*/\1 \2 \3/p' "$1"
}

echo "level generator, one level a seed, seeds 1-$seeds, --jobs 2 (targets: median <= 5 s," \
     "worst <= 30 s, peak <= 256 MB):"
printf '%-6s %-6s %5s  %-13s  %-13s  %s\n' idea size found "median s" "worst s" "peak MB"
for size in small medium large; do
    for idea in walk push runner chain mix; do
        : >"$tmp/figures"
        found=0; missing=""
        for seed in $(seq 1 "$seeds"); do
            out="$tmp/$idea-$size-$seed"
            "$generator" --seed "$seed" --idea "$idea" --size "$size" --out "$out" --jobs 2 \
                >"$out.log" 2>&1
            line=$(figures "$out.log")
            [ -n "$line" ] || { cat "$out.log"; echo "the generator did not run"; exit 1; }
            set -- $line
            if [ "$1" -ge 1 ]; then found=$((found + 1)); else missing="$missing $seed"; fi
            echo "$2 $3" >>"$tmp/figures"
            rm -rf "$out"
        done
        sort -n "$tmp/figures" | awk -v idea="$idea" -v size="$size" -v found="$found" \
            -v n="$seeds" -v missing="$missing" -v judged="$tmp/judged" '
            function judge(figure, target, format, name) {
                if (figure <= target) { print "met" >>judged; return sprintf(format " <= %-3d", figure, target) }
                print "missed" >>judged; misses = misses (misses ? ", " : "") name
                return sprintf(format " >  %-3d", figure, target)
            }
            { s[NR] = $1; if ($1 > worst) worst = $1; if ($2 > peak) peak = $2 }
            END {
                median = NR % 2 ? s[(NR + 1) / 2] : (s[NR / 2] + s[NR / 2 + 1]) / 2
                misses = ""
                cells = judge(median, 5, "%6.2f", "median") "  " judge(worst, 30, "%6.2f", "worst") \
                        "  " judge(peak, 256, "%6.1f", "peak")
                note = misses ? "  MISSED: " misses : ""
                if (found < n) note = note "  no level for seed" missing
                printf "%-6s %-6s %2d/%-2d  %s%s\n", idea, size, found, n, cells, note
            }'
    done
done

echo
echo "the desktop action's set: ten medium mix levels, --count 10 --set --jobs 2 (target: wall" \
     "time <= 20 s):"
for seed in $(seq 1 "$set_seeds"); do
    out="$tmp/set-$seed"
    start=$(date +%s.%N)
    "$generator" --seed "$seed" --idea mix --size medium --count 10 --set --out "$out" --jobs 2 \
        >"$out.log" 2>&1
    end=$(date +%s.%N)
    line=$(figures "$out.log")
    [ -n "$line" ] || { cat "$out.log"; echo "the generator did not run"; exit 1; }
    set -- $line
    awk -v seed="$seed" -v start="$start" -v end="$end" -v made="$1" -v own="$2" -v peak="$3" \
        -v judged="$tmp/judged" 'BEGIN {
            wall = end - start
            if (wall <= 20) { print "met" >>judged; cell = sprintf("%6.2f <= 20 ", wall); note = "" }
            else { print "missed" >>judged; cell = sprintf("%6.2f >  20 ", wall); note = "  MISSED: wall time" }
            if (made < 10) note = note "  only " made " levels made"
            printf "set seed %-3d %2d/10  wall s %s  generator s %6.2f  peak MB %6.1f%s\n", seed,
                   made, cell, own, peak, note
        }'
    rm -rf "$out"
done

echo
awk '{ n[$1]++ } END { printf "level generator: %d targets met, %d missed\n", n["met"], n["missed"] }' \
    "$tmp/judged"
