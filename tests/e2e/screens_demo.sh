# screens_demo.sh: the game looks as it did when tests/demos/screens.demo was recorded. Played
# back, the demo (shipped level 11 as level 1, the four cameras, the light and shading modes, the
# map panel, the key card and the viewport sizes, each caught by F12) gives screenshots
# byte for byte those of the recording, whose sha256 screens.sums keeps, and the same outcome.
# A change to the world, the renderer or the interface that alters a picture fails here; one
# meant to alter them records the demo again with tests/demos/record_screens.sh. The pictures
# hold the datafile's fonts, made from the installed DejaVu fonts: another version of those may
# ask for a new recording too.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
demos="$(cd "$(dirname "$0")/../demos" && pwd)"
e2e_setup "$1"
rm -f "$E2E_GAME"/maps/*.txt
cp "$(dirname "$0")/../../assets/maps/map11.txt" "$E2E_GAME/maps/map01.txt"

e2e_start -timedemo "$demos/screens.demo"
e2e_wait_exit 120
e2e_expect_status 0
grep -q "^level 1 (.*): left with Esc" "$E2E_GAME/out.txt" ||
    e2e_fail "the playback did not end as recorded: $(grep '^level' "$E2E_GAME/out.txt")"
(cd "$E2E_GAME" && sha256sum --quiet -c "$demos/screens.sums") >"$E2E_TMP/sums.txt" 2>&1 ||
    e2e_fail "screenshots differ from the recording's: $(tr '\n' ' ' <"$E2E_TMP/sums.txt")"
[ "$(ls "$E2E_GAME"/screen*.bmp | wc -l)" = "$(wc -l <"$demos/screens.sums")" ] ||
    e2e_fail "not as many screenshots as the recording's"
e2e_log "ok"
