/* render_polygon_test.cpp: light values and polygon types of draw_polygon, seen in the colours drawn. */
#include "render_test_support.h"

#include <cmath>

#include "render/polygon_drawing.h"
#include "render/render_frame.h"

namespace {

/* A projected square from (10, 10) to (90, 90) on screen, every corner at one depth, textured
   over a 16 x 16 texel area. */
struct ScreenSquare {
    V3D vertices[MAX_POLYGON_VERTICES];
    Polygon polygon{vertices, 4, MAX_POLYGON_VERTICES};
    explicit ScreenSquare(double depth)
    {
        vertices[0] = corner(10, 10, depth, 0, 0);
        vertices[1] = corner(90, 10, depth, 16, 0);
        vertices[2] = corner(90, 90, depth, 16, 16);
        vertices[3] = corner(10, 90, depth, 0, 16);
    }
};

struct Picture {
    BITMAP *bitmap = create_bitmap_ex(8, 100, 100);
    Picture() { clear_bitmap(bitmap); }
    ~Picture() { destroy_bitmap(bitmap); }
    int centre() const { return getpixel(bitmap, 50, 50); }
};

int drawn_colour(int light_mode, int shading_mode, int colour, int light, BITMAP *texture = nullptr)
{
    display_options.light_mode = light_mode;
    display_options.shading_mode = shading_mode;
    ScreenSquare s(100);
    Picture p;
    draw_polygon(p.bitmap, &s.polygon, texture, colour, light);
    return p.centre();
}

} // namespace

/* The colours of flat and random shading in each light mode are read off real squares in the
   face light tests. */
TEST(RenderPolygon, FogAndLightSourceSetTheCornerLights)
{
    start_render_library();
    OptionsGuard guard;
    Picture p;
    display_options.shading_mode = SHADE_PERSPECTIVE_TEXTURE;
    BITMAP *texture = solid_bitmap(16, 16, makecol(255, 0, 0));

    display_options.light_mode = LIGHT_FOG;
    const int fog[][2] = {{0, 255}, {100, 205}, {508, 1}, {510, 0}, {600, 0}, {3000, 0}};
    for (const auto &f : fog) {
        ScreenSquare s(f[0] == 0 ? 0.001 : f[0]);
        draw_polygon(p.bitmap, &s.polygon, texture, 0, 128);
        EXPECT_EQ(s.vertices[0].c, f[1]) << "depth " << f[0];
    }

    display_options.light_mode = LIGHT_SOURCE_FOG;
    display_options.ambient_light = 100;
    const int source_fog[][3] = {{128, 400, 128}, {128, 100, 203}, {255, 1, 255}, {0, 2000, 0}, {0, 403, 0}};
    for (const auto &f : source_fog) {
        ScreenSquare s(f[1]);
        draw_polygon(p.bitmap, &s.polygon, texture, 0, f[0]);
        EXPECT_EQ(s.vertices[2].c, f[2]) << "light " << f[0] << " depth " << f[1];
    }

    display_options.light_mode = LIGHT_SOURCE;
    ScreenSquare s(700);
    draw_polygon(p.bitmap, &s.polygon, texture, 0, 77);
    EXPECT_TRUE(s.vertices[0].c == 77 && s.vertices[3].c == 77) << "no fog: the face light at every corner";
    destroy_bitmap(texture);
}

TEST(RenderPolygon, TexturedModesAreLitOnlyOutsideTheAmbientLight)
{
    start_render_library();
    OptionsGuard guard;
    const int red = makecol(255, 0, 0);
    BITMAP *texture = solid_bitmap(16, 16, red);
    for (int shading : {(int)SHADE_LINEAR_TEXTURE, (int)SHADE_PERSPECTIVE_TEXTURE}) {
        EXPECT_EQ(drawn_colour(LIGHT_AMBIENT, shading, 0, 0, texture), red);
        /* Light 64 everywhere: the texel darkened through the light table. */
        EXPECT_EQ(drawn_colour(LIGHT_SOURCE, shading, 0, 64, texture), color_map->data[64][red]);
        EXPECT_NE(color_map->data[64][red], red);
    }
    destroy_bitmap(texture);
}

TEST(RenderPolygon, CountsEveryPolygonAndDrawsManyCornersButNothingAtTheEye)
{
    start_render_library();
    OptionsGuard guard;
    display_options.light_mode = LIGHT_AMBIENT;
    display_options.shading_mode = SHADE_RANDOM;
    polys_drawn = 0;
    Picture p;
    /* Fourteen corners: a ten-cornered model face after four frustum cuts. */
    V3D vertices[MAX_POLYGON_VERTICES];
    Polygon many = {vertices, 14, MAX_POLYGON_VERTICES};
    for (int i = 0; i < 14; i++) {
        const double a = 2 * M_PI * i / 14;
        vertices[i] = corner(50 + 40 * std::cos(a), 50 + 40 * std::sin(a), 100);
    }
    draw_polygon(p.bitmap, &many, nullptr, 7, 0);
    EXPECT_EQ(p.centre(), 7);
    EXPECT_EQ(getpixel(p.bitmap, 50, 88), 7);
    EXPECT_EQ(getpixel(p.bitmap, 3, 3), 0);

    Picture q;
    ScreenSquare at_eye(100);
    at_eye.vertices[2].z = 0;
    draw_polygon(q.bitmap, &at_eye.polygon, nullptr, 7, 0);
    EXPECT_EQ(q.centre(), 0);
    EXPECT_EQ(polys_drawn, 2);
}
