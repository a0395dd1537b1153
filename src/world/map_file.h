/* map_file.h: loading a level file into the square list and the actor table. */
#pragma once

#include <cstddef>
#include <cstdint>

#include "world/level_map.h"

/* Loads the level file at `path` into `map`, which must be level_map (the actors are placed
   through the tile queries on it), appending the level's actors to the actor table (the caller
   empties it first). Resets the sweet counts, counts the sweets and sets the level clock to the
   file's minutes. Returns the number of squares, or 0 when the file cannot be opened (then only
   the sweet counts have changed). A broken file ends the program through check with a message
   naming the fault. Called only by start_level. */
int load_map(const char *path, LevelMap *map);

/* load_map over `length` bytes of map text instead of a file. Used by start_level_from_text. */
int load_map_text(const char *text, size_t length, LevelMap *map);

/* Reads the first three lines of the level file at `path`: the level's name into `name` (at most
   38 characters) and the level code. Returns 0 when the file cannot be opened, else 1. Used by
   the level list and the save step. */
int read_level_header(const char *path, char name[LEVEL_NAME_SIZE], int *level_code);
