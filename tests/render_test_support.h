/* render_test_support.h: a headless 8-bit library, a palette with distinct ramps and small helpers
   for looking at rendered pictures. */
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "render/polygon.h"
#include "ui/display_options.h"
#include "world/actor.h"
#include "world/level_map.h"

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

/* Pixels of colour c inside the rectangle x0..x1, y0..y1 (inclusive, clipped to the bitmap). */
inline int count_colour(BITMAP *b, int c, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < b->h; y++)
        for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < b->w; x++)
            if (getpixel(b, x, y) == c)
                n++;
    return n;
}

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
    LevelMap saved_map = level_map;
    int saved_actor_count = actor_table.count;
    EmptyLevelGuard() { level_map.tile_count = actor_table.count = 0; }
    ~EmptyLevelGuard()
    {
        level_map = saved_map;
        actor_table.count = saved_actor_count;
    }
};
