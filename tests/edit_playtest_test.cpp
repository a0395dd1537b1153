/* edit_playtest_test.cpp: what the level editor lets the world play, and the temporary folder its
   playtest reads the level from. */
#include <gtest/gtest.h>

#include <allegro.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "edit_level.h"
#include "game_test_support.h"
#include "level_file.h"
#include "play_folder.h"
#include "base/fatal.h"
#include "base/game_paths.h"
#include "world/level_map.h"
#include "world/world_driver.h"
#include "test_world.h"

namespace fs = std::filesystem;

namespace {

EditLevel level;        /* some 10 KB, kept off the stack */

/* Runs each test with TMPDIR naming an empty folder of its own, so that what the editor leaves
   behind there can be seen. */
class PlayFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char *kept = std::getenv("TMPDIR");
        had_tmpdir = kept != nullptr;
        kept_tmpdir = kept ? kept : "";
        root = fs::temp_directory_path() / ("tirvex_playtest_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "tmp");
        setenv("TMPDIR", (root / "tmp").c_str(), 1);
    }

    void TearDown() override
    {
        close_play_folder();
        if (had_tmpdir)
            setenv("TMPDIR", kept_tmpdir.c_str(), 1);
        else
            unsetenv("TMPDIR");
        fs::remove_all(root);
    }

    bool tmp_empty() const { return fs::is_empty(root / "tmp"); }

    fs::path root;
    bool had_tmpdir = false;
    std::string kept_tmpdir;
};

/* Three squares in a row with a sweet and the teleport but no start: the designer's level of the
   fault report, P pressed before placing the start. */
std::string level_without_start()
{
    new_level(&level);
    for (int x = 0; x < 3; x++)
        EXPECT_TRUE(add_square(&level, x, 0, 1));
    EXPECT_TRUE(set_content(&level, 1, 0, CONTENT_SWEET, 0));
    EXPECT_TRUE(set_content(&level, 2, 0, CONTENT_TELEPORT, 0));
    return level_text(level);
}

} // namespace

// P on a level the world would stop on used to end the editor on the fatal page; now it is
// refused with the first fault and its line, a warning before it passed over. A level with only
// warnings is played, and the world loads it.
TEST(PlayRefusal, ALevelTheWorldWouldStopOnIsRefusedWithItsFirstFault)
{
    // (That a level without a start, or without squares, is refused with its line: the editor's
    // end-to-end test.)
    std::string refusal;
    // Line 9 draws a warning (a mibo facing off the grid), line 10 the fault (a second square on
    // one cell): the fault is named.
    const std::string warned = "x\nWarned\n0\n\n1\n\n\n3\n0 1 0 0 3 32 -1 -1 -1 -1\n"
                               "0 1 0 0 1 0 -1 -1 -1 -1\n1 1 0 0 2 0 -1 -1 -1 -1\n";
    refusal = play_refusal(warned);
    EXPECT_EQ(refusal.rfind("line 10: ", 0), 0u) << refusal;

    // No teleport is a warning only: the level can be played, and the world starts it.
    new_level(&level);
    ASSERT_TRUE(add_square(&level, 0, 0, 1) && add_square(&level, 1, 0, 1) &&
                set_content(&level, 0, 0, CONTENT_START, 64));
    const std::string playable = level_text(level);
    EXPECT_EQ(play_refusal(playable), "");
    driver_start_text(world, playable.c_str());
    EXPECT_EQ(world.map.tile_count, 2);
}

// The folder is the editor's own under TMPDIR and holds the level as map01.txt; a map file gone,
// changed or made a link is written again before the world reads it, the link's file untouched;
// closing removes the folder with whatever the game wrote into it, following no link.
TEST_F(PlayFolderTest, TheFolderHoldsTheLevelUntilItIsClosedWithAllInIt)
{
    const std::string text = level_without_start();
    ASSERT_EQ(open_play_folder(text), "");
    const fs::path folder = play_folder();
    EXPECT_EQ(folder.parent_path(), root / "tmp");
    EXPECT_EQ(folder.filename().string().rfind("tirvex_edit_play_", 0), 0u) << folder;
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    const fs::path map = folder / "map01.txt";
    EXPECT_EQ(game_test::read_file(map), text);

    const fs::path outside = root / "outside.txt";
    game_test::write_file(outside, "the designer's\n");
    fs::remove(map);
    EXPECT_TRUE(ready_play_file(text) == "" && game_test::read_file(map) == text);
    game_test::write_file(map, "x\nChanged\n");
    EXPECT_TRUE(ready_play_file(text) == "" && game_test::read_file(map) == text);
    fs::remove(map);
    fs::create_symlink(outside, map);
    EXPECT_TRUE(ready_play_file(text) == "" && !fs::is_symlink(map) &&
                game_test::read_file(map) == text);
    EXPECT_EQ(game_test::read_file(outside), "the designer's\n");

    // What the game writes into the player's folder during a playtest, and a link out.
    game_test::write_file(folder / "screen00.bmp", "BM");
    game_test::write_file(folder / "error.log", "Fatal exception\n");
    fs::create_symlink(outside, folder / "link");
    close_play_folder();
    EXPECT_TRUE(tmp_empty());
    EXPECT_STREQ(play_folder(), "");
    EXPECT_EQ(game_test::read_file(outside), "the designer's\n");
    close_play_folder();                    // nothing open: nothing happens

    // Opening a second closes the first.
    ASSERT_EQ(open_play_folder(text), "");
    const fs::path first = play_folder();
    ASSERT_TRUE(open_play_folder(text) == "" && !fs::exists(first));
    close_play_folder();
    EXPECT_TRUE(tmp_empty());

    // No folder can be made: a message naming where, nothing left open.
    setenv("TMPDIR", (root / "missing").c_str(), 1);
    const std::string fault = open_play_folder(text);
    EXPECT_NE(fault.find((root / "missing").string()), std::string::npos) << fault;
    EXPECT_STREQ(play_folder(), "");
}

// Should the world still stop the program during a playtest, its log goes into the playtest's
// folder (the player's folder while it runs) and the folder goes at the exit: nothing is left in
// the temporary folder or the working directory.
TEST_F(PlayFolderTest, AProgramStoppedDuringAPlaytestLeavesNothingBehind)
{
    const fs::path here = fs::current_path();
    fs::create_directories(root / "work");
    fs::current_path(root / "work");
    const std::string text = level_without_start();
    EXPECT_EXIT(
        {
            screen = nullptr;
            if (open_play_folder(text).empty()) {
                std::snprintf(home_folder, sizeof home_folder, "%s", play_folder());
                check(0, "No starting position defined in map");
            }
            std::exit(3);
        },
        testing::ExitedWithCode(1), "No starting position");
    fs::current_path(here);
    EXPECT_TRUE(tmp_empty() && fs::is_empty(root / "work"));
}
