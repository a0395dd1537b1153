/* tile_grid.cpp: which square lies under a world point, and who may move from square to square. */
#include "world/tile_grid.h"

LevelMap level_map;

namespace {

int grid_index(fixed coordinate)
{
    // Truncation toward zero, not rounding: the game's levels are laid out for exactly this.
    return (int)((coordinate / 65536.0 + 50.0) / 100.0);
}

} // namespace

MapTile *tile_at(fixed x, fixed z)
{
    int column = grid_index(x);
    int row = grid_index(z);
    for (int i = 0; i < level_map.tile_count; i++) {
        MapTile *tile = &level_map.tiles[i];
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
