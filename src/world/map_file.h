/* map_file.h: loading a level file into the square list and the actor table. */
#pragma once

#include <cstddef>
#include <cstdint>

#include "world/level_map.h"

/* Loads the level file at `path` into `map`, which must be level_map (the actors are placed
   through the tile queries on it), appending the level's actors to the actor table (the caller
   empties it first). Resets the sweet counts, counts the sweets and sets the level clock to the
   file's minutes. Returns the number of squares, or 0 when the file cannot be opened or is not a
   regular file (then only the sweet counts have changed, and map_open_fault says why). A broken
   file ends the program through check with the fixed message on the page, and the file, the
   line and what is wrong there in error.log and on standard error. Called only by start_level. */
int load_map(const char *path, LevelMap *map);

/* Why the last load_map or read_level_header that returned 0 found nothing to read: the path
   and the reason ("maps//map07.txt: not a regular file"). */
const char *map_open_fault();

/* load_map over `length` bytes of map text instead of a file. Used by start_level_from_text. */
int load_map_text(const char *text, size_t length, LevelMap *map);

/* Reads the first three lines of the level file at `path`: the level's name into `name` (at most
   38 characters) and the level code. Returns 0 when the file cannot be opened or is not a regular
   file (a directory in a map's place ends the level list like a missing map), else 1. Used by the
   level list and the save step. */
int read_level_header(const char *path, char name[LEVEL_NAME_SIZE], int *level_code);
