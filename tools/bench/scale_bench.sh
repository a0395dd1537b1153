#!/bin/sh
# scale_bench.sh: play at picture factors 1, 2 and 4: the demo the test suite records, played back
# at its recorded pace (the processor share of one core the game takes, as in play) and as fast
# as it can be drawn (frames a second), in a 2560x1920 Xvfb window at each factor.
# Usage: scale_bench.sh GAME_DIR DEMO_DIR; run by make bench.
game=$1 demos=$2
[ -f "$demos/walk_and_mine.demo" ] || { echo "no demo recorded yet: run make test first"; exit 0; }
command -v xvfb-run >/dev/null || { echo "no xvfb-run: skipped"; exit 0; }
cd "$game" || exit 1
echo "factor  picture    CPU in play (% of a core)  unpaced frames a second"
for factor in 1 2 4; do
    # bash's time reports the game's own processor time over the wall time, the X server's apart.
    cpu=$(xvfb-run -a -s "-screen 0 2560x1920x24" bash -c "TIMEFORMAT=%P; { time ./tirvex -nosound \
          --window --scale $factor --levels '$demos/levels' -playdemo '$demos/walk_and_mine.demo' \
          >/dev/null 2>&1; } 2>&1" | tail -1)
    fps=$(xvfb-run -a -s "-screen 0 2560x1920x24" ./tirvex -nosound --window --scale $factor \
          --levels "$demos/levels" -timedemo "$demos/walk_and_mine.demo" 2>/dev/null |
          sed -n 's/.*: \([0-9.]*\) frames a second/\1/p')
    printf '%-7s %-10s %-26s %s\n' "$factor" "$((640 * factor))x$((480 * factor))" "${cpu:-?}" "${fps:-?}"
done
