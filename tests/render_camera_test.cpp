/* render_camera_test.cpp: the eye and view of the four camera modes, the light, the viewport. */
#include "render_test_support.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "render/viewport.h"

namespace {

/* A 640 x 480 view, where screen_point shows where a world point appears. */
class RenderCamera : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_render_library();
        set_viewport(compute_viewport(640, 480, 0));
    }

    /* The camera of `mode` tilted down by 0.2, 200 back, for a player at (x, z) facing `heading`. */
    static Camera view(int mode, float height, float eye_y, int heading, fixed x, fixed z)
    {
        Camera c;
        build_camera(mode, 0.2f, height, 200, eye_y, itofix(heading), x, z, &c);
        return c;
    }
};

} // namespace

TEST_F(RenderCamera, BehindThePlayerTheEyeStandsBackAlongTheHeadingAndLooksAtHim)
{
    for (int heading : {0, 64, 128, 192, 40}) {
        const Camera c = view(CAMERA_BEHIND, -120, -140, heading, itofix(500), itofix(300));
        const double a = heading * M_PI / 128;
        EXPECT_NEAR(fixtof(c.x), 500 + 200 * std::sin(a), 0.5) << heading;
        EXPECT_NEAR(fixtof(c.z), 300 - 200 * std::cos(a), 0.5) << heading;
        EXPECT_TRUE(std::fabs(fixtof(c.y) + 140.0) < 0.01 && c.heading == itofix(heading));
        /* The player stands in the middle column, below the centre (the view is tilted down
           by 0.2, less than the angle down to his feet). */
        ScreenPoint p = screen_point(c, 500, 0, 300);
        EXPECT_TRUE(std::fabs(p.x - 320) < 1.5 && p.y > 240 && p.depth > 0) << heading;
        /* A square ahead of him lies higher in the picture. */
        ScreenPoint ahead = screen_point(c, 500 - 300 * std::sin(a), 0, 300 + 300 * std::cos(a));
        EXPECT_TRUE(ahead.y < p.y && std::fabs(ahead.x - 320) < 1.5) << heading;
        /* The long shot is the same eye a hundred units higher. */
        const Camera long_shot = view(CAMERA_LONG_SHOT, -120, -140, heading, itofix(500), itofix(300));
        EXPECT_TRUE(long_shot.y == c.y - itofix(100) && long_shot.x == c.x && long_shot.z == c.z);
    }
}

TEST_F(RenderCamera, FixedCameraJumpsOverAFiveSquareLatticeAndAimsBelowThePlayer)
{
    const int xs[][2] = {{0, 500}, {499, 500}, {500, 1000}, {760, 1000}, {999, 1000}, {1000, 1500}};
    for (const auto &x : xs) {
        const Camera c = view(CAMERA_FIXED, -150, -150, 0, itofix(x[0]), itofix(x[0] / 2));
        EXPECT_TRUE(fixtoi(c.x) == x[1] && fixtof(c.y) == -150.0) << "player x " << x[0];
        ScreenPoint p = screen_point(c, x[0], 0, x[0] / 2);
        EXPECT_TRUE(std::fabs(p.x - 320) < 1.5 && std::fabs(p.y - 240) < 1.5) << x[0];
    }
    /* The eye always stands on the lattice point beyond the player in x and z, so the view
       looks between -x (heading 64, as the camera behind a player facing -x) and -z (128). */
    EXPECT_NEAR(fixtof(view(CAMERA_FIXED, -150, -150, 0, itofix(900), itofix(980)).heading), 64, 8);
    EXPECT_NEAR(fixtof(view(CAMERA_FIXED, -150, -150, 0, itofix(990), itofix(550)).heading), 128, 8);

    /* Just short of the lattice point the eye rounds to, the player stands right below it (a
       look straight down must still give a usable view). */
    const fixed p = itofix(500) - 655;
    const Camera above = view(CAMERA_FIXED, -150, -150, 64, p, p);
    EXPECT_TRUE(above.x == itofix(500) && above.z == itofix(500));
    ScreenPoint below = screen_point(above, 500, 0, 500);
    EXPECT_TRUE(std::fabs(below.x - 320) < 1.5 && std::fabs(below.y - 240) < 1.5) << below.x << ", " << below.y;
    EXPECT_NEAR(below.depth, 150, 1.0);
    const ScreenPoint aside = screen_point(above, 510, 0, 500);
    const double off = std::hypot(aside.x - 320, aside.y - 240);
    EXPECT_TRUE(off > 5 && off < 100) << "ten units aside land " << off << " pixels off";
}

TEST_F(RenderCamera, HelicopterHangsAtTheSetHeightAndPutsTheHeadingAtTheTop)
{
    for (int mode : {(int)CAMERA_HELICOPTER, 7}) {
        for (int heading : {0, 64, 128, 192}) {
            const Camera c = view(mode, -800.7f, -120, heading, itofix(700), itofix(400));
            EXPECT_TRUE(c.x == itofix(700) && c.y == itofix(-800) && c.z == itofix(400));
            ScreenPoint p = screen_point(c, 700, 0, 400);
            EXPECT_TRUE(std::fabs(p.x - 320) < 1.5 && std::fabs(p.y - 240) < 1.5) << heading;
            const double a = heading * M_PI / 128;
            ScreenPoint ahead = screen_point(c, 700 - 200 * std::sin(a), 0, 400 + 200 * std::cos(a));
            EXPECT_TRUE(ahead.y < 200 && std::fabs(ahead.x - 320) < 2) << heading;
        }
    }
}

/* F4 shrinks the view step by step; on any screen each step is smaller, keeps the screen's shape
   and stays centred, and the full size fills the screen. */
TEST_F(RenderCamera, ViewportSizesShrinkCentredAndKeepTheScreensShape)
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
