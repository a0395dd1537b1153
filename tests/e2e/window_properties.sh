# window_properties.sh: the game's and the editor's windows tell the desktop who they are, as
# xprop reads them: _NET_WM_NAME the title in UTF-8, _NET_WM_PID the program's own pid, WM_CLASS
# the class the desktop entries name, and _NET_WM_ICON the icon at 16, 24, 32, 48, 64, 128 and
# 256 pixels, each size whole and not all transparent. Full screen (a window laid over the
# desktop, which no window manager sees) carries the same class, names and icon; after Alt+Enter
# back to the window the managed window still does. On this 1920x1080 desktop the editor's
# window is enlarged, and clicks land through the factor, in a window and full screen.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
source "$(dirname "$0")/lib/editor.bash"
E2E_SCREEN=1920x1080
e2e_setup "$1"
command -v xprop >/dev/null || e2e_fail "xprop is not installed"

# The icon property's sizes, "16x16 24x24 ...", checked whole: each size's pixels are all
# there and some are not transparent. Prints "bad: WHY" on a fault. (xprop's own bound on a
# property's length would cut the 256 pixel size short: it is lifted.)
icon_sizes() {
    xprop -len 4000000 -id "$1" -notype 32c _NET_WM_ICON | python3 -c '
import sys
text = sys.stdin.read()
if "=" not in text:
    sys.exit("bad: no _NET_WM_ICON")
items = [int(v) for v in text.split("=", 1)[1].replace(",", " ").split()]
sizes, at = [], 0
while at < len(items):
    w, h = items[at], items[at + 1] if at + 1 < len(items) else -1
    pixels = items[at + 2:at + 2 + w * h]
    if w <= 0 or h <= 0 or len(pixels) != w * h:
        sys.exit("bad: size %dx%d at item %d is cut short" % (w, h, at))
    if not any(p >> 24 for p in pixels):
        sys.exit("bad: the %dx%d icon is all transparent" % (w, h))
    sizes.append("%dx%d" % (w, h))
    at += 2 + w * h
print(" ".join(sizes))'
}

# check_window WINDOW TITLE NAME CLASS PID: the window's properties are those of the program.
check_window() {
    local window=$1 title=$2 name=$3 class=$4 pid=$5 sizes
    xprop -id "$window" _NET_WM_NAME | grep -qx "_NET_WM_NAME(UTF8_STRING) = \"$title\"" ||
        e2e_fail "$title: _NET_WM_NAME is $(xprop -id "$window" _NET_WM_NAME)"
    xprop -id "$window" WM_NAME | grep -q "= \"$title\"$" ||
        e2e_fail "$title: WM_NAME is $(xprop -id "$window" WM_NAME)"
    xprop -id "$window" WM_CLASS | grep -qx "WM_CLASS(STRING) = \"$name\", \"$class\"" ||
        e2e_fail "$title: WM_CLASS is $(xprop -id "$window" WM_CLASS)"
    xprop -id "$window" _NET_WM_PID | grep -qx "_NET_WM_PID(CARDINAL) = $pid" ||
        e2e_fail "$title: _NET_WM_PID is $(xprop -id "$window" _NET_WM_PID), the program is $pid"
    sizes=$(icon_sizes "$window" 2>&1)
    [ "$sizes" = "16x16 24x24 32x32 48x48 64x64 128x128 256x256" ] ||
        e2e_fail "$title: _NET_WM_ICON holds $sizes"
}

# The program's windows by their title: "managed" or "overlaid" (override-redirect), mapped.
windows_of() {
    local window
    for window in $(xdotool search --name "^$1\$" 2>/dev/null); do
        local state
        state=$(xwininfo -id "$window" 2>/dev/null) || continue
        grep -q "Map State: IsViewable" <<<"$state" || continue
        if grep -q "Override Redirect State: yes" <<<"$state"; then
            [ "$2" = overlaid ] && echo "$window"
        else
            [ "$2" = managed ] && echo "$window"
        fi
    done
}
_shown() { [ -n "$(windows_of "$1" "$2")" ]; }

# The game, in a window (the harness starts it in the copy, its pid the program's own).
e2e_start --window
e2e_wait_window 20
e2e_poll 20 _shown 'Tirvex!' managed || e2e_fail "no managed game window"
check_window "$(windows_of 'Tirvex!' managed | head -n 1)" 'Tirvex!' tirvex Tirvex "$E2E_PID"

# Full screen: the window laid over the desktop keeps the class, the names and the icon.
xdotool mousemove 960 540
e2e_key alt+Return
e2e_poll 20 _shown 'Tirvex!' overlaid || e2e_fail "Alt+Enter showed no full-screen window"
check_window "$(windows_of 'Tirvex!' overlaid | head -n 1)" 'Tirvex!' tirvex Tirvex "$E2E_PID"
e2e_key alt+Return
e2e_poll 20 eval '! _shown "Tirvex!" overlaid && _shown "Tirvex!" managed' ||
    e2e_fail "the second Alt+Enter did not bring the window back"
check_window "$(windows_of 'Tirvex!' managed | head -n 1)" 'Tirvex!' tirvex Tirvex "$E2E_PID"
e2e_key space
kill "$E2E_PID"
wait "$E2E_PID" 2>/dev/null
E2E_PID=""

# The editor, on a new map: its window comes up enlarged twice, 1280x960, as the game's does, and
# clicks land through the factor: a click on the palette's sweet and one on a grid cell, both
# where only the enlarged window has them, paint a sweet on that cell. Alt+Enter puts it full
# screen, the picture centred, and a click there still lands on its cell; Alt+Enter again brings
# the window back. --scale 1 keeps 640x480.
map="$E2E_TMP/levels/map01.txt"
mkdir -p "$E2E_TMP/levels"

# window_size_is W H: the editor's window stands at W x H pixels.
window_size_is() {
    local window WIDTH="" HEIGHT=""
    window=$(windows_of 'Tirvex level editor' managed | head -n 1)
    [ -n "$window" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null)"
    [ "$WIDTH" = "$1" ] && [ "$HEIGHT" = "$2" ]
}

# click_picture X Y: clicks the picture's point (X, Y) where the screen shows it enlarged
# (E2E_LEFT, E2E_TOP, E2E_FACTOR).
click_picture() {
    xdotool mousemove $((E2E_LEFT + $1 * E2E_FACTOR + E2E_FACTOR / 2)) \
                      $((E2E_TOP + $2 * E2E_FACTOR + E2E_FACTOR / 2)) click 1
}

# saved_square X Z CONTENT: F2 saves and the file holds square (X, Z) at height 1, paving,
# with CONTENT.
saved_square() {
    local saves
    saves=$(grep -c "^saved " "$E2E_GAME/out.txt")
    e2e_key F2
    e2e_poll 20 eval '[ "$(grep -c "^saved " "$E2E_GAME/out.txt")" -gt "$saves" ]' ||
        e2e_fail "F2 did not save"
    grep -q "^$1 1 $2 0 $3 " "$map" || e2e_fail "no square at $1,$2 with content $3: $(sed -n '9,$p' "$map")"
}

edit_start "$map"
e2e_poll 20 _shown 'Tirvex level editor' managed || e2e_fail "no editor window"
check_window "$(windows_of 'Tirvex level editor' managed | head -n 1)" 'Tirvex level editor' \
    tirvex-edit Tirvex-edit "$E2E_PID"
e2e_poll 20 window_size_is 1280 960 || e2e_fail "the editor's window is not 1280x960"
E2E_LEFT=0 E2E_TOP=0 E2E_FACTOR=2
xdotool mousemove 640 480

# At 640x480 neither point would be in the window: only the enlarged one takes them.
click_picture $(content_at 7)     # the sweet
click_picture "$(cell_x 15)" "$(cell_y 3)"
saved_square 15 3 7

# Full screen: the picture centred on the desktop, (1920 - 1280) / 2 and (1080 - 960) / 2 from
# its corner, and a click still on its cell.
e2e_key alt+Return
e2e_poll 20 _shown 'Tirvex level editor' overlaid || e2e_fail "Alt+Enter did not put the editor full screen"
E2E_LEFT=320 E2E_TOP=60
xdotool mousemove 960 540
click_picture "$(cell_x 4)" "$(cell_y 5)"
saved_square 4 5 7
e2e_key alt+Return
e2e_poll 20 window_size_is 1280 960 || e2e_fail "the second Alt+Enter did not bring the window back"
e2e_key Escape
e2e_expect_exit 0

# A forced factor is taken as it is.
edit_start --scale 1 "$map"
e2e_poll 20 window_size_is 640 480 || e2e_fail "--scale 1 did not keep the window at 640x480"
e2e_key Escape
e2e_expect_exit 0
