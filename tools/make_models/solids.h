/* solids.h: the closed solids a model source is built from: convex hulls, boxes and lathes. */
#pragma once

#include "model_geometry.h"

/* Tiles chosen by where a face of a hull or box points, relative to the model's front.
   -1 means not given; the most specific given choice wins (front beats sides beats all). */
struct TileChoice {
    int all, sides, front, back, left, right, top, bottom;
};

/* One ring of a lathe profile: radius r around the axis at offset h along it. The band from
   this ring to the next is painted with tile. */
struct LatheRing {
    double r, h;
    int tile;
};

/* Facets around angle 0 between two rings that show one picture of a tile, seen along the
   angle-0 direction (a face on a round body, for example). */
struct LathePatch {
    int tile;
    int from_ring, to_ring;     /* bands from_ring ... to_ring - 1 */
    int facets;                 /* odd: the facet at angle 0 and (facets - 1) / 2 on each side */
};

/* A solid of revolution with `sides` flat facets. Angle 0 points along the model's front for
   a y axis, and up (-y) for an x or z axis; facet 0 is centred on angle 0 (plus turn). */
struct LatheShape {
    char axis;                  /* 'x', 'y' or 'z' */
    int sides;
    double turn;                /* degrees */
    bool loop;                  /* the profile closes on itself (a ring); no caps */
    std::vector<LatheRing> rings;
    int start_tile, end_tile;   /* caps on the first and last ring; -1: the neighbouring band's */
    std::vector<LathePatch> patches;
};

/* Appends the faces of the convex hull of points (at least 4, not all in one plane) with
   tile -1 and one group per face. Returns false when the points span no volume. */
bool add_hull(ModelSource &model, const std::vector<Vec3> &points);

/* Appends the faces of a lathe centred on the origin. Returns a fault text or none. */
const char *add_lathe(ModelSource &model, const LatheShape &lathe);

/* Rotates faces first ... end by rx, ry, rz degrees (about x, then y, then z) and then moves
   them by offset. */
void place_faces(ModelSource &model, size_t first, Vec3 rotation, Vec3 offset);

/* Appends mirror images of faces first ... end across the model's centre plane (the plane
   through the origin across the model's right hand). */
void mirror_faces(ModelSource &model, size_t first);

/* Gives every face from first on whose tile is still -1 its tile from choice. Returns false
   when a face has no applicable choice. */
bool assign_tiles(ModelSource &model, size_t first, const TileChoice &choice);
