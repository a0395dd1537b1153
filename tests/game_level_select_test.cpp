/* game_level_select_test.cpp: the level list from the map files, which levels are open, the
   cursor, and a folder's level with faults. (The screen chosen from with keys, its bars lit, is
   seen in e2e_play_levels.) */
#include <gtest/gtest.h>

#include <cstring>

#include "game_test_support.h"
#include "render_test_support.h"
#include "base/game_paths.h"
#include "ui/level_select.h"

namespace {

using namespace game_test;

class LevelSelection : public GameDirectoryTest {
protected:
    /* The screen's colours are looked up in the palette set: a palette of its own, so that what
       a test before left (a fade's black one) changes nothing. */
    void SetUp() override
    {
        GameDirectoryTest::SetUp();
        PALETTE colours;
        generate_332_palette(colours);
        set_palette(colours);
    }

    /* Five levels, and the completed ones given as the save file's bytes 1.. onward. */
    void five_levels(const std::string &completed)
    {
        add_map("play_walk.txt", {1, 2, 3, 4, 5});
        if (!completed.empty())
            write_file(dir / "tirvex.sav", "0" + completed);
        open_level_select(&select);
    }

    /* Types the key and returns the action, as the screen's loop sees it. */
    int press(int scancode) { return level_select_key(&select, scancode); }

    LevelSelect select;
};

} // namespace

TEST_F(LevelSelection, TheListStopsAtTheFirstMissingMapAndAtTwentyOne)
{
    add_map("play_walk.txt", {1, 2});
    add_map("play_mine.txt", {3});
    add_map("play_walk.txt", {5});
    LevelList list;
    EXPECT_EQ(list_levels(&list), 3) << "map04.txt is missing";
    EXPECT_STREQ(list.level_names[1], "Sweet Walk");
    EXPECT_STREQ(list.level_names[3], "Mine Ahead");
    EXPECT_TRUE(level_map_exists(5) == 1 && level_map_exists(4) == 0);

    for (int level = 1; level <= 23; level++)
        add_map("play_walk.txt", {level});
    EXPECT_EQ(list_levels(&list), 21);
}

TEST_F(LevelSelection, HighestOpenLevelFollowsTheHighestCompletedOnly)
{
    const struct { const char *bytes; int listed, open; } cases[] = {
        {"0", 5, 1}, {"0", 0, 0},                /* no map at all */
        {"0111", 5, 4}, {"0101", 5, 4},
        {"011111", 5, 5},                       /* never beyond the last listed level */
        {"0000000001", 5, 1},                   /* a mark on an unlisted level does not count */
        {"01x", 5, 2},
    };
    for (const auto &c : cases) {
        ProgressRecord record;
        std::memcpy(record.bytes, (c.bytes + std::string(PROGRESS_BYTES, '0')).data(), PROGRESS_BYTES);
        EXPECT_EQ(highest_open_level(&record, c.listed), c.open) << c.bytes << ", " << c.listed;
    }
}

/* A --levels folder with a level saved with faults (a work in progress: no start yet): the level
   is marked and Enter on it is refused with its file, line and fault, the cursor staying in the
   list; it used to be chosen and end the game on the fatal page without the file's name. The
   shipped levels are never judged so: their faults keep the fatal page. */
TEST_F(LevelSelection, ALevelWithFaultsOfAFolderIsMarkedAndRefused)
{
    add_map("play_walk.txt", {1, 2, 3});
    std::string text = read_file(dir / "maps/map02.txt");
    text.replace(text.find("1 0 0 0 1 0"), 11, "1 0 0 0 0 0");   // the start taken away
    write_file(dir / "maps/map02.txt", text);
    write_file(dir / "tirvex.sav", "011");

    open_level_select(&select);
    EXPECT_EQ(select.list.level_faults[2][0], '\0') << "the shipped levels are not judged";

    std::snprintf(levels_folder, sizeof levels_folder, "%s", (dir / "maps").c_str());
    open_level_select(&select);
    EXPECT_EQ(select.list.count, 3);
    EXPECT_STREQ(select.list.level_faults[1], "");
    EXPECT_STREQ(select.list.level_faults[3], "");
    EXPECT_EQ(std::string(select.list.level_faults[2]).rfind("line 8: ", 0), 0u)
        << select.list.level_faults[2];
    ASSERT_TRUE(select.cursor == 3 && press(KEY_ENTER) == SELECT_CHOSEN &&
                press(KEY_UP) == SELECT_MOVED && press(KEY_ENTER) == SELECT_REFUSED);
    const std::string refusal = select.refusal;
    EXPECT_NE(refusal.find((dir / "maps/map02.txt").string() + " line 8: "), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("starting position"), std::string::npos) << refusal;
    EXPECT_EQ(select.cursor, 2);

    // The mark and the refusal are drawn: red where the shipped list has none.
    clear_to_color(screen, 0);
    draw_level_select(screen, &select);
    int red = 0;
    for (int y = screen->h - 60; y < screen->h; y++)
        for (int x = 0; x < screen->w; x++) {
            RGB c;
            get_color(getpixel(screen, x, y), &c);
            red += c.r > 2 * c.g && c.r > 40;
        }
    EXPECT_GT(red, 100) << "the refusal's box";
    EXPECT_EQ(press(KEY_DOWN), SELECT_MOVED);
    EXPECT_STREQ(select.refusal, "") << "a moved cursor leaves the refusal";
    char fault[LEVEL_FAULT_SIZE];
    EXPECT_STREQ(level_fault(2, fault, sizeof fault), select.list.level_faults[2]);
    levels_folder[0] = '\0';
}
