# level_editor_paint.sh: a designer's level of 28 squares on three heights (a start, two sweets,
# a mibo, a jar, a mine and the teleport) built with the mouse alone, painting rows and picking
# from the palette, then proved, explained and saved; the level checker passes the file. A paste
# over a content asks first. The grid shows the level as the game's map panel does: a square
# top right on the grid is top right on the panel in a playtest. The folder keys open the next
# map; the fault page lists every fault whole; Esc, another key, Esc does not leave unsaved.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
source "$(dirname "$0")/lib/editor.bash"
e2e_setup "$1"
[ -x "$E2E_GAME/tirvex_edit" ] || e2e_fail "no level editor in $1"

actions=0
# click X Y / drag X0 Y0 X1 Y1: the left button, one action each, as a designer uses it.
click() { xdotool mousemove "$1" "$2" click 1; actions=$((actions + 1)); }
drag() {
    xdotool mousemove "$1" "$2" mousedown 1 mousemove "$3" "$4" mouseup 1
    actions=$((actions + 1))
}
shift_click() { xdotool mousemove "$1" "$2" keydown shift click 1 keyup shift; }
key() { e2e_key "$@"; actions=$((actions + $#)); }

# The brush's [+] and [R], beside the palette.
HIGHER="358 301"
TURN="495 301"

mkdir -p "$E2E_TMP/design"
design="$E2E_TMP/design/map01.txt"
edit_start "$design"
# Rows 1 and 2 at height 1, row 3 at 2, row 4 at 3, columns 1 to 7: four strokes.
drag "$(cell_x 1)" "$(cell_y 1)" "$(cell_x 7)" "$(cell_y 1)"
drag "$(cell_x 1)" "$(cell_y 2)" "$(cell_x 7)" "$(cell_y 2)"
click $HIGHER
drag "$(cell_x 1)" "$(cell_y 3)" "$(cell_x 7)" "$(cell_y 3)"
click $HIGHER
drag "$(cell_x 1)" "$(cell_y 4)" "$(cell_x 7)" "$(cell_y 4)"
# The start facing +x, the sweets, the teleport, a mibo, a jar and a mine.
click $TURN
click $(content_at 1); click "$(cell_x 1)" "$(cell_y 1)"
click $(content_at 7); click "$(cell_x 7)" "$(cell_y 1)"; click "$(cell_x 4)" "$(cell_y 4)"
click $(content_at 2); click "$(cell_x 7)" "$(cell_y 4)"
click $(content_at 3); click "$(cell_x 3)" "$(cell_y 2)"
click $(content_at 5); click "$(cell_x 5)" "$(cell_y 2)"
click $(content_at 6); click "$(cell_x 1)" "$(cell_y 4)"
key F2
e2e_poll 20 said "saved $design" || e2e_fail "the painted level was not saved"
key F5
e2e_poll 60 said "won in" || { cat "$design"; e2e_fail "the painted level was not proved"; }
# The proof's report: the way's commands and the fairness analysis.
key a
e2e_poll 60 said "fairness: after a start delay" || e2e_fail "the proof's report has no fairness analysis"
e2e_poll 60 said "fairness: thinking 0.40 s before each command" ||
    e2e_fail "the proof's report has no human pace"
said "^| *up" || e2e_fail "the proof's report lists no commands of the way"
key Escape
# A paste over the jar asks first; another key keeps the jar; asked again, Ctrl+V pastes, and
# Ctrl+Z takes it back.
shift_click "$(cell_x 7)" "$(cell_y 1)"
e2e_key ctrl+c
shift_click "$(cell_x 5)" "$(cell_y 2)"
e2e_key ctrl+v
e2e_poll 20 said "the paste covers 1 square and replaces 1 content" || e2e_fail "a paste over a jar did not ask"
e2e_key e ctrl+v
e2e_poll 20 said "the paste covers 1 square and replaces 1 content: Ctrl+V again" || e2e_fail "no second question"
[ "$(grep -c "the paste covers" "$E2E_GAME/out.txt")" = 2 ] || e2e_fail "another key did not cancel the question"
e2e_key ctrl+v
e2e_poll 20 said "1 content replaced" || e2e_fail "Ctrl+V again did not paste"
e2e_key ctrl+z F2
e2e_poll 20 eval '[ "$(grep -c "saved $design" "$E2E_GAME/out.txt")" = 2 ]' ||
    e2e_fail "the level was not saved after the paste was undone"
e2e_key Escape Escape     # the first drops the selection Shift and the mouse made
e2e_expect_exit 0
e2e_log "the designer's level took $actions actions (112 keystrokes before the palette and the mouse)"
[ "$(sed -n 8p "$design")" = 28 ] || e2e_fail "the saved level does not hold 28 squares"
for content in 1 2 3 5 6; do
    [ "$(awk 'NR > 8 && $5 == '$content'' "$design" | wc -l)" = 1 ] || e2e_fail "not one square of content $content"
done
[ "$(awk 'NR > 8 && $5 == 7' "$design" | wc -l)" = 2 ] || e2e_fail "not two sweets"
grep -q "^5 1 2 0 5 0 " "$design" || e2e_fail "the jar was not kept where the paste was undone"
awk 'NR > 8 { h[$2]++ } END { exit !(h[1] == 14 && h[2] == 7 && h[3] == 7) }' "$design" ||
    e2e_fail "the heights are not 14 squares at 1, 7 at 2 and 7 at 3"
"$E2E_GAME/level_checker" "$design" >"$E2E_TMP/check.txt" || { cat "$E2E_TMP/check.txt"; e2e_fail "the painted level does not pass"; }

# Orientation: three maps of a folder, a row with the start at (3,1) facing -x and a bare square
# at its end (the panel's pictures of the others lie under their actors), and in map01 a square
# far behind the robot at (12,4), in map02 at (12,0), in map03 none.
mkdir -p "$E2E_TMP/levels"
orientation_map() {
    printf 'Tirvex level 1: which way is up\n%s\n0\ntime limit in minutes:\n3\n\nsquares:\n%s\n' "$1" "$2"
    printf '3 1 1 0 1 192 7 -1 7 7\n2 1 1 0 7 0 7 -1 7 -1\n1 1 1 0 2 0 7 -1 7 -1\n'
    printf '0 1 1 0 0 0 7 7 7 -1\n%s' "$3"
}
orientation_map "Top right" 5 "12 1 4 0 0 0 7 7 7 7"$'\n' >"$E2E_TMP/levels/map01.txt"
orientation_map "Bottom right" 5 "12 1 0 0 0 0 7 7 7 7"$'\n' >"$E2E_TMP/levels/map02.txt"
orientation_map "Base" 4 "" >"$E2E_TMP/levels/map03.txt"

# panel_squares FILE: "TOP BOTTOM", the mean x of the map panel's square pictures (their 4x4
# grey fill, which the panel's frame has in thinner lines only) in the panel's highest and lowest
# rows of them; nothing when none is shown.
panel_squares() {
    python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
line, ncolours, order, size = h[12], h[19], h[7], h[11] // 8
start = h[0] + ncolours * 12
def grey(x, y):
    p = data[start + y * line + x * size:start + y * line + (x + 1) * size]
    return ((p[2], p[1], p[0]) if order == 0 else tuple(p[1:4])) == (174, 186, 203)
rows = {}
for y in range(280, 476):
    for x in range(400, 636):
        if all(grey(x + i, y + j) for i in range(4) for j in range(4)):
            rows.setdefault(y, []).append(x)
if rows:
    top, bottom = rows[min(rows)], rows[max(rows)]
    print(sum(top) // len(top), sum(bottom) // len(bottom))
PY
}
# panel_shown: the panel has slid in: squares in two places, where they were a look before.
squares=""
panel_shown() {
    local before=$squares
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    squares=$(panel_squares "$E2E_TMP/shot.xwd")
    read -r top bottom <<<"${squares:-0 0}"
    [ -n "$squares" ] && [ "$squares" = "$before" ] && [ "$top" != "$bottom" ]
}
# The editor's grid: the cell of (12,4) holds a square, the cell of (12,0) none.
edit_start "$E2E_TMP/levels/map01.txt"
e2e_poll 20 eval 'e2e_capture "$E2E_TMP/grid.xwd" && e2e_lit "$E2E_TMP/grid.xwd" $(cell_x 12) $(cell_y 4) $(cell_x 12) $(cell_y 4) 1' ||
    e2e_fail "no square drawn on the grid at (12,4)"
empty=$(e2e_pixels "$E2E_TMP/grid.xwd" "$(cell_x 15)" "$(cell_y 10)" "$(cell_x 15)" "$(cell_y 10)" 1)
[ "$(e2e_pixels "$E2E_TMP/grid.xwd" "$(cell_x 12)" "$(cell_y 0)" "$(cell_x 12)" "$(cell_y 0)" 1)" = "$empty" ] ||
    e2e_fail "the grid draws a square at (12,0)"
# panel_playtest WHAT N: plays the map being edited until the game's map panel (M, unless the
# playtest before left it shown) shows its squares, reads them into $top and $bottom, and
# leaves the playtest again, the editor's Nth.
panel_playtest() {
    local left=$2
    e2e_key p
    e2e_poll 20 playtest_shown || e2e_fail "no playtest of $1 within 20 s"
    if ! e2e_poll 3 panel_shown; then
        e2e_key m
        e2e_poll 20 panel_shown || e2e_fail "no squares on the map panel of $1 within 20 s"
    fi
    read -r top bottom <<<"$squares"
    e2e_hold Escape 0.3
    e2e_poll 20 eval '[ "$(grep -c "playtest left" "$E2E_GAME/out.txt")" = "$left" ]' ||
        e2e_fail "Esc did not end the playtest of $1"
}
panel_playtest map01 1
[ "$top" -gt "$bottom" ] || e2e_fail "(12,4), top right on the grid, is not top right on the map panel ($top, $bottom)"
# The folder's next map: the lone square at (12,0) is bottom right on the panel.
e2e_key ctrl+Next
e2e_poll 20 said "opened $E2E_TMP/levels/map02.txt" || e2e_fail "Ctrl+PgDn did not open the next map"
panel_playtest map02 2
[ "$bottom" -gt "$top" ] || e2e_fail "(12,0), bottom right on the grid, is not bottom right on the map panel ($top, $bottom)"

# Every fault whole on the fault page; Esc, another key, Esc stays with an unsaved change.
e2e_key ctrl+Next
e2e_poll 20 said "opened $E2E_TMP/levels/map03.txt" || e2e_fail "Ctrl+PgDn did not open map03"
e2e_key space Escape
e2e_poll 20 said "unsaved changes: Esc again" || e2e_fail "no question on leaving unsaved"
e2e_key Left Escape
e2e_poll 20 eval '[ "$(grep -c "unsaved changes" "$E2E_GAME/out.txt")" = 2 ]' ||
    e2e_fail "Esc after another key did not ask again"
e2e_running || e2e_fail "Esc, another key, Esc left without saving"
e2e_key Up Right Right Right Delete F3
e2e_poll 20 said "page: Faults and warnings" || e2e_fail "F3 shows no fault page"
said "| *line 8: fault: none of the 4 squares is a starting position (content code 1)" ||
    e2e_fail "the fault page does not hold the first fault whole"
e2e_key Escape ctrl+z ctrl+z ctrl+z
e2e_poll 20 said "nothing to undo" || e2e_fail "Ctrl+Z with nothing left does not say so"
said "undone: as saved" || e2e_fail "undone back to the file, the level was not said to be as saved"
e2e_key Escape
e2e_expect_exit 0

e2e_log "passed"
