# play_levels.sh: from the main menu into the first test level, eat the sweet, enter the
# teleport and confirm: "tirvex.sav" holds its 20 bytes; the second level kills the robot on a
# mine, Space restarts it, and completing it, the last map, shows the end screen.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
e2e_play_first_level play_walk play_mine
e2e_key Up Up
e2e_wait_completed 20
e2e_confirm_to_select 2
e2e_expect_save 01000000000000000000

# Level 2: the mine straight ahead; the lost level ignores the arrows until Space restarts it.
e2e_enter_level 2
e2e_key Up
e2e_wait_dead 20
e2e_key Right Up Up
e2e_hold space 0.3
e2e_key Right Up Up
e2e_wait_completed 20
e2e_hold space 0.3
e2e_wait_end 30
e2e_expect_save 01100000000000000000

# The key that ends the end screen goes on to the level select, which ignores it.
e2e_key space
e2e_wait_select 30 2
e2e_quit_from_select
