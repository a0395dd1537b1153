#!/bin/bash
# generator_bench.sh: the level generator's time and memory for a level of each idea at the
# medium and large sizes, over a few seeds, against its targets: a medium level in under 10 s
# and a large one in under 60 s (the median of the seeds), within 512 MB.
# Usage: generator_bench.sh GAME_DIR [SEEDS]; run by make bench with 5 seeds (the targets are
# set for 20: generator_bench.sh build/game 20).
#
# Each level is made alone with --jobs 2, seeds 1 to SEEDS, and its time is the generator's own
# figure; the peak is its resident memory. A seed that finds no level is counted and named. The
# exit status is 1 only when the generator cannot be run; a missed target is printed beside
# its figure.
set -u
game_dir=$(cd "$1" && pwd) || exit 1
seeds=${2:-5}
generator=$game_dir/level_generator
[ -x "$generator" ] || { echo "no level generator in $game_dir"; exit 1; }
tmp=$(mktemp -d) && trap 'rm -rf "$tmp"' EXIT

echo "level generator, one level a seed, seeds 1-$seeds, --jobs 2:"
printf '%-7s %-7s %6s %9s %9s %8s\n' idea size found "median s" "worst s" "peak MB"
for size in medium large; do
    target=10; [ "$size" = large ] && target=60
    for idea in walk push runner chain mix; do
        : >"$tmp/figures"
        found=0; missing=""
        for seed in $(seq 1 "$seeds"); do
            out="$tmp/$idea-$size-$seed"
            if "$generator" --seed "$seed" --idea "$idea" --size "$size" --out "$out" --jobs 2 \
                >"$out.log" 2>&1; then
                found=$((found + 1))
            else
                missing="$missing $seed"
            fi
            seconds=$(sed -n 's/.* levels\? in \([0-9.]*\) s;.*/\1/p' "$out.log")
            memory=$(sed -n 's/.*peak resident memory \([0-9.]*\) MB.*/\1/p' "$out.log")
            [ -n "$seconds" ] || { cat "$out.log"; echo "the generator did not run"; exit 1; }
            echo "$seconds $memory" >>"$tmp/figures"
        done
        sort -n "$tmp/figures" | awk -v idea="$idea" -v size="$size" -v found="$found" \
            -v n="$seeds" -v target="$target" -v missing="$missing" '
            { s[NR] = $1; if ($1 > worst) worst = $1; if ($2 > peak) peak = $2 }
            END {
                median = NR % 2 ? s[(NR + 1) / 2] : (s[NR / 2] + s[NR / 2 + 1]) / 2
                note = ""
                if (found < n) note = note "  none found for seed" missing
                if (median >= target) note = note "  over the target of " target " s"
                if (peak > 512) note = note "  over 512 MB"
                printf "%-7s %-7s %3d/%-2d %9.2f %9.2f %8.1f%s\n", idea, size, found, n, median,
                       worst, peak, note
            }'
    done
done
