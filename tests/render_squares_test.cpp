/* render_squares_test.cpp: the depth sort, side choice and painter's order of the squares, seen in
   the colours drawn. (Their faces and light in every mode are pinned by e2e_screens_demo.) */
#include <cmath>

#include "render/polygon_drawing.h"
#include "render/render_frame.h"
#include "render/squares.h"
#include "render/viewport.h"
#include "render_test_support.h"
#include "render/colour_tables.h"

namespace {

/* The level's squares and actors, and the texture table, put back after each test. */
class RenderSquares : public ::testing::Test {
protected:
    EmptyLevelGuard level;
    Keep<decltype(texture_table)> saved_textures{texture_table};
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
            textures[i] = solid_bitmap(128, 128, colour[i]);
            texture_table[i] = textures[i];
        }
        display_options.light_mode = LIGHT_AMBIENT;
        display_options.shading_mode = SHADE_PERSPECTIVE_TEXTURE;
        picture = create_bitmap_ex(8, 640, 480);
    }

    int visible = 0;   /* squares in view in the last drawing */

    void TearDown() override
    {
        destroy_bitmap(picture);
        for (BITMAP *texture : textures)
            destroy_bitmap(texture);
    }

    /* The camera behind a player at (0, 0) facing +z, the squares drawn far to near. */
    Camera draw_world()
    {
        clear_bitmap(picture);
        set_viewport(compute_viewport(640, 480, 0));
        Camera camera;
        build_camera(CAMERA_BEHIND, 0.2f, -120.0f, 200, -120.0f, 0, 0, 0, &camera);
        const Frustum view(camera.matrix);
        static SquareOrder order;
        sort_tiles(world, 0, -2, &order);
        polys_drawn = 0;
        draw_squares(picture, world, order, &camera, view.planes, view.count, 0, 0, -2, &visible);
        return camera;
    }
};

} // namespace

TEST_F(RenderSquares, SortPutsTheFarthestFirstAndKeepsEqualDistancesInPlace)
{
    /* Serials 1 to 6, at squared distances 0, 9, 9, 2, 50 and 9 from (0, 0); 6 is on square 3. */
    for (const auto &[x, z] : {std::pair{0, 0}, {3, 0}, {0, 3}, {1, 1}, {5, 5}, {0, 3}})
        add_square(x, 0, z);
    SquareOrder order{};
    order.starts = world.starts;
    sort_tiles(world, 0, 0, &order);
    const int serials[6] = {5, 2, 3, 6, 4, 1};
    const int keys[6] = {50, 9, 9, 9, 2, 0};
    ASSERT_EQ(order.count, 6);
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(world.map.tiles[order.tiles[i]].serial, serials[i]) << i;
        EXPECT_EQ(order.keys[i], keys[i]) << i;
    }
    /* From elsewhere the order changes; the world's own list is only read. */
    sort_tiles(world, 5, 5, &order);
    EXPECT_EQ(world.map.tiles[order.tiles[0]].serial, 1);
    EXPECT_EQ(world.map.tiles[order.tiles[5]].serial, 5);
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(world.map.tiles[i].serial, i + 1) << "the list keeps the map's order";
    /* A new level start begins again from the list's own order. */
    world.starts++;
    sort_tiles(world, 0, 0, &order);
    EXPECT_EQ(order.starts, world.starts);
    EXPECT_EQ(world.map.tiles[order.tiles[0]].serial, 5);
}

/* Which sides a square shows is seen through whole drawings below and in the face light tests;
   here the edge cases of the column and row tests. */
TEST_F(RenderSquares, LateralSidesShowOnlyOffTheEyesColumnOrRow)
{
    /* Eye at (5, 5). Looking along +z (quadrant 0), a square to the +x shows its -x side; along
       +x (1) the rows decide, along -z (2) and -x (3) the other way round. Each case: quadrant,
       column, row, then whether the right and the left side show. */
    const int cases[][5] = {{0, 7, 9, 1, 0}, {0, 3, 9, 0, 1}, {0, 5, 9, 0, 0}, {1, 9, 6, 1, 0}, {1, 9, 4, 0, 1},
                            {2, 4, 0, 1, 0}, {2, 6, 0, 0, 1}, {3, 0, 4, 1, 0}, {3, 0, 6, 0, 1}, {3, 0, 5, 0, 0}};
    for (const auto &c : cases) {
        EXPECT_EQ(side_visible_right(c[0], c[1], c[2], 5, 5), c[3]) << c[0] << ": " << c[1] << ", " << c[2];
        EXPECT_EQ(side_visible_left(c[0], c[1], c[2], 5, 5), c[4]) << c[0] << ": " << c[1] << ", " << c[2];
    }
}

TEST_F(RenderSquares, ANearerBlockCoversTheSquareBehindIt)
{
    /* Listed near first: the sort must still draw it last. */
    add_square(0, 8, 2, 0, 8);
    add_square(0, 0, 4, 1);
    Camera camera = draw_world();
    const int behind = pixel_seen(picture, camera, 0, 0, 400);
    EXPECT_TRUE(behind == colour[0] || behind == colour[3]) << behind;
    EXPECT_GT(count_colour(picture, colour[3]), 1000);

    /* Flat on the floor, the block no longer hides it. */
    world.map.tile_count = 0;
    add_square(0, 0, 2, 0);
    add_square(0, 0, 4, 1);
    camera = draw_world();
    EXPECT_EQ(pixel_seen(picture, camera, 0, 0, 400), colour[1]);
    EXPECT_EQ(count_colour(picture, colour[3]), 0);
}

TEST_F(RenderSquares, OnlyTheSidesThatCanFaceTheEyeAreDrawn)
{
    /* In the eye's own column, looking along +z: facing side and top only. */
    add_square(0, 5, 3, 0, 5);
    draw_world();
    EXPECT_EQ(polys_drawn, 2);
    EXPECT_GT(count_colour(picture, colour[3]), 100);

    /* Without depth on the facing side, only the top. */
    world.map.tiles[0].side_depth[2] = 0;
    draw_world();
    EXPECT_EQ(polys_drawn, 1);
    EXPECT_EQ(count_colour(picture, colour[3]), 0);

    /* Off the column, one lateral side as well. */
    world.map.tiles[0].side_depth[2] = 5;
    world.map.tiles[0].x = 1;
    draw_world();
    EXPECT_EQ(polys_drawn, 3);

    /* Behind the eye nothing at all, sides or not. */
    world.map.tiles[0].x = 0;
    world.map.tiles[0].z = -5;
    draw_world();
    EXPECT_EQ(polys_drawn, 0);
    EXPECT_EQ(visible, 0);
    EXPECT_EQ(count_colour(picture, 0), 640 * 480);
}
