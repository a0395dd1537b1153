/* level_overlap.h: how much of one level is another moved over: the squares two levels share. */
#pragma once

#include <cstdint>

#include "world/map_parser.h"

/* The squares of one level as the overlap compares them. */
struct LevelSquares {
    int32_t count;
    MapSquareLine squares[MAP_SQUARE_LIMIT];
};

/* Reads the squares of the NUL-terminated map text into *out. Returns false when the map has
   no squares to compare (a fault before or among them). */
bool read_level_squares(const char *map_text, LevelSquares *out);

/* The most squares of `a` that stand in `b` too (same height, texture and content) when `a` is
   moved by some whole number of columns and rows. */
int32_t shared_squares(const LevelSquares &a, const LevelSquares &b);

/* shared_squares as a share of the smaller level's squares, 0 to 1 (0 when either is empty). */
double shared_share(const LevelSquares &a, const LevelSquares &b);
