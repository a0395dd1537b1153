# level_checker.sh: every shipped level is valid without a warning, and the level checker wins it
# within half its time limit, searching from scratch with the game's own world code; the preview
# tool draws one.
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
# The preview tool draws the first level's long shot as a 640x480 8-bit picture, mostly lit.
source "$(dirname "$0")/lib/play.bash"
shot="$(mktemp --suffix=.bmp)" && trap 'rm -f "$shot"' EXIT
(cd "$game_dir" && ../tools/preview/preview maps/map01.txt "$shot" --camera 1 >/dev/null) ||
    { echo "FAIL: the preview tool failed"; exit 1; }
[ "$(e2e_bmp_size "$shot")" = "640 480 8" ] || { echo "FAIL: preview size $(e2e_bmp_size "$shot")"; exit 1; }
lit=$(e2e_bmp_rgb "$shot" 0 0 639 479 4 | awk '$1 + $2 + $3 > 30 { n++ } END { print n + 0 }')
[ "$lit" -gt 15000 ] || { echo "FAIL: the preview shows $lit lit pixels of 19200"; exit 1; }
