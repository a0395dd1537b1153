/* solution_record.h: writes a level's solution as a replay the tests play back. */
#pragma once

#include <cstdio>

#include "search/level_search.h"

/* Plays the solution in *result once more from the level's start through the world driver and
   writes it to `out`: the ticks per frame, each move code with the frame it is typed on, and a
   trace of the outcome (robot square, sweets eaten, level lost, level completed) on every frame
   where it changes, up to the frame the level is completed. `map_name` is the map file's name
   and `level_name` the level's, both for the heading comment. Returns 1 when the replay
   completed the level, 0 when it did not (then the file says so and is no proof). A map_hash
   other than 0 (map_text_hash of the map's text) is written on the second line, "# map hash
   HEX", so that the game takes the par from the file only for that map. Called by the level
   checker's --record and the level generator. */
int write_solution(FILE *out, const char *map_text, const char *map_name, const char *level_name,
                   int32_t ticks_per_frame, const SearchResult &result, uint64_t map_hash = 0);
