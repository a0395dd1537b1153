/* render_preview_test.cpp: the preview tool draws the start view of a real level with the sky,
   the squares and the robot where they belong. */
#include "render_test_support.h"

#include <bitset>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/datafile.h"

namespace {

const char *const PREVIEW = TIRVEX_GAME_DIR "/../tools/preview/preview";

/* The palette indices a picture of the datafile uses. */
std::bitset<256> colours_of(DATAFILE *data, int object)
{
    std::bitset<256> used;
    BITMAP *b = (BITMAP *)data[object].dat;
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < b->w; x++)
            used.set(getpixel(b, x, y) & 255);
    return used;
}

/* Share of the pixels of a rectangle whose colour is in `set`. */
double share(BITMAP *b, const std::bitset<256> &set, int x0, int y0, int x1, int y1)
{
    int hits = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            hits += set.test(getpixel(b, x, y) & 255);
    return (double)hits / ((x1 - x0 + 1) * (y1 - y0 + 1));
}

} // namespace

TEST(RenderPreview, StartViewOfTheFirstLevelShowsSkySquaresAndRobot)
{
    start_render_library();
    const std::string out = testing::TempDir() + "tirvex_preview_smoke.bmp";
    std::remove(out.c_str());
    /* Ambient light and unlit textures: every pixel keeps the colour of its picture. */
    const std::string command = std::string(PREVIEW) + " " TIRVEX_GAME_DIR "/maps/map01.txt " +
                                out + " --game " TIRVEX_GAME_DIR " --light 0 --shading 3 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    DATAFILE *data = load_datafile(TIRVEX_GAME_DIR "/data/pz.dat");
    ASSERT_NE(data, nullptr);
    PALETTE palette;
    BITMAP *picture = load_bitmap(out.c_str(), palette);
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(picture->w == 640 && picture->h == 480 && bitmap_color_depth(picture) == 8);

    const std::bitset<256> sky = colours_of(data, DAT_BACKDROP);
    std::bitset<256> squares;
    for (int t = DAT_TEXTURE_FIRST; t < DAT_TEXTURE_FIRST + 4; t++)
        squares |= colours_of(data, t);
    const std::bitset<256> robot_only = colours_of(data, DAT_MODEL_TEXTURE_PLAYER) & ~squares & ~sky;
    const std::bitset<256> squares_only = squares & ~sky;
    ASSERT_TRUE(robot_only.count() > 3 && squares_only.count() > 3);

    /* The sky above the horizon, below the HUD. */
    EXPECT_GT(share(picture, sky, 0, 60, 639, 150), 0.97);
    /* The squares ahead of and below the robot fill the lower middle. */
    EXPECT_GT(share(picture, squares_only, 200, 350, 440, 420), 0.5);
    /* The robot stands in the middle, a little below the centre, and nowhere else. */
    const double robot_here = share(picture, robot_only, 270, 250, 370, 360);
    EXPECT_GT(robot_here, 0.03);
    EXPECT_LT(share(picture, robot_only, 0, 60, 639, 200), 0.01);
    EXPECT_LT(share(picture, robot_only, 0, 250, 200, 479), robot_here / 10);

    destroy_bitmap(picture);
    unload_datafile(data);
    std::remove(out.c_str());
    start_render_library();
}
