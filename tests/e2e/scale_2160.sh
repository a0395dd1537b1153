# scale_2160.sh: on a 3840x2160 desktop the 640x480 picture fills 2560x1920, every 4x4 block one
# colour and black around it, and the same in a window (--window) and at a forced --scale 3.
# This display has no rendering extension, so the game enlarges the picture itself, as it does
# for an X server without one (scale_1080.sh sees the server enlarge).
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
source "$(dirname "$0")/lib/scale.bash"
E2E_SCREEN=3840x2160
E2E_XVFB_ARGS="-extension RENDER"
e2e_setup "$1"

# The cast screen fills the picture with its colour: its rectangle is the whole picture.
cast_at() {
    e2e_boot_big "$1" "${@:3}"
    _menu_lit() { e2e_capture "$E2E_TMP/big.xwd" && [ "$(e2e_picture "$E2E_TMP/big.xwd" 1 | cut -d' ' -f4)" -gt 400 ]; }
    e2e_poll 60 _menu_lit || e2e_fail "no main menu"
    e2e_key 2
    e2e_expect_picture "${2%x*}" "${2#*x}"
    # Esc leaves the cast, a key the help page, and Esc in the menu ends the game.
    e2e_key Escape space
    _quit() { xdotool key Escape; sleep 0.3; ! e2e_running; }
    e2e_poll 30 _quit || e2e_fail "the game did not end from the menu"
    e2e_expect_exit 0
}
cast_at 4 2560x1920
cast_at 4 2560x1920 --window
cast_at 3 1920x1440 --scale 3
e2e_log "ok"
