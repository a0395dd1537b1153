#!/usr/bin/env bash
# pack_datafile.sh WORKDIR OUT.dat: packs the files listed in WORKDIR/manifest.txt, in order,
# into one datafile with the library's dat tool. Each manifest line is "TYPE FILE".
set -euo pipefail
work=$1
out=$2
tmp="$out.tmp"
rm -f "$tmp"
while read -r type file; do
    [ -n "$type" ] || continue
    dat -a -n0 -bpp 8 -t "$type" "$tmp" "$work/$file" >/dev/null
done <"$work/manifest.txt"
count=$(dat -l "$tmp" | grep -c '^- ')
if [ "$count" -ne 62 ]; then
    echo "pack_datafile: expected 62 objects, packed $count" >&2
    exit 1
fi
mv "$tmp" "$out"
