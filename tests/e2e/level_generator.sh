# level_generator.sh: the level generator's levels pass the level checker's fairness analysis
# and the rules the campaign holds a level of their size to, and one seed makes the same files
# twice. The short set (a few seeds of most ideas, small and medium) runs in the test suite; `make
# generated-check` runs the full one (20 seeds per idea and size): level_generator.sh GAME full.
game_dir="$1"
set_name="${2:-short}"
tmp="$(mktemp -d)" && trap 'umount "$tmp/full" 2>/dev/null; rm -rf "$tmp"' EXIT
generator="$game_dir/level_generator"
checker="$game_dir/level_checker"
[ -x "$generator" ] || { echo "FAIL: no level generator in $game_dir"; exit 1; }

# One folder per size: IDEA SIZE FIRST-SEED SEEDS.
if [ "$set_name" = full ]; then
    runs=""
    for size in small medium large; do
        for idea in walk push runner chain mix; do runs="$runs $idea:$size:1:20"; done
    done
else
    # A medium level with actors takes a few seconds, a small one up to half a minute: one
    # of each idea at medium, mix (actors of every kind) at small, and the walk; large levels
    # and the other seeds are left to the full set.
    runs="walk:small:1:2 mix:small:2:1 walk:medium:1:1 push:medium:1:1 runner:medium:2:1"
    runs="$runs chain:medium:1:1 mix:medium:2:1"
fi
failed=0
for run in $runs; do
    IFS=: read -r idea size first seeds <<<"$run"
    for seed in $(seq "$first" $((first + seeds - 1))); do
        # A folder an idea and size: the full set's 100 levels of a size would pass the 99
        # numbers a folder holds.
        if ! "$generator" --seed "$seed" --idea "$idea" --size "$size" --out "$tmp/$size-$idea" \
             >>"$tmp/generator.log" 2>&1; then
            echo "FAIL: seed $seed made no $size $idea level"
            failed=1
        fi
    done
done
cat "$tmp/generator.log"
[ "$failed" = 0 ] || exit 1

# The same seed gives the same bytes, the solution included.
"$generator" --seed 1 --idea walk --size small --out "$tmp/again" >/dev/null ||
    { echo "FAIL: seed 1 made no level the second time"; exit 1; }
cmp "$tmp/small-walk/map01.txt" "$tmp/again/map01.txt" &&
    cmp "$tmp/small-walk/solutions/map01.txt" "$tmp/again/solutions/map01.txt" ||
    { echo "FAIL: seed 1 made other bytes the second time"; exit 1; }

# A folder's levels are never written over: the next level takes the first number where neither
# a map nor a proof stands (the generator once wrote a proof through a link at solutions/map02.txt
# and over a player's lone solutions/map03.txt), and a folder where a file stands is refused with
# its name, after the program's.
mkdir -p "$tmp/mine/solutions" && echo "my own level" >"$tmp/mine/map01.txt"
echo "elsewhere" >"$tmp/elsewhere" && ln -s "$tmp/elsewhere" "$tmp/mine/solutions/map02.txt"
echo "my own proof" >"$tmp/mine/solutions/map03.txt"
"$generator" --seed 1 --idea walk --size small --out "$tmp/mine" >/dev/null ||
    { echo "FAIL: no level made beside one of the player's own"; exit 1; }
[ "$(cat "$tmp/mine/map01.txt" "$tmp/elsewhere" "$tmp/mine/solutions/map03.txt")" = \
  "my own level"$'\n'"elsewhere"$'\n'"my own proof" ] && [ -f "$tmp/mine/solutions/map04.txt" ] &&
    grep -q '^Tirvex level 4: ' "$tmp/mine/map04.txt" ||
    { echo "FAIL: the player's files were touched or the new level is not map04.txt"; exit 1; }
if message=$("$generator" --seed 1 --idea walk --size small --out "$tmp/mine/map01.txt" 2>&1); then
    echo "FAIL: a file taken for the folder"; exit 1
fi
grep -q "^level_generator: .*map01.txt: not a folder" <<<"$message" ||
    { echo "FAIL: the refusal says: $message"; exit 1; }

# A full disk (a page for the map, none for its proof) leaves no level at all: the generator
# once left its map beside an empty proof, which the game played.
if [ "$(id -u)" = 0 ] && mkdir "$tmp/full" && mount -t tmpfs -o size=4k tmpfs "$tmp/full"; then
    if message=$("$generator" --seed 1 --idea walk --size small --out "$tmp/full" 2>&1); then
        echo "FAIL: a level said made on a full disk"; exit 1
    fi
    [ -z "$(ls "$tmp/full" "$tmp/full/solutions" | grep map)" ] &&
        grep -q "^level_generator: .*map01.txt: cannot be written: No space left" <<<"$message" ||
        { echo "FAIL: on a full disk: $message; $(ls -lR "$tmp/full")"; exit 1; }
fi

# Each size's rules, as the level test holds the shipped levels of that place to them: won after
# a start delay, at every frame rate, with a clock margin of 2 and a human margin of 1.25; small
# levels take 10 to 25 moves with a wrong way and no trap, medium 25 to 60 and large 60 to 120
# with three decisions or more. The idea line is the generator's, never empty.
for dir in "$tmp"/small-* "$tmp"/medium-* "$tmp"/large-*; do
    [ -d "$dir" ] || continue
    size="$(basename "$dir")"
    size="${size%%-*}"
    maps=("$dir"/map*.txt)
    if ! output=$("$checker" --fair --markdown "$dir.md" "${maps[@]}"); then
        echo "$output"
        echo "FAIL: a generated $size level is invalid, cannot be won or takes over half its limit"
        exit 1
    fi
    if grep -q 'warning' <<<"$output"; then echo "$output"; echo "FAIL: a warning"; exit 1; fi
    if ! bad=$(awk -F'|' -v size="$size" -v kind="${dir##*-}" '
        $2 ~ /^ *[0-9][0-9] *$/ {
            n = $2 + 0; idea = $4; moves = $5 + 0; decisions = $10 + 0; wrong = $11 + 0
            traps = $12; delay = $14; rates = $15; margin = $16 + 0; human = $17
            gsub(/ /, "", traps); gsub(/ /, "", delay); gsub(/ /, "", rates); gsub(/ /, "", human)
            actors = $19 + 0; matter = $20 + 0; saved = $21; view = $23 + 0; seen = $24
            gsub(/^ +| +$/, "", idea); gsub(/ /, "", saved); gsub(/ /, "", seen)
            if (idea == "") bad = bad " level " n " has no idea line;"
            # Every actor idea is a puzzle of its actors, and the start shows the way.
            most = size == "small" ? 1 : 2
            if (actors > 0 && matter < most && !(most == 1 && (saved == "nowin" || saved + 0 >= 5)))
                bad = bad " level " n " has " matter " actors that matter;"
            if (view < 8 || seen == "-") bad = bad " level " n " shows " view " squares at the start;"
            if (kind == "runner" && $22 + 0 < 1) bad = bad " level " n " never waits for its runner;"
            if (delay != "yes") bad = bad " level " n " cannot be won after a start delay;"
            if (rates != "1-8") bad = bad " level " n " cannot be won at every frame rate;"
            if (margin < 2) bad = bad " level " n " has a clock margin under 2;"
            if (human == "no" || human + 0 < 1.25) bad = bad " level " n " has a human margin of " human ";"
            if (size == "small") {
                if (traps != "0") bad = bad " level " n " has a trap;"
                if (wrong < 1) bad = bad " level " n " has no wrong way;"
                if (moves < 10 || moves > 25) bad = bad " level " n " takes " moves " moves;"
            } else {
                if (decisions < 3) bad = bad " level " n " has " decisions " decisions;"
                lo = size == "medium" ? 25 : 60; hi = size == "medium" ? 60 : 120
                if (moves < lo || moves > hi) bad = bad " level " n " takes " moves " moves;"
            }
            count++
        }
        END { if (bad != "") { print bad; exit 1 } printf "%d %s levels pass\n", count, size }
        ' "$dir.md"); then
        cat "$dir.md"
        echo "FAIL: generated $size levels miss their rules:$bad"
        exit 1
    fi
    echo "$bad"
done

# A set of ten rises in difficulty (the levels 8 to 10 harder than 1 to 3, by the generator's
# figure), and no two of its levels share an idea line, a name or more than half their squares:
# a medium mix set here, those of three seeds and of a large one in the full check. (Small
# levels, a few squares in a corner of the panel, rise but cannot keep apart.)
sets="medium:1"
[ "$set_name" = full ] && sets="medium:1 medium:2 medium:3 large:1"
overlap="$(cd "$(dirname "$0")/../../tools/set_overlap" && pwd)/set_overlap.py"
for run in $sets; do
    IFS=: read -r size seed <<<"$run"
    dir="$tmp/set-$size-$seed"
    "$generator" --seed "$seed" --idea mix --size "$size" --count 10 --set --out "$dir" \
        >"$dir.log" 2>&1 || { cat "$dir.log"; echo "FAIL: the $size set of seed $seed"; exit 1; }
    awk '/difficulty/ { n++; d = $NF + 0; if (n <= 3) low += d; if (n >= 8) high += d }
         END { exit !(n == 10 && high > low) }' "$dir.log" ||
        { cat "$dir.log"; echo "FAIL: the $size set of seed $seed does not rise"; exit 1; }
    shared=$(for map in "$dir"/map*.txt; do head -n 2 "$map" | sed 's/^Tirvex level [0-9]*: //'; done |
             sort | uniq -d)
    [ -z "$shared" ] || { echo "FAIL: levels of the $size set of seed $seed share: $shared"; exit 1; }
    python3 "$overlap" --most 50 "$dir"/map*.txt ||
        { echo "FAIL: two levels of the $size set of seed $seed share over half their squares"; exit 1; }
done
