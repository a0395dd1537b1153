#!/bin/sh
# data_pot.sh: writes the texts of the game's data that the game shows, for xgettext to take in
# beside the program's files: each section of the cast screen's text (its title and its lines,
# as broken for the screen) a text, and each shipped level's name and idea line (its first
# line after "Tirvex level N: ").
# Usage: data_pot.sh OUT.po CAST.TXT MAP...   (paths from the source folder)
out=$1 cast=$2
shift 2
{ printf 'msgid ""\nmsgstr "Content-Type: text/plain; charset=UTF-8\\n"\n\n'
awk -v source="$cast" '
function flush() {
    if (text == "") return
    printf "#. TRANSLATORS: a cast screen entry: its title, then its lines as the screen breaks\n"
    printf "#. them, none longer than the longest English one (27 letters), 29 at most.\n"
    printf "#: %s:%d\nmsgid \"\"\n%s\nmsgstr \"\"\n\n", source, first, text
    text = ""
}
function quoted(line) {
    gsub(/\\/, "\\\\", line); gsub(/"/, "\\\"", line)
    return "\"" line
}
/^\[CAST[0-9]+\]/ { flush(); first = NR + 1; open = 1; next }
/^\[/ { flush(); open = 0; next }
open {
    sub(/\r$/, "")
    text = text (text == "" ? "" : "\\n\"\n") quoted($0)
}
END { flush() }
' "$cast" | sed 's/^\(".*[^"]\)$/\1"/'
for map in "$@"; do
    awk -v source="$map" '
    function entry(comment, text) {
        gsub(/\\/, "\\\\", text); gsub(/"/, "\\\"", text)
        printf "#. TRANSLATORS: %s\n#: %s:%d\nmsgid \"%s\"\nmsgstr \"\"\n\n", comment, source, NR, text
    }
    { sub(/\r$/, "") }
    NR == 1 { sub(/^[ \t]*Tirvex level [0-9]+:[ \t]*/, ""); sub(/[ \t]+$/, "")
              if ($0 != "") entry("a shipped level'"'"'s idea, shown in the Tab panel (at most 78 letters).", $0) }
    NR == 2 { sub(/[ \t]+$/, ""); if ($0 != "") entry("a shipped level'"'"'s name (at most 38 letters).", $0); exit }
    ' "$map"
done
} > "$out"
