/* polygon.h: the polygon record every 3D face travels in, and its per-vertex transform and projection. */
#pragma once

#include <allegro.h>

/* The most corners any polygon buffer holds: a model face of up to 10 corners gains at most one
   corner per frustum plane, so 20 leaves room to spare. */
constexpr int MAX_POLYGON_VERTICES = 20;

/* Corners of a square face buffer: 4 corners plus one per frustum plane, rounded up. */
constexpr int SQUARE_POLYGON_VERTICES = 10;

/* A polygon in a vertex array that its owner provides. */
struct Polygon {
    V3D *vtx;       /* the owner's vertex array */
    int count;      /* corners in use */
    int capacity;   /* corners the array can hold; the clipper never writes beyond it */
};

/* Applies matrix to x, y and z of every corner in place; u, v and c are untouched.
   Called by the square and model drawing after clipping. */
void transform_polygon(const MATRIX *matrix, Polygon *polygon);

/* Projects every corner in place with the current projection viewport: x and y become screen
   pixels (fixed), z keeps the camera-space depth that the fog modes read. The corners must lie
   in front of the eye (clipped). Called right before draw_polygon. */
void project_polygon(Polygon *polygon);
