/* clipping.cpp: frustum planes from a matrix, polygon clipping against them, the sphere test. */
#include "render/clipping.h"

#include <cmath>

#include "base/fatal.h"

namespace {

/* Signed distance of a corner from a plane, in the plane's own (unnormalised) measure. */
fixed plane_distance(const ClipPlane &plane, const V3D &v)
{
    return dot_product(plane.a, plane.b, plane.c, v.x, v.y, v.z) - plane.d;
}

} // namespace

void normal_to_source(const MATRIX *matrix, fixed x, fixed y, fixed z,
                      fixed *out_x, fixed *out_y, fixed *out_z)
{
    fixed r[3];
    for (int j = 0; j < 3; j++)
        r[j] = fixmul(x, matrix->v[0][j]) + fixmul(y, matrix->v[1][j]) + fixmul(z, matrix->v[2][j]);
    *out_x = r[0];
    *out_y = r[1];
    *out_z = r[2];
}

void make_clip_planes(const MATRIX *matrix, ClipPlane *planes, int *count)
{
    /* The four side planes meet the view axis at 45 degrees: the camera matrix already scales
       x and y so that the viewport edges lie at x/z and y/z = +-1. */
    const double angle = 0.7853975;
    const fixed cos_a = ftofix(std::cos(angle));
    const fixed sin_a = ftofix(std::sin(angle));
    const fixed normals[FRUSTUM_PLANES][3] = {
        {cos_a, 0, sin_a}, {-cos_a, 0, sin_a}, {0, cos_a, sin_a}, {0, -cos_a, sin_a},
    };
    for (int i = 0; i < FRUSTUM_PLANES; i++) {
        const fixed *n = normals[i];
        ClipPlane &p = planes[i];
        normal_to_source(matrix, n[0], n[1], n[2], &p.a, &p.b, &p.c);
        p.d = dot_product(n[0], n[1], n[2], -matrix->t[0], -matrix->t[1], -matrix->t[2]);
    }
    *count = FRUSTUM_PLANES;
}

int clip_polygon_to_plane(const ClipPlane *plane, const Polygon *input, Polygon *output)
{
    output->count = 0;
    if (input->count < 1)
        return 0;
    int result = 1;
    const V3D *prev = &input->vtx[input->count - 1];
    fixed d_prev = plane_distance(*plane, *prev);
    for (int i = 0; i < input->count; i++) {
        const V3D *cur = &input->vtx[i];
        const fixed d_cur = plane_distance(*plane, *cur);
        const bool prev_out = d_prev <= 0;
        const bool cur_out = d_cur <= 0;
        if (prev_out != cur_out) {
            if (output->count >= output->capacity) {
                output->count = 0;
                return 0;
            }
            const fixed t = fixdiv(d_prev, d_prev - d_cur);
            V3D &n = output->vtx[output->count++];
            n.x = prev->x + fixmul(t, cur->x - prev->x);
            n.y = prev->y + fixmul(t, cur->y - prev->y);
            n.z = prev->z + fixmul(t, cur->z - prev->z);
            n.u = prev->u + fixmul(t, cur->u - prev->u);
            n.v = prev->v + fixmul(t, cur->v - prev->v);
            n.c = prev->c;
            result = 2;
        }
        if (!cur_out) {
            if (output->count >= output->capacity) {
                output->count = 0;
                return 0;
            }
            output->vtx[output->count++] = *cur;
        }
        prev = cur;
        d_prev = d_cur;
    }
    return output->count == 0 ? 0 : result;
}

int clip_polygon(const ClipPlane *planes, int count, Polygon *input, Polygon *output)
{
    game_assert(count >= 0 && count <= 32);
    output->count = 0;
    if (input->count < 1)
        return 0;

    /* Most faces lie wholly inside most planes: find the planes that some corner lies outside
       of, and cut only against those. A plane that every corner lies outside of leaves nothing. */
    unsigned outside_any = 0, outside_all = ~0u;
    for (int i = 0; i < input->count; i++) {
        unsigned outside = 0;
        for (int k = 0; k < count; k++)
            if (plane_distance(planes[k], input->vtx[i]) <= 0)
                outside |= 1u << k;
        outside_any |= outside;
        outside_all &= outside;
    }
    if (outside_all != 0)
        return 0;

    V3D work_vertices[MAX_POLYGON_VERTICES];
    Polygon work = {work_vertices, 0, MAX_POLYGON_VERTICES};

    /* The cutting planes ping-pong between the local buffer and the input's own array. */
    Polygon *from = input;
    Polygon *to = &work;
    int result = 0;
    for (int k = 0; k < count; k++) {
        if (!(outside_any & (1u << k))) {
            result |= 1;
            continue;
        }
        const int r = clip_polygon_to_plane(&planes[k], from, to);
        if (r == 0)
            return 0;
        result |= r;
        Polygon *swap = from;
        from = to;
        to = swap;
    }
    if (from->count > output->capacity)
        return 0;
    for (int i = 0; i < from->count; i++)
        output->vtx[i] = from->vtx[i];
    output->count = from->count;
    return count > 0 ? result : 1;
}

int sphere_in_frustum(const ClipPlane *planes, int count, fixed x, fixed y, fixed z, fixed radius)
{
    for (int i = 0; i < count; i++) {
        const ClipPlane &p = planes[i];
        if (dot_product(p.a, p.b, p.c, x, y, z) - p.d + radius < 0)
            return 0;
    }
    return 1;
}

int sphere_inside_frustum(const ClipPlane *planes, int count, fixed x, fixed y, fixed z,
                          fixed radius)
{
    const double margin = fixtof(radius) + 1.0;
    for (int i = 0; i < count; i++) {
        const ClipPlane &p = planes[i];
        const double a = fixtof(p.a), b = fixtof(p.b), c = fixtof(p.c);
        const double distance = a * fixtof(x) + b * fixtof(y) + c * fixtof(z) - fixtof(p.d);
        if (distance <= std::sqrt(a * a + b * b + c * c) * margin)
            return 0;
    }
    return 1;
}
