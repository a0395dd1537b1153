# editor.bash: helpers for the end-to-end tests of the level editor, sourced after harness.bash and
# play.bash: starting it in the game copy, what it said, where the grid's cells and the palette's
# contents are, a playtest on the screen, and the window's close button.

# edit_start [strace ARGS --] ARGS...: the editor in the game copy (its temporary folders in
# $E2E_TMP/tmp), its output kept in out.txt and err.txt, once its window is there.
edit_start() {
    local wrap=()
    if [ "${1:-}" = strace ]; then
        shift
        while [ "$1" != -- ]; do wrap+=("$1"); shift; done
        shift
        wrap=(strace -f -o "$E2E_TMP/strace.txt" "${wrap[@]}")
    fi
    mkdir -p "$E2E_TMP/tmp"
    E2E_STATUS=""
    (cd "$E2E_GAME" && TMPDIR="$E2E_TMP/tmp" exec "${wrap[@]}" ./tirvex_edit "$@" \
        >"$E2E_GAME/out.txt" 2>"$E2E_GAME/err.txt") &
    E2E_PID=$!
    e2e_poll 30 eval 'xdotool search --name "^Tirvex level editor$" >/dev/null 2>&1' ||
        e2e_fail "no editor window within 30 s"
    xdotool mousemove 320 240
}

# said TEXT: the editor has said TEXT (a pattern) on its output.
said() { grep -q -- "$1" "$E2E_GAME/out.txt"; }

# The grid's cells are 16 pixels of the picture, column 0 at the left and row 0 at the bottom
# (row 21 at the top); the palette's eight contents lie in two rows of four 80 x 20 cells under
# the 3D view, from (320, 242).
cell_x() { echo $((16 * $1 + 8)); }
cell_y() { echo $((16 * (21 - $1) + 8)); }
content_at() { echo "$((320 + 80 * ($1 % 4) + 40)) $((242 + 20 * ($1 / 4) + 10))"; }

# The playtest fills the window: the HUD's green sweet count where the editor has its grid.
playtest_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    [ "$(e2e_green_count 40 8 80 28)" -gt 10 ]
}

# close_window: the window manager's close button, as a WM_DELETE_WINDOW message to the editor's
# window (xdotool has no command for it; the X library is called through Python's ctypes).
close_window() {
    local window
    window=$(xdotool search --name "^Tirvex level editor$" | head -n 1)
    [ -n "$window" ] || e2e_fail "no editor window to close"
    python3 - "$window" <<'PY' || e2e_fail "the close message could not be sent"
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
class Message(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("message", Message), ("pad", ctypes.c_long * 24)]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                         ctypes.POINTER(Event)]
x.XFlush.argtypes = x.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
if not display:
    sys.exit(1)
event = Event()
event.message.type = 33                     # ClientMessage
event.message.window = int(sys.argv[1])
event.message.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.message.format = 32
event.message.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
ok = x.XSendEvent(display, int(sys.argv[1]), 0, 0, ctypes.byref(event))
x.XFlush(display)
x.XCloseDisplay(display)
sys.exit(0 if ok else 1)
PY
}
