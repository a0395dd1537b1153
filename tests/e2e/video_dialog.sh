# video_dialog.sh: menu choice 3 opens the video mode dialog; cancelling it returns to the menu
# and leaves "wvideo.cfg" as it was.
source "$(dirname "$0")/lib/harness.bash"
e2e_setup "$1"
printf '2 640 480\n' >"$E2E_GAME/wvideo.cfg"
cp "$E2E_GAME/wvideo.cfg" "$E2E_TMP/wvideo.before"
e2e_boot_to_menu

e2e_key 3
e2e_wait_dialog 20
e2e_key Escape
e2e_wait_menu_again 20
cmp -s "$E2E_GAME/wvideo.cfg" "$E2E_TMP/wvideo.before" || e2e_fail "wvideo.cfg changed"

e2e_key Escape
e2e_expect_exit 0
cmp -s "$E2E_GAME/wvideo.cfg" "$E2E_TMP/wvideo.before" || e2e_fail "wvideo.cfg changed"
e2e_log "ok"
