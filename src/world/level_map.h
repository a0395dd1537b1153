/* level_map.h: the squares of the level (MapTile) and the list that holds them (LevelMap). */
#pragma once

#include <cstdint>

enum {
    MAP_TILE_CAPACITY = 200,    /* records in the list; a map uses at most 199 */
    MAP_MAX_SQUARES = 199,
    LEVEL_NAME_SIZE = 40        /* 38 characters, a terminator and a spare byte */
};

/* One square floor tile. Centred on world (100 x, 100 z), its top at world y = -10 height. */
struct MapTile {
    int32_t x;              /* grid column */
    int32_t height;         /* height level of the top; larger is higher */
    int32_t z;              /* grid row */
    int32_t texture;        /* 0..3 into the renderer's texture table; 1 once scorched */
    int32_t side_depth[4];  /* levels reached down by the faces on the +z, -x, -z, +x edges; 0 none */
    int32_t serial;         /* 1-based place in the map file; names the square, never 0 */
};

/* The level's squares, in the map file's order. A square is named by its serial (the undo history
   and the search compare records, not places). */
struct LevelMap {
    MapTile tiles[MAP_TILE_CAPACITY];
    int32_t tile_count;
    char level_name[LEVEL_NAME_SIZE];
    int32_t level_code;     /* line 3 of the map file; kept, never used by a rule */
    int32_t start_index;    /* list index of the square of the player's start, or -1 */
    int32_t start_dir;      /* player's start direction in 1/256 turns */
};

