#!/usr/bin/env bash
# pack_datafile.sh WORKDIR OUT.dat MAKE_DATAFILE: packs the files listed in WORKDIR/manifest.txt,
# in order, into one datafile with the library's dat tool. Each manifest line is "TYPE FILE".
#
# The same files give the same bytes wherever and whenever they are packed: dat keeps each
# object's source name and date, so the names are given relative to WORKDIR and every file is
# dated SOURCE_DATE_EPOCH (in UTC) first. Unset, that is the time of the source tree's last
# commit; outside a git checkout it has to be given. MAKE_DATAFILE then clears the bytes that
# dat leaves unset.
set -euo pipefail
work=$(cd "$1" && pwd)
out=$2
make_datafile=$3
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    here=$(cd "$(dirname "$0")" && pwd)
    SOURCE_DATE_EPOCH=$(git -C "$here" log -1 --format=%ct 2>/dev/null) || {
        echo "pack_datafile: SOURCE_DATE_EPOCH is unset and $here is no git checkout" >&2
        exit 1
    }
fi
export TZ=UTC

packed=pack.dat.tmp
rm -f "$work/$packed"
# One dat run for each stretch of objects of one type: dat rewrites the whole file every run.
type_run="" files=()
flush() {
    [ ${#files[@]} -gt 0 ] || return 0
    (cd "$work" && dat -a -f -n0 -bpp 8 -t "$type_run" "$packed" "${files[@]}" >/dev/null)
    files=()
}
while read -r type file; do
    [ -n "$type" ] || continue
    [ "$type" = "$type_run" ] || flush
    type_run=$type
    touch -d "@$SOURCE_DATE_EPOCH" "$work/$file"
    files+=("./$file")
done <"$work/manifest.txt"
flush

# Every object of the manifest, none lost by dat; the manifest grows with a new object.
count=$(dat -l "$work/$packed" | grep -c '^- ')
expected=$(grep -c '^[^ ]' "$work/manifest.txt")
if [ "$count" -ne "$expected" ]; then
    echo "pack_datafile: expected $expected objects, packed $count" >&2
    exit 1
fi
"$make_datafile" --settle "$work/$packed"
mv "$work/$packed" "$out"
