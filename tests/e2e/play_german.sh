# play_german.sh: the game speaks the player's language. Chosen by LANGUAGE under a German
# locale, the credits are German; chosen by --language, level 1 shows its German title, a key's
# German message, the pause's German lines and the key card's German heading. Each is found on
# the screen as the font it is drawn in draws it.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"

# The credits are written before the datafile is read: in the library's font, a letter a cell.
E2E_PROGRAM="env LANGUAGE=de LC_MESSAGES=de_DE.UTF-8 ./tirvex" e2e_start
e2e_wait_window 20
e2e_wait_text 20 -1/8 "Programmiert von Maren Holt"
kill -TERM "$E2E_PID"
e2e_wait_exit 10

e2e_boot_to_menu --language de
e2e_key 1
e2e_enter_level 1
e2e_wait_text 10 11 "Level 1: Erste Schritte"
e2e_key l
e2e_wait_text 10 10 "Kartenhöhen an"
e2e_key p
e2e_wait_text 10 11 "Pause"
e2e_wait_text 10 10 "Weiter mit jeder Taste"
e2e_key space
e2e_wait_play 10
e2e_key F1
e2e_wait_text 10 11 "Dieses Level"
e2e_leave_level
