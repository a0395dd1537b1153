# level_checker.sh: every shipped level is valid without a warning, and the level checker wins it
# within half its time limit, searching from scratch with the game's own world code.
game_dir="$1"
checker="$game_dir/level_checker"
[ -x "$checker" ] || { echo "FAIL: no level checker in $game_dir"; exit 1; }
maps=("$game_dir"/maps/map*.txt)
[ "${#maps[@]}" -eq 19 ] || { echo "FAIL: ${#maps[@]} level files, 19 expected"; exit 1; }
if ! output=$("$checker" "${maps[@]}"); then
    echo "$output"
    echo "FAIL: a shipped level is invalid, cannot be won or takes more than half its time limit"
    exit 1
fi
echo "$output"
if grep -q 'warning' <<<"$output"; then echo "FAIL: a shipped level draws a warning"; exit 1; fi
