#!/bin/sh
# run_all.sh: runs every fuzz target of a build for SECONDS each: the fuzz_ tests ctest knows, with
# their own seeds, then any other *_fuzz program in the build's tests/fuzz over an empty corpus,
# so a new target joins without an edit here. Fails when a target found a fault.
# Usage: run_all.sh BUILD_DIR SECONDS
set -u
build=$(cd "$1" && pwd)
seconds=$2
commands=$(cd "$build" && ctest --show-only=json-v1 | python3 -c '
import json, shlex, sys
for test in json.load(sys.stdin)["tests"]:
    if test["name"].startswith("fuzz_") and "command" in test:
        print(shlex.join(test["command"]))
') || { echo "run_all.sh: ctest cannot list the tests of $build"; exit 1; }
failed=""
ran=" "
while IFS= read -r command; do
    [ -n "$command" ] || continue
    eval "set -- $command"
    # sh run_fuzz.sh BINARY CORPUS SEEDS...
    ran="$ran$3 "
    echo "== $(basename "$3") for $seconds s"
    FUZZ_SECONDS=$seconds "$@" >"$build/$(basename "$3").log" 2>&1 || failed="$failed $(basename "$3")"
    tail -n 3 "$build/$(basename "$3").log"
done <<LIST
$commands
LIST
for binary in "$build"/tests/fuzz/*_fuzz; do
    [ -x "$binary" ] || continue
    case "$ran" in *" $binary "*) continue ;; esac
    corpus="$build/tests/fuzz/$(basename "$binary")_long_corpus"
    mkdir -p "$corpus"
    echo "== $(basename "$binary") for $seconds s (no seeds)"
    "$binary" -seed=1 -max_total_time="$seconds" -max_len=4096 "$corpus" \
        >"$build/$(basename "$binary").log" 2>&1 || failed="$failed $(basename "$binary")"
    tail -n 3 "$build/$(basename "$binary").log"
done
if [ -n "$failed" ]; then
    echo "make fuzz: faults found by:$failed (their logs are in $build)"
    exit 1
fi
echo "make fuzz: every target ran $seconds s without a fault"
