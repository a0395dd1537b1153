#!/bin/sh
# run_fuzz.sh: runs a fuzz target for a few seconds (FUZZ_SECONDS, 5 when unset) with a fixed seed
# over a fresh copy of the seed files. Usage: run_fuzz.sh BINARY CORPUS_DIR SEED_DIR...
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
exec "$binary" -seed=1 -max_total_time="${FUZZ_SECONDS:-5}" -max_len=4096 -print_final_stats=1 "$corpus"
