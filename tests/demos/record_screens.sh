# record_screens.sh GAME_DIR OUT_DIR: records screens.demo, the game as it looks: shipped level 11
# (every kind of actor) played as level 1 with a screenshot (F12) after each of the view's
# switches: the four cameras, the light and shading modes, the map panel, the key card and the
# viewport sizes. Writes OUT_DIR/screens.demo and OUT_DIR/screens.sums, the sha256 of each
# screenshot, which the test screens_demo.sh compares a playback with. Run it again only when a
# change is meant to alter the picture, and say so in its commit.

out=$(cd "$2" && pwd)
source "$(dirname "$0")/../e2e/lib/harness.bash"
source "$(dirname "$0")/../e2e/lib/play.bash"
e2e_setup "$1"
rm -f "$E2E_GAME"/maps/*.txt
cp "$(dirname "$0")/../../assets/maps/map11.txt" "$E2E_GAME/maps/map01.txt"
demo="$E2E_TMP/screens.demo"
e2e_boot_to_menu -record "$demo"
e2e_key 1
e2e_enter_level 1
e2e_wait_still 30
shot() { e2e_key "$@" F12; }
shot
# The first steps of the level's recorded solution: the robot stays on its squares.
e2e_key shift+Left shift+Left shift+Left Up Up Up
e2e_wait_still 30
shot
for i in 1 2 3; do shot F6; done
e2e_key F6
for i in 1 2 3; do shot F7; done
e2e_key F7
for i in 1 2 3; do shot F8; done
e2e_key F8
shot m
e2e_key m
shot F1
e2e_key F1
for i in 1 2 3; do shot F4; done
e2e_key F4
e2e_key shift+Left Up
e2e_wait_still 30
shot
e2e_hold Escape 0.3
e2e_wait_select 20 1
e2e_quit_from_select
count=$(ls "$E2E_GAME"/screen*.bmp | wc -l)
[ "$count" = 17 ] || e2e_fail "$count screenshots, not 17"
cp "$demo" "$out/screens.demo"
cp "$E2E_GAME"/screen*.bmp "$out/"
(cd "$E2E_GAME" && sha256sum screen*.bmp) >"$out/screens.sums"
e2e_log "recorded $count screenshots"
