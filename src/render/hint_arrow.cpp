/* hint_arrow.cpp: the hint's arrow, drawn over the robot's square in the 3D view. */
#include "render/hint_arrow.h"

#include <cmath>

#include "render/polygon.h"
#include "render/polygon_drawing.h"
#include "world/player_motion.h"
#include "world/world.h"

namespace {

/* One convex piece of a mark, in the square's own measure: `along` toward where the robot faces
   (a square is 100 across, its centre 0), `left` to its left, `up` above the floor. */
struct Corner {
    float along, left, up;
};

struct Piece {
    int count;
    Corner corners[4];
};

struct Mark {
    int count;
    Piece pieces[3];
};

/* An arrow toward the front edge. */
const Mark STRAIGHT = {2, {{4, {{-30, -8, 0}, {14, -8, 0}, {14, 8, 0}, {-30, 8, 0}}},
                           {3, {{14, -20, 0}, {44, 0, 0}, {14, 20, 0}}}}};
/* Up the middle, then round to the left. */
const Mark TURN_LEFT = {3, {{4, {{-30, -8, 0}, {22, -8, 0}, {22, 8, 0}, {-30, 8, 0}}},
                            {4, {{6, 8, 0}, {22, 8, 0}, {22, 22, 0}, {6, 22, 0}}},
                            {3, {{-2, 22, 0}, {14, 44, 0}, {30, 22, 0}}}}};
/* Standing up from the middle. */
const Mark JUMP = {2, {{4, {{0, -7, 0}, {0, 7, 0}, {0, 7, 30}, {0, -7, 30}}},
                       {3, {{0, -18, 30}, {0, 0, 52}, {0, 18, 30}}}}};
/* Two bars across: stand still. */
const Mark WAIT = {2, {{4, {{-22, 5, 0}, {22, 5, 0}, {22, 15, 0}, {-22, 15, 0}}},
                       {4, {{-22, -15, 0}, {22, -15, 0}, {22, -5, 0}, {-22, -5, 0}}}}};

const float LIFT = 3;       /* above the floor, so that the square's top does not hide it */

/* Draws `mark` turned by `quarter` quarter turns to the left of `heading` (and with `mirror`,
   left and right swapped) over the square at (x, z) whose top is at world y `floor`. */
void draw_mark(BITMAP *bitmap, const Camera *camera, const ClipPlane *planes, int plane_count,
               fixed heading, const Mark &mark, int quarter, bool mirror, float x, float floor,
               float z)
{
    // A heading a faces (-sin a, cos a); a quarter turn to the left adds 64.
    const double turns = fixtof(heading) / 256.0 + quarter / 4.0;
    const double a = turns * 2 * M_PI;
    const float fx = (float)-std::sin(a), fz = (float)std::cos(a);
    const double l = a + M_PI / 2;
    const float lx = (float)-std::sin(l), lz = (float)std::cos(l);
    const int fill = cached_makecol(255, 230, 40);
    const int edge = cached_makecol(60, 40, 0);
    for (int p = 0; p < mark.count; p++) {
        const Piece &piece = mark.pieces[p];
        V3D in_vertices[SQUARE_POLYGON_VERTICES], out_vertices[SQUARE_POLYGON_VERTICES];
        Polygon in = {in_vertices, piece.count, SQUARE_POLYGON_VERTICES};
        Polygon out = {out_vertices, 0, SQUARE_POLYGON_VERTICES};
        for (int c = 0; c < piece.count; c++) {
            const Corner &k = piece.corners[c];
            const float left = mirror ? -k.left : k.left;
            V3D &v = in_vertices[c];
            v.x = ftofix(x + k.along * fx + left * lx);
            v.y = ftofix(floor - LIFT - k.up);      // y grows downward
            v.z = ftofix(z + k.along * fz + left * lz);
            v.u = v.v = 0;
            v.c = 0;
        }
        if (!clip_polygon(planes, plane_count, &in, &out))
            continue;
        transform_polygon(&camera->matrix, &out);
        project_polygon(&out);
        int points[2 * SQUARE_POLYGON_VERTICES];
        bool in_front = true;
        for (int c = 0; c < out.count; c++) {
            in_front = in_front && out.vtx[c].z > 0;
            points[2 * c] = fixtoi(out.vtx[c].x);
            points[2 * c + 1] = fixtoi(out.vtx[c].y);
        }
        if (!in_front || out.count < 3)
            continue;
        polygon(bitmap, out.count, points, fill);
        for (int c = 0; c < out.count; c++) {
            const int d = (c + 1) % out.count;
            line(bitmap, points[2 * c], points[2 * c + 1], points[2 * d], points[2 * d + 1], edge);
        }
    }
}

} // namespace

void draw_hint_arrow(BITMAP *bitmap, const World &w, const Camera *camera,
                     const ClipPlane *planes, int plane_count, int column, int row, int code)
{
    const fixed heading = w.motion.player_rot_y;
    const float x = column * 100.0f, z = row * 100.0f;
    const float floor = fixtof(w.motion.floor_y);
    switch (code) {
    case MOVE_FORWARD:
        draw_mark(bitmap, camera, planes, plane_count, heading, STRAIGHT, 0, false, x, floor, z);
        break;
    case MOVE_BACKWARD:
        draw_mark(bitmap, camera, planes, plane_count, heading, STRAIGHT, 2, false, x, floor, z);
        break;
    case MOVE_STRAFE_LEFT:
        draw_mark(bitmap, camera, planes, plane_count, heading, STRAIGHT, 1, false, x, floor, z);
        break;
    case MOVE_STRAFE_RIGHT:
        draw_mark(bitmap, camera, planes, plane_count, heading, STRAIGHT, -1, false, x, floor, z);
        break;
    case MOVE_TURN_LEFT:
        draw_mark(bitmap, camera, planes, plane_count, heading, TURN_LEFT, 0, false, x, floor, z);
        break;
    case MOVE_TURN_RIGHT:
        draw_mark(bitmap, camera, planes, plane_count, heading, TURN_LEFT, 0, true, x, floor, z);
        break;
    case MOVE_JUMP:
        draw_mark(bitmap, camera, planes, plane_count, heading, JUMP, 0, false, x, floor, z);
        break;
    default:
        draw_mark(bitmap, camera, planes, plane_count, heading, WAIT, 0, false, x, floor, z);
        break;
    }
}
