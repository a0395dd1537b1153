#!/bin/bash
# checker_release_bench.sh: the level checker's processor time against the first release's, on
# that release's nineteen maps, and whether both find the same solutions.
# Usage: checker_release_bench.sh SOURCE_DIR BUILD_DIR [RUNS]; run by make bench.
#
# The first release's checker is built once from the project's history into
# BUILD_DIR/first-release and kept. Old and new then run alternately RUNS times (default 5) with
# the same command line, the one the old checker took (no --fair: fairness came later), and each
# run's processor time is user plus system of every process and thread of it, helpers included:
# /usr/bin/time reads it from wait4, which counts the children a run waited for. The ratio is
# old over new, the median of the RUNS pairs; the new checker also runs with --jobs 1 to show what
# its helper thread costs. The exit status is 1 only when a checker cannot be built or run or the
# two find different solutions; a missed target is printed beside its figure.
set -u
source_dir=$(cd "$1" && pwd) || exit 1
build_dir=$(cd "$2" && pwd) || exit 1
runs=${3:-5}
target_ratio=5

# The first release, version 1.2. No tag marks it, and CMakeLists.txt says 1.2 from the install
# rules (aed9378) until 64c0c97 made it 1.3 at the end of the next round, whose work NEWS lists
# under 1.3 (the editor, --fair, the search as a library with its helper). So the release is the
# last commit of the install round, before that work began: its maps are the release's own.
release=73c696c47f5cb44fd230af295908fffaf0773c34

new_checker=$build_dir/game/level_checker
old_dir=$build_dir/first-release
old_checker=$old_dir/build/game/level_checker
work=$old_dir/runs
[ -x "$new_checker" ] || { echo "no level checker built in $build_dir"; exit 1; }
command -v /usr/bin/time >/dev/null || [ -x /usr/bin/time ] ||
    { echo "no /usr/bin/time to read the processor time with"; exit 1; }

if [ ! -x "$old_checker" ] || [ "$(cat "$old_dir/commit" 2>/dev/null)" != "$release" ]; then
    echo "building the first release's level checker (${release:0:7}) in $old_dir, once"
    rm -rf "$old_dir/source" "$old_dir/build"
    mkdir -p "$old_dir/source" &&
    git -C "$source_dir" archive "$release" | tar -x -C "$old_dir/source" &&
    cmake -S "$old_dir/source" -B "$old_dir/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        >"$old_dir/build.log" 2>&1 &&
    cmake --build "$old_dir/build" -j 2 --target level_checker >>"$old_dir/build.log" 2>&1 ||
        { tail -n 20 "$old_dir/build.log"; echo "the first release's checker did not build"; exit 1; }
    echo "$release" >"$old_dir/commit"
fi

rm -rf "$work" && mkdir -p "$work/maps" || exit 1
maps=()
for n in $(seq -w 1 19); do
    git -C "$source_dir" show "$release:assets/maps/map$n.txt" >"$work/maps/map$n.txt" ||
        { echo "map$n.txt is not in the first release"; exit 1; }
    maps+=("maps/map$n.txt")
done

# Runs checker $2 with options $3... under the name $1; prints its user+sys seconds and keeps its
# peak memory in $work/$1.mem and its output in $work/$1.out.
timed_run() {
    local name=$1 checker=$2
    shift 2
    (cd "$work" && /usr/bin/time -f '%U %S %M' -o "$name.time" "$checker" "$@" "${maps[@]}" \
        >"$name.out" 2>/dev/null) || { echo "$name: the checker failed" >&2; return 1; }
    awk '{ printf "%.1f\n", $3 / 1024 > "'"$work/$name.mem"'"; printf "%.2f\n", $1 + $2 }' "$work/$name.time"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

old_times=() new_times=() jobs1_times=() ratios=()
for run in $(seq 1 "$runs"); do
    old=$(timed_run old "$old_checker") || exit 1
    new=$(timed_run new "$new_checker") || exit 1
    jobs1=$(timed_run jobs1 "$new_checker" --jobs 1) || exit 1
    old_times+=("$old") new_times+=("$new") jobs1_times+=("$jobs1")
    ratios+=("$(awk -v o="$old" -v n="$new" 'BEGIN { printf "%.2f", (n > 0) ? o / n : 0 }')")
done

# What each found: the verdict line of every map without its timing, and its steps.
solutions() { sed -n -e 's/; [0-9]* states searched in .*//p;' -e '/^  /p' "$work/$1.out" | grep -v '^  *$'; }
same=yes
for name in new jobs1; do
    solutions old | diff -q - <(solutions "$name") >/dev/null || same=no
done
solved=$(grep -c ': solved in ' "$work/old.out")

ratio=$(printf '%s\n' "${ratios[@]}" | median)
verdict=$(awk -v r="$ratio" -v t="$target_ratio" 'BEGIN { print (r >= t) ? "met" : "MISSED" }')
printf 'first release %s against this tree, %d maps, %d runs alternated (CPU s, user+sys):\n' \
    "${release:0:7}" "${#maps[@]}" "$runs"
printf '  %-24s %s  median %s  peak %s MB\n' "first release" "${old_times[*]}" \
    "$(printf '%s\n' "${old_times[@]}" | median)" "$(cat "$work/old.mem")"
printf '  %-24s %s  median %s  peak %s MB\n' "this tree" "${new_times[*]}" \
    "$(printf '%s\n' "${new_times[@]}" | median)" "$(cat "$work/new.mem")"
printf '  %-24s %s  median %s  peak %s MB\n' "this tree, --jobs 1" "${jobs1_times[*]}" \
    "$(printf '%s\n' "${jobs1_times[@]}" | median)" "$(cat "$work/jobs1.mem")"
printf '  old/new %s, median %s: the %sx target %s\n' "${ratios[*]}" "$ratio" "$target_ratio" "$verdict"
if [ $same = yes ]; then
    echo "  the same solutions, step for step, on all $solved maps solved"
else
    echo "  the solutions DIFFER: compare $work/old.out with $work/new.out and $work/jobs1.out"
    exit 1
fi
