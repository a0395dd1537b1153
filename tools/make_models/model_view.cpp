/* model_view.cpp: draws a compiled model from four sides into a BMP, for looking at models.

   model_view MODEL.bsp OUT.bmp FRONT [SKIN.bmp]
   FRONT is the model-space axis the model faces (-x, +x, -z or +z). The top row is shaded flat
   by face direction in one colour per skin tile; the bottom row is painted with the skin (or
   with a test skin that shows each tile's number upright). Loads with the game's own parser
   and walks the tree the way the game does. */
#include <allegro.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "render/bsp/bsp_model.h"

namespace {

const int VIEW_W = 320, VIEW_H = 240;

struct View {
    MATRIX camera;
    double eye[3];
    bool textured;
    BITMAP *skin;
};

int tile_colour(int tile, double shade)
{
    static const int hues[16][3] = {
        {200, 200, 210}, {60, 200, 230}, {240, 140, 40}, {70, 70, 80},  {160, 170, 190},
        {90, 220, 120},  {230, 40, 40},  {250, 170, 60}, {200, 90, 220}, {240, 240, 90},
        {120, 90, 60},   {90, 120, 250}, {250, 250, 250}, {150, 60, 30}, {40, 120, 60},
        {180, 180, 100}};
    const int *c = hues[tile & 15];
    shade = shade < 0 ? 0 : shade > 1 ? 1 : shade;
    return makecol((int)(c[0] * shade), (int)(c[1] * shade), (int)(c[2] * shade));
}

BITMAP *test_skin()
{
    BITMAP *skin = create_bitmap(128, 128);
    for (int t = 0; t < 16; t++) {
        int x = 32 * (t % 4), y = 32 * (t / 4);
        rectfill(skin, x, y, x + 31, y + 31, tile_colour(t, 0.8));
        hline(skin, x, y, x + 31, makecol(255, 255, 255));            // top edge
        vline(skin, x, y, y + 31, makecol(0, 0, 0));                  // left edge
        char digits[4];
        std::snprintf(digits, sizeof digits, "%d", t);
        textout_ex(skin, font, digits, x + 4, y + 4, makecol(0, 0, 0), -1);
        circlefill(skin, x + 16, y + 20, 3, makecol(255, 255, 255));
    }
    return skin;
}

void draw_node(BITMAP *target, const BspModel *model, const BspNode *node, View &view)
{
    if (!node)
        return;
    double n[3] = {fixtof(node->plane.a), fixtof(node->plane.b), fixtof(node->plane.c)};
    double s = n[0] * view.eye[0] + n[1] * view.eye[1] + n[2] * view.eye[2] -
               fixtof(node->plane.d);
    const BspNode *first = s >= 0 ? node->back : node->front;
    const BspNode *second = s >= 0 ? node->front : node->back;
    draw_node(target, model, first, view);
    if (s >= 0) {
        V3D corners[BSP_MAX_CORNERS];
        V3D *list[BSP_MAX_CORNERS];
        bool visible = true;
        for (int k = 0; k < node->vertex_count; k++) {
            const V3D &v = model->vertices[node->vertex_index[k]];
            V3D &c = corners[k];
            apply_matrix(&view.camera, v.x, v.y, v.z, &c.x, &c.y, &c.z);
            visible = visible && c.z > itofix(1);
            persp_project(c.x, c.y, c.z, &c.x, &c.y);
            c.u = model->texcoords[node->texcoord_index[k]].u;
            c.v = model->texcoords[node->texcoord_index[k]].v;
            c.c = 0;
            list[k] = &c;
        }
        // Light from above and a little from the viewer's left, like a studio shot.
        double light[3] = {0.35, -0.85, -0.4};
        double shade = 0.45 + 0.55 * std::fmax(0.0, n[0] * light[0] + n[1] * light[1] +
                                                        n[2] * light[2]);
        corners[0].c = tile_colour(node->tag, shade);
        if (visible)
            polygon3d(target, view.textured ? POLYTYPE_ATEX : POLYTYPE_FLAT, view.skin,
                      node->vertex_count, list);
    }
    draw_node(target, model, second, view);
}

/* Draws one view into a quarter of out: the camera circles the model by `turn` degrees from
   its front and looks down by `elevation` degrees. */
void draw_view(BITMAP *out, const BspModel *model, int column, int row, double turn,
               double elevation, const double front[3], bool textured, BITMAP *skin)
{
    const double to_radians = 3.14159265358979 / 180.0;
    double target[3] = {0, -28, 0};
    double distance = 105;
    // front turned about the vertical axis, then raised.
    double c = std::cos(turn * to_radians), s = std::sin(turn * to_radians);
    double dir[3] = {front[0] * c - front[2] * s, 0, front[0] * s + front[2] * c};
    double ce = std::cos(elevation * to_radians), se = std::sin(elevation * to_radians);
    double eye[3] = {target[0] + distance * ce * dir[0], target[1] - distance * se,
                     target[2] + distance * ce * dir[2]};
    View view;
    get_camera_matrix(&view.camera, ftofix(eye[0]), ftofix(eye[1]), ftofix(eye[2]),
                      ftofix(target[0] - eye[0]), ftofix(target[1] - eye[1]),
                      ftofix(target[2] - eye[2]), 0, itofix(-1), 0, itofix(32), itofix(1));
    std::memcpy(view.eye, eye, sizeof eye);
    view.textured = textured;
    view.skin = skin;
    set_projection_viewport(column * VIEW_W, row * VIEW_H, VIEW_W, VIEW_H);
    set_clip_rect(out, column * VIEW_W, row * VIEW_H, column * VIEW_W + VIEW_W - 1,
                  row * VIEW_H + VIEW_H - 1);
    rectfill(out, column * VIEW_W, row * VIEW_H, column * VIEW_W + VIEW_W - 1,
             row * VIEW_H + VIEW_H - 1, makecol(40, 48, 64));
    // The floor square under the model, for scale.
    for (int k = -50; k <= 50; k += 25) {
        fixed x0, y0, z0, x1, y1, z1;
        apply_matrix(&view.camera, itofix(k), 0, itofix(-50), &x0, &y0, &z0);
        apply_matrix(&view.camera, itofix(k), 0, itofix(50), &x1, &y1, &z1);
        persp_project(x0, y0, z0, &x0, &y0);
        persp_project(x1, y1, z1, &x1, &y1);
        line(out, fixtoi(x0), fixtoi(y0), fixtoi(x1), fixtoi(y1), makecol(80, 90, 110));
        apply_matrix(&view.camera, itofix(-50), 0, itofix(k), &x0, &y0, &z0);
        apply_matrix(&view.camera, itofix(50), 0, itofix(k), &x1, &y1, &z1);
        persp_project(x0, y0, z0, &x0, &y0);
        persp_project(x1, y1, z1, &x1, &y1);
        line(out, fixtoi(x0), fixtoi(y0), fixtoi(x1), fixtoi(y1), makecol(80, 90, 110));
    }
    draw_node(out, model, &model->nodes[0], view);
    set_clip_rect(out, 0, 0, out->w - 1, out->h - 1);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: model_view MODEL.bsp OUT.bmp FRONT [SKIN.bmp]\n");
        return 1;
    }
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    double front[3] = {0, 0, 0};
    front[argv[3][1] == 'x' ? 0 : 2] = argv[3][0] == '-' ? -1 : 1;
    BITMAP *skin = argc > 4 ? load_bitmap(argv[4], nullptr) : test_skin();
    if (!skin) {
        std::fprintf(stderr, "%s: cannot load\n", argv[4]);
        return 1;
    }
    FILE *in = std::fopen(argv[1], "r");
    if (!in) {
        std::perror(argv[1]);
        return 1;
    }
    BspModel model;
    const char *error = parse_bsp_model(in, skin, &model);
    std::fclose(in);
    if (error) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error);
        return 1;
    }
    BITMAP *out = create_bitmap(2 * VIEW_W, 2 * VIEW_H);
    draw_view(out, &model, 0, 0, 35, 20, front, false, skin);
    draw_view(out, &model, 1, 0, 215, 30, front, false, skin);
    draw_view(out, &model, 0, 1, -30, 15, front, true, skin);
    draw_view(out, &model, 1, 1, 100, 40, front, true, skin);
    textprintf_ex(out, font, 4, 4, makecol(255, 255, 255), -1, "%s  %d nodes  %d vertices",
                  argv[1], model.node_count, model.vertex_count);
    save_bitmap(argv[2], out, nullptr);
    return 0;
}
