# bad_datafile.sh: a missing, empty, cut, damaged or foreign "data/pz.dat", or one with the wrong
# kind of object at a number the game uses, ends the program with status 1 and a message naming
# the file and the fault after the credits key, without reaching the menu and without a crash;
# so does a missing model file, after the fatal page. A cut language picture file only keeps
# the English pictures.
source "$(dirname "$0")/lib/harness.bash"
e2e_setup "$1"
dat="$E2E_GAME/data/pz.dat"
cp "$dat" "$E2E_TMP/good.dat"
size=$(stat -c %s "$E2E_TMP/good.dat")

# offset_of TEXT: the byte offset of the first TEXT in the good file.
offset_of() { grep -obUaF "$1" "$E2E_TMP/good.dat" | head -n 1 | cut -d: -f1; }
# patch OFFSET BYTES: overwrites bytes of the datafile in place (BYTES as printf escapes).
patch() { printf "$2" | dd of="$dat" bs=1 seek="$1" conv=notrunc status=none; }

# Each case: a name, how the file is spoilt, and the message the game must give.
run_case() {
    local name=$1 spoil=$2 message=$3
    cp "$E2E_TMP/good.dat" "$dat"
    eval "$spoil"
    e2e_start
    e2e_wait_window 20
    e2e_wait_credits 20
    e2e_running || e2e_fail "$name: the game ended before the credits key"
    e2e_key space
    e2e_wait_exit 20
    e2e_expect_status 1
    grep -qF "$message" "$E2E_GAME/err.txt" ||
        e2e_fail "$name: no \"$message\" on standard error: $(cat "$E2E_GAME/err.txt")"
    e2e_log "$name: $(cat "$E2E_GAME/err.txt")"
}

bitmap=$(offset_of "BMP ")       # the type of object 1, a bitmap 640 pixels wide
palette=$(offset_of "PAL ")      # the type of object 30, the game palette
run_case missing "rm -f '$dat'" "Error loading data file data/pz.dat: No such file or directory"
run_case empty ": >'$dat'" "Error loading data file data/pz.dat: the file is empty"
run_case "cut at 5 %" "truncate -s $((size / 20)) '$dat'" "Error loading data file data/pz.dat: truncated at object"
run_case "cut at half" "truncate -s $((size / 2)) '$dat'" "Error loading data file data/pz.dat: truncated at object"
run_case foreign "patch 0 'GIF8'" "Error loading data file data/pz.dat: not a datafile"
run_case "damaged bitmap" "patch $((bitmap + 14)) '\377\377'" \
    "Error loading data file data/pz.dat: object 1: a 65535x480 picture is too large"
run_case "palette as data" "patch $palette 'DATA'" "data/pz.dat: object 30 is not a palette"
# A language's pictures: the German ones change the menu; a cut file of them is named in one line
# on standard error and the English menu shows.
cp "$E2E_TMP/good.dat" "$dat"
menu_with() { e2e_boot_to_menu "$@"; e2e_key Escape; e2e_expect_exit 0; }
menu_with
english=$E2E_MENU_SUM
menu_with --language de
[ "$E2E_MENU_SUM" != "$english" ] && [ ! -s "$E2E_GAME/err.txt" ] || e2e_fail "no German menu"
truncate -s 5000 "$E2E_GAME/data/pz-de.dat"
menu_with --language de
[ "$E2E_MENU_SUM" = "$english" ] && [ "$(grep -c "data/pz-de.dat: truncated" "$E2E_GAME/err.txt")" = 1 ] ||
    e2e_fail "a cut data/pz-de.dat: $(cat "$E2E_GAME/err.txt")"
# A missing model file shows the fatal page, leaves error.log naming the path, ignores keys but
# Esc and ends with status 1 after Esc.
cp "$E2E_TMP/good.dat" "$dat"
rm -f "$E2E_GAME/bsp/robot.bsp" "$E2E_GAME/error.log"
e2e_pass_credits
e2e_wait_file "$E2E_GAME/error.log" 30
grep -qx "Fatal exception: bsp/robot.bsp" "$E2E_GAME/error.log" ||
    e2e_fail "error.log does not name bsp/robot.bsp"
[ "$(tail -c 2 "$E2E_GAME/error.log" | od -An -c | tr -d ' ')" = '\n\n' ] ||
    e2e_fail "error.log does not end in an empty line"

e2e_key space Return 1
if e2e_poll 1 eval '! e2e_running'; then e2e_fail "a key other than Esc left the fatal page"; fi
e2e_key Escape
e2e_expect_exit 1
e2e_log "ok"
