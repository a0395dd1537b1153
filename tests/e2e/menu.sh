# menu.sh: past the credits key the main menu appears, idles cheaply, ignores other keys, comes
# back after every choice, and Esc ends the program with status 0.
source "$(dirname "$0")/lib/harness.bash"
source "$(dirname "$0")/lib/play.bash"
e2e_setup "$1"
e2e_boot_to_menu

cpu=$(e2e_cpu_percent 4)
e2e_log "idle in the main menu: ${cpu}% of a core"
# The menu waits between looks at the keyboard: a few percent of a core. A loop that spins
# takes the whole core, or half of it on a machine kept busy; the bound lies far from both, so
# a busy machine, which adds switches to the menu's few, does not fail it (it did at 5 %).
[ "$cpu" -lt 25 ] || e2e_fail "the idle menu uses ${cpu}% of a core"

e2e_key x Return a
e2e_stays_menu 1 || e2e_fail "a key other than Esc, 1, 2, 3 left the menu"

# 2: the cast screen, Esc to the key help page, which one more key leaves.
e2e_open_cast
e2e_key Escape
e2e_help_to_menu

# 1: play; Esc in the level select comes back to the menu.
e2e_key 1
e2e_wait_select 20 1
e2e_key Escape
e2e_wait_menu_again 20
e2e_stays_menu 1 || e2e_fail "the menu did not stay after play returned"

e2e_quit_from_menu
