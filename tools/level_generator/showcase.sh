# showcase.sh: ten generated medium levels beside ten shipped ones of about that size, each as
# the long-shot camera first shows it and with the level checker's fairness figures, so that the
# generator's levels can be judged by eye as well as by number.
#   showcase.sh GAME_DIR OUT_DIR    (make generator-showcase: screenshots/generated/)
# Writes OUT_DIR/NAME.png for each level and OUT_DIR/README.md, a table of their figures (the
# actors that matter, the commands saved without them, the waits and the start's view among
# them) ending in a row of each column's medians, the generated ten's beside the shipped ten's;
# the generated maps themselves go to OUT_DIR/maps/ so that anyone can play or edit them.
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

# Two seeds of each idea, medium; the ten shipped levels with actors nearest the medium size's
# 25 to 60 moves: 6 to 13, 15 and 16 (20 to 69 moves; 5 has 18, 14 is a race of 86).
generated="walk:1 walk:2 push:1 push:2 runner:1 runner:2 chain:1 chain:2 mix:1 mix:2"
shipped="06 07 08 09 10 11 12 13 15 16"

# The figures of one map, a table row: the checker's own lines, read. A figure the checker did
# not give is "-"; "no win" is a way without actors that cannot be won, "no" a human margin that
# cannot win.
row() {
    local map="$1" label="$2" log="$work/check.log"
    (cd "$game_dir" && ./level_checker --language C --fair --jobs 2 "$map" >"$log" 2>&1) || true
    awk -v label="$label" '
        BEGIN { matter = saved = waits = view = seen = human = "-" }
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
        /fairness: thinking .* CANNOT be won/ { human = "no" }
        /fairness: the shortest way needs [0-9]+ waits; the start shows/ {
            match($0, /needs [0-9]+ waits/); waits = substr($0, RSTART + 6, RLENGTH - 12) + 0
            match($0, /shows [0-9]+ squares/); view = substr($0, RSTART + 6, RLENGTH - 14) + 0
            seen = /the teleport and a sweet among/ ? "teleport, sweet" : /the teleport among/ ? \
                   "teleport" : /a sweet among/ ? "sweet" : "-" }
        /fairness: no mibo, zipper, jar or mine/ { matter = "0 of 0"; saved = 0 }
        /fairness: [0-9]+ actors, [0-9]+ matter/ {
            match($0, /[0-9]+ actors/); weighed = substr($0, RSTART, RLENGTH) + 0
            match($0, /[0-9]+ matter/); matter = (substr($0, RSTART, RLENGTH) + 0) " of " weighed
            if (/some not known/) matter = matter " ?" }
        /fairness: without any actor/ {
            saved = match($0, /[0-9]+ fewer/) ? substr($0, RSTART, RLENGTH) + 0 : \
                    /cannot be won/ ? "no win" : "?" }
        END { printf "| %s | %s | %d | %d | %d | %d | %d | %s | %s %% | %s %% | %s | %s | %s | %s | %s | %s | %s |\n",
                     label, name, squares, actors, moves, decisions, wrong, traps, lost, walk,
                     clock, human, matter, saved, waits, view, seen }' "$log"
}

# The last row: each column's median over the generated levels beside the shipped ones'
# ("generated / shipped"), read back from the table's rows. "no win" counts as more than any
# saving and "no" as less than any margin; a "-" or "?" is left out; of the matter column the
# medians of both figures; of what the start shows, how many see the teleport and a sweet.
medians() {
    awk -F ' *\\| *' '
        function value(cell) {
            if (cell == "no win") return 1e9
            if (cell == "no") return -1e9
            if (cell == "-" || cell == "?" || cell == "") return ""
            sub(/ *%$/, "", cell); return cell + 0
        }
        function median(group, column,   i, j, n, t, v, a, b) {
            n = count[group, column]
            for (i = 1; i <= n; i++) v[i] = cell[group, column, i]
            for (i = 2; i <= n; i++)
                for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
            if (n == 0) return "-"
            a = v[int((n + 1) / 2)]; b = v[int(n / 2) + 1]
            if (a >= 1e9) return "no win"
            if (b >= 1e9) return ">= " show(a)
            if (b <= -1e9) return "no"
            if (a <= -1e9) return "<= " show(b)
            return show((a + b) / 2)
        }
        function show(x,   t) { t = sprintf("%.2f", x); sub(/\.?0+$/, "", t); return t }
        function keep(group, column, x) {
            if (x == "") return
            cell[group, column, ++count[group, column]] = x
        }
        /^\| \[/ {
            group = $2 ~ /^\[medium-/ ? "g" : "s"; rows[group]++
            for (c = 4; c <= NF - 1; c++) {
                if (c == 14) {    # matter: "M of N"
                    split($c, m, " of "); keep(group, 14, value(m[1])); keep(group, 100, value(m[2]))
                } else if (c == NF - 1) {
                    if ($c ~ /teleport/) seen_teleport[group]++
                    if ($c ~ /sweet/) seen_sweet[group]++
                } else keep(group, c, value($c))
            }
            last = NF - 1
        }
        END {
            line = sprintf("| medians, %d generated / %d shipped | |", rows["g"], rows["s"])
            for (c = 4; c < last; c++) {
                unit = (c == 10 || c == 11) ? " %" : ""
                cells = median("g", c) unit " / " median("s", c) unit
                if (c == 14) cells = median("g", 14) " of " median("g", 100) " / " median("s", 14) \
                                     " of " median("s", 100)
                line = line " " cells " |"
            }
            line = line sprintf(" teleport %d, sweet %d / teleport %d, sweet %d |",
                                seen_teleport["g"], seen_sweet["g"], seen_teleport["s"], seen_sweet["s"])
            print line
        }' "$1"
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
    echo "levels of the generator, two seeds of each idea, and ten shipped levels of about that"
    echo "size (6 to 13, 15 and 16). Each picture is the level as the long-shot camera first shows"
    echo "it; the figures are the level checker's (\`level_checker --fair\`): of the actors (mibos,"
    echo "zippers, jars, mines) how many matter, the commands the way saves without them all (\"no"
    echo "win\": it cannot be won without them), the waits the shortest way needs, and the squares"
    echo "the start shows within 8 ahead with the teleport or a sweet seen among them. The last row"
    echo "gives each column's median, the generated levels' beside the shipped ones' (of what the"
    echo "start shows, how many see the teleport and a sweet)."
    echo
    echo "| level | name | squares | actors | moves | decisions | wrong ways | trap positions | cannot be won | a walk | clock margin | human margin | matter | saved without actors | waits needed | in view | seen |"
    echo "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|"
} >"$work/README.md"

for run in $generated; do
    idea="${run%%:*}" seed="${run##*:}"
    name="medium-$idea-$seed"
    echo "generating $name" >&2
    mkdir -p "$work/$name"
    "$game_dir/level_generator" --seed "$seed" --idea "$idea" --size medium --out "$work/$name" \
        --jobs 2 >"$work/$name.log" 2>&1 || { echo "$name: no level: $(tail -1 "$work/$name.log")" >&2; continue; }
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
medians "$work/README.md" >"$work/medians"
cat "$work/medians" >>"$work/README.md"
cp "$work/README.md" "$out/README.md"
echo "$out: $(ls "$out"/*.png | wc -l) pictures" >&2
