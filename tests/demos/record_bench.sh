# record_bench.sh GAME_DIR OUT_DIR: records bench.demo, the paced play make bench measures at
# each picture factor (tools/bench/scale_bench.sh): shipped level 15 played as level 1, the robot
# turning on its square a quarter turn at a time with the camera behind it, so the whole view
# changes through most frames, for at least 1,250 frames (the one kept has 1,517: 25 s at the
# 60 frames a second play is paced at without a refresh rate) and then
# Esc. Turning in place is safe anywhere, and the level's two minutes are far off. Writes
# OUT_DIR/bench.demo; playing it back needs the same map as level 1, as the script does.

out=$(cd "$2" && pwd)
source "$(dirname "$0")/../e2e/lib/harness.bash"
source "$(dirname "$0")/../e2e/lib/play.bash"
e2e_setup "$1"
rm -f "$E2E_GAME"/maps/*.txt
cp "$(dirname "$0")/../../assets/maps/map15.txt" "$E2E_GAME/maps/map01.txt"
demo="$E2E_TMP/bench.demo"
e2e_boot_to_menu -record "$demo"
e2e_key 1
e2e_enter_level 1
_long_enough() {
    [ "$(grep -c '^f ' "$demo")" -ge 1250 ] && return 0
    xdotool key --delay 250 Left Left Right Left Right Right
    return 1
}
e2e_poll 120 _long_enough || e2e_fail "the demo did not reach 1,250 frames in 120 s"
e2e_hold Escape 0.3
e2e_wait_select 20 1
e2e_quit_from_select
cp "$demo" "$out/bench.demo"
e2e_log "recorded $(grep -c '^f ' "$demo") frames"
