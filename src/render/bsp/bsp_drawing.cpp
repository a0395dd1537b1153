/* bsp_drawing.cpp: the back-to-front walk of a model's BSP tree and the drawing of its faces. */
#include "render/bsp/bsp_drawing.h"

#include <cstdint>

#include "base/fatal.h"
#include "render/camera.h"
#include "base/display_options.h"
#include "render/polygon_drawing.h"

namespace {

/* Corners of the model being drawn, already in view and projected, and the drawing each one was
   made for; models with more corners than this are drawn face by face. */
const int CORNER_CACHE_SIZE = 4096;
V3D projected_corners[CORNER_CACHE_SIZE];
unsigned corner_stamp[CORNER_CACHE_SIZE];
unsigned current_stamp;

const V3D &projected_corner(const BspDrawing *drawing, int index)
{
    V3D &v = projected_corners[index];
    if (corner_stamp[index] != current_stamp) {
        const V3D &corner = drawing->model->vertices[index];
        apply_matrix(const_cast<MATRIX *>(&drawing->model_to_camera), corner.x, corner.y, corner.z,
                     &v.x, &v.y, &v.z);
        persp_project(v.x, v.y, v.z, &v.x, &v.y);
        corner_stamp[index] = current_stamp;
    }
    return v;
}

} // namespace

void prepare_bsp_drawing(BspDrawing *drawing)
{
    drawing->shared_corners =
        drawing->plane_count == 0 && drawing->model->vertex_count <= CORNER_CACHE_SIZE;
    if (!drawing->shared_corners)
        return;
    if (++current_stamp == 0) {
        for (unsigned &stamp : corner_stamp)
            stamp = 0;
        current_stamp = 1;
    }
}

void draw_bsp_node(const BspDrawing *drawing, const BspNode *node)
{
    if (!node)
        return;
    const BspPlane &p = node->plane;
    const fixed side = dot_product(p.a, p.b, p.c, drawing->eye_x, drawing->eye_y, drawing->eye_z) - p.d;
    const BspNode *far_side = side >= 0 ? node->back : node->front;
    const BspNode *near_side = side >= 0 ? node->front : node->back;
    draw_bsp_node(drawing, far_side);
    const V3D &first = drawing->model->vertices[node->vertex_index[0]];
    if (dot_product(p.a, p.b, p.c, first.x - drawing->eye_x, first.y - drawing->eye_y,
                    first.z - drawing->eye_z) <= 0)
        draw_bsp_polygon(drawing, node);
    draw_bsp_node(drawing, near_side);
}

void draw_bsp_polygon(const BspDrawing *drawing, const BspNode *node)
{
    const BspModel *model = drawing->model;
    const int number = (int16_t)(node - model->nodes);
    const int n = node->vertex_count;
    game_assert(n >= 1 && n < BSP_MAX_CORNERS);
    if (n < 3)
        return;

    V3D in_vertices[MAX_POLYGON_VERTICES], out_vertices[MAX_POLYGON_VERTICES];
    Polygon in = {in_vertices, n, MAX_POLYGON_VERTICES};
    Polygon out = {out_vertices, 0, MAX_POLYGON_VERTICES};
    if (drawing->shared_corners) {
        for (int i = 0; i < n; i++) {
            V3D &v = out_vertices[i];
            v = projected_corner(drawing, node->vertex_index[i]);
            const BspTexcoord &t = model->texcoords[node->texcoord_index[i]];
            v.u = t.u;
            v.v = t.v;
            v.c = 0;
        }
        out.count = n;
    } else {
        for (int i = 0; i < n; i++) {
            const V3D &corner = model->vertices[node->vertex_index[i]];
            const BspTexcoord &t = model->texcoords[node->texcoord_index[i]];
            in_vertices[i] = V3D{corner.x, corner.y, corner.z, t.u, t.v, 0};
        }
        if (!clip_polygon(drawing->planes, drawing->plane_count, &in, &out))
            return;
        transform_polygon(&drawing->model_to_camera, &out);
        project_polygon(&out);
    }

    int light, colour;
    const int light_mode = display_options.light_mode;
    if (light_mode == LIGHT_SOURCE || light_mode == LIGHT_SOURCE_FOG) {
        fixed nx, ny, nz;
        const BspPlane &p = node->plane;
        apply_matrix(const_cast<MATRIX *>(&drawing->rotation), p.a, p.b, p.c, &nx, &ny, &nz);
        light = fixtoi(fixmul(dot_product(nx, ny, nz, light_dir[0], light_dir[1], light_dir[2]),
                              itofix(255)));
        light = light < 0 ? 0 : (light > 255 ? 255 : light);
        colour = 0;
    } else {
        light = 128;
        colour = display_options.shading_mode == SHADE_RANDOM ? (number & 255) : drawing->colour;
    }
    draw_polygon(drawing->bitmap, &out, model->texture, colour, light);
}
