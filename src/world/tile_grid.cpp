/* tile_grid.cpp: which square lies under a world point, and who may move from square to square. */
#include "world/tile_grid.h"

#include <cstdint>
#include <cstring>

#include "world/map_parser.h"

LevelMap level_map;

namespace {

enum {
    GRID_SIDE = MAP_COLUMN_LIMIT + 1,   /* the columns and rows a map file can name */
    CELL_EMPTY = -1,
    CELL_SHARED = -2                    /* more than one square: the list order decides */
};

/* For each cell of the grid, the list index of its one square, or CELL_EMPTY or CELL_SHARED.
   The renderer reorders the list, so an index is checked before use and mended when stale;
   that it is empty or shared does not change with the order. */
int16_t grid_cells[GRID_SIDE * GRID_SIDE];
int32_t indexed_count = -1;             /* tile_count when indexed; -1 when there is no index */

int grid_index(fixed coordinate)
{
    // Truncation toward zero, not rounding: the game's levels are laid out for exactly this.
    // The same as (int)((coordinate / 65536.0 + 50.0) / 100.0), in integers: the quotient of a
    // double never rounds up to the next whole number here, as it is at least 1/6553600 short.
    return (int)(((int64_t)coordinate + 50 * 65536) / (100 * 65536));
}

bool on_grid(int column, int row)
{
    return column >= 0 && column < GRID_SIDE && row >= 0 && row < GRID_SIDE;
}

MapTile *first_tile_on(int column, int row)
{
    for (int i = 0; i < level_map.tile_count; i++) {
        MapTile *tile = &level_map.tiles[i];
        if (tile->x == column && tile->z == row)
            return tile;
    }
    return nullptr;
}

/* The cell's entry when the index holds the list as it is, else nullptr: then search the list. */
int16_t *indexed_cell(int column, int row)
{
    static int16_t empty = CELL_EMPTY;
    if (indexed_count != level_map.tile_count)
        return nullptr;
    if (!on_grid(column, row))
        return &empty;      // every indexed square lies on the grid
    return &grid_cells[row * GRID_SIDE + column];
}

/* The one square of an indexed cell, mending the entry if the list was reordered. */
MapTile *sole_tile(int16_t *cell, int column, int row)
{
    MapTile *tile = &level_map.tiles[*cell];
    if (*cell < level_map.tile_count && tile->x == column && tile->z == row)
        return tile;
    tile = first_tile_on(column, row);
    *cell = (int16_t)(tile - level_map.tiles);
    return tile;
}

} // namespace

void index_tiles()
{
    std::memset(grid_cells, 0xff, sizeof grid_cells);   // every cell CELL_EMPTY
    indexed_count = -1;
    for (int i = 0; i < level_map.tile_count; i++) {
        const MapTile &tile = level_map.tiles[i];
        if (!on_grid(tile.x, tile.z))
            return;     // no index: every lookup searches the list
        int16_t &cell = grid_cells[tile.z * GRID_SIDE + tile.x];
        cell = cell == CELL_EMPTY ? (int16_t)i : (int16_t)CELL_SHARED;
    }
    indexed_count = level_map.tile_count;
}

void drop_tile_index()
{
    indexed_count = -1;
}

MapTile *tile_at(fixed x, fixed z)
{
    int column = grid_index(x);
    int row = grid_index(z);
    // The common case first, in line: an indexed cell of one square that is where it was.
    if (indexed_count == level_map.tile_count && on_grid(column, row)) {
        const int16_t entry = grid_cells[row * GRID_SIDE + column];
        if (entry == CELL_EMPTY)
            return nullptr;
        if (entry >= 0 && entry < level_map.tile_count) {
            MapTile *tile = &level_map.tiles[entry];
            if (tile->x == column && tile->z == row)
                return tile;
        }
    }
    int16_t *cell = indexed_cell(column, row);
    if (!cell || *cell == CELL_SHARED)
        return first_tile_on(column, row);
    return *cell == CELL_EMPTY ? nullptr : sole_tile(cell, column, row);
}

const MapTile *last_tile_on(int column, int row)
{
    int16_t *cell = indexed_cell(column, row);
    if (cell && *cell == CELL_EMPTY)
        return nullptr;
    if (cell && *cell >= 0)
        return sole_tile(cell, column, row);
    for (int i = level_map.tile_count - 1; i >= 0; i--) {
        const MapTile *tile = &level_map.tiles[i];
        if (tile->x == column && tile->z == row)
            return tile;
    }
    return nullptr;
}

int tile_serial_at(fixed x, fixed z)
{
    MapTile *tile = tile_at(x, z);
    return tile ? tile->serial : -1;
}

int can_slide_to(fixed x0, fixed z0, fixed x1, fixed z1)
{
    MapTile *target = tile_at(x1, z1);
    if (!target)
        return 0;
    MapTile *origin = tile_at(x0, z0);
    if (!origin)
        return 0;
    return target->height <= origin->height ? 1 : 0;
}

int can_move_to(fixed x0, fixed z0, fixed x1, fixed z1)
{
    MapTile *target = tile_at(x1, z1);
    if (!target)
        return 1;
    MapTile *origin = tile_at(x0, z0);
    if (!origin)
        return 0;
    return target->height <= origin->height + 2 ? 1 : 0;
}

int cangoto(fixed x0, fixed z0, fixed x1, fixed z1)
{
    return tile_at(x1, z1) ? 1 : 0;
}

int view_quadrant_and_tile(fixed angle, fixed x, fixed z, int *column, int *row)
{
    angle += angle > 0 ? itofix(32) : -itofix(32);
    int quadrant = fixtoi(angle) / 64;
    while (quadrant < 0)
        quadrant += 4;
    quadrant %= 4;
    *column = (int)((fixtoi(x) + 50) / 100.0);
    *row = (int)((fixtoi(z) + 50) / 100.0);
    return quadrant;
}
