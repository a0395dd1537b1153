/* level_folder.h: a folder of levels as the game plays it (map01.txt, map02.txt, ...): which
   numbers it holds, the next free one, and moving a level to another number. */
#pragma once

#include <string>

enum { FOLDER_LEVEL_LIMIT = 99 };   /* map01.txt to map99.txt */

/* `dir`/mapNN.txt for level `number`. */
std::string folder_map_path(const std::string &dir, int number);

/* Splits `path` into its folder and, when its name is mapNN.txt with NN 01..99, that number.
   Returns the number, 0 for any other name (*dir is still the folder, "." for none). */
int folder_map_number(const std::string &path, std::string *dir);

/* Fills present[1..FOLDER_LEVEL_LIMIT] with whether `dir` holds that level's map as a regular
   file. Returns how many it holds. */
int folder_levels(const std::string &dir, bool present[FOLDER_LEVEL_LIMIT + 1]);

/* The level after (step 1) or before (step -1) `number` that `dir` holds, 0 when there is none. */
int folder_neighbour(const std::string &dir, int number, int step);

/* The first number from 1 on with no map in `dir`: the number a new level takes, so that the
   game, which plays the levels until the first one missing, reaches it. 0 when all are taken. */
int folder_next_free(const std::string &dir);

/* Gives level `from` of `dir` the number `to`, the levels between moving one number up or down
   to make room (moving 5 to 2 makes 2, 3, 4 into 3, 4, 5), through renumber_folder_level: every
   map whose name gets another file is first copied to its name with ~ appended, and a program
   stopped halfway loses no level (the folder's next opening finishes the renumbering). Both
   numbers must be levels the folder holds, and so every one between. Returns an empty string,
   or what went wrong, naming the file. Called by the editor's renumbering key. */
std::string folder_move_level(const std::string &dir, int from, int to);
