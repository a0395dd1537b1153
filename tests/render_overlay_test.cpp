/* render_overlay_test.cpp: backdrop, viewport sizes and frame, message line, HUD clock, sliding
   panels and explosions. (What each camera mode and light mode shows is pinned
   by the screens demo, e2e_screens_demo.) */
#include <string>
#include <utility>

#include "datafile_test_support.h"
#include "game_test_support.h"
#include "render/actor_drawing.h"
#include "render/map_panel.h"
#include "render/render_frame.h"
#include "render/viewport.h"
#include "render_test_support.h"
#include "render/colour_tables.h"
#include "base/timer.h"
#include "render/backdrop.h"
#include "render/hud.h"
#include "render/message_line.h"
#include "world/player_motion.h"
#include "world/world_messages.h"

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

/* A panorama whose every column has its own colour (1 + column mod 250). */
BITMAP *striped_sky(int w, int h)
{
    BITMAP *sky = create_bitmap_ex(8, w, h);
    for (int x = 0; x < w; x++)
        vline(sky, x, 0, h - 1, 1 + x % 250);
    return sky;
}

} // namespace

TEST(RenderBackdrop, PanoramaWrapsWithoutASeamAndFillsWideViews)
{
    start_render_library();
    BITMAP *sky = striped_sky(1280, 300);
    auto column = [](int source_x) { return 1 + (source_x % 1280) % 250; };
    for (int width : {640, 1920}) {
        BITMAP *target = solid_bitmap(width, 480, 7);
        /* Heading 10: the source column starts at 1280 - 50 + 0 - 64 = 1166 and wraps. */
        draw_backdrop_picture(target, sky, 0, 0, width, 480, itofix(10));
        for (int x = 0; x < width; x++)
            ASSERT_EQ(getpixel(target, x, 240), column(1166 + x)) << "column " << x;
        /* Lower than the view: centred, the rest cleared. */
        EXPECT_TRUE(getpixel(target, 100, 89) == 0 && getpixel(target, 100, 390) == 0);
        EXPECT_TRUE(getpixel(target, 100, 90) != 0 && getpixel(target, 100, 389) != 0);
        destroy_bitmap(target);
    }
    /* A quarter turn moves the panorama by 320 pixels; the screen, not the view, anchors it.
       A reduced view gets a green outline on a cleared screen. */
    BITMAP *target = solid_bitmap(640, 480, 7);
    draw_backdrop_picture(target, sky, 160, 120, 320, 240, itofix(64));
    EXPECT_EQ(getpixel(target, 160, 240), column(1280 - 320 + 160 - 64));
    const int green = makecol(0, 255, 0);
    for (const auto &p : {std::pair{159, 119}, {480, 360}, {300, 119}, {159, 200}})
        EXPECT_EQ(getpixel(target, p.first, p.second), green) << p.first << ", " << p.second;
    EXPECT_TRUE(getpixel(target, 158, 200) == 0 && getpixel(target, 10, 10) == 0);
    destroy_bitmap(sky);

    /* A panorama taller than a full-size view fills it all, with no outline. */
    sky = striped_sky(1280, 600);
    clear_to_color(target, 255);
    draw_backdrop_picture(target, sky, 0, 0, 640, 480, 0);
    EXPECT_EQ(count_colour(target, 255, 0, 0, 639, 479), 0);
    EXPECT_EQ(getpixel(target, 639, 479), column(1280 - 64 + 639));
    destroy_bitmap(target);
    destroy_bitmap(sky);
}

// The frame only reads the world: the renderer used to sort the squares in place and probe the
// robot's floor, and the undo history had to put the squares back in order.
TEST_F(RenderOverlay, AHalfSizeViewIsFramedAndShowsTheMessage)
{
    display_options.viewport_size = 3;
    display_options.debug_info = false;
    world.intro = 1;
    show_message(world, "MMMMMM", 100);
    static World before;
    before = world;
    render_frame(picture, world, FrameOverlay{1, true, 0, 0, MOVE_FORWARD});
    EXPECT_EQ(std::memcmp(&before, &world, sizeof world), 0) << "the frame changed the world";
    const int green = makecol(0, 255, 0);
    EXPECT_TRUE(getpixel(picture, 159, 119) == green && getpixel(picture, 480, 360) == green);
    const int text = makecol(100, 255, 100);
    const Box message = box_of(picture, [&](int c) { return c == text; });
    ASSERT_GE(message.right, message.left);
    EXPECT_NEAR((message.left + message.right) / 2.0, 320, 4);
    EXPECT_TRUE(message.top >= 240 && message.top <= 244) << message.top;
}

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
    EXPECT_GT(count_colour(picture, red, 550, 0, 639, 60), 20);
    EXPECT_TRUE(played.empty());
    /* With the sound off the warning is spent all the same. */
    display_options.sound_off = true;
    draw_clock(250);
    EXPECT_TRUE(played.empty());
    EXPECT_EQ(last_warned_second, 2);
    world.clock = 0;
}

/* Both panels are drawn where they stand, then moved: ten pixels a frame toward their resting
   place (the card's foot on the screen's bottom, the map's right edge 5 pixels beyond the
   screen's) or back out, turning at once. */
TEST_F(RenderOverlay, TheKeyCardAndTheMapPanelSlideTenPixelsAFrameAndTurnAtOnce)
{
    /* The translucency table is made at start-up from the game palette. */
    create_trans_table(&trans_table, (RGB *)data[DAT_GAME_PALETTE].dat, 128, 128, 128, nullptr);
    const struct {
        void (*show)(bool);
        void (*draw)(BITMAP *);
        int *at, hidden, resting, band[4];    /* band: what shows after two frames */
    } panels[] = {
        {[](bool on) { if (f1_panel_shown != on) toggle_f1_panel(); }, draw_f1_panel, &f1_panel_y, 480,
         480 - bitmap(DAT_F1_PANEL)->h, {0, 470, 639, 479}},
        {[](bool on) { display_options.map_panel_shown = on; },
         [](BITMAP *target) { draw_map_panel(world, target); }, &map_panel_x, 0,
         5 - bitmap(DAT_MAP_OVERLAY)->w, {630, 0, 639, 479}},
    };
    for (const auto &p : panels) {
        const int way = p.resting < p.hidden ? -1 : 1, name = (int)(&p - panels);
        auto frames = [&](int n) { for (int i = 0; i < n; i++) p.draw(picture); };
        clear_bitmap(picture);
        reset_f1_panel();
        map_panel_x = 0;
        p.show(false);
        frames(1);
        EXPECT_EQ(*p.at, p.hidden) << name;
        p.show(true);
        frames(2);
        EXPECT_EQ(*p.at, p.hidden + 20 * way) << name;
        const int drawn = 640 * 480 - count_colour(picture, 0);
        const int band = (p.band[2] - p.band[0] + 1) * (p.band[3] - p.band[1] + 1);
        EXPECT_GT(drawn, 0) << name;
        EXPECT_EQ(band - count_colour(picture, 0, p.band[0], p.band[1], p.band[2], p.band[3]), drawn) << name;
        p.show(false);
        frames(1);
        EXPECT_EQ(*p.at, p.hidden + 10 * way) << name;
        p.show(true);
        frames(200);
        EXPECT_TRUE(way * (*p.at - p.resting) >= 0 && way * (*p.at - p.resting) < 10) << name << ": " << *p.at;
        p.show(false);
        frames(200);
        EXPECT_EQ(*p.at, p.hidden) << name;
    }
}

TEST_F(RenderOverlay, ExplosionPictureFollowsTheCountdownAndShrinksWithDepth)
{
    const int pictures[][2] = {{80, 3}, {65, 3}, {64, 4}, {48, 5}, {33, 5}, {32, 6}, {16, 7}, {1, 7}};
    for (const auto &p : pictures)
        EXPECT_EQ(explosion_picture(p[0]), p[1]) << "countdown " << p[0];
    EXPECT_TRUE(explosion_size(640, 400) == 80 && explosion_size(640, 1) == 16384) << "bounded near the eye";

    /* A spent countdown draws nothing; a reduced view clips the picture. (Its size on screen
       and the eye's plane are seen through draw_actor in the actor tests.) */
    set_viewport(compute_viewport(640, 480, 0));
    draw_explosion_sprite(picture, 0, 320, 240, 100);
    EXPECT_EQ(count_colour(picture, 0), 640 * 480);
    set_viewport(compute_viewport(640, 480, 3));
    draw_explosion_sprite(picture, 70, 320, 240, 20);
    EXPECT_EQ(count_colour(picture, 0, 0, 0, 639, 119), 640 * 120);
    EXPECT_EQ(count_colour(picture, 0, 0, 0, 159, 479), 160 * 480);
    EXPECT_LT(count_colour(picture, 0, 160, 120, 479, 359), 320 * 240);
}

TEST_F(RenderOverlay, PlayerMapArrowPointsTheWayTheRobotFaces)
{
    BITMAP *arrow = solid_bitmap(9, 9, 0);
    putpixel(arrow, 4, 8, 77);   /* the tip, at the bottom */
    void *shipped = data[DAT_MAP_MARKER + 1].dat;
    data[DAT_MAP_MARKER + 1].dat = arrow;

    world.actors.count = 1;
    Actor &robot = world.actors.actors[0];
    robot = Actor{};
    robot.map_code = 1, robot.x = robot.z = itofix(500);
    const int ox = 100, oy = 300;
    const int centre_x = ox + 7 * 5 + 4, centre_y = oy - 7 * 5 + 4;
    const struct { int heading, dx, dy; } cases[] = {{0, 0, -1}, {64, -1, 0}, {128, 0, 1}, {192, 1, 0}};
    for (const auto &c : cases) {
        robot.angle_y = itofix(64 - c.heading);   /* as the robot's pose sets it */
        clear_bitmap(picture);
        draw_minimap_actors(world, picture, ox, oy);
        const Box tip = box_of(picture, [](int colour) { return colour == 77; });
        ASSERT_TRUE(tip.right == tip.left && std::abs(tip.left - centre_x) <= 8 && std::abs(tip.top - centre_y) <= 8)
            << "heading " << c.heading;
        EXPECT_EQ((tip.left > centre_x + 1) - (tip.left < centre_x - 1), c.dx) << "heading " << c.heading;
        EXPECT_EQ((tip.top > centre_y + 1) - (tip.top < centre_y - 1), c.dy) << "heading " << c.heading;
    }
    data[DAT_MAP_MARKER + 1].dat = shipped;
    destroy_bitmap(arrow);
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

TEST(MessageLine, TheTitleTimerStopsAtZeroOrJustBelow)
{
    show_message(world, "Level completed: press Space", 9999);
    world.title_timer = 200;
    for (int update = 0; update < 50; update++)
        count_down_messages(world, 3);
    EXPECT_NE(world.message.text, nullptr);
    EXPECT_EQ(world.title_timer, 50);
    count_down_messages(world, 60);
    count_down_messages(world, 60);
    EXPECT_EQ(world.title_timer, -10);
}

/* The centring on a reduced view is seen in the frame tests; here the cut at 79 characters. */
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
    destroy_bitmap(target);
    clear_message(world);
}

/* The key card at rest: with neither an idea nor moved keys it is its picture alone, pixel for
   pixel; an idea puts the "This level" box just above it and leaves the card as it was; a moved
   key writes over its own row of the key column and nowhere else. */
TEST_F(RenderOverlay, TheKeyCardAddsTheIdeaAboveItAndMovedKeysInTheirRowsOnly)
{
    create_trans_table(&trans_table, (RGB *)data[DAT_GAME_PALETTE].dat, 128, 128, 128, nullptr);
    BITMAP *card = bitmap(DAT_F1_PANEL);
    const int top = 480 - card->h;
    auto at_rest = [&](BITMAP *target, const char *idea, const char *const *keys) {
        clear_bitmap(target);
        reset_f1_panel();
        toggle_f1_panel();
        for (int i = 0; i < 100; i++)
            draw_f1_panel(target, idea, keys);
        clear_bitmap(target);
        draw_f1_panel(target, idea, keys);
    };
    auto differing = [](BITMAP *a, BITMAP *b, int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++)
                n += getpixel(a, x, y) != getpixel(b, x, y);
        return n;
    };
    BITMAP *plain = solid_bitmap(640, 480, 0), *other = solid_bitmap(640, 480, 0);
    at_rest(plain, nullptr, nullptr);
    ASSERT_TRUE(f1_panel_y <= top && f1_panel_y > top - 10) << f1_panel_y;
    at_rest(other, "", nullptr);
    EXPECT_EQ(differing(plain, other, 0, 0, 639, 479), 0) << "an empty idea is no idea";

    at_rest(other, "push a jar into the zipper's lane, then let the zipper go", nullptr);
    EXPECT_EQ(differing(plain, other, 0, f1_panel_y, 639, 479), 0) << "the card stays its picture";
    EXPECT_GT(differing(plain, other, 10, f1_panel_y - 60, 10 + card->w - 1, f1_panel_y - 5), 500);
    EXPECT_EQ(differing(plain, other, 0, 0, 639, f1_panel_y - 70), 0) << "a small box, just above";

    const char *keys[KEY_CARD_ROWS] = {};
    keys[25] = "Z / Del";       // the right column's "Backspace / U", twelfth line
    at_rest(other, nullptr, keys);
    const int row_top = f1_panel_y + 36 + 3 * 19 + 2 * 5 + 11 * 14;
    const int changed = differing(plain, other, 0, 0, 639, 479);
    EXPECT_GT(changed, 20);
    EXPECT_EQ(differing(plain, other, 250 + 10 - 1, row_top + 1, 250 + 10 + 98 - 5, row_top + 13),
              changed) << "all of it in the key's cell";
    destroy_bitmap(plain);
    destroy_bitmap(other);
    reset_f1_panel();
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
