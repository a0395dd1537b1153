# installed_game.sh: the game installed under /usr in a temporary root and started from an
# unrelated folder finds its data beside the program, completes level 1 and keeps the 20-byte
# "tirvex.sav" in $XDG_DATA_HOME/tirvex; nothing is written in the data folder or the working
# folder. An unusable home folder and a --data folder without a datafile give clear messages.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
build="$1/.."
root="$E2E_TMP/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >"$E2E_TMP/install.log" 2>&1 ||
    e2e_fail "cmake --install failed: $(tail -n 5 "$E2E_TMP/install.log")"
data="$root/usr/share/games/tirvex"
[ -x "$root/usr/games/tirvex" ] && [ -f "$data/data/pz.dat" ] || e2e_fail "no game installed in $root"
# Level 1 becomes the test map that two hops complete.
rm -f "$data"/maps/*.txt
cp "$E2E_MAPS/play_walk.txt" "$data/maps/map01.txt"
cp "$E2E_MAPS/play_mine.txt" "$data/maps/map02.txt"
data_sum=$(cd "$data" && find . -type f -exec md5sum {} + | sort)

mkdir -p "$E2E_TMP/work" "$E2E_TMP/home"
E2E_PROGRAM="$root/usr/games/tirvex"
E2E_RUN_DIR="$E2E_TMP/work"
export HOME="$E2E_TMP/home" XDG_DATA_HOME="$E2E_TMP/xdg"
e2e_boot_to_menu
e2e_key 1
e2e_enter_level 1
e2e_key Up Up
e2e_wait_completed 20
e2e_confirm_to_select 2
e2e_quit_from_select

save="$XDG_DATA_HOME/tirvex/tirvex.sav"
[ "$(od -An -c "$save" | tr -d ' \n')" = 01000000000000000000 ] ||
    e2e_fail "no 20-byte progress record in $save"
[ "$(stat -c %a "$XDG_DATA_HOME/tirvex")" = 700 ] || e2e_fail "the player's folder is not private"
[ -z "$(ls -A "$E2E_TMP/work")" ] || e2e_fail "files written in the working folder: $(ls -A "$E2E_TMP/work")"
[ "$(cd "$data" && find . -type f -exec md5sum {} + | sort)" = "$data_sum" ] ||
    e2e_fail "the data folder was changed"
[ -z "$(ls -A "$HOME")" ] || e2e_fail "HOME was used although XDG_DATA_HOME is set"

# A home folder that cannot be made: said on standard error, and the game still runs.
: >"$E2E_TMP/not_a_folder"
export XDG_DATA_HOME="$E2E_TMP/not_a_folder"
e2e_boot_to_menu
grep -qF "Cannot keep the player's files in $XDG_DATA_HOME/tirvex: Not a directory" \
    "$E2E_GAME/err.txt" || e2e_fail "no message about the unusable folder"
e2e_quit_from_menu

# A --data folder without a datafile ends at once with status 1.
e2e_start --data "$E2E_TMP/work"
e2e_expect_exit 1
grep -qF "holds no readable data/pz.dat" "$E2E_GAME/err.txt" || e2e_fail "no message about --data"
e2e_log "ok"
