/* render_model_clipping_test.cpp: a shipped model straddling the edges of a small view is cut
   in model space: drawn up to the edge, nothing beyond it. */
#include "render_test_support.h"

#include <cstdio>

#include "render/actor_drawing.h"
#include "render/viewport.h"

namespace {

/* The view of size 3, 320 x 240 at (160, 120), in a 640 x 480 picture whose own clipping is off
   as during a frame, so only the model's clipping keeps the drawing inside the view. */
class ModelAtTheEdge : public ActorView {
protected:
    BITMAP *skin = nullptr;

    void SetUp() override
    {
        ActorView::SetUp();
        skin = solid_bitmap(128, 128, 7);
        FILE *in = std::fopen(TIRVEX_GAME_DIR "/bsp/mibo.bsp", "r");
        ASSERT_NE(in, nullptr);
        ASSERT_EQ(parse_bsp_model(in, skin, &model_table[MODEL_MIBO]), nullptr);
        std::fclose(in);
        model_table[MODEL_MIBO].texture = skin;
        world.actors.count = 1;
        world.actors.actors[0] = Actor{};
        world.actors.actors[0].type = ACTOR_MIBO;
        world.actors.actors[0].angle_y = itofix(40);
        set_viewport(compute_viewport(640, 480, 3));
    }

    void TearDown() override
    {
        free_bsp_model(&model_table[MODEL_MIBO]);
        destroy_bitmap(skin);
        ActorView::TearDown();
    }

    /* Where plane p (left, right, top, bottom) crosses the depth z: x for the left and right
       planes, y for the others, since the eye looks level along +z. */
    double edge(int p, double z)
    {
        const ClipPlane &q = Frustum(camera.matrix).planes[p];
        return (fixtof(q.d) - fixtof(q.c) * z) / fixtof(p < 2 ? q.a : q.b);
    }
};

} // namespace

TEST_F(ModelAtTheEdge, IsDrawnUpToTheViewEdgeAndNotBeyond)
{
    const BspModel &m = model_table[MODEL_MIBO];
    const double z = 200;
    /* The centre on a side plane and on the axis otherwise (-1), and a strip just inside the edge. */
    const struct { int x_plane, y_plane, x0, y0, x1, y1; } edges[] = {
        {0, -1, 160, 120, 161, 359}, {1, -1, 478, 120, 479, 359}, {-1, 2, 160, 120, 479, 121},
        {-1, 3, 160, 358, 479, 359}, {0, 2, 160, 120, 161, 359},
    };
    display_options.light_mode = LIGHT_AMBIENT;
    for (int shading : {(int)SHADE_LINEAR_TEXTURE, (int)SHADE_PERSPECTIVE_TEXTURE})
        for (const auto &e : edges) {
            display_options.shading_mode = shading;
            Actor &a = world.actors.actors[0];
            a.x = ftofix(e.x_plane < 0 ? 0 : edge(e.x_plane, z)) - m.centre.x;
            a.y = ftofix(e.y_plane < 0 ? 0 : edge(e.y_plane, z)) - m.centre.y;
            a.z = ftofix(z) - m.centre.z;
            clear_to_color(picture, 255);
            set_clip_state(picture, FALSE);
            draw_actor(world, 0, picture, &camera);
            const int at = &e - edges;
            EXPECT_GT(count_colour(picture, 7, 160, 120, 479, 359), 200) << at << ", " << shading;
            EXPECT_GT(count_colour(picture, 7, e.x0, e.y0, e.x1, e.y1), 20) << at << ", " << shading;
            rectfill(picture, 160, 120, 479, 359, 255);
            EXPECT_EQ(count_colour(picture, 255), 640 * 480)
                << "drawn beyond edge " << at << ", shading " << shading;
        }
}
