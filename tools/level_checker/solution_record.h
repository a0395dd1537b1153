/* solution_record.h: writes a level's solution as a replay the tests play back. */
#pragma once

#include <cstdio>

#include "search/level_search.h"

/* Plays the solution in *result once more from the level's start through the world driver and
   writes it to `out`: the ticks per frame, each move code with the frame it is typed on, and a
   trace of the outcome (robot square, sweets eaten, level lost, level completed) on every frame
   where it changes, up to the frame the level is completed. `map_name` is the map file's name
   and `level_name` the level's, both for the heading comment. Returns 1 when the replay
   completed the level, 0 when it did not (then the file says so and is no proof). Called by the
   level checker's --record. */
int write_solution(FILE *out, const char *map_text, const char *map_name, const char *level_name,
                   int32_t ticks_per_frame, const SearchResult &result);
