# showcase.sh: ten generated medium levels beside three shipped ones of that size, each as the
# long-shot camera first shows it and with the level checker's fairness figures, so that the
# generator's levels can be judged by eye as well as by number.
#   showcase.sh GAME_DIR OUT_DIR    (make generator-showcase: screenshots/generated/)
# Writes OUT_DIR/NAME.png for each level and OUT_DIR/README.md, a table of their figures; the
# generated maps themselves go to OUT_DIR/maps/ so that anyone can play or edit them.
set -eu
game_dir="$(cd "$1" && pwd)"
out="$2"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
preview="$game_dir/../tools/preview/preview"
work="$(mktemp -d)" && trap 'rm -rf "$work"' EXIT
rm -rf "$out/maps" "$out"/*.png
mkdir -p "$out/maps"

# Two seeds of each idea, medium; the shipped levels of 40 to 60 moves with the same actors.
generated="walk:1 walk:2 push:1 push:2 runner:1 runner:2 chain:1 chain:2 mix:1 mix:2"
shipped="08 10 12"

# The figures of one map, a table row: the checker's own lines, read.
row() {
    local map="$1" label="$2" log="$work/check.log"
    (cd "$game_dir" && ./level_checker --fair --jobs 2 "$map" >"$log" 2>&1) || true
    awk -v label="$label" '
        /: valid: / { match($0, /"[^"]*"/); name = substr($0, RSTART, RLENGTH)
                      match($0, /[0-9]+ squares/); squares = substr($0, RSTART, RLENGTH) + 0
                      match($0, /[0-9]+ actors/); actors = substr($0, RSTART, RLENGTH) + 0 }
        /: solved in / { match($0, /[0-9]+ moves/); moves = substr($0, RSTART, RLENGTH) + 0 }
        /fairness: [0-9]+ positions/ {
            match($0, /\([0-9.]+ %\)/); lost = substr($0, RSTART + 1, RLENGTH - 4)
            match($0, /[0-9]+ decisions/); decisions = substr($0, RSTART, RLENGTH) + 0
            match($0, /[0-9]+ wrong ways/); wrong = substr($0, RSTART, RLENGTH) + 0
            traps = 0; if (match($0, /a trap at [0-9]+/)) traps = substr($0, RSTART + 10, RLENGTH - 10) }
        /% a walk/ { match($0, /[0-9]+ % a walk/); walk = substr($0, RSTART, RLENGTH - 9) }
        /clock margin/ { match($0, /clock margin [0-9.]+/); clock = substr($0, RSTART + 13, RLENGTH - 13) }
        /human margin/ { match($0, /human margin [0-9.]+/); human = substr($0, RSTART + 13, RLENGTH - 13) }
        END { printf "| %s | %s | %d | %d | %d | %d | %d | %s | %s %% | %s %% | %s | %s |\n",
                     label, name, squares, actors, moves, decisions, wrong, traps, lost, walk,
                     clock, human }' "$log"
}

picture() {
    local map="$1" name="$2"
    (cd "$game_dir" && "$preview" --camera 1 "$map" "$work/$name.bmp" >/dev/null)
    python3 "$here/../readme_picture/bmp_to_png.py" "$work/$name.bmp" "$out/$name.png"
}

{
    echo "# Generated levels beside shipped ones"
    echo
    echo "Made by \`make generator-showcase\` (tools/level_generator/showcase.sh): ten medium"
    echo "levels of the generator, two seeds of each idea, and three shipped levels of that size."
    echo "Each picture is the level as the long-shot camera first shows it; the figures are the"
    echo "level checker's (\`level_checker --fair\`)."
    echo
    echo "| level | name | squares | actors | moves | decisions | wrong ways | trap positions | cannot be won | a walk | clock margin | human margin |"
    echo "|---|---|---|---|---|---|---|---|---|---|---|---|"
} >"$work/README.md"

for run in $generated; do
    idea="${run%%:*}" seed="${run##*:}"
    name="medium-$idea-$seed"
    echo "generating $name" >&2
    mkdir -p "$work/$name"
    "$game_dir/level_generator" --seed "$seed" --idea "$idea" --size medium --out "$work/$name" \
        >"$work/$name.log" 2>&1 || { echo "$name: no level: $(tail -1 "$work/$name.log")" >&2; continue; }
    cp "$work/$name/map01.txt" "$out/maps/$name.txt"
    picture "$out/maps/$name.txt" "$name"
    row "$out/maps/$name.txt" "[$name]($name.png)" >>"$work/README.md"
done
for number in $shipped; do
    name="shipped-$number"
    echo "drawing $name" >&2
    picture "maps/map$number.txt" "$name"
    row "maps/map$number.txt" "[$name]($name.png)" >>"$work/README.md"
done
cp "$work/README.md" "$out/README.md"
echo "$out: $(ls "$out"/*.png | wc -l) pictures" >&2
