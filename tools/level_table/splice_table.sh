#!/bin/sh
# splice_table.sh DOC TABLE: puts the level checker's Markdown TABLE between DOC's level-table
# markers (doc/levels.md's), in place of what was there; used by make level-table and its test.
set -eu
readme="$1"
table="$2"
begin='<!-- level table: made by make level-table -->'
end='<!-- end of level table -->'
[ -f "$table" ] || { echo "$0: no table $table" >&2; exit 1; }
# The markers, in the order they stand, must be the two lines once each, begin before end.
markers=$(grep -xF -e "$begin" -e "$end" "$readme" | tr '\n' '|')
[ "$markers" = "$begin|$end|" ] ||
    { echo "$0: $readme needs the line '$begin' once, then the line '$end' once" >&2; exit 1; }
spliced="$readme.level-table.$$"
# The table stands between blank lines, so that it is read as a table and not as part of the
# markers' HTML.
awk -v begin="$begin" -v end="$end" -v table="$table" '
    $0 == begin { print; print ""; while ((getline line < table) > 0) print line
                  print ""; skip = 1; next }
    $0 == end   { skip = 0 }
    !skip       { print }
' "$readme" >"$spliced" && mv "$spliced" "$readme" || { rm -f "$spliced"; exit 1; }
