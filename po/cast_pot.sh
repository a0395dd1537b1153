#!/bin/sh
# cast_pot.sh: writes the cast screen's sections of assets/text/cast.txt as catalogue entries, a
# section (its title and its lines, as broken for the screen) a text, for xgettext to take in
# beside the program's files. Usage: cast_pot.sh CAST.TXT OUT.po
{ printf 'msgid ""\nmsgstr "Content-Type: text/plain; charset=UTF-8\\n"\n\n'
awk -v source="assets/text/cast.txt" '
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
' "$1" | sed 's/^\(".*[^"]\)$/\1"/'; } > "$2"
