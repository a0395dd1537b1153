/* game_cast_test.cpp: the cast texts, the click areas, and the cast screen run through the key
   buffer. */
#include <gtest/gtest.h>

#include <string>

#include "game_test_support.h"
#include "render_test_support.h"
#include "shell/cast_screen.h"
#include "shell/cast_text.h"
#include "world/actor.h"
#include "world/actor_table.h"
#include "world/player_motion.h"

namespace {

using namespace game_test;

CastText parse(const std::string &text, int index)
{
    CastText out;
    parse_cast_text(text.data(), text.size(), index, &out);
    return out;
}

std::string line(const CastText &text, int i) { return text.lines[i]; }

} // namespace

TEST(CastText, ASectionRunsToTheNextMarkerWhateverTheLineEnds)
{
    const std::string text = "[CAST0]\nRobot\nThat's you.\n[CAST1]\nMibo\nSoft.\n\nRound.\n";
    CastText robot = parse(text, 0);
    ASSERT_EQ(robot.line_count, 2);
    EXPECT_EQ(line(robot, 0), "Robot");
    EXPECT_EQ(line(robot, 1), "That's you.");
    CastText mibo = parse(text, 1);
    ASSERT_EQ(mibo.line_count, 4) << "an empty line is a line";
    EXPECT_EQ(line(mibo, 2), "");
    EXPECT_EQ(line(mibo, 3), "Round.");

    CastText crlf = parse("[CAST2]\r\nZipper\r\nRuns.\r\nFast.\r\n", 2);
    ASSERT_EQ(crlf.line_count, 3);
    EXPECT_EQ(line(crlf, 1), "Runs.");
    EXPECT_EQ(line(crlf, 2), "Fast.");
    CastText unended = parse("[CAST2]\nZipper\nRuns.\nFast.", 2);
    ASSERT_EQ(unended.line_count, 3);
    EXPECT_EQ(line(unended, 2), "Fast.");
}

TEST(CastText, AMissingSectionShowsItsMarkerAndABareOneHasNoLines)
{
    CastText missing = parse("[CAST0]\nRobot\n", 5);
    ASSERT_EQ(missing.line_count, 1);
    EXPECT_EQ(line(missing, 0), "[CAST5]");

    // A marker cut by the end of the data is not found.
    CastText cut = parse("[CAST0]\nRobot\n[CAST3", 3);
    EXPECT_EQ(line(cut, 0), "[CAST3]");

    CastText empty;
    parse_cast_text(nullptr, 0, 4, &empty);
    EXPECT_EQ(line(empty, 0), "[CAST4]");

    CastText bare = parse("[CAST3][CAST4]\nJar\n", 3);
    EXPECT_EQ(bare.line_count, 0);
    EXPECT_EQ(line(bare, 0), "");
}

TEST(CastText, AtMostThirtyLinesOfSeventyNineCharacters)
{
    std::string text = "[CAST6]\n";
    for (int i = 0; i < 40; i++)
        text += "line " + std::to_string(i) + "\n";
    text += std::string(100, 'w') + "\n";
    CastText many = parse(text, 6);
    EXPECT_EQ(many.line_count, 30);
    EXPECT_EQ(line(many, 29), "line 29");

    CastText wide = parse("[CAST1]\n" + std::string(100, 'w') + "\nnext\n", 1);
    ASSERT_EQ(wide.line_count, 2);
    EXPECT_EQ(line(wide, 0), std::string(79, 'w'));
    EXPECT_EQ(line(wide, 1), "next") << "the rest of a long line is dropped";
}

TEST(CastScreen, ClickAreasLieAboveTheViewAtSixFortyByFourEighty)
{
    struct Probe {
        int x, y, area;
    };
    const Probe probes[] = {
        {64, 125, CAST_AREA_PREVIOUS}, {144, 150, CAST_AREA_PREVIOUS}, {63, 130, CAST_AREA_NONE},
        {155, 130, CAST_AREA_EXIT},    {235, 130, CAST_AREA_EXIT},     {150, 130, CAST_AREA_NONE},
        {245, 130, CAST_AREA_NEXT},    {325, 150, CAST_AREA_NEXT},     {326, 130, CAST_AREA_NONE},
        {100, 124, CAST_AREA_NONE},    {100, 151, CAST_AREA_NONE},
    };
    for (const Probe &p : probes)
        EXPECT_EQ(cast_area_at(p.x, p.y, 320, 240), p.area) << p.x << ", " << p.y;
}

/* A palette in which every colour the cast screen asks for has an entry of its own. */
class CastScreenRun : public GameDirectoryTest {
protected:
    void SetUp() override
    {
        GameDirectoryTest::SetUp();
        PALETTE palette;
        for (int i = 0; i < 256; i++)
            palette[i] = RGB{0, 0, 0, 0};
        const RGB entries[] = {{0, 63, 0, 0},   {0, 0, 63, 0},   {12, 50, 12, 0},
                               {12, 63, 63, 0}, {63, 63, 63, 0}, {0, 25, 25, 0}};
        for (int i = 0; i < 6; i++)
            palette[i + 1] = entries[i];
        set_palette(palette);
        rgb_map = nullptr;
    }
    Keep<RGB_MAP *> rgb_table{rgb_map};
};

TEST_F(CastScreenRun, RightStopsAtTheLastEntryAndEscLeaves)
{
    BITMAP *buffer = create_bitmap_ex(8, 640, 480);
    // One key per frame: seven Rights reach the teleport and one more stays there.
    type_keys({KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT,
               KEY_RIGHT, KEY_LEFT, KEY_RIGHT, KEY_ESC});
    cast_screen(buffer);
    ASSERT_EQ(actor_table.count, 1);
    EXPECT_EQ(actor_table.actors[0].type, ACTOR_TELEPORT) << "the last actor stays in the table";
    EXPECT_EQ(display_options.shading_mode, SHADE_PERSPECTIVE_TEXTURE);
    EXPECT_EQ(display_options.camera_distance, 90);
    EXPECT_FLOAT_EQ(display_options.camera_pitch, 0.5f);
    EXPECT_EQ(camera_y, -70.0f);
    EXPECT_EQ(keypressed(), 0);
    EXPECT_EQ(count_colour(screen, 0, 0, 0, 639, 479), 640 * 480) << "the screen is cleared on leaving";
    destroy_bitmap(buffer);
}

TEST_F(CastScreenRun, AFrameShowsTheViewTitleAndDescription)
{
    BITMAP *buffer = create_bitmap_ex(8, 640, 480);
    parse_cast_text("[CAST0]\nRobot\nThat's you.\n", 24, 0, &cast_text);
    clear_actors();
    draw_cast_screen(buffer);
    // The view's frame at (47, 159)-(368, 400) and its blue inside.
    const int green = makecol(0, 255, 0);
    const int blue = makecol(0, 0, 255);
    EXPECT_EQ(getpixel(buffer, 47, 159), green);
    EXPECT_EQ(getpixel(buffer, 368, 400), green);
    EXPECT_EQ(getpixel(buffer, 60, 170), blue);
    EXPECT_EQ(getpixel(buffer, 367, 399), blue);
    // The title bar right of the centre, and description text below it.
    EXPECT_EQ(getpixel(buffer, 412, 138), makecol(50, 200, 50));
    const int cyan = makecol(50, 255, 255);
    EXPECT_GT(count_colour(buffer, cyan, 410, 158, 639, 200), 10);
    EXPECT_EQ(count_colour(buffer, cyan, 0, 0, 639, 157), 0) << "the description stays off the title bar";
    destroy_bitmap(buffer);
}
