/* render_squares_test.cpp: square faces, the depth sort, side choice, painter's order, and the light
   values and polygon types of draw_polygon, seen in the colours drawn. */
#include <gtest/gtest.h>

#include <cmath>

#include "render/camera.h"
#include "render/clipping.h"
#include "render/polygon_drawing.h"
#include "render/render_frame.h"
#include "render/squares.h"
#include "render/viewport.h"
#include "render_test_support.h"
#include "shell/startup.h"
#include "world/actor.h"
#include "world/level_map.h"

namespace {

/* The level's squares and actors, and the texture table, put back after each test. */
class RenderSquares : public ::testing::Test {
protected:
    EmptyLevelGuard level;
    BITMAP *saved_textures[4];
    BITMAP *textures[4];
    OptionsGuard guard;
    BITMAP *picture = nullptr;

    /* Texture colours: tops 0, 1, 2 and the side texture (3). */
    int colour[4];

    void SetUp() override
    {
        start_render_library();
        const int rgb[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        for (int i = 0; i < 4; i++) {
            colour[i] = makecol(rgb[i][0], rgb[i][1], rgb[i][2]);
            saved_textures[i] = texture_table[i];
            textures[i] = solid_bitmap(128, 128, colour[i]);
            texture_table[i] = textures[i];
        }
        display_options.light_mode = LIGHT_AMBIENT;
        display_options.shading_mode = SHADE_PERSPECTIVE_TEXTURE;
        picture = create_bitmap_ex(8, 640, 480);
    }

    void TearDown() override
    {
        destroy_bitmap(picture);
        for (int i = 0; i < 4; i++) {
            texture_table[i] = saved_textures[i];
            destroy_bitmap(textures[i]);
        }
    }

    MapTile &add_square(int x, int height, int z, int texture, int side0 = 0, int side1 = 0,
                        int side2 = 0, int side3 = 0)
    {
        MapTile &t = level_map.tiles[level_map.tile_count++];
        t = MapTile{};
        t.x = x, t.height = height, t.z = z, t.texture = texture;
        t.side_depth[0] = side0, t.side_depth[1] = side1, t.side_depth[2] = side2, t.side_depth[3] = side3;
        t.serial = level_map.tile_count;
        return t;
    }

    /* The camera behind a player at (0, 0) facing +z, the squares drawn far to near. */
    Camera draw_world()
    {
        clear_bitmap(picture);
        set_viewport(compute_viewport(640, 480, 0));
        Camera camera;
        build_camera(CAMERA_BEHIND, 0.2f, -120.0f, 200, -120.0f, 0, 0, 0, &camera);
        ClipPlane planes[FRUSTUM_PLANES];
        int count;
        make_clip_planes(&camera.matrix, planes, &count);
        sort_tiles(0, -2);
        polys_drawn = 0;
        draw_squares(picture, &camera, planes, count, 0, 0, -2);
        return camera;
    }

    /* The pixel where a world point appears. */
    int pixel_at(Camera &camera, double x, double y, double z)
    {
        fixed cx, cy, cz, sx, sy;
        apply_matrix(&camera.matrix, ftofix(x), ftofix(y), ftofix(z), &cx, &cy, &cz);
        persp_project(cx, cy, cz, &sx, &sy);
        return getpixel(picture, fixtoi(sx), fixtoi(sy));
    }
};

} // namespace

TEST_F(RenderSquares, FacesRunAlongTheirEdgesWithTheirTextureCoordinates)
{
    V3D vertices[SQUARE_POLYGON_VERTICES];
    Polygon p = {vertices, 0, SQUARE_POLYGON_VERTICES};
    build_tile_top(2, -3.0f, 5, &p);
    ASSERT_EQ(p.count, 4);
    const int top[4][4] = {{250, 550, 0, 0}, {150, 550, 128, 0}, {150, 450, 128, 128}, {250, 450, 0, 128}};
    for (int i = 0; i < 4; i++) {
        const V3D &v = vertices[i];
        EXPECT_TRUE(v.x == itofix(top[i][0]) && v.y == itofix(-30) && v.z == itofix(top[i][1])) << i;
        EXPECT_TRUE(v.u == itofix(top[i][2]) && v.v == itofix(top[i][3])) << i;
    }
    /* Side 1 (-x edge), two levels deep: from (c - 0.5, r + 0.5) to (c - 0.5, r - 0.5), then down. */
    build_tile_side(2, -3.0f, 5, 1, 2, &p);
    const int side[4][4] = {{150, 550, 0, -30}, {150, 450, 255, -30}, {150, 450, 255, -10}, {150, 550, 0, -10}};
    for (int i = 0; i < 4; i++) {
        const V3D &v = vertices[i];
        EXPECT_TRUE(v.x == itofix(side[i][0]) && v.z == itofix(side[i][1])) << i;
        EXPECT_TRUE(v.u == itofix(side[i][2]) && v.y == itofix(side[i][3])) << i;
    }
    EXPECT_EQ(vertices[2].v, itofix(30));
}

TEST_F(RenderSquares, SortPutsTheFarthestFirstAndKeepsEqualDistancesInPlace)
{
    add_square(0, 0, 0, 0);     /* serial 1, distance 0 from (0, 0) */
    add_square(3, 0, 0, 0);     /* 2: 9 */
    add_square(0, 0, 3, 0);     /* 3: 9 */
    add_square(1, 0, 1, 0);     /* 4: 2 */
    add_square(5, 0, 5, 0);     /* 5: 50 */
    add_square(0, 0, 3, 0);     /* 6: 9, same square as 3 */
    sort_tiles(0, 0);
    const int serials[6] = {5, 2, 3, 6, 4, 1};
    const int keys[6] = {50, 9, 9, 9, 2, 0};
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(level_map.tiles[i].serial, serials[i]) << i;
        EXPECT_EQ(level_map.tiles[i].depth_key, keys[i]) << i;
    }
    /* From elsewhere the order changes, each record keeping its serial. */
    sort_tiles(5, 5);
    EXPECT_EQ(level_map.tiles[0].serial, 1);
    EXPECT_EQ(level_map.tiles[5].serial, 5);
}

/* Which sides a square shows is seen through whole drawings below and in the face light tests;
   here the edge cases of the column and row tests. */
TEST_F(RenderSquares, LateralSidesShowOnlyOffTheEyesColumnOrRow)
{
    /* Eye at (5, 5). Looking along +z (quadrant 0), a square to the +x shows its -x side. */
    EXPECT_EQ(side_visible_right(0, 7, 9, 5, 5), 1);
    EXPECT_EQ(side_visible_left(0, 7, 9, 5, 5), 0);
    EXPECT_EQ(side_visible_left(0, 3, 9, 5, 5), 1);
    EXPECT_EQ(side_visible_right(0, 5, 9, 5, 5) + side_visible_left(0, 5, 9, 5, 5), 0);
    /* Along +x (1) the rows decide, along -z (2) and -x (3) the other way round. */
    EXPECT_EQ(side_visible_right(1, 9, 6, 5, 5) + side_visible_left(1, 9, 4, 5, 5), 2);
    EXPECT_EQ(side_visible_right(2, 4, 0, 5, 5) + side_visible_left(2, 6, 0, 5, 5), 2);
    EXPECT_EQ(side_visible_right(3, 0, 4, 5, 5) + side_visible_left(3, 0, 6, 5, 5), 2);
    EXPECT_EQ(side_visible_right(3, 0, 5, 5, 5) + side_visible_left(3, 0, 5, 5, 5), 0);
}

TEST_F(RenderSquares, ANearerBlockCoversTheSquareBehindIt)
{
    /* Listed near first: the sort must still draw it last. */
    add_square(0, 8, 2, 0, 8, 8, 8, 8);
    add_square(0, 0, 4, 1);
    Camera camera = draw_world();
    const int behind = pixel_at(camera, 0, 0, 400);
    EXPECT_TRUE(behind == colour[0] || behind == colour[3]) << behind;
    EXPECT_GT(count_colour(picture, colour[3], 0, 0, 639, 479), 1000);

    /* Flat on the floor, the block no longer hides it. */
    for (int i = 0; i < level_map.tile_count; i++)
        if (level_map.tiles[i].serial == 1) {
            level_map.tiles[i].height = 0;
            for (int &d : level_map.tiles[i].side_depth)
                d = 0;
        }
    camera = draw_world();
    EXPECT_EQ(pixel_at(camera, 0, 0, 400), colour[1]);
    EXPECT_EQ(count_colour(picture, colour[3], 0, 0, 639, 479), 0);
}

TEST_F(RenderSquares, OnlyTheSidesThatCanFaceTheEyeAreDrawn)
{
    /* In the eye's own column, looking along +z: facing side and top only. */
    add_square(0, 5, 3, 0, 5, 5, 5, 5);
    draw_world();
    EXPECT_EQ(polys_drawn, 2);
    EXPECT_GT(count_colour(picture, colour[3], 0, 0, 639, 479), 100);

    /* Without depth on the facing side, only the top. */
    level_map.tiles[0].side_depth[2] = 0;
    draw_world();
    EXPECT_EQ(polys_drawn, 1);
    EXPECT_EQ(count_colour(picture, colour[3], 0, 0, 639, 479), 0);

    /* Off the column, one lateral side as well. */
    level_map.tiles[0].side_depth[2] = 5;
    level_map.tiles[0].x = 1;
    draw_world();
    EXPECT_EQ(polys_drawn, 3);

    /* Behind the eye nothing at all, sides or not. */
    level_map.tiles[0].x = 0;
    level_map.tiles[0].z = -5;
    draw_world();
    EXPECT_EQ(polys_drawn, 0);
    EXPECT_EQ(level_map.tiles[0].visible, 0);
    EXPECT_EQ(count_colour(picture, 0, 0, 0, 639, 479), 640 * 480);
}

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
