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
    int32_t depth_key;      /* renderer's scratch: its sorting key */
    int32_t visible;        /* renderer's scratch mark */
    int32_t serial;         /* 1-based place in the map file; names the square, never 0 */
};

/* The level's squares. The renderer reorders `tiles` in place every frame, so a square is named
   by its serial, never by its index, and start_tile is only meaningful before the first frame. */
struct LevelMap {
    MapTile tiles[MAP_TILE_CAPACITY];
    int32_t tile_count;
    char level_name[LEVEL_NAME_SIZE];
    int32_t level_code;     /* line 3 of the map file; kept, never used by a rule */
    MapTile *start_tile;    /* the square of the player's start, or none */
    int32_t start_dir;      /* player's start direction in 1/256 turns */
};

/* The one level being played; filled by load_map. */
extern LevelMap level_map;
