/* squares.cpp: building, sorting and drawing the faces of the level's squares. */
#include "render/squares.h"

#include "render/actor_drawing.h"
#include "render/polygon_drawing.h"
#include "base/fatal.h"
#include "render/colour_tables.h"
#include "world/world.h"

namespace {

/* Light of each face as the light-source modes show it: the top and sides 0 to 3. */
const int TOP_LIGHT = 128;
const int SIDE_LIGHT[4] = {128, 0, 128, 255};

/* Top edge of each side, from corner to corner, in half-squares from the centre. */
const int SIDE_EDGE[4][2][2] = {
    {{1, 1}, {-1, 1}},
    {{-1, 1}, {-1, -1}},
    {{-1, -1}, {1, -1}},
    {{1, -1}, {1, 1}},
};

fixed world_coordinate(int cell, int half_step)
{
    return ftofix((cell + 0.5 * half_step) * 100.0);
}

void set_corner(V3D &v, fixed x, fixed y, fixed z, int u, int tv)
{
    v.x = x;
    v.y = y;
    v.z = z;
    v.u = itofix(u);
    v.v = itofix(tv);
    v.c = 0;
}

BITMAP *top_texture(const MapTile &tile)
{
    const int t = (tile.texture >= 0 && tile.texture < 4) ? tile.texture : 0;
    return texture_table[t];
}

} // namespace

void build_tile_top(int column, float top, int row, Polygon *polygon)
{
    game_assert(polygon->vtx && polygon->capacity >= 4);
    const fixed y = ftofix(top * 10.0);
    const fixed x0 = world_coordinate(column, 1), x1 = world_coordinate(column, -1);
    const fixed z0 = world_coordinate(row, 1), z1 = world_coordinate(row, -1);
    set_corner(polygon->vtx[0], x0, y, z0, 0, 0);
    set_corner(polygon->vtx[1], x1, y, z0, 128, 0);
    set_corner(polygon->vtx[2], x1, y, z1, 128, 128);
    set_corner(polygon->vtx[3], x0, y, z1, 0, 128);
    polygon->count = 4;
}

void build_tile_side(int column, float top, int row, int side, int depth, Polygon *polygon)
{
    game_assert(polygon->vtx && polygon->capacity >= 4);
    game_assert(side >= 0 && side < 4);
    const fixed y_top = ftofix(top * 10.0);
    const fixed y_bottom = ftofix((depth + top) * 10.0);
    const int (*edge)[2] = SIDE_EDGE[side];
    const fixed ax = world_coordinate(column, edge[0][0]), az = world_coordinate(row, edge[0][1]);
    const fixed bx = world_coordinate(column, edge[1][0]), bz = world_coordinate(row, edge[1][1]);
    set_corner(polygon->vtx[0], ax, y_top, az, 0, 0);
    set_corner(polygon->vtx[1], bx, y_top, bz, 255, 0);
    set_corner(polygon->vtx[2], bx, y_bottom, bz, 255, 15 * depth);
    set_corner(polygon->vtx[3], ax, y_bottom, az, 0, 15 * depth);
    polygon->count = 4;
}

void draw_tile_side(BITMAP *bitmap, const MapTile *tile, int side, const MATRIX *camera_matrix,
                    const ClipPlane *planes, int plane_count)
{
    const int depth = tile->side_depth[side];
    if (depth == 0)
        return;
    V3D in_vertices[SQUARE_POLYGON_VERTICES], out_vertices[SQUARE_POLYGON_VERTICES];
    Polygon in = {in_vertices, 0, SQUARE_POLYGON_VERTICES};
    Polygon out = {out_vertices, 0, SQUARE_POLYGON_VERTICES};
    build_tile_side(tile->x, (float)-tile->height, tile->z, side, depth, &in);
    if (!clip_polygon(planes, plane_count, &in, &out))
        return;
    transform_polygon(camera_matrix, &out);
    project_polygon(&out);
    draw_polygon(bitmap, &out, texture_table[3], cached_makecol(0, 128, 0), SIDE_LIGHT[side]);
}

void sort_tiles(const World &w, int eye_column, int eye_row, SquareOrder *order)
{
    int n = w.map.tile_count;
    if (n > MAP_TILE_CAPACITY)
        n = MAP_TILE_CAPACITY;
    if (order->count != n || order->starts != w.starts) {
        for (int i = 0; i < n; i++)
            order->tiles[i] = (int16_t)i;
        order->count = n;
        order->starts = w.starts;
    }
    int16_t *tiles = order->tiles;
    int32_t *keys = order->keys;
    for (int i = 0; i < n; i++) {
        const MapTile &tile = w.map.tiles[tiles[i]];
        const int dx = tile.x - eye_column, dz = tile.z - eye_row;
        keys[i] = dx * dx + dz * dz;
    }
    /* The order is nearly right from the previous frame, so an insertion sort does little work;
       it is stable, so squares at equal distance do not swap places from frame to frame (which
       would make overlapping ones flicker), and it needs no memory of its own. */
    for (int i = 1; i < n; i++) {
        if (keys[i] <= keys[i - 1])
            continue;
        const int16_t moving = tiles[i];
        const int32_t key = keys[i];
        int j = i;
        while (j > 0 && keys[j - 1] < key) {
            tiles[j] = tiles[j - 1];
            keys[j] = keys[j - 1];
            j--;
        }
        tiles[j] = moving;
        keys[j] = key;
    }
}

SideOrder side_order(int quadrant)
{
    game_assert(quadrant >= 0 && quadrant < 4);
    return SideOrder{(quadrant + 2) % 4, (quadrant + 1) % 4, (quadrant + 3) % 4};
}

int side_visible_right(int quadrant, int column, int row, int eye_column, int eye_row)
{
    switch (quadrant) {
    case 0: return column > eye_column;
    case 1: return row > eye_row;
    case 2: return column < eye_column;
    case 3: return row < eye_row;
    }
    assert_failed(__LINE__, __FILE__);
}

int side_visible_left(int quadrant, int column, int row, int eye_column, int eye_row)
{
    switch (quadrant) {
    case 0: return column < eye_column;
    case 1: return row < eye_row;
    case 2: return column > eye_column;
    case 3: return row > eye_row;
    }
    assert_failed(__LINE__, __FILE__);
}

int draw_squares(BITMAP *bitmap, const World &w, const SquareOrder &order, const Camera *camera,
                 const ClipPlane *planes, int plane_count, int quadrant, int eye_column,
                 int eye_row, int *visible)
{
    const SideOrder sides = side_order(quadrant);
    const int top_colour = cached_makecol(0, 0, 128);
    V3D in_vertices[SQUARE_POLYGON_VERTICES], out_vertices[SQUARE_POLYGON_VERTICES];
    Polygon in = {in_vertices, 0, SQUARE_POLYGON_VERTICES};
    Polygon out = {out_vertices, 0, SQUARE_POLYGON_VERTICES};
    int drawn = 0;
    *visible = 0;
    for (int i = 0; i < order.count; i++) {
        const MapTile &tile = w.map.tiles[order.tiles[i]];
        build_tile_top(tile.x, (float)-tile.height, tile.z, &in);
        if (clip_polygon(planes, plane_count, &in, &out)) {
            ++*visible;
            draw_tile_side(bitmap, &tile, sides.facing, &camera->matrix, planes, plane_count);
            if (side_visible_right(quadrant, tile.x, tile.z, eye_column, eye_row))
                draw_tile_side(bitmap, &tile, sides.first_lateral, &camera->matrix, planes, plane_count);
            if (side_visible_left(quadrant, tile.x, tile.z, eye_column, eye_row))
                draw_tile_side(bitmap, &tile, sides.second_lateral, &camera->matrix, planes, plane_count);
            transform_polygon(&camera->matrix, &out);
            project_polygon(&out);
            draw_polygon(bitmap, &out, top_texture(tile), top_colour, TOP_LIGHT);
        }
        drawn += draw_tile_actors(w, bitmap, tile.serial, camera, planes, plane_count);
    }
    return drawn;
}
