/* render_actor_test.cpp: actors drawn as BSP models (order, back faces) and as explosions, and
   which actors a square brings along. (Their light and poses are pinned by e2e_screens_demo.) */
#include "render_test_support.h"

#include "base/datafile.h"
#include "render/actor_drawing.h"
#include "render/render_frame.h"
#include "render/viewport.h"
#include "world/player_motion.h"

namespace {

/* Two square panels facing -z, one behind the other in model space: node 0 the large far one at
   z = 20, node 1 (its front child) the small near one at z = 0. */
struct PanelModel {
    BspNode nodes[2];
    V3D vertices[8];
    BspTexcoord texcoords[4];
    BspModel model{};

    explicit PanelModel(BITMAP *texture)
    {
        const double corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int i = 0; i < 4; i++) {
            vertices[i] = corner(corners[i][0] * 50, corners[i][1] * 50, 20);
            vertices[4 + i] = corner(corners[i][0] * 25, corners[i][1] * 25, 0);
            texcoords[i] = BspTexcoord{itofix(corners[i][0] > 0 ? 15 : 0), itofix(corners[i][1] > 0 ? 15 : 0)};
        }
        for (int n = 0; n < 2; n++) {
            nodes[n] = BspNode{};
            nodes[n].plane = BspPlane{0, 0, itofix(-1), itofix(n == 0 ? -20 : 0)};
            nodes[n].vertex_count = 4;
            for (int i = 0; i < 4; i++)
                nodes[n].vertex_index[i] = 4 * n + i, nodes[n].texcoord_index[i] = i;
        }
        nodes[0].front = &nodes[1];
        model.name = "panels", model.nodes = model.root = nodes, model.node_count = 2;
        model.vertices = vertices, model.vertex_count = 8, model.texcoords = texcoords, model.texcoord_count = 4;
        model.texture = texture, model.centre = BspPoint{0, 0, itofix(10)}, model.radius = itofix(75);
    }
};

/* The panels without a texture, drawn unlit in random colours unless a test says otherwise. */
class RenderActors : public ActorView {
protected:
    Keep<decltype(light_dir)> light{light_dir};
    Keep<int32_t> crouched{world.crouch}, stretched{world.stretch};
    PanelModel panels{nullptr};

    void SetUp() override
    {
        ActorView::SetUp();
        world.crouch = world.stretch = 0;
        display_options.light_mode = LIGHT_AMBIENT;
        display_options.shading_mode = SHADE_RANDOM;
        clear_to_color(picture, 255);
        set_viewport(compute_viewport(640, 480, 0));
    }

    /* An actor of `type` at world (x, 0, z) whose model space lines up with the world (the
       quarter turn every actor gets is undone), standing on the squares given. */
    int add_actor(int type, double x, double z, int serial, int second_serial = 0)
    {
        Actor &a = world.actors.actors[world.actors.count];
        a = Actor{};
        a.type = type, a.x = ftofix(x), a.z = ftofix(z), a.angle_y = itofix(-64);
        a.refs = second_serial ? 2 : 1, a.locs[0] = serial, a.locs[1] = second_serial;
        return world.actors.count++;
    }

    int centre() { return getpixel(picture, 320, 240); }
    /* A point on the far panel only. */
    int beside() { return getpixel(picture, 320 + 60, 240); }
};

} // namespace

TEST_F(RenderActors, TheNearerFaceIsPaintedLastAndFacesTurnedAwayAreSkipped)
{
    model_table[ACTOR_MIBO] = panels.model;
    const int i = add_actor(ACTOR_MIBO, 0, 300, 1);
    polys_drawn = 0;
    draw_actor(world, i, picture, &camera);
    EXPECT_EQ(centre(), 1);     /* node 1, the near panel */
    EXPECT_EQ(beside(), 0);     /* node 0, the far panel around it */
    EXPECT_EQ(polys_drawn, 2);

    /* Seen from behind both panels face away: nothing is drawn. */
    Camera behind;
    build_camera(CAMERA_BEHIND, 0.0f, -120.0f, 0, 0.0f, itofix(128), 0, ftofix(600.0), &behind);
    clear_to_color(picture, 255);
    polys_drawn = 0;
    draw_actor(world, i, picture, &behind);
    EXPECT_EQ(polys_drawn, 0);
    EXPECT_EQ(count_colour(picture, 255, 0, 0, 639, 479), 640 * 480);
}

TEST_F(RenderActors, ASquareDrawsItsActorsInViewAndCountsAMovingOneTwice)
{
    model_table[ACTOR_MIBO] = panels.model;
    add_actor(ACTOR_MIBO, 0, 300, 4);
    add_actor(ACTOR_MIBO, 0, 400, 4, 5);       /* between squares 4 and 5 */
    const int gone = add_actor(ACTOR_MIBO, 50, 300, 4);
    world.actors.actors[gone].gone = 1;
    add_actor(ACTOR_MIBO, 0, -300, 4);         /* behind the eye */
    add_actor(ACTOR_MIBO, 0, 500, 6);          /* on another square */
    const Frustum view(camera.matrix);
    EXPECT_EQ(draw_tile_actors(world, picture, 4, &camera, view.planes, view.count), 2);
    EXPECT_EQ(draw_tile_actors(world, picture, 5, &camera, view.planes, view.count), 1);
    EXPECT_EQ(draw_tile_actors(world, picture, 7, &camera, view.planes, view.count), 0);
}

/* An exploding actor is its countdown's picture, 640 x 50 / depth pixels square, centred where
   the library's projection puts the model's centre; at or behind the eye it is not drawn. */
TEST_F(RenderActors, AnExplosionCoversItsSquareAroundTheProjectedCentreAndNothingAtTheEye)
{
    DATAFILE *data = load_datafile(TIRVEX_GAME_DIR "/data/pz.dat");
    ASSERT_NE(data, nullptr);
    Keep<DATAFILE *> datafile{Datafile};
    Datafile = data;
    model_table[ACTOR_MINE] = panels.model;

    /* The model's centre, 10 ahead of the actor, lands at depth 100 and right of the middle. */
    const int ahead = add_actor(ACTOR_MINE, 30, 90, 1);
    world.actors.actors[ahead].timer = 70;
    const ScreenPoint centre = screen_point(camera, 30, 0, 100);
    const int x = (int)std::lround(centre.x), y = (int)std::lround(centre.y);
    EXPECT_TRUE(x > 420 && y == 240) << x << ", " << y;
    BITMAP *expected = solid_bitmap(640, 480, 0);
    stretch_sprite(expected, (BITMAP *)data[explosion_picture(70)].dat, x - 160, y - 160, 320, 320);
    clear_bitmap(picture);
    draw_actor(world, ahead, picture, &camera);
    for (int py = 0; py < 480; py++)
        for (int px = 0; px < 640; px++)
            ASSERT_EQ(getpixel(picture, px, py), getpixel(expected, px, py)) << px << ", " << py;
    /* Compared pixel for pixel, so the picture must show: an eighth of its square at least. */
    EXPECT_LT(count_colour(expected, 0, x - 160, y - 160, x + 159, y + 159), 320 * 320 * 7 / 8);
    destroy_bitmap(expected);

    for (double z : {-10.0, -200.0, -10.2}) {
        const int i = add_actor(ACTOR_MINE, 0, z, 1);
        world.actors.actors[i].timer = 40;
        clear_bitmap(picture);
        draw_actor(world, i, picture, &camera);
        EXPECT_EQ(count_colour(picture, 0, 0, 0, 639, 479), 640 * 480) << z;
    }
    unload_datafile(data);
}
