/* render_test.cpp: what the renderer draws: the depth sort, side choice and painter's order of the
   squares, actors as BSP models (order, back faces) and as explosions, the polygon clipper and the
   sphere test, and over the view the viewport sizes and frame, the message line, the HUD clock,
   the sliding panels and explosions. (What each camera and light mode, the faces, models and
   poses, the backdrop and the map panel show is pinned by the screens demo, e2e_screens_demo;
   the key card's idea and moved keys by e2e_key_card_keys.) */
#include <cmath>
#include <string>
#include <utility>

#include "base/datafile.h"
#include "base/timer.h"
#include "datafile_test_support.h"
#include "game_test_support.h"
#include "render/actor_drawing.h"
#include "render/colour_tables.h"
#include "render/hud.h"
#include "render/map_panel.h"
#include "render/message_line.h"
#include "render/polygon_drawing.h"
#include "render/render_frame.h"
#include "render/squares.h"
#include "render/viewport.h"
#include "render_test_support.h"
#include "world/player_motion.h"
#include "world/world_messages.h"

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
    EXPECT_TRUE(order.starts == world.starts && world.map.tiles[order.tiles[0]].serial == 5);
}

TEST_F(RenderSquares, OnlyTheSidesThatCanFaceTheEyeAreDrawn)
{
    /* In the eye's own column, looking along +z: facing side and top only. */
    add_square(0, 5, 3, 0, 5);
    draw_world();
    EXPECT_TRUE(polys_drawn == 2 && count_colour(picture, colour[3]) > 100);

    /* Without depth on the facing side, only the top. */
    world.map.tiles[0].side_depth[2] = 0;
    draw_world();
    EXPECT_TRUE(polys_drawn == 1 && count_colour(picture, colour[3]) == 0);

    /* Off the column, one lateral side as well. */
    world.map.tiles[0].side_depth[2] = 5;
    world.map.tiles[0].x = 1;
    draw_world();
    EXPECT_EQ(polys_drawn, 3);

    /* Behind the eye nothing at all, sides or not. */
    world.map.tiles[0].x = 0;
    world.map.tiles[0].z = -5;
    draw_world();
    EXPECT_TRUE(polys_drawn == 0 && visible == 0);
    EXPECT_EQ(count_colour(picture, 0), 640 * 480);
}

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

namespace {

struct TestPolygon {
    V3D in_vertices[MAX_POLYGON_VERTICES];
    V3D out_vertices[MAX_POLYGON_VERTICES];
    Polygon in{in_vertices, 0, MAX_POLYGON_VERTICES};
    Polygon out{out_vertices, 0, MAX_POLYGON_VERTICES};
    TestPolygon(std::initializer_list<V3D> corners)
    {
        for (const V3D &c : corners)
            in_vertices[in.count++] = c;
    }
};

} // namespace

TEST(RenderClipping, RejectsPolygonsBehindBesideOrOnlyTouchingTheView)
{
    const Frustum f(identity_matrix);    /* camera space: x = -z, x = z, y = -z, y = z */
    TestPolygon rejected[] = {
        {corner(-1, -1, -10), corner(1, -1, -10), corner(1, 1, -10), corner(-1, 1, -10)},
        {corner(20, -1, 10), corner(30, -1, 10), corner(30, 1, 10), corner(20, 1, 10)},
        /* A point on a plane counts as outside: touching the right plane along x = z = 10,
           then touching only the top-right corner of the view. */
        {corner(10, -1, 10), corner(20, -1, 10), corner(20, 1, 10), corner(10, 1, 10)},
        {corner(10, 10, 10), corner(20, 10, 10), corner(20, 20, 10)},
    };
    for (TestPolygon &p : rejected)
        EXPECT_TRUE(clip_polygon(f.planes, f.count, &p.in, &p.out) == 0 && p.out.count == 0) << &p - rejected;
}

TEST(RenderClipping, ACornerBeyondASidePlaneGivesFiveCornersAndAnInsideQuadStaysAsItIs)
{
    const Frustum f(identity_matrix);
    /* The edge from (5, -5) to (12, 5), u 0 to 140, is cut at x = 10: 5/7 along, u 100. */
    TestPolygon cut{corner(-5, -5, 10), corner(5, -5, 10), corner(12, 5, 10, 140, 0),
                    corner(-5, 5, 10)};
    EXPECT_EQ(clip_polygon(f.planes, f.count, &cut.in, &cut.out), 3);
    ASSERT_EQ(cut.out.count, 5);
    int found = 0;
    for (int i = 0; i < cut.out.count; i++)
        if (std::abs(cut.out.vtx[i].x - itofix(10)) < 8 && std::abs(cut.out.vtx[i].y - ftofix(50.0 / 7 - 5)) < 64) {
            EXPECT_NEAR(fixtof(cut.out.vtx[i].u), 100.0, 0.05);
            found++;
        }
    EXPECT_EQ(found, 1);
    for (int i = 0; i < cut.out.count; i++)
        EXPECT_TRUE(cut.out.vtx[i].x <= itofix(10) + 2 && cut.out.vtx[i].z == itofix(10)) << i;

    const V3D square[4] = {corner(-5, -5, 10, 0, 0), corner(5, -5, 10, 128, 0),
                           corner(5, 5, 10, 128, 128), corner(-5, 5, 10, 0, 128)};
    TestPolygon inside{square[0], square[1], square[2], square[3]};
    EXPECT_EQ(clip_polygon(f.planes, f.count, &inside.in, &inside.out), 1);
    ASSERT_EQ(inside.out.count, 4);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(std::memcmp(&inside.out.vtx[i], &square[i], sizeof(V3D)), 0) << "corner " << i;
}

TEST(RenderClipping, ATenCornerFaceCutByEveryPlaneFitsAndStaysInside)
{
    const Frustum f(identity_matrix);
    V3D vertices[MAX_POLYGON_VERTICES];
    Polygon in = {vertices, 10, MAX_POLYGON_VERTICES};
    /* Corners on a circle of radius 11 at depth 10: each plane cuts off exactly one of them. */
    const int degrees[10] = {0, 30, 60, 90, 120, 180, 210, 270, 300, 330};
    auto make_face = [&] {
        for (int i = 0; i < 10; i++) {
            const double a = degrees[i] * M_PI / 180;
            vertices[i] = corner(11 * std::cos(a), 11 * std::sin(a), 10);
        }
        in.count = 10;
    };
    make_face();
    V3D out_vertices[MAX_POLYGON_VERTICES + 2];
    const V3D canary = corner(123, 456, 789);
    out_vertices[MAX_POLYGON_VERTICES] = out_vertices[MAX_POLYGON_VERTICES + 1] = canary;
    Polygon out = {out_vertices, 0, MAX_POLYGON_VERTICES};
    EXPECT_EQ(clip_polygon(f.planes, f.count, &in, &out), 2);
    EXPECT_EQ(out.count, 14);
    for (int i = 0; i < out.count; i++)
        for (const ClipPlane &p : f.planes)
            EXPECT_GE(dot_product(p.a, p.b, p.c, out.vtx[i].x, out.vtx[i].y, out.vtx[i].z) - p.d, -itofix(1) / 100)
                << "corner " << i;
    EXPECT_EQ(out_vertices[MAX_POLYGON_VERTICES].x, canary.x);

    /* A buffer too small for the result is left empty, never overrun. */
    make_face();
    V3D small_vertices[12 + 1];
    small_vertices[12] = canary;
    Polygon small = {small_vertices, 0, 12};
    EXPECT_EQ(clip_polygon(f.planes, f.count, &in, &small), 0);
    EXPECT_TRUE(small.count == 0 && small_vertices[12].x == canary.x);
}

TEST(RenderClipping, SphereTestRejectsOnlyWhatLiesWhollyOutside)
{
    const Frustum f(identity_matrix);
    EXPECT_EQ(sphere_in_frustum(f.planes, f.count, 0, 0, itofix(100), itofix(1)), 1);
    EXPECT_EQ(sphere_in_frustum(f.planes, f.count, 0, 0, itofix(-100), itofix(10)), 0);
    /* Just beyond the right plane, but the radius reaches back in. */
    EXPECT_EQ(sphere_in_frustum(f.planes, f.count, itofix(105), 0, itofix(100), itofix(10)), 1);
    EXPECT_EQ(sphere_in_frustum(f.planes, f.count, itofix(130), 0, itofix(100), itofix(10)), 0);
    /* A centre just behind the eye may still be in view. */
    EXPECT_EQ(sphere_in_frustum(f.planes, f.count, 0, 0, itofix(-2), itofix(10)), 1);
}

namespace {

/* The shipped datafile loaded as the game's, with its palette; put back after each test. */
class RenderOverlay : public ShippedData {
protected:
    Keep<DATAFILE *> datafile{Datafile};
    EmptyLevelGuard level;
    OptionsGuard guard;
    BITMAP *picture = nullptr;

    void SetUp() override
    {
        ShippedData::SetUp();
        if (HasFatalFailure())
            return;
        start_render_library();
        Datafile = data;
        set_palette((RGB *)data[DAT_GAME_PALETTE].dat);
        picture = solid_bitmap(640, 480, 0);
    }

    void TearDown() override
    {
        destroy_bitmap(picture);
        clear_message(world);
        start_render_library();
    }
};

} // namespace

/* Each clock value is drawn twice, as two frames within one second: the beep belongs to the
   first. Only the last ten seconds of the last minute warn, on their even seconds. */
TEST_F(RenderOverlay, TheClockTurnsRedAndBeepsOnceOnEachEvenSecondOfTheLastTen)
{
    game_test::SoundRecorder sound;
    const auto &played = game_test::SoundRecorder::played;
    const int green = makecol(0, 255, 0), red = makecol(255, 0, 0);
    auto draw_clock = [&](int hundredths) {
        game_test::SoundRecorder::played.clear();
        world.clock = hundredths;
        clear_bitmap(picture);
        draw_hud(world, picture);
    };
    last_warned_second = -1;
    for (int seconds : {71, 70, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}) {
        const bool warning = seconds <= 10 && seconds % 2 == 0;
        for (int frame = 0; frame < 2; frame++) {
            draw_clock(seconds * 100 + 60 - 50 * frame);
            EXPECT_GT(count_colour(picture, warning ? red : green, 550, 0, 639, 60), 20) << seconds;
            EXPECT_EQ(count_colour(picture, warning ? green : red, 550, 0, 639, 60), 0) << seconds;
            ASSERT_EQ(played.size(), warning && frame == 0 ? 1u : 0u) << seconds << " s, frame " << frame;
            if (!played.empty()) {
                EXPECT_TRUE(played[0].sample == sample(DAT_SAMPLE_BEEP) && played[0].volume == 255 &&
                            !played[0].loops);
            }
        }
    }
    /* A new level reaching the second last warned of: red again, but that beep has been played. */
    last_warned_second = 4;
    draw_clock(450);
    EXPECT_TRUE(count_colour(picture, red, 550, 0, 639, 60) > 20 && played.empty());
    /* With the sound off the warning is spent all the same. */
    display_options.sound_off = true;
    draw_clock(250);
    EXPECT_TRUE(played.empty() && last_warned_second == 2);
    world.clock = 0;
}

TEST(MessageLine, ANewMessageReplacesTheOldAndTheLastTickSurvivesOneMoreUpdate)
{
    show_message(world, "fog", 100);
    count_down_messages(world, 60);
    show_message(world, "flat shading", 100);
    count_down_messages(world, 99);
    count_down_messages(world, 1);
    EXPECT_EQ(world.message.ticks_left, 0);
    EXPECT_STREQ(world.message.text, "flat shading");
    count_down_messages(world, 1);
    EXPECT_EQ(world.message.text, nullptr);
}

/* The centring on a reduced view is pinned by the screens demo; here the cut at 79 characters. */
TEST(MessageLine, DrawsAtMostSeventyNineCharactersFromTheViewsMiddleDown)
{
    start_render_library();
    BITMAP *target = create_bitmap_ex(8, 1000, 200);
    auto draw = [&] {
        clear_bitmap(target);
        draw_message_line(target, world.message, 0, 0, 1000, 200);
        return box_of(target, [](int c) { return c != 0; });
    };
    clear_message(world);
    EXPECT_EQ(draw().right, -1);
    const std::string long_text(120, 'M');
    show_message(world, long_text.c_str(), 100);
    const Box text = draw();
    // 79 glyphs of the 8-pixel font centred on x 500 span columns 184 to 815, from row 100.
    EXPECT_TRUE(text.left >= 184 && text.left <= 186) << text.left;
    EXPECT_TRUE(text.right >= 813 && text.right <= 815) << text.right;
    EXPECT_EQ(text.top, 100);
    // A band's lines are measured and broken by letters, not bytes: twenty two-byte letters of
    // 8 pixels make two lines of a band 96 pixels wide inside (one byte measured as '^' made 4).
    EXPECT_EQ(draw_boxed_text(target, font, "éééééééééééééééééééé", 500, 50, 102, 1), 2 * 10 + 4);
    destroy_bitmap(target);
    clear_message(world);
}

/* The texts the game adds (a hint, undo's word, a notice, the first loss's tip) stand on a dark
   band, legible on the brightest sky: every pixel of their letters at least 4.5:1 against what
   touches it. A long one is broken into lines within the view, never cut at 79 characters as the
   level's own messages are, which keep their look: no band. */
TEST_F(RenderOverlay, AddedTextsStandOnABandWithinTheView)
{
    auto luminance = [](int index) {
        const RGB &c = ((RGB *)data[DAT_GAME_PALETTE].dat)[index];
        double sum = 0;
        const double weight[3] = {0.2126, 0.7152, 0.0722};
        const int part[3] = {c.r, c.g, c.b};
        for (int i = 0; i < 3; i++) {
            const double v = part[i] / 63.0;
            sum += weight[i] * (v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    const int white = makecol(255, 255, 255), green = makecol(100, 255, 100);
    const std::string long_text = "Hint: " + std::string(110, 'M');
    show_boxed_message(world, long_text.c_str(), 100);
    clear_to_color(picture, white);
    draw_message_line(picture, world.message, 100, 0, 400, 480, "Backspace undoes it");
    const Box text = box_of(picture, [&](int c) { return c == green; });
    EXPECT_TRUE(text.left >= 100 && text.right <= 499 && text.bottom - text.top > 30)
        << "three lines in the view: " << text.left << " " << text.right << " " << text.bottom;
    int letters = 0;
    for (int y = 1; y < 479; y++)
        for (int x = 1; x < 639; x++) {
            if (getpixel(picture, x, y) != green)
                continue;
            letters++;
            for (int n : {getpixel(picture, x + 1, y), getpixel(picture, x - 1, y),
                          getpixel(picture, x, y + 1), getpixel(picture, x, y - 1)}) {
                const double a = luminance(green), b = luminance(n);
                if (n != green) {
                    ASSERT_GE((std::max(a, b) + 0.05) / (std::min(a, b) + 0.05), 4.5) << x << "," << y;
                }
            }
        }
    EXPECT_GT(letters, 116 * 20);
    show_message(world, "Yum yum...", 100);
    clear_to_color(picture, white);
    draw_message_line(picture, world.message, 0, 0, 640, 480);
    EXPECT_EQ(box_of(picture, [&](int c) { return c != white && c != green; }).right, -1);
}

/* F4 shrinks the view step by step; on any screen each step is smaller, keeps the screen's shape
   and stays centred, and the full size fills the screen. */
TEST(RenderViewport, SizesShrinkCentredAndKeepTheScreensShape)
{
    const int screens[][2] = {{640, 480}, {800, 600}, {1366, 768}, {1920, 1080}, {320, 200}};
    for (const auto &s : screens) {
        const int screen_w = s[0], screen_h = s[1];
        Viewport previous{0, 0, screen_w + 1, screen_h + 1};
        for (int size = 0; size < VIEWPORT_SIZES; size++) {
            const Viewport v = compute_viewport(screen_w, screen_h, size);
            const std::string where = std::to_string(screen_w) + " x " + std::to_string(screen_h) + " size " +
                                      std::to_string(size);
            if (size == 0) {
                EXPECT_TRUE(v.x == 0 && v.y == 0 && v.w == screen_w && v.h == screen_h) << where;
            }
            EXPECT_TRUE(v.w < previous.w && v.h < previous.h) << where << " is no smaller";
            EXPECT_TRUE(v.x >= 0 && v.y >= 0 && v.x + v.w <= screen_w && v.y + v.h <= screen_h) << where;
            EXPECT_LE(std::abs(2 * v.x + v.w - screen_w), 1) << where << " is off centre";
            EXPECT_LE(std::abs(2 * v.y + v.h - screen_h), 1) << where << " is off centre";
            /* Width over height as the screen's, to a pixel's rounding. */
            EXPECT_LE(std::abs((long)v.w * screen_h - (long)v.h * screen_w), (long)std::max(screen_w, screen_h)) << where;
            EXPECT_GE(v.w * 2, screen_w) << where << " leaves too little to play on";
            previous = v;
        }
    }
    EXPECT_EXIT(compute_viewport(640, 480, 4), testing::ExitedWithCode(1), "Assertion failed in");
}
