/* game_cast_test.cpp: the cast texts and a frame of the cast screen; its buttons are clicked in
   the cast play test. */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game_test_support.h"
#include "render_test_support.h"
#include "app/cast_screen.h"
#include "app/cast_text.h"
#include "world/actor.h"
#include "world/actor_table.h"
#include "world/player_motion.h"

namespace {

using namespace game_test;

/* The lines section `index` of text comes out as. */
std::vector<std::string> lines_of(const std::string &text, int index)
{
    static CastText out;
    parse_cast_text(text.empty() ? nullptr : text.data(), text.size(), index, &out);
    return std::vector<std::string>(out.lines, out.lines + out.line_count);
}

} // namespace

TEST(CastText, ASectionRunsToTheNextMarkerOrTheEndWhateverTheLineEnds)
{
    using Lines = std::vector<std::string>;
    const std::string two = "[CAST0]\nRobot\nThat's you.\n[CAST1]\nMibo\nSoft.\n\nRound.\n";
    const struct { std::string text; int index; Lines lines; } cases[] = {
        {two, 0, {"Robot", "That's you."}},
        {two, 1, {"Mibo", "Soft.", "", "Round."}},              // an empty line is a line
        {"[CAST2]\r\nZipper\r\nRuns.\r\nFast.\r\n", 2, {"Zipper", "Runs.", "Fast."}},
        {"[CAST2]\nZipper\nRuns.\nFast.", 2, {"Zipper", "Runs.", "Fast."}},
        // A missing section shows its marker, also when the marker is cut by the end.
        {"[CAST0]\nRobot\n", 5, {"[CAST5]"}},
        {"[CAST0]\nRobot\n[CAST3", 3, {"[CAST3]"}},
        {"", 4, {"[CAST4]"}},
        {"[CAST3][CAST4]\nJar\n", 3, {}},
        // At most 79 characters of a line, the rest dropped.
        {"[CAST1]\n" + std::string(100, 'w') + "\nnext\n", 1, {std::string(79, 'w'), "next"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(lines_of(c.text, c.index), c.lines) << c.text;

    std::string many = "[CAST6]\n";
    for (int i = 0; i < 40; i++)
        many += "line " + std::to_string(i) + "\n";
    const Lines thirty = lines_of(many, 6);
    EXPECT_EQ(thirty.size(), 30u);
    EXPECT_EQ(thirty.back(), "line 29");
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

/* Stepping through the entries, stopping at both ends and leaving are seen in the cast play test. */
TEST_F(CastScreenRun, AFrameShowsTheViewTitleAndDescription)
{
    BITMAP *buffer = screen;
    parse_cast_text("[CAST0]\nRobot\nThat's you.\n", 24, 0, &cast_text);
    clear_actors(world);
    draw_cast_screen(buffer);
    // The view's frame at (47, 159)-(368, 400) and its blue inside.
    const int green = makecol(0, 255, 0), blue = makecol(0, 0, 255);
    EXPECT_TRUE(getpixel(buffer, 47, 159) == green && getpixel(buffer, 368, 400) == green);
    EXPECT_TRUE(getpixel(buffer, 60, 170) == blue && getpixel(buffer, 367, 399) == blue);
    // The title bar right of the centre, and description text below it.
    EXPECT_EQ(getpixel(buffer, 412, 138), makecol(50, 200, 50));
    const int cyan = makecol(50, 255, 255);
    EXPECT_GT(count_colour(buffer, cyan, 410, 158, 639, 200), 10);
    EXPECT_EQ(count_colour(buffer, cyan, 0, 0, 639, 157), 0) << "the description stays off the title bar";
}
