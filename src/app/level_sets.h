/* level_sets.h: "Play my levels" with generated sets: the player's own levels and each set
   made by --generate, listed on the start-up console with what is completed, one chosen. */
#pragma once

#include <string>
#include <vector>

enum { LEVEL_SETS_SHOWN = 9 };  /* entries on the list: one key each, 1 to 9 */

/* A folder of levels the player can choose: the own levels or a generated set. */
struct LevelSet {
    std::string folder;     /* absolute path */
    std::string name;       /* "My levels", or the set's folder name ("generated-17") */
    long long made;         /* its map01.txt's modification time, in nanoseconds */
};

/* Finds the generated sets in the player's own folder of levels `own_levels` (absolute): the
   folders generated-* holding a map01.txt, newest map01.txt first (the higher seed first at
   the same time). Anything not a folder is passed over, and nothing is opened but the folder
   itself. Returns them; empty when there is none or the folder cannot be read. */
std::vector<LevelSet> find_level_sets(const char *own_levels);

/* Lists on the start-up console (the window is open) the own levels, when `own_levels` holds
   map01.txt, then the sets, at most LEVEL_SETS_SHOWN entries in all, each with its levels and
   how many are completed (its progress record read where the game keeps it, home_folder set;
   nothing is written; one that cannot be read counts none and says so), and waits for a
   number. Returns the chosen folder, or nullptr for Esc (or when the game is asked to end).
   The key that chose is released before it returns. Called by main for --levels without a
   folder. */
const char *choose_level_set(const char *own_levels, const std::vector<LevelSet> &sets);
