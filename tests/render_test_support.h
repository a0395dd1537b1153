/* render_test_support.h: a headless 8-bit library, a palette with distinct ramps and small helpers
   for looking at rendered pictures. */
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "render/bsp/bsp_model.h"
#include "render/camera.h"
#include "render/clipping.h"
#include "base/display_options.h"
#include "render/polygon.h"
#include "world/actor.h"
#include "world/level_map.h"
#include "world/tile_grid.h"
#include "test_world.h"

/* Starts the library without a display, in 8-bit colour, with a palette of four 64-step ramps:
   greys 0..63, reds 64..127, greens 128..191, blues 192..255, and a light table installed as
   color_map. Safe to call from every test. */
inline void start_render_library()
{
    static PALETTE palette;
    static COLOR_MAP lights;
    static bool ready = false;
    if (!system_driver)
        install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(8);
    if (!ready) {
        for (int i = 0; i < 64; i++) {
            palette[i] = RGB{(unsigned char)i, (unsigned char)i, (unsigned char)i, 0};
            palette[64 + i] = RGB{(unsigned char)i, 0, 0, 0};
            palette[128 + i] = RGB{0, (unsigned char)i, 0, 0};
            palette[192 + i] = RGB{0, 0, (unsigned char)i, 0};
        }
        create_light_table(&lights, palette, 0, 0, 0, nullptr);
        ready = true;
    }
    set_palette(palette);
    color_map = &lights;
}

/* A vertex in camera or world space with texture coordinates. */
inline V3D corner(double x, double y, double z, int u = 0, int v = 0)
{
    return V3D{ftofix(x), ftofix(y), ftofix(z), itofix(u), itofix(v), 0};
}

/* A bitmap filled with one colour. */
inline BITMAP *solid_bitmap(int w, int h, int colour)
{
    BITMAP *b = create_bitmap_ex(8, w, h);
    clear_to_color(b, colour);
    return b;
}

/* Pixels of colour c inside the rectangle x0..x1, y0..y1 (inclusive, clipped to the bitmap; the
   whole bitmap by default). */
inline int count_colour(BITMAP *b, int c, int x0 = 0, int y0 = 0, int x1 = 1 << 30, int y1 = 1 << 30)
{
    int n = 0;
    for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < b->h; y++)
        for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < b->w; x++)
            if (getpixel(b, x, y) == c)
                n++;
    return n;
}

/* The smallest rectangle holding every pixel whose colour passes `wanted`; right is -1 when none does. */
struct Box {
    int left, top, right, bottom;
};
template <class Wanted> Box box_of(BITMAP *b, Wanted wanted)
{
    Box box{b->w, b->h, -1, -1};
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < b->w; x++)
            if (wanted(getpixel(b, x, y)))
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y)};
    return box;
}

/* Where a world point lands on the screen through the camera (in pixels), and its depth. */
struct ScreenPoint {
    double x, y, depth;
};
inline ScreenPoint screen_point(const Camera &camera, double x, double y, double z)
{
    fixed cx, cy, cz, sx, sy;
    apply_matrix(const_cast<MATRIX *>(&camera.matrix), ftofix(x), ftofix(y), ftofix(z), &cx, &cy, &cz);
    persp_project(cx, cy, cz, &sx, &sy);
    return {fixtof(sx), fixtof(sy), fixtof(cz)};
}

/* The clipping planes of a view's matrix. */
struct Frustum {
    ClipPlane planes[FRUSTUM_PLANES];
    int count = 0;
    explicit Frustum(const MATRIX &matrix) { make_clip_planes(&matrix, planes, &count); }
};

/* Display options as a test sets them, restored when it ends. */
struct OptionsGuard {
    DisplayOptions saved = display_options;
    ~OptionsGuard() { display_options = saved; }
};

/* A global record or table as it was when the guard was made, put back when the guard goes. */
template <class T> struct Keep {
    static_assert(std::is_trivially_copyable_v<T>);
    T &place;
    T saved;
    explicit Keep(T &p) : place(p) { std::memcpy(&saved, &p, sizeof(T)); }
    ~Keep() { std::memcpy(&place, &saved, sizeof(T)); }
};

/* An empty level (no squares, no actors) while a test runs; the level's squares and actor count
   are put back when it ends. */
struct EmptyLevelGuard {
    Keep<LevelMap> map{world.map};
    Keep<decltype(world.actors.count)> actor_count{world.actors.count};
    EmptyLevelGuard() { world.map.tile_count = world.actors.count = 0; }
    ~EmptyLevelGuard() { drop_tile_index(world); }
};

/* A square of the level at column x, row z, `height` levels up, with all four sides `sides` deep;
   serials count from 1 in the order squares are added. */
inline MapTile &add_square(int x, int height, int z, int texture = 0, int sides = 0)
{
    MapTile &t = world.map.tiles[world.map.tile_count++];
    t = MapTile{};
    t.x = x, t.height = height, t.z = z, t.texture = texture;
    for (int &depth : t.side_depth)
        depth = sides;
    t.serial = world.map.tile_count;
    index_tiles(world);
    return t;
}

/* The models and actors of the game kept aside, a 640 x 480 picture and the eye at the origin
   looking level along +z, for drawing single actors. */
class ActorView : public ::testing::Test {
protected:
    Keep<decltype(model_table)> models{model_table};
    Keep<ActorTable> actors{world.actors};
    OptionsGuard guard;
    BITMAP *picture = nullptr;
    Camera camera;

    void SetUp() override
    {
        start_render_library();
        world.actors.count = 0;
        picture = create_bitmap_ex(8, 640, 480);
        build_camera(CAMERA_BEHIND, 0.0f, -120.0f, 0, 0.0f, 0, 0, 0, &camera);
    }

    void TearDown() override { destroy_bitmap(picture); }
};
