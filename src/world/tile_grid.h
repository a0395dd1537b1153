/* tile_grid.h: which square lies under a world point, and who may move from square to square. */
#pragma once

#include <allegro.h>
#include <cstdint>

#include "world/level_map.h"
#include "world/world.h"

/* Indexes w's squares by grid cell, so that the lookups below need not search the list.
   The map loader calls it once the list is filled; code that builds or edits the list by hand
   calls it again (until then the lookups search the list whenever its length differs from the
   indexed one). */
void index_tiles(World &w);

/* Forgets the index: the lookups search the list until index_tiles runs again. */
void drop_tile_index(World &w);

/* The square under world point (x, z), the first in the list's current order, or none.
   Column = trunc((x + 50) / 100) in real arithmetic, so points left of x = -50 (or above
   z = -50) still fall on column (row) 0 and negative columns are never found. */
inline const MapTile *tile_at(const World &w, fixed x, fixed z);

/* tile_at answered from the index's table or the list, for the cells the window does not
   answer alone (tile_at is the one to call). */
const MapTile *tile_at_listed(const World &w, fixed x, fixed z);

/* The grid column (or row) of world coordinate `coordinate`, as tile_at reckons it. */
inline int tile_grid_index(fixed coordinate)
{
    // Truncation toward zero, not rounding: the game's levels are laid out for exactly this.
    // The same as (int)((coordinate / 65536.0 + 50.0) / 100.0), in integers: the quotient of a
    // double never rounds up to the next whole number here, as it is at least 1/6553600 short.
    return (int)(((int64_t)coordinate + 50 * 65536) / (100 * 65536));
}

/* The entry of the index's window for cell (column, row): the list index of its one square, -1
   for none (a cell outside the window has none), -2 when the window cannot tell (a cell of
   several squares, or no window). */
inline int tile_window_entry(const World &w, int column, int row)
{
    const TileIndex &index = w.tile_index;
    if (index.indexed_count != w.map.tile_count || index.window_width <= 0)
        return -2;
    const uint32_t c = (uint32_t)(column - index.window_column);
    const uint32_t r = (uint32_t)(row - index.window_row);
    if (c >= (uint32_t)index.window_width || r >= (uint32_t)index.window_height)
        return -1;
    return index.window[r * (uint32_t)index.window_width + c];
}

/* Written in line: the search asks for squares hundreds of millions of times, and the window
   answers nearly all of them. */
inline const MapTile *tile_at(const World &w, fixed x, fixed z)
{
    const int entry = tile_window_entry(w, tile_grid_index(x), tile_grid_index(z));
    if (entry >= 0)
        return &w.map.tiles[entry];
    return entry == -1 ? nullptr : tile_at_listed(w, x, z);
}

/* tile_at for a world the caller may change (a blast scorches the square it finds). */
inline MapTile *tile_at(World &w, fixed x, fixed z)
{
    return const_cast<MapTile *>(tile_at(static_cast<const World &>(w), x, z));
}

/* The square at grid (column, row), the last in the list's current order, or none. Used by the
   floor probe, for which the last of several squares on one cell decides. */
inline const MapTile *last_tile_on(const World &w, int column, int row);

/* last_tile_on answered from the index's table or the list (last_tile_on is the one to call). */
const MapTile *last_tile_on_listed(const World &w, int column, int row);

inline const MapTile *last_tile_on(const World &w, int column, int row)
{
    const int entry = tile_window_entry(w, column, row);
    if (entry >= 0)
        return &w.map.tiles[entry];
    return entry == -1 ? nullptr : last_tile_on_listed(w, column, row);
}

/* The serial of the square under (x, z), or -1 when there is none. */
int tile_serial_at(const World &w, fixed x, fixed z);

/* 1 when an actor pushed from (x0, z0) may slide to (x1, z1): both points lie on squares and the
   target is not higher. Used by pushes and by the zipper's own moves. */
int can_slide_to(const World &w, fixed x0, fixed z0, fixed x1, fixed z1);

/* 1 when the player may step from (x0, z0) to (x1, z1): no square at the target (he may step off
   the grid and fall), or the target is at most 2 levels above the origin square. 0 when the
   origin has no square. */
int can_move_to(const World &w, fixed x0, fixed z0, fixed x1, fixed z1);

/* 1 when a square lies under (x1, z1). Shown in the player debug lines only. */
int cangoto(const World &w, fixed x0, fixed z0, fixed x1, fixed z1);

/* The quarter turn nearest heading `angle` (1/256 turns): 0 near 0, 1 near 64, 2 near 128, 3 near
   192; fills *column and *row with the square of point (x, z). Used by the world renderer for the
   camera's heading and eye. */
int view_quadrant_and_tile(fixed angle, fixed x, fixed z, int *column, int *row);
