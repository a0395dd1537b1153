#!/bin/sh
# run_fuzz.sh: runs a fuzz target with a fixed seed over a fresh copy of the seed files, for
# FUZZ_SECONDS when set (make fuzz), else for FUZZ_RUNS inputs (2000 when unset): the test suite
# tries the same inputs on any machine, however fast. Usage: run_fuzz.sh BINARY CORPUS_DIR SEED_DIR...
set -e
binary=$1
corpus=$2
shift 2
rm -rf "$corpus"
mkdir -p "$corpus"
for dir in "$@"; do
  for seed in "$dir"/*; do
    [ -f "$seed" ] && cp "$seed" "$corpus"/
  done
done
if [ -n "${FUZZ_SECONDS:-}" ]; then
  limit="-max_total_time=$FUZZ_SECONDS"
else
  limit="-runs=${FUZZ_RUNS:-2000}"
fi
exec "$binary" -seed=1 "$limit" -max_len=4096 -print_final_stats=1 "$corpus"
