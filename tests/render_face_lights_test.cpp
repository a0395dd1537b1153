/* render_face_lights_test.cpp: the colour each face of a real square comes out in, in every light
   mode with flat and random shading, read from the drawn picture. */
#include "render_test_support.h"

#include <cmath>

#include "render/squares.h"
#include "render/viewport.h"
#include "world/tile_grid.h"

namespace {

/* One block at cell (0, 0), eight levels high with all four sides, looked at from 450 units
   away along one of the four axis headings, so the top and exactly one side face the eye. */
class FaceLights : public ::testing::Test {
protected:
    EmptyLevelGuard level;
    OptionsGuard guard;
    BITMAP *picture = nullptr;
    Camera camera;

    void SetUp() override
    {
        start_render_library();
        add_square(0, 8, 0, 0, 8);
        picture = create_bitmap_ex(8, 640, 480);
        set_viewport(compute_viewport(640, 480, 0));
    }

    void TearDown() override { destroy_bitmap(picture); }

    /* Draws the world pass along heading (1/256 turns) and returns the side facing the eye. */
    int draw_from(int heading)
    {
        const double a = heading * M_PI / 128;
        build_camera(CAMERA_BEHIND, 0.4f, -120.0f, 200, -250.0f, itofix(heading),
                     ftofix(250 * std::sin(a)), ftofix(-250 * std::cos(a)), &camera);
        const Frustum view(camera.matrix);
        int column, row;
        const int quadrant = view_quadrant_and_tile(camera.heading, camera.x, camera.z, &column, &row);
        clear_to_color(picture, 255);
        static SquareOrder order;
        int visible;
        sort_tiles(world, column, row, &order);
        draw_squares(picture, world, order, &camera, view.planes, view.count, quadrant, column, row,
                     &visible);
        return side_order(quadrant).facing;
    }
};

/* The middle of side s (0 +z, 1 -x, 2 -z, 3 +x) of the block, half way down. */
const double SIDE_MIDDLE[4][2] = {{0, 50}, {-50, 0}, {0, -50}, {50, 0}};

} // namespace

TEST_F(FaceLights, TopsAndSidesShowTheirColourOrTheGreyOfTheirLight)
{
    const int blue = makecol(0, 0, 128), green = makecol(0, 128, 0);
    /* Flat with a light: grey light / 2 + 128 of the top's 128 and the sides' 128, 0, 128, 255. */
    const int grey_top = makecol(192, 192, 192);
    const int grey_side[4] = {makecol(192, 192, 192), makecol(128, 128, 128),
                              makecol(192, 192, 192), makecol(255, 255, 255)};
    for (int light = LIGHT_AMBIENT; light <= LIGHT_SOURCE_FOG; light++)
        for (int shading : {(int)SHADE_FLAT, (int)SHADE_RANDOM}) {
            display_options.light_mode = light;
            display_options.shading_mode = shading;
            const bool greys = shading == SHADE_FLAT && light != LIGHT_AMBIENT;
            int sides_seen = 0;
            for (int heading : {0, 64, 128, 192}) {
                const int side = draw_from(heading);
                sides_seen |= 1 << side;
                EXPECT_EQ(pixel_seen(picture, camera, 0, -80, 0), greys ? grey_top : blue)
                    << "top, light " << light << " shading " << shading << " heading " << heading;
                EXPECT_EQ(pixel_seen(picture, camera, SIDE_MIDDLE[side][0], -40, SIDE_MIDDLE[side][1]),
                          greys ? grey_side[side] : green)
                    << "side " << side << ", light " << light << " shading " << shading;
            }
            EXPECT_EQ(sides_seen, 15) << "every side faced the eye once";
        }
}
