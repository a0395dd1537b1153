# editor_scale_1080.sh: on a 1920x1080 desktop the level editor's window comes up enlarged twice,
# 1280x960, as the game's does, and clicks land through the factor: a click on the palette's
# sweet and one on a grid cell, both where only the enlarged window has them, paint a sweet on
# that cell. Alt+Enter puts the editor full screen, the picture centred, and a click there
# still lands on its cell; Alt+Enter again brings the window back. --scale 1 keeps 640x480.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
source "$(dirname "$0")/lib/editor.bash"
source "$(dirname "$0")/lib/scale.bash"
E2E_SCREEN=1920x1080
e2e_setup "$1"
[ -x "$E2E_GAME/tirvex_edit" ] || e2e_fail "no level editor in $1"
mkdir -p "$E2E_TMP/levels"
map="$E2E_TMP/levels/map01.txt"

# The window the desktop manages (full screen adds one laid over the desktop, of its size).
editor_window() {
    local window
    for window in $(xdotool search --name "^Tirvex level editor$" 2>/dev/null); do
        xwininfo -id "$window" 2>/dev/null | grep -q "Override Redirect State: no" &&
            { echo "$window"; return 0; }
    done
    return 1
}

# full_screen_shown: a window of the editor covers the whole 1920x1080 desktop, mapped.
full_screen_shown() {
    local window
    for window in $(xdotool search --name "^Tirvex level editor$" 2>/dev/null); do
        xwininfo -id "$window" 2>/dev/null | tr -d ' ' | grep -q "^-geometry1920x1080+0+0$" &&
            xwininfo -id "$window" | grep -q "Map State: IsViewable" && return 0
    done
    return 1
}

# window_size_is W H: the editor's window stands at W x H pixels.
window_size_is() {
    local window WIDTH="" HEIGHT=""
    window=$(editor_window)
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
e2e_poll 20 full_screen_shown || e2e_fail "Alt+Enter did not put the editor full screen"
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
