/* tile_grid.cpp: which square lies under a world point, and who may move from square to square. */
#include "world/tile_grid.h"

#include <cstdint>
#include <cstring>

#include "world/map_parser.h"

namespace {

enum {
    GRID_SIDE = MAP_COLUMN_LIMIT + 1,   /* the columns and rows a map file can name */
    CELL_FREE = -1,                     /* an unused slot of the index */
    CELL_SHARED = -2                    /* more than one square: the list order decides */
};

static_assert(TILE_INDEX_SLOTS >= 2 * MAP_TILE_CAPACITY, "the index keeps slots free");

int grid_index(fixed coordinate)
{
    return tile_grid_index(coordinate);
}

bool on_grid(int column, int row)
{
    return column >= 0 && column < GRID_SIDE && row >= 0 && row < GRID_SIDE;
}

/* The slot of the index that holds `cell`, or the free slot where it would go. */
inline int index_slot(const TileIndex &index, int32_t cell)
{
    uint32_t slot = ((uint32_t)cell * 0x9E3779B1u) >> 23;      // 512 slots
    while (index.cells[slot] != cell && index.cells[slot] != CELL_FREE)
        slot = (slot + 1) & (TILE_INDEX_SLOTS - 1);
    return (int)slot;
}

const MapTile *first_tile_on(const World &w, int column, int row)
{
    for (int i = 0; i < w.map.tile_count; i++) {
        const MapTile *tile = &w.map.tiles[i];
        if (tile->x == column && tile->z == row)
            return tile;
    }
    return nullptr;
}

const MapTile *last_tile_on_list(const World &w, int column, int row)
{
    for (int i = w.map.tile_count - 1; i >= 0; i--) {
        const MapTile *tile = &w.map.tiles[i];
        if (tile->x == column && tile->z == row)
            return tile;
    }
    return nullptr;
}

/* The cell's entry: the list index of its one square, CELL_FREE when it has none, CELL_SHARED
   when it has several or when there is no index to ask (then the list is searched). */
inline int cell_entry(const World &w, int column, int row)
{
    if (w.tile_index.indexed_count != w.map.tile_count)
        return CELL_SHARED;
    const TileIndex &index = w.tile_index;
    if (index.window_width > 0) {
        // Every square lies in the window: a cell outside it, on the grid or not, has none.
        const uint32_t c = (uint32_t)(column - index.window_column);
        const uint32_t r = (uint32_t)(row - index.window_row);
        if (c >= (uint32_t)index.window_width || r >= (uint32_t)index.window_height)
            return CELL_FREE;
        return index.window[r * (uint32_t)index.window_width + c];
    }
    if (!on_grid(column, row))
        return CELL_FREE;   // every indexed square lies on the grid
    const int32_t cell = row * GRID_SIDE + column;
    const int slot = index_slot(w.tile_index, cell);
    return w.tile_index.cells[slot] == CELL_FREE ? (int)CELL_FREE : (int)w.tile_index.tiles[slot];
}

} // namespace

void index_tiles(World &w)
{
    TileIndex &index = w.tile_index;
    std::memset(index.cells, 0xff, sizeof index.cells);     // every slot CELL_FREE
    std::memset(index.tiles, 0, sizeof index.tiles);
    std::memset(index.window, 0xff, sizeof index.window);   // every cell CELL_FREE
    index.window_column = index.window_row = index.window_width = index.window_height = 0;
    index.indexed_count = -1;
    int first_column = GRID_SIDE, first_row = GRID_SIDE, last_column = -1, last_row = -1;
    for (int i = 0; i < w.map.tile_count; i++) {
        const MapTile &tile = w.map.tiles[i];
        if (!on_grid(tile.x, tile.z))
            return;     // no index: every lookup searches the list
        first_column = tile.x < first_column ? tile.x : first_column;
        last_column = tile.x > last_column ? tile.x : last_column;
        first_row = tile.z < first_row ? tile.z : first_row;
        last_row = tile.z > last_row ? tile.z : last_row;
    }
    const int width = last_column - first_column + 1, height = last_row - first_row + 1;
    const bool windowed = w.map.tile_count > 0 && width * height <= TILE_WINDOW_CELLS;
    for (int i = 0; i < w.map.tile_count; i++) {
        const MapTile &tile = w.map.tiles[i];
        int16_t *entry;
        if (windowed) {
            entry = &index.window[(tile.z - first_row) * width + tile.x - first_column];
        } else {
            const int32_t cell = tile.z * GRID_SIDE + tile.x;
            const int slot = index_slot(index, cell);
            entry = &index.tiles[slot];
            if (index.cells[slot] == CELL_FREE)
                *entry = CELL_FREE;
            index.cells[slot] = cell;
        }
        *entry = *entry == CELL_FREE ? (int16_t)i : (int16_t)CELL_SHARED;
    }
    if (windowed) {
        index.window_column = first_column;
        index.window_row = first_row;
        index.window_width = width;
        index.window_height = height;
    }
    index.indexed_count = w.map.tile_count;
}

void drop_tile_index(World &w)
{
    w.tile_index.indexed_count = -1;
}

const MapTile *tile_at_listed(const World &w, fixed x, fixed z)
{
    const int column = grid_index(x);
    const int row = grid_index(z);
    const int entry = cell_entry(w, column, row);
    if (entry >= 0)
        return &w.map.tiles[entry];
    return entry == CELL_FREE ? nullptr : first_tile_on(w, column, row);
}

const MapTile *last_tile_on_listed(const World &w, int column, int row)
{
    const int entry = cell_entry(w, column, row);
    if (entry >= 0)
        return &w.map.tiles[entry];
    return entry == CELL_FREE ? nullptr : last_tile_on_list(w, column, row);
}

int tile_serial_at(const World &w, fixed x, fixed z)
{
    const MapTile *tile = tile_at(w, x, z);
    return tile ? tile->serial : -1;
}

int can_slide_to(const World &w, fixed x0, fixed z0, fixed x1, fixed z1)
{
    const MapTile *target = tile_at(w, x1, z1);
    if (!target)
        return 0;
    const MapTile *origin = tile_at(w, x0, z0);
    if (!origin)
        return 0;
    return target->height <= origin->height ? 1 : 0;
}

int can_move_to(const World &w, fixed x0, fixed z0, fixed x1, fixed z1)
{
    const MapTile *target = tile_at(w, x1, z1);
    if (!target)
        return 1;
    const MapTile *origin = tile_at(w, x0, z0);
    if (!origin)
        return 0;
    return target->height <= origin->height + 2 ? 1 : 0;
}

int cangoto(const World &w, fixed x0, fixed z0, fixed x1, fixed z1)
{
    return tile_at(w, x1, z1) ? 1 : 0;
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
