# harness.bash: shared helpers of the end-to-end tests, sourced by tests/e2e/*.sh.
# Runs the real game under a private Xvfb in a temporary copy of the staged game directory and
# drives it with xdotool. Every wait polls a condition and has a bound; nothing waits on a fixed
# sleep alone. Screens are recognised from xwd captures of the 640x480 root window.

set -u

# python3 reached through a version manager's shim costs most of a second a start, and the tests
# start it at every look at the screen: they start the interpreter the shim finds, found once.
E2E_PYTHON=$(python3 -c 'import sys; print(sys.executable)' 2>/dev/null) || E2E_PYTHON=""
python3() { "${E2E_PYTHON:-$(type -P python3)}" "$@"; }

E2E_TMP=""          # scratch directory, removed on exit
E2E_GAME=""         # the game copy the program runs in
E2E_XVFB_PID=""
E2E_PID=""          # the running game
E2E_STATUS=""       # the game's exit status once e2e_wait_exit has seen it end
E2E_NAME="$(basename "${0%.sh}")"

e2e_log() { echo "[$E2E_NAME] $*" >&2; }

e2e_fail() {
    e2e_log "FAIL: $*"
    if [ -n "$E2E_GAME" ]; then
        for f in out.txt err.txt error.log error.txt; do
            [ -f "$E2E_GAME/$f" ] && { e2e_log "--- $f"; head -c 2000 "$E2E_GAME/$f" >&2; }
        done
    fi
    exit 1
}

e2e_cleanup() {
    if [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; then
        kill "$E2E_PID" 2>/dev/null
        wait "$E2E_PID" 2>/dev/null
    fi
    if [ -n "$E2E_XVFB_PID" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
    fi
    [ -n "$E2E_TMP" ] && rm -rf "$E2E_TMP"
}

# e2e_poll TIMEOUT_SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; fails after
# the bound.
e2e_poll() {
    local limit=$(( $1 * 10 )) i=0
    shift
    while ! "$@"; do
        i=$((i + 1))
        [ "$i" -ge "$limit" ] && return 1
        sleep 0.1
    done
    return 0
}

# e2e_setup GAME_DIR: copies the game, starts Xvfb on a free display (E2E_SCREEN pixels, 640x480
# unless set; E2E_XVFB_ARGS, if set, added to its command line), exports DISPLAY.
e2e_setup() {
    local game_dir="$1"
    [ -x "$game_dir/tirvex" ] || e2e_fail "no game in $game_dir"
    for tool in Xvfb xdotool xwd od awk; do
        command -v "$tool" >/dev/null || e2e_fail "$tool is not installed"
    done
    E2E_PIXELS="$(cd "$game_dir/.." && pwd)/tests/xwd_pixels"
    [ -x "$E2E_PIXELS" ] || e2e_fail "no capture reader $E2E_PIXELS (built with the tests)"
    trap e2e_cleanup EXIT
    E2E_TMP="$(mktemp -d "${TMPDIR:-/tmp}/tirvex-e2e.XXXXXX")"
    E2E_GAME="$E2E_TMP/game"
    cp -r "$game_dir" "$E2E_GAME"
    rm -f "$E2E_GAME"/wvideo.cfg "$E2E_GAME"/error.log "$E2E_GAME"/error.txt \
          "$E2E_GAME"/tirvex.sav "$E2E_GAME"/screen*.bmp
    # -displayfd picks a free display and writes its number once the server accepts clients.
    # shellcheck disable=SC2086 # E2E_XVFB_ARGS is a list of words
    Xvfb -displayfd 1 -screen 0 "${E2E_SCREEN:-640x480}x24" -nolisten tcp -noreset ${E2E_XVFB_ARGS:-} \
        >"$E2E_TMP/display" 2>"$E2E_TMP/xvfb.log" &
    E2E_XVFB_PID=$!
    e2e_poll 20 grep -qs "[0-9]" "$E2E_TMP/display" || e2e_fail "Xvfb did not start"
    export DISPLAY=":$(tr -dc '0-9' <"$E2E_TMP/display")"
    e2e_log "display $DISPLAY, game copy $E2E_GAME"
}

E2E_PROGRAM="./tirvex"  # the program e2e_start runs
E2E_RUN_DIR=""          # the folder it starts in; the game copy when empty

# e2e_start ARGS...: starts the game (always silent: there is no sound card) in the copy, its
# output kept in the copy's out.txt and err.txt.
e2e_start() {
    E2E_STATUS=""
    (cd "${E2E_RUN_DIR:-$E2E_GAME}" &&
     exec $E2E_PROGRAM -nosound "$@" >"$E2E_GAME/out.txt" 2>"$E2E_GAME/err.txt") &
    E2E_PID=$!
}

e2e_running() { kill -0 "$E2E_PID" 2>/dev/null; }

# e2e_wait_exit TIMEOUT: waits for the game to end; sets E2E_STATUS.
e2e_wait_exit() {
    e2e_poll "$1" eval '! e2e_running' || e2e_fail "the game did not end within $1 s"
    wait "$E2E_PID"
    E2E_STATUS=$?
    E2E_PID=""
    e2e_log "game ended with status $E2E_STATUS"
}

e2e_expect_status() {
    [ "$E2E_STATUS" = "$1" ] || e2e_fail "exit status $E2E_STATUS, expected $1"
}

# e2e_expect_exit STATUS: waits for the game to end and checks its exit status.
e2e_expect_exit() {
    e2e_wait_exit 20
    e2e_expect_status "$1"
}

e2e_wait_file() {
    e2e_poll "$2" test -e "$1" || e2e_fail "no $1 within $2 s"
}

_e2e_has_window() { xdotool search --name '^Tirvex!$' >/dev/null 2>&1; }

# e2e_wait_window TIMEOUT: waits for the game's window and puts the pointer over it, which
# gives it the keyboard (no window manager: focus follows the pointer).
e2e_wait_window() {
    e2e_poll "$1" _e2e_has_window || e2e_fail "no game window within $1 s"
    xdotool mousemove 320 240
}

# e2e_key KEY...: types keys (xdotool names: space, Escape, 3, ...).
e2e_key() {
    e2e_running || e2e_fail "the game ended before keys $*"
    xdotool key --delay 60 "$@"
}

# e2e_capture FILE: the whole screen as an xwd dump.
e2e_capture() { xwd -root -silent >"$1" 2>/dev/null; }

# e2e_pixels FILE X0 Y0 X1 Y1 STEP [--rgb]: prints the colour (rrggbb, or "r g b" in decimal) of
# every STEP-th pixel of the rectangle, one per line, left to right and top to bottom.
e2e_pixels() { "$E2E_PIXELS" "$@"; }

# True when TEXT (UTF-8), drawn in the datafile's font object FONT (10 the game's font, 11 the
# large one), stands on a new capture.
_e2e_text_shown() {
    e2e_capture "$E2E_TMP/text.xwd" &&
        "$E2E_PIXELS" "$E2E_TMP/text.xwd" --find "$E2E_GAME/data/pz.dat" "$1" "$2" >/dev/null
}

# e2e_wait_text TIMEOUT FONT TEXT: waits until the text stands on the screen.
e2e_wait_text() {
    e2e_poll "$1" _e2e_text_shown "$2" "$3" || e2e_fail "no \"$3\" on the screen within $1 s"
}

# e2e_lit FILE X0 Y0 X1 Y1 STEP: true when some sampled pixel of the rectangle is not black.
e2e_lit() { e2e_pixels "$@" | grep -qv '^000000$'; }

# True when the credits are on the console: text in its first row.
_e2e_credits_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" && e2e_lit "$E2E_TMP/shot.xwd" 0 0 400 7 1
}

# True when the main menu picture stands still on the screen: the lower half, where the console
# never writes, shows a picture, and two captures a moment apart agree (the fade is over).
_e2e_menu_shown() {
    e2e_capture "$E2E_TMP/a.xwd" || return 1
    e2e_lit "$E2E_TMP/a.xwd" 0 320 639 479 4 || return 1
    sleep 0.2
    e2e_capture "$E2E_TMP/b.xwd" || return 1
    [ "$(e2e_pixels "$E2E_TMP/a.xwd" 0 0 639 479 4 | cksum)" = \
      "$(e2e_pixels "$E2E_TMP/b.xwd" 0 0 639 479 4 | cksum)" ]
}

# True when the video mode dialog is up: the dialog's flat grey panel (palette index 1) along
# its top edge, nothing lit in the bottom rows.
_e2e_dialog_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    local colours
    colours=$(e2e_pixels "$E2E_TMP/shot.xwd" 170 165 470 170 10 | sort -u)
    [ "${#colours}" = 6 ] || return 1
    local r=$((16#${colours:0:2})) g=$((16#${colours:2:2})) b=$((16#${colours:4:2}))
    [ "$r" = "$g" ] && [ "$g" = "$b" ] && [ "$r" -ge 128 ] && [ "$r" -le 224 ] &&
        ! e2e_lit "$E2E_TMP/shot.xwd" 0 400 639 479 8
}

# e2e_screen_sum FILE: a checksum of the screen's sampled pixels.
e2e_screen_sum() { e2e_pixels "$1" 0 0 639 479 4 | cksum; }

E2E_MENU_SUM=""     # the main menu as first seen, to recognise it when it comes back

_e2e_is_menu() {
    e2e_capture "$E2E_TMP/shot.xwd" && [ "$(e2e_screen_sum "$E2E_TMP/shot.xwd")" = "$E2E_MENU_SUM" ]
}

# True when the screen shows something other than the menu and stands still.
_e2e_left_menu() {
    e2e_capture "$E2E_TMP/a.xwd" || return 1
    local first
    first=$(e2e_screen_sum "$E2E_TMP/a.xwd")
    [ "$first" != "$E2E_MENU_SUM" ] || return 1
    sleep 0.2
    e2e_capture "$E2E_TMP/b.xwd" && [ "$(e2e_screen_sum "$E2E_TMP/b.xwd")" = "$first" ]
}

# e2e_wait_menu_again TIMEOUT: waits until the screen shows the remembered menu.
e2e_wait_menu_again() {
    e2e_poll "$1" _e2e_is_menu || e2e_fail "the main menu did not come back within $1 s"
}

# e2e_wait_left_menu TIMEOUT: waits until another screen stands on the screen.
e2e_wait_left_menu() {
    e2e_poll "$1" _e2e_left_menu || e2e_fail "the main menu stayed for $1 s"
}

# e2e_stays_menu SECONDS: true when the menu stays on the screen and the game keeps running.
e2e_stays_menu() {
    local end=$(( $(date +%s) + $1 ))
    while [ "$(date +%s)" -lt "$end" ]; do
        e2e_running && _e2e_is_menu || return 1
        sleep 0.2
    done
}

e2e_wait_credits() { e2e_poll "$1" _e2e_credits_shown || e2e_fail "no credits within $1 s"; }
e2e_wait_menu() { e2e_poll "$1" _e2e_menu_shown || e2e_fail "no main menu within $1 s"; }
e2e_wait_dialog() { e2e_poll "$1" _e2e_dialog_shown || e2e_fail "no video dialog within $1 s"; }

# e2e_pass_credits ARGS...: starts the game and passes the credits with a key.
e2e_pass_credits() {
    e2e_start "$@"
    e2e_wait_window 20
    e2e_wait_credits 20
    e2e_key space
}

# e2e_boot_to_menu: starts the game, passes the credits with a key and waits for the menu.
e2e_boot_to_menu() {
    e2e_pass_credits "$@"
    e2e_wait_menu 60
    e2e_capture "$E2E_TMP/menu.xwd"
    E2E_MENU_SUM=$(e2e_screen_sum "$E2E_TMP/menu.xwd")
}

# e2e_quit_from_menu: Esc in the main menu ends the game with status 0; the test has passed.
e2e_quit_from_menu() {
    e2e_key Escape
    e2e_expect_exit 0
    e2e_log "ok"
}

# e2e_cpu_percent SECONDS: the game's processor use over the next SECONDS, in percent of one
# core (user and system time of all its threads).
e2e_cpu_percent() {
    local hz before after
    hz=$(getconf CLK_TCK)
    before=$(awk '{ print $14 + $15 }' "/proc/$E2E_PID/stat")
    sleep "$1"
    after=$(awk '{ print $14 + $15 }' "/proc/$E2E_PID/stat")
    echo $(( (after - before) * 100 / (hz * $1) ))
}
