/* clipping.h: the view frustum's planes, the polygon clipper and the bounding-sphere test. */
#pragma once

#include <allegro.h>

#include "render/polygon.h"

/* The frustum has four planes (left, right, top, bottom); there is no near or far plane. */
constexpr int FRUSTUM_PLANES = 4;

/* A plane a·x + b·y + c·z − d; a point is inside when the value is above 0 (on it is outside). */
struct ClipPlane {
    fixed a, b, c, d;
};

/* Sets out to the transpose of matrix's 3x3 part times (x, y, z). Used to carry the frustum
   normals and the eye from camera or world space back into the matrix's source space. */
void normal_to_source(const MATRIX *matrix, fixed x, fixed y, fixed z,
                      fixed *out_x, fixed *out_y, fixed *out_z);

/* Fills planes[0..3] with the frustum planes x = -z, x = z, y = -z, y = z of the matrix's camera
   space, expressed in its source space (world space for the camera matrix, model space for an
   object-to-camera matrix); sets *count to 4. Called once per frame and once per drawn model. */
void make_clip_planes(const MATRIX *matrix, ClipPlane *planes, int *count);

/* Cuts input against one plane into output (Sutherland-Hodgman). Returns 0 when nothing is left,
   2 when a corner was made on the plane, 1 when the polygon was wholly inside. A result that
   would not fit output's capacity leaves output empty and returns 0. */
int clip_polygon_to_plane(const ClipPlane *plane, const Polygon *input, Polygon *output);

/* Cuts input against all planes into output. Returns 0 when nothing is left (output empty),
   otherwise the OR of the per-plane results: 1 untouched, 2 cut by every plane, 3 cut by some.
   input's vertex array serves as a work buffer and is destroyed. Called by the square and model
   drawing for every face before it is transformed. */
int clip_polygon(const ClipPlane *planes, int count, Polygon *input, Polygon *output);

/* Returns 0 when the sphere lies wholly outside one of the planes, else 1 (it may be visible).
   The planes carry the camera's field-of-view scale, so the radius acts as a margin in that
   measure. Called once per actor that stands on a drawn square. */
int sphere_in_frustum(const ClipPlane *planes, int count, fixed x, fixed y, fixed z, fixed radius);

/* Returns 1 when the whole sphere lies inside every plane (measured in true distances, with a
   unit to spare), so nothing within it needs clipping; else 0. Used by the model drawing. */
int sphere_inside_frustum(const ClipPlane *planes, int count, fixed x, fixed y, fixed z,
                          fixed radius);
