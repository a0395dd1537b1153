/* map_file.h: loading a level file into the square list and the actor table. */
#pragma once

#include <cstddef>
#include <cstdint>

#include "world/level_map.h"
#include "world/world.h"

enum {
    MAP_FAULT_SIZE = 256,       /* why a map file could not be read: the path and the reason */
    MAP_SIZE_LIMIT = 16 << 20   /* a longer file is refused unread: far beyond any real map */
};

/* Loads the level file at `path` into w's square list, appending the level's actors to w's actor
   table (the caller empties it first). Resets the sweet counts, counts the sweets and sets the level clock to the
   file's minutes. Returns the number of squares, or 0 when the file cannot be opened or is not a
   regular file (then only the sweet counts have changed, and open_fault says why: the path and
   the reason, "maps//map07.txt: not a regular file"). A broken
   file ends the program through check with the fixed message on the page, and the file, the
   line and what is wrong there in error.log and on standard error. Called only by start_level. */
int load_map(World &w, const char *path, char open_fault[MAP_FAULT_SIZE]);

/* load_map over `length` bytes of map text instead of a file. Used by start_level_from_text. */
int load_map_text(World &w, const char *text, size_t length);

/* Reads the first three lines of the level file at `path`: the level's name into `name` (at most
   38 characters) and the level code. Returns 0 when the file cannot be opened or is not a regular
   file (a directory in a map's place ends the level list like a missing map), else 1. Used by the
   level list and the save step. When given, open_fault (MAP_FAULT_SIZE bytes) says why a 0. */
int read_level_header(const char *path, char name[LEVEL_NAME_SIZE], int *level_code,
                      char *open_fault = nullptr);
