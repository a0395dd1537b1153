# play.bash: helpers for the end-to-end tests of play, sourced after harness.bash. They put the
# small test maps of tests/maps in place of the shipped levels, walk the menu into a level and
# recognise the play screens (level select, play, end screen, cast screen, key help page) from
# single pixels of xwd captures of the 640x480 screen.

E2E_MAPS="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../maps" && pwd)"

# e2e_use_maps NAME...: the game copy's levels become tests/maps/NAME.txt, as map01, map02, ...
e2e_use_maps() {
    rm -f "$E2E_GAME"/maps/*.txt
    local n=1 name
    for name in "$@"; do
        cp "$E2E_MAPS/$name.txt" "$(printf '%s/maps/map%02d.txt' "$E2E_GAME" "$n")" ||
            e2e_fail "no test map $name"
        n=$((n + 1))
    done
}

# e2e_rgb X0 Y0 X1 Y1 STEP: the pixels of the last capture as "r g b" lines in decimal.
e2e_rgb() { e2e_pixels "$E2E_TMP/shot.xwd" "$@" --rgb; }

# e2e_pixel X Y: the colour of one pixel of the last capture as "r g b" in decimal.
e2e_pixel() { e2e_rgb "$1" "$2" "$1" "$2" 1; }

# True when the pixel is green like the bright bars: green well above red and blue.
_e2e_green_at() {
    local r g b
    read -r r g b < <(e2e_pixel "$1" "$2") || return 1
    [ "$g" -ge 150 ] && [ "$g" -ge $((r + 60)) ] && [ "$g" -ge $((b + 40)) ]
}

# True when the pixel is the light yellow of the level cursor.
_e2e_yellow_at() {
    local r g b
    read -r r g b < <(e2e_pixel "$1" "$2") || return 1
    [ "$r" -ge 200 ] && [ "$g" -ge 180 ] && [ "$b" -le 180 ]
}

_e2e_black_rect() { ! e2e_lit "$E2E_TMP/shot.xwd" "$@"; }

# The level select: the first bar is bright (level 1 is always open) and the cursor arrow
# stands left of bar CURSOR.
_e2e_select_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    _e2e_green_at 363 67 && _e2e_yellow_at 196 $((20 * $1 + 41))
}

# e2e_green_count X0 Y0 X1 Y1: how many pixels of the rectangle are green like the HUD digits.
e2e_green_count() {
    e2e_rgb "$@" 1 | awk '$2 >= 150 && $2 >= $1 + 60 && $2 >= $3 + 40 { n++ } END { print n + 0 }'
}

# Play: the HUD clock's green digits in the top right corner.
_e2e_play_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    [ "$(e2e_green_count 540 8 600 28)" -gt 20 ]
}

# "Level completed: press Space" reaches further left than any other message of these maps.
_e2e_completed_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    [ "$(e2e_rgb 208 240 236 248 1 |
        awk '$2 >= 200 && $3 < 150 && $1 < 200 { n++ } END { print n + 0 }')" -gt 0 ]
}

# "You are dead! Probably cause you are a idiot" reaches further left still.
_e2e_dead_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    [ "$(e2e_rgb 146 240 200 248 1 |
        awk '$2 >= 200 && $3 < 150 && $1 < 200 { n++ } END { print n + 0 }')" -gt 0 ]
}

# The end screen: black but for its text lines in the middle.
_e2e_end_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    _e2e_black_rect 0 0 639 130 4 && _e2e_black_rect 0 320 639 479 4 &&
        e2e_lit "$E2E_TMP/shot.xwd" 240 140 400 160 1
}

# The cast screen: the title bar right of the middle and the model's dark blue view.
_e2e_cast_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    local r g b
    _e2e_green_at 412 138 && _e2e_green_at 615 155 &&
        read -r r g b < <(e2e_pixel 60 170) && [ "$b" -ge $((r + 30)) ] && [ "$g" -le 100 ]
}

# The key help page: white lines from the top row of text down, nothing else.
_e2e_help_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    _e2e_black_rect 0 0 639 25 2 && e2e_lit "$E2E_TMP/shot.xwd" 100 30 540 38 1 &&
        _e2e_black_rect 0 440 639 479 2
}

e2e_wait_select() {
    e2e_poll "$1" _e2e_select_shown "${2:-1}" ||
        e2e_fail "no level select with the cursor on level ${2:-1} within $1 s"
}
e2e_wait_play() { e2e_poll "$1" _e2e_play_shown || e2e_fail "no level on the screen within $1 s"; }
e2e_wait_completed() {
    e2e_poll "$1" _e2e_completed_shown || e2e_fail "the level was not completed within $1 s"
}
e2e_wait_dead() { e2e_poll "$1" _e2e_dead_shown || e2e_fail "the robot did not die within $1 s"; }
e2e_wait_end() { e2e_poll "$1" _e2e_end_shown || e2e_fail "no end screen within $1 s"; }
e2e_wait_cast() { e2e_poll "$1" _e2e_cast_shown || e2e_fail "no cast screen within $1 s"; }
e2e_wait_help() { e2e_poll "$1" _e2e_help_shown || e2e_fail "no key help page within $1 s"; }

# e2e_open_cast: menu choice 2 shows the cast screen.
e2e_open_cast() {
    e2e_key 2
    e2e_wait_cast 20
}

# e2e_help_to_menu: once the key help page is up, one key leaves it for the main menu (the
# pointer back in the middle, where the menu was first seen).
e2e_help_to_menu() {
    xdotool mousemove 320 240
    e2e_wait_help 20
    e2e_key space
    e2e_wait_menu_again 20
}

# e2e_confirm_to_select N: Space held on a completed level comes back to the level select with
# the cursor on level N.
e2e_confirm_to_select() {
    e2e_hold space 0.3
    e2e_wait_select 20 "$1"
}

# e2e_hold KEY SECONDS: holds a key down, as the keys of play that act while held need.
e2e_hold() {
    e2e_running || e2e_fail "the game ended before holding $1"
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

# e2e_enter_level N: from the level select with the cursor on level N, starts it.
e2e_enter_level() {
    e2e_wait_select 20 "$1"
    e2e_key Return
    e2e_wait_play 20
}

# e2e_play_first_level MAP...: the game copy with these test maps, booted and into level 1.
e2e_play_first_level() {
    e2e_use_maps "$@"
    e2e_boot_to_menu
    e2e_key 1
    e2e_enter_level 1
}

# e2e_quit_from_select: from the level select back to the main menu and out of the game.
e2e_quit_from_select() {
    e2e_key Escape
    e2e_wait_menu_again 20
    e2e_quit_from_menu
}

# e2e_leave_level: holding Esc leaves the level for the level select; the game ends cleanly.
e2e_leave_level() {
    e2e_hold Escape 0.3
    e2e_wait_select 20 1
    e2e_quit_from_select
}

# e2e_expect_save BYTES: tirvex.sav holds exactly these 20 bytes.
e2e_expect_save() {
    [ -f "$E2E_GAME/tirvex.sav" ] || e2e_fail "no tirvex.sav"
    local bytes
    bytes=$(od -An -c "$E2E_GAME/tirvex.sav" | tr -d ' \n')
    [ "$bytes" = "$1" ] || e2e_fail "tirvex.sav holds '$bytes', expected '$1'"
}

# e2e_bmp_rgb FILE X0 Y0 X1 Y1 STEP: the pixels of an 8-bit BMP file as "r g b" lines in
# decimal, in the order e2e_rgb gives them for the same rectangle.
e2e_bmp_rgb() {
    od -An -v -tu1 -w1 "$1" |
        awk -v x0="$2" -v y0="$3" -v x1="$4" -v y1="$5" -v s="$6" '
            { byte[NR - 1] = $1 + 0 }
            function u32(at) { return byte[at] + 256 * (byte[at + 1] + 256 * (byte[at + 2] + 256 * byte[at + 3])) }
            END {
                data = u32(10); header = u32(14); w = u32(18); h = u32(22); bits = byte[28]
                if (byte[0] != 66 || byte[1] != 77 || bits != 8) { print "not an 8-bit BMP" > "/dev/stderr"; exit 1 }
                stride = int((w + 3) / 4) * 4
                for (y = y0; y <= y1; y++) {
                    if (y % s) continue
                    for (x = x0; x <= x1; x++) {
                        if ((x - x0) % s) continue
                        i = byte[data + (h - 1 - y) * stride + x]
                        p = 14 + header + 4 * i
                        print byte[p + 2], byte[p + 1], byte[p]
                    }
                }
            }'
}

# e2e_bmp_size FILE: "width height bits" of a BMP file.
e2e_bmp_size() {
    od -An -v -tu4 -j18 -N8 "$1" | awk '{ printf "%d %d ", $1, $2 }'
    od -An -v -tu2 -j28 -N2 "$1" | awk '{ print $1 }'
}

# e2e_same_picture A B: true when two "r g b" lists agree, each channel within 8.
e2e_same_picture() {
    paste -d ' ' "$1" "$2" | awk '
        { n++; d = 0
          for (c = 1; c <= 3; c++) { e = $c - $(c + 3); if (e < 0) e = -e; if (e > d) d = e }
          if (d > 8) bad++ }
        END { if (n == 0 || bad > 0) { printf "%d of %d pixels differ\n", bad, n > "/dev/stderr"; exit 1 } }'
}

# True when the lower part of the play screen stands still (the camera has come down and the
# robot rests): two captures a moment apart agree below the message line.
_e2e_view_still() {
    e2e_capture "$E2E_TMP/a.xwd" || return 1
    sleep 0.3
    e2e_capture "$E2E_TMP/b.xwd" || return 1
    [ "$(e2e_pixels "$E2E_TMP/a.xwd" 0 260 639 479 4 | cksum)" = \
      "$(e2e_pixels "$E2E_TMP/b.xwd" 0 260 639 479 4 | cksum)" ]
}

e2e_wait_still() { e2e_poll "$1" _e2e_view_still || e2e_fail "the view did not come to rest within $1 s"; }

# e2e_card_at_rest: the key card (F1) has come to rest, 340 rows high with its top at row 140:
# its rows agree in two captures a moment apart; the later one is $E2E_TMP/b.xwd.
e2e_card_at_rest() {
    e2e_capture "$E2E_TMP/a.xwd" || return 1
    e2e_lit "$E2E_TMP/a.xwd" 20 180 460 200 2 || return 1
    sleep 0.3
    e2e_capture "$E2E_TMP/b.xwd" || return 1
    [ "$(e2e_pixels "$E2E_TMP/a.xwd" 10 140 479 479 1 | cksum)" = \
      "$(e2e_pixels "$E2E_TMP/b.xwd" 10 140 479 479 1 | cksum)" ]
}

# e2e_tip_shown: the first loss's line under the message line, in the light green of the key
# names.
e2e_tip_shown() {
    e2e_capture "$E2E_TMP/shot.xwd" || return 1
    [ "$(e2e_rgb 92 250 140 262 1 |
        awk '$2 >= 220 && $2 - $1 >= 40 && $2 - $3 >= 40 { n++ } END { print n + 0 }')" -gt 10 ]
}
