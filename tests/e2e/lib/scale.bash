# scale.bash: helpers for the end-to-end tests of the enlarged picture, sourced after harness.bash
# and play.bash. They read xwd captures of a large Xvfb screen with python3, which walks the
# millions of pixels of a 3840x2160 capture in a second or two where awk would take a minute.

E2E_PICTURE_PY="$(dirname "${BASH_SOURCE[0]}")/picture.py"

# e2e_picture FILE FACTOR: prints "LEFT TOP WIDTH HEIGHT SHARP" of the capture: the rectangle
# holding every pixel that is not black, and 1 when every FACTOR x FACTOR block of it, counted
# from its corner, is one colour (0 otherwise).
e2e_picture() { python3 "$E2E_PICTURE_PY" box "$1" "$2"; }

E2E_LEFT=0 E2E_TOP=0 E2E_FACTOR=1     # where the enlarged picture lies, once measured

# True when the enlarged picture is WIDTH x HEIGHT and sharp; notes its corner.
_e2e_picture_is() {
    e2e_capture "$E2E_TMP/big.xwd" || return 1
    local left top w h sharp
    read -r left top w h sharp < <(e2e_picture "$E2E_TMP/big.xwd" "$E2E_FACTOR") || return 1
    E2E_LEFT=$left E2E_TOP=$top
    [ "$w" = "$1" ] && [ "$h" = "$2" ] && [ "$sharp" = 1 ]
}

# e2e_expect_picture WIDTH HEIGHT: waits until the screen shows the picture enlarged to that
# size, every FACTOR x FACTOR block one colour and black around it.
e2e_expect_picture() {
    e2e_poll 20 _e2e_picture_is "$1" "$2" ||
        e2e_fail "the picture is not $1x$2 and sharp: $(e2e_picture "$E2E_TMP/big.xwd" "$E2E_FACTOR")"
}

# e2e_click_picture X Y: clicks the point (X, Y) of the 640x480 picture, on the middle of the
# block it is enlarged to.
e2e_click_picture() {
    xdotool mousemove $((E2E_LEFT + $1 * E2E_FACTOR + E2E_FACTOR / 2)) \
                      $((E2E_TOP + $2 * E2E_FACTOR + E2E_FACTOR / 2)) click 1
}

# True when anything is lit on the screen: the credits are up.
_e2e_anything_lit() {
    e2e_capture "$E2E_TMP/big.xwd" && [ "$(e2e_picture "$E2E_TMP/big.xwd" 1 | cut -d' ' -f3)" != 0 ]
}

# e2e_boot_big FACTOR ARGS...: starts the game on the large screen and passes the credits.
e2e_boot_big() {
    E2E_FACTOR=$1
    shift
    e2e_start "$@"
    e2e_wait_window 20
    e2e_poll 30 _e2e_anything_lit || e2e_fail "no credits within 30 s"
    e2e_key space
}

# e2e_picture_sum X0 Y0 X1 Y1: a checksum of that rectangle of the picture on the screen now.
e2e_picture_sum() {
    e2e_capture "$E2E_TMP/sum.xwd" && python3 "$E2E_PICTURE_PY" sum "$E2E_TMP/sum.xwd" \
        $((E2E_LEFT + $1 * E2E_FACTOR)) $((E2E_TOP + $2 * E2E_FACTOR)) \
        $((E2E_LEFT + $3 * E2E_FACTOR + E2E_FACTOR - 1)) $((E2E_TOP + $4 * E2E_FACTOR + E2E_FACTOR - 1))
}

# e2e_picture_green X0 Y0 X1 Y1: how many pixels of that rectangle of the picture on the screen
# now are green like the HUD's digits.
e2e_picture_green() {
    e2e_capture "$E2E_TMP/green.xwd" && python3 "$E2E_PICTURE_PY" green "$E2E_TMP/green.xwd" \
        $((E2E_LEFT + $1 * E2E_FACTOR)) $((E2E_TOP + $2 * E2E_FACTOR)) \
        $((E2E_LEFT + $3 * E2E_FACTOR + E2E_FACTOR - 1)) $((E2E_TOP + $4 * E2E_FACTOR + E2E_FACTOR - 1))
}
