#!/bin/sh
# check_layers.sh: lists the includes of src/ that run up the layers; fails on one not allowed.
#
# Usage: check_layers.sh SRC_DIR "base world ..." "world:render,ui search:ui ..."
# The second argument is the layer order from the bottom, the third the exceptions still declared
# (layer:higher,higher). cmake/layers.cmake passes both as the build declares them, so the
# check and the build cannot disagree. Each wrong-way include is listed as "file: include"; the
# check fails when one runs between layers with no declared exception, when a folder of src/ is
# no layer, or when an include climbs out of its folder with "..", which would dodge the build's
# include paths. The count of wrong-way includes is printed every time.
src=$1
order=$2
exceptions=$3
if [ ! -d "$src" ] || [ -z "$order" ]; then
    echo "usage: check_layers.sh SRC_DIR \"LAYER ...\" \"LAYER:HIGHER,... ...\"" >&2
    exit 2
fi
cd "$src" || exit 2

faults=0
for dir in */; do
    dir=${dir%/}
    case " $order " in
    *" $dir "*) ;;
    *) echo "src/$dir: a folder that is no layer of the build (cmake/layers.cmake)"; faults=$((faults + 1)) ;;
    esac
done

# grep prints "./layer/file:line:text"; awk ranks the including and the included layer.
grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' --include='*.h' --include='*.cpp' . | sort -t: -k1,1 -k2,2n |
awk -v order="$order" -v exceptions="$exceptions" -v faults="$faults" '
BEGIN {
    n = split(order, layers, " ")
    for (i = 1; i <= n; i++) rank[layers[i]] = i
    m = split(exceptions, declared, " ")
    for (i = 1; i <= m; i++) {
        split(declared[i], pair, ":")
        k = split(pair[2], highers, ",")
        for (j = 1; j <= k; j++) { allowed[pair[1] " -> " highers[j]] = 1; used[pair[1] " -> " highers[j]] = 0 }
    }
    wrong = 0
}
{
    path = $0; sub(/^\.\//, "", path)
    file = path; sub(/:.*/, "", file)
    text = path; sub(/^[^:]*:[^:]*:/, "", text)
    name = text; sub(/^[^"]*"/, "", name); sub(/".*/, "", name)
    if (name ~ /\.\./) { print "src/" file ": " name "  (climbs out of its folder: name the layer instead)"; faults++; next }
    own = file; sub(/\/.*/, "", own)
    if (index(name, "/") == 0) next
    target = name; sub(/\/.*/, "", target)
    if (!(own in rank) || !(target in rank) || rank[target] <= rank[own]) next
    wrong++
    key = own " -> " target
    if (key in allowed) { used[key]++; print "src/" file ": " name } else { print "src/" file ": " name "  (no exception " key ")"; faults++ }
}
END {
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) {
        key = layers[i] " -> " layers[j]
        if (!(key in used)) continue
        if (used[key] == 0) print "exception " key " is no longer needed: remove it from CMakeLists.txt"
        else print "exception " key ": " used[key] " include(s)"
    }
    print wrong " wrong-way include(s) in src/, " faults " fault(s)"
    exit faults > 0
}'
