/* polygon.cpp: per-vertex transform and projection of polygons. */
#include "render/polygon.h"

void transform_polygon(const MATRIX *matrix, Polygon *polygon)
{
    for (int i = 0; i < polygon->count; i++) {
        V3D &v = polygon->vtx[i];
        apply_matrix(const_cast<MATRIX *>(matrix), v.x, v.y, v.z, &v.x, &v.y, &v.z);
    }
}

void project_polygon(Polygon *polygon)
{
    for (int i = 0; i < polygon->count; i++) {
        V3D &v = polygon->vtx[i];
        persp_project(v.x, v.y, v.z, &v.x, &v.y);
    }
}
