/* render_model_clipping_test.cpp: a shipped model straddling the edges of a small view is cut
   in model space: drawn up to the edge, nothing beyond it. */
#include "render_test_support.h"

#include <cstdio>

#include "render/actor_drawing.h"
#include "render/bsp/bsp_model.h"
#include "render/camera.h"
#include "render/clipping.h"
#include "render/viewport.h"
#include "world/actor.h"

namespace {

/* The view of size 3, 320 x 240 at (160, 120), in a 640 x 480 picture whose own clipping is off
   as during a frame, so only the model's clipping keeps the drawing inside the view. */
class ModelAtTheEdge : public ::testing::Test {
protected:
    Keep<decltype(model_table)> models{model_table};
    Keep<ActorTable> actors{actor_table};
    OptionsGuard guard;
    BITMAP *picture = nullptr;
    BITMAP *skin = nullptr;
    Camera camera;
    ClipPlane planes[FRUSTUM_PLANES];
    const Viewport view{160, 120, 320, 240};

    void SetUp() override
    {
        start_render_library();
        picture = create_bitmap_ex(8, 640, 480);
        skin = solid_bitmap(128, 128, 7);
        FILE *in = std::fopen(TIRVEX_GAME_DIR "/bsp/mibo.bsp", "r");
        ASSERT_NE(in, nullptr);
        ASSERT_EQ(parse_bsp_model(in, skin, &model_table[MODEL_MIBO]), nullptr);
        std::fclose(in);
        model_table[MODEL_MIBO].texture = skin;
        actor_table.count = 1;
        actor_table.actors[0] = Actor{};
        actor_table.actors[0].type = ACTOR_MIBO;
        actor_table.actors[0].angle_y = itofix(40);
        set_viewport(compute_viewport(640, 480, 3));
        /* The eye at the origin looking along +z, level. */
        build_camera(CAMERA_BEHIND, 0.0f, -120.0f, 0, 0.0f, 0, 0, 0, &camera);
        int count;
        make_clip_planes(&camera.matrix, planes, &count);
    }

    void TearDown() override
    {
        free_bsp_model(&model_table[MODEL_MIBO]);
        destroy_bitmap(skin);
        destroy_bitmap(picture);
    }

    /* The coordinate (0 x, 1 y) that puts the model's centre on plane p at depth z, the other
       coordinate being `other`. */
    double on_plane(int p, int axis, double other, double z)
    {
        const ClipPlane &q = planes[p];
        const double a = fixtof(axis == 0 ? q.a : q.b), b = fixtof(axis == 0 ? q.b : q.a);
        return (fixtof(q.d) - b * other - fixtof(q.c) * z) / a;
    }
};

} // namespace

TEST_F(ModelAtTheEdge, IsDrawnUpToTheViewEdgeAndNotBeyond)
{
    const BspModel &m = model_table[MODEL_MIBO];
    const double depth = 200, cx = fixtof(m.centre.x), cy = fixtof(m.centre.y), cz = fixtof(m.centre.z);
    /* Planes 0..3 are the left, right, top and bottom edges; -1 leaves the centre on the axis. */
    const struct { int x_plane, y_plane, x0, y0, x1, y1; } edges[] = {
        {0, -1, 160, 120, 161, 359}, {1, -1, 478, 120, 479, 359},
        {-1, 2, 160, 120, 479, 121}, {-1, 3, 160, 358, 479, 359},
        {0, 2, 160, 120, 161, 359},
    };
    for (int shading : {(int)SHADE_LINEAR_TEXTURE, (int)SHADE_PERSPECTIVE_TEXTURE})
        for (const auto &e : edges) {
            display_options.light_mode = LIGHT_AMBIENT;
            display_options.shading_mode = shading;
            const double y = e.y_plane < 0 ? 0 : on_plane(e.y_plane, 1, 0, depth);
            const double x = e.x_plane < 0 ? 0 : on_plane(e.x_plane, 0, y, depth);
            Actor &a = actor_table.actors[0];
            a.x = ftofix(x - cx);
            a.y = ftofix(y - cy);
            a.z = ftofix(depth - cz);
            clear_to_color(picture, 255);
            set_clip(picture, 0, 0, 0, 0);
            draw_actor(0, picture, &camera);
            const int inside = count_colour(picture, 7, view.x, view.y, view.x + view.w - 1,
                                            view.y + view.h - 1);
            EXPECT_GT(inside, 200) << "edge " << &e - edges << " shading " << shading;
            EXPECT_GT(count_colour(picture, 7, e.x0, e.y0, e.x1, e.y1), 20)
                << "drawn up to edge " << &e - edges;
            rectfill(picture, view.x, view.y, view.x + view.w - 1, view.y + view.h - 1, 255);
            EXPECT_EQ(count_colour(picture, 255, 0, 0, 639, 479), 640 * 480)
                << "drawn beyond edge " << &e - edges << " shading " << shading;
        }
}
