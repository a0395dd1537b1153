# bad_video_mode.sh: a mode in "wvideo.cfg" that cannot be set writes "error.txt" naming the file
# and ends the program with status 1 before anything else happens; a driver the library does not
# know falls back to the default mode; FIFOs at the files read at start keep nothing waiting;
# without any display the game says so and ends with status 1.
source "$(dirname "$0")/lib/harness.bash"
e2e_setup "$1"
printf '1 100000 100000\n' >"$E2E_GAME/wvideo.cfg"
e2e_start
e2e_wait_file "$E2E_GAME/error.txt" 20
e2e_expect_exit 1
[ "$(head -n 1 "$E2E_GAME/error.txt")" = "Error setting graphics mode" ] ||
    e2e_fail "error.txt does not start with the graphics mode error"
grep -q "wvideo.cfg asks for driver 1, 100000x100000" "$E2E_GAME/error.txt" ||
    e2e_fail "error.txt does not name wvideo.cfg and what it asked for"
grep -q "Error setting graphics mode" "$E2E_GAME/out.txt" ||
    e2e_fail "the console did not report the error"

# Any driver number starts the game: -1 (the library's text mode, which sets no screen) crashed
# in the main menu. An unknown driver falls back as a missing file does, and error.txt says so.
for driver in -1 2147483647; do
    rm -f "$E2E_GAME/error.txt"
    printf '%s 640 480\n' "$driver" >"$E2E_GAME/wvideo.cfg"
    e2e_boot_to_menu
    grep -q "wvideo.cfg asks for driver $driver, which is no graphics driver here" "$E2E_GAME/error.txt" ||
        e2e_fail "error.txt does not say driver $driver was not used"
    e2e_key Escape
    e2e_expect_exit 0
done

# A FIFO at wvideo.cfg, keys.cfg or tirvex.sav kept the game waiting before its window opened:
# each is refused at once and named, and the game starts.
rm -f "$E2E_GAME/wvideo.cfg"
mkfifo "$E2E_GAME/wvideo.cfg" "$E2E_GAME/keys.cfg" "$E2E_GAME/tirvex.sav"
e2e_boot_to_menu
for name in wvideo.cfg keys.cfg tirvex.sav; do
    grep -q "$name: not a regular file (a FIFO)" "$E2E_GAME/err.txt" || e2e_fail "$name is not named as a FIFO"
done
e2e_key Escape
e2e_expect_exit 0
rm -f "$E2E_GAME/wvideo.cfg" "$E2E_GAME/keys.cfg" "$E2E_GAME/tirvex.sav"

# No display at all: a message that says so, and status 1 as the manual page lists (the library
# alone would end it with 255).
status=0
(cd "$E2E_GAME" && env -u DISPLAY timeout 20 ./tirvex -nosound >out2.txt 2>err2.txt) || status=$?
[ "$status" = 1 ] || e2e_fail "without a display the game ended with status $status, not 1"
grep -q "no display" "$E2E_GAME/err2.txt" || e2e_fail "without a display nothing says so: $(cat "$E2E_GAME/err2.txt")"
e2e_log "ok"
