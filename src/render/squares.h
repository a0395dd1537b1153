/* squares.h: drawing the level's squares far to near: top faces, the sides that can face the eye. */
#pragma once

#include <allegro.h>

#include "render/camera.h"
#include "render/clipping.h"
#include "render/polygon.h"
#include "world/level_map.h"
#include "world/world.h"

/* The sides of a square that can face the eye from one quadrant: the side facing it and the two
   lateral ones (side numbers 0 +z, 1 -x, 2 -z, 3 +x). */
struct SideOrder {
    int facing;
    int first_lateral;      /* drawn when side_visible_right holds */
    int second_lateral;     /* drawn when side_visible_left holds */
};

/* Fills polygon (4 corners) with the top face of the square at (column, row) whose top lies at
   height level -top, with texel coordinates 0..128. The polygon must own a vertex array. */
void build_tile_top(int column, float top, int row, Polygon *polygon);

/* Fills polygon (4 corners) with side face `side` of that square, reaching `depth` levels down:
   two corners on the top edge, two straight below them; the texture runs 256 texels along the
   edge and 15 per level down. */
void build_tile_side(int column, float top, int row, int side, int depth, Polygon *polygon);

/* Clips, projects and draws side face `side` of tile, when its side depth is not 0. */
void draw_tile_side(BITMAP *bitmap, const MapTile *tile, int side, const MATRIX *camera_matrix,
                    const ClipPlane *planes, int plane_count);

/* The squares in drawing order, farthest first, as indices into the world's list, with the
   squared cell distance of each from the eye. Kept by the renderer from frame to frame: the order
   of the last frame is where the next sort starts, so squares at equal distance keep their order. */
struct SquareOrder {
    int16_t tiles[MAP_TILE_CAPACITY];
    int32_t keys[MAP_TILE_CAPACITY];
    int32_t count;
    int32_t starts;     /* the world's level start the order belongs to */
};

/* Gives every square its squared cell distance from (eye_column, eye_row) and sorts *order,
   farthest first. Equal distances keep their previous order; a new level start or a different
   number of squares starts again from the list's own order. The world is only read. */
void sort_tiles(const World &w, int eye_column, int eye_row, SquareOrder *order);

/* The facing and lateral sides for view quadrant 0..3 (assertion otherwise). */
SideOrder side_order(int quadrant);

/* 1 when the first (right) or second (left) lateral side of the square at (column, row) can face
   an eye in cell (eye_column, eye_row) looking into `quadrant`; 0 otherwise. */
int side_visible_right(int quadrant, int column, int row, int eye_column, int eye_row);
int side_visible_left(int quadrant, int column, int row, int eye_column, int eye_row);

/* The world pass: for every square in `order` (sort_tiles first), clip its top face; when any of
   it is in view draw the facing side, the lateral sides that can be seen, then the top; then, in
   view or not, the actors standing on it. Returns the number of actor drawings made and counts
   the squares in view into *visible. Called once per frame by render_frame. */
int draw_squares(BITMAP *bitmap, const World &w, const SquareOrder &order, const Camera *camera,
                 const ClipPlane *planes, int plane_count, int quadrant, int eye_column,
                 int eye_row, int *visible);
