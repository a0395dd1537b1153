# window_properties.sh: the game's and the editor's windows tell the desktop who they are, as
# xprop reads them: _NET_WM_NAME the title in UTF-8, _NET_WM_PID the program's own pid, WM_CLASS
# the class the desktop entries name, and _NET_WM_ICON the icon at 16, 24, 32, 48, 64, 128 and
# 256 pixels, each size whole and not all transparent. Full screen (a window laid over the
# desktop, which no window manager sees) carries the same class, names and icon; after Alt+Enter
# back to the window the managed window still does.
source "$(dirname "$0")/lib/harness.bash"
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

# The editor, on a new map.
(cd "$E2E_GAME" && exec ./tirvex_edit "$E2E_TMP/map01.txt" >"$E2E_GAME/out.txt" 2>"$E2E_GAME/err.txt") &
E2E_PID=$!
e2e_poll 20 _shown 'Tirvex level editor' managed || e2e_fail "no editor window"
check_window "$(windows_of 'Tirvex level editor' managed | head -n 1)" 'Tirvex level editor' \
    tirvex-edit Tirvex-edit "$E2E_PID"
xdotool mousemove 640 480
e2e_key Escape
e2e_expect_exit 0
