# level_checker.sh: shipped levels are valid without a warning, and the level checker wins each
# within half its time limit, searching from scratch with the game's own world code, and proves
# it fair to a human; the preview tool draws one. In the test suite that is the levels it proves
# in a second or less (lessons and later levels of every kind of actor); as a release check
# ("campaign") it is all of them, and the campaign keeps its shape and its fairness rules and the
# level table of doc/levels.md is the one that run writes.
game_dir="$1"
scope="${2:-quick}"
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
tmp="$(mktemp -d)" && trap 'rm -rf "$tmp"' EXIT
checker="$game_dir/level_checker"
[ -x "$checker" ] || { echo "FAIL: no level checker in $game_dir"; exit 1; }
maps=("$game_dir"/maps/map*.txt)
[ "${#maps[@]}" -eq 19 ] || { echo "FAIL: ${#maps[@]} level files, 19 expected"; exit 1; }
# The eight others take most of a minute of both cores.
[ "$scope" = campaign ] ||
    maps=("$game_dir"/maps/map0[1-7].txt "$game_dir"/maps/map1[047].txt "$game_dir"/maps/map12.txt)
if ! output=$("$checker" --fair --markdown "$tmp/levels.md" "${maps[@]}"); then
    echo "$output"
    echo "FAIL: a shipped level is invalid, cannot be won or takes more than half its time limit"
    exit 1
fi
echo "$output"
if grep -q 'warning' <<<"$output"; then echo "FAIL: a shipped level draws a warning"; exit 1; fi
# The campaign's shape: short lessons, then combinations, then long hard levels; at least two
# races from level 7 on (a human margin of 1.25 to 1.6: a player who thinks 0.4 s before each
# command has a quarter to three fifths of the way's time to spare), every level a clock margin
# of 2 or more; the states searched grow from each third of the campaign to the next. Its
# fairness: every level can be won by a player who looks for a second after the swoop, at every
# frame rate from 12.5 to 100 a second, and by a player who thinks before each command with a
# human margin of 1.25 or more; the lessons (1 to 6) have no trap and at least one wrong way,
# every later level at least three decisions; no level shares more than half its squares with
# another.
if ! shape=$(awk -F'|' -v whole="$([ "$scope" = campaign ] && echo 1)" '
    $2 ~ /^ *[0-9][0-9] *$/ {
        n = $2 + 0; moves = $5 + 0; states = $9 + 0
        decisions = $10 + 0; wrong = $11 + 0; traps = $12; delay = $14; rates = $15
        margin = $16 + 0; human = $17; shared = $18 + 0
        gsub(/ /, "", traps); gsub(/ /, "", delay); gsub(/ /, "", rates)
        if (delay != "yes") bad = bad " level " n " cannot be won after a start delay;"
        if (rates != "1-8") bad = bad " level " n " cannot be won at every frame rate (" rates ");"
        if (n <= 6 && traps != "0") bad = bad " level " n " has a trap at " traps " positions;"
        if (n <= 6 && wrong < 1) bad = bad " level " n " has no wrong way;"
        if (n >= 7 && decisions < 3) bad = bad " level " n " has " decisions " decisions, not 3 or more;"
        if (margin < 2) bad = bad " level " n " has a clock margin of " margin ", under 2;"
        gsub(/ /, "", human)
        if (human == "no" || human + 0 < 1.25)
            bad = bad " level " n " has a human margin of " human ", under 1.25;"
        if (shared > 50) bad = bad " level " n " shares " shared " % of its squares with another;"
        if (n <= 6 && (moves < 10 || moves > 40)) bad = bad " level " n " takes " moves " moves, not 10 to 40;"
        if (n >= 7 && n <= 12 && (moves < 30 || moves > 80)) bad = bad " level " n " takes " moves " moves, not 30 to 80;"
        if (n >= 13 && moves < 60) bad = bad " level " n " takes " moves " moves, not 60 or more;"
        if (moves > longest) longest = moves; rows++
        if (n >= 7 && human + 0 >= 1.25 && human + 0 <= 1.6) races++
        third = n <= 6 ? 1 : n <= 12 ? 2 : 3
        sum[third] += states; count[third]++
    }
    END {
        if (!whole) { if (bad != "") { print bad; exit 1 } printf "%d levels fair\n", rows; exit }
        if (longest < 100) bad = bad " the longest level takes " longest " moves, not 100 or more;"
        if (races < 2) bad = bad " " races + 0 " races from level 7 on, not 2;"
        for (t = 1; t <= 3; t++) mean[t] = count[t] ? sum[t] / count[t] : 0
        if (!(mean[1] < mean[2] && mean[2] < mean[3])) bad = bad " the states do not rise by thirds;"
        if (bad != "") { print bad; exit 1 }
        printf "campaign: longest %d moves, %d races, states a level by thirds %d, %d, %d; fair\n",
               longest, races, mean[1], mean[2], mean[3]
    }' "$tmp/levels.md"); then
    echo "FAIL: the campaign misses its shape:$shape"
    exit 1
fi
echo "$shape"
# make level-table splices the same table into doc/levels.md; doing that to a copy changes nothing.
if [ "$scope" = campaign ]; then
    cp "$source_dir/doc/levels.md" "$tmp/levels-doc.md"
    sh "$source_dir/tools/level_table/splice_table.sh" "$tmp/levels-doc.md" "$tmp/levels.md" ||
        { echo "FAIL: the level table cannot be put in doc/levels.md"; exit 1; }
    if ! diff -u "$source_dir/doc/levels.md" "$tmp/levels-doc.md"; then
        echo "FAIL: the level table of doc/levels.md is out of date: run make level-table"
        exit 1
    fi
fi
# The preview tool draws the first level's long shot as a 640x480 8-bit picture, mostly lit.
source "$(dirname "$0")/lib/play.bash"
shot="$tmp/preview.bmp"
(cd "$game_dir" && ../tools/preview/preview maps/map01.txt "$shot" --camera 1 >/dev/null) ||
    { echo "FAIL: the preview tool failed"; exit 1; }
[ "$(e2e_bmp_size "$shot")" = "640 480 8" ] || { echo "FAIL: preview size $(e2e_bmp_size "$shot")"; exit 1; }
lit=$(e2e_bmp_rgb "$shot" 0 0 639 479 4 | awk '$1 + $2 + $3 > 30 { n++ } END { print n + 0 }')
[ "$lit" -gt 15000 ] || { echo "FAIL: the preview shows $lit lit pixels of 19200"; exit 1; }
