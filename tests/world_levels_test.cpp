/* world_levels_test.cpp: the level files themselves: test maps and the shipped levels. */
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "ui/message_line.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/map_file.h"
#include "world/map_parser.h"
#include "world_test_support.h"

namespace {

std::string test_map(const char *name)
{
    return std::string(TIRVEX_SOURCE_DIR) + "/tests/maps/" + name;
}

/* Runs a level from the staged game directory, as the game finds its files. */
class ShippedLevel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(getcwd(saved_dir, sizeof saved_dir), nullptr);
        ASSERT_EQ(chdir(TIRVEX_GAME_DIR), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(saved_dir), 0); }
    char saved_dir[4096];
};

void play(std::initializer_list<int> codes)
{
    for (int code : codes) {
        driver_push(code);
        driver_settle(2, 500);
    }
}

} // namespace

TEST(TestMaps, ChainReactionFromAFile)
{
    std::FILE *file = std::fopen(test_map("chain_reaction.txt").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    static char text[4096];
    size_t length = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[length] = '\0';
    begin_level(text);
    driver_run(15, 10);
    EXPECT_STREQ(level_map.level_name, "Chain reaction");
    EXPECT_EQ(level_map.level_code, 2);
    // The zipper ran into the jars after 40 ticks: both jars, the mine and the zipper are gone
    // 80 ticks later, the sweet beside the mine is lost, and the robot, two rows away, is unharmed.
    for (int i = 0; i < actor_table.count; i++)
        EXPECT_EQ(actor(i).gone, i == hero_index ? 0 : 1) << i;
    EXPECT_EQ(level_state.level_lost, 0);
    EXPECT_STREQ(message_line.text, "You lost a sweet, you're stuck");
}

TEST(TestMaps, CrLfLinesAndAFullLengthName)
{
    char name[LEVEL_NAME_SIZE];
    int code = 0;
    ASSERT_EQ(read_level_header(test_map("crlf_lines.txt").c_str(), name, &code), 1);
    EXPECT_STREQ(name, "Thirty-eight characters in this name..");
    EXPECT_EQ(code, 3);
    clear_actors();
    ASSERT_EQ(load_map(test_map("crlf_lines.txt").c_str(), &level_map), 3);
    EXPECT_EQ(level_map.tiles[1].texture, 2);
    EXPECT_EQ(level_map.tiles[1].side_depth[0], 2);
    EXPECT_EQ(level_map.tiles[2].side_depth[2], 0);
    EXPECT_EQ(level_state.sweets_total, 1);
}

TEST(ShippedLevels, EveryLevelFileReadsWithoutAFault)
{
    std::string dir = std::string(TIRVEX_SOURCE_DIR) + "/assets/maps";
    int levels = 0;
    for (int n = 1; n < 100; n++) {
        char path[512];
        std::snprintf(path, sizeof path, "%s/map%02d.txt", dir.c_str(), n);
        FILE *file = std::fopen(path, "r");
        if (!file)
            break;
        static ParsedMap parsed;
        MapReader reader;
        map_reader_from_file(&reader, file);
        MapVerdict verdict = parse_map(&reader, &parsed);
        std::fclose(file);
        EXPECT_EQ(verdict.fault, MAP_OK) << path << ": " << verdict.message;
        EXPECT_GT(parsed.minutes, 0) << path;
        EXPECT_GT(std::string(parsed.name).size(), 0u) << path;
        levels++;
    }
    EXPECT_GE(levels, 1);
}

TEST_F(ShippedLevel, TheFirstLevelCanBeWon)
{
    driver_start_level(1);
    driver_settle(10, 100);
    EXPECT_STREQ(level_map.level_name, "First steps");
    EXPECT_EQ(level_state.sweets_total, 3);
    play({MOVE_FORWARD, MOVE_FORWARD,               // the first sweet
          MOVE_BACKWARD, MOVE_TURN_LEFT,
          MOVE_FORWARD, MOVE_FORWARD,               // the jar goes down into its niche
          MOVE_TURN_RIGHT, MOVE_FORWARD, MOVE_FORWARD, // up onto the ledge: the second sweet
          MOVE_FORWARD, MOVE_FORWARD, MOVE_TURN_LEFT,
          MOVE_FORWARD,                             // the third sweet opens the teleport
          MOVE_FORWARD});
    EXPECT_EQ(level_state.sweets_eaten, 3);
    EXPECT_EQ(level_state.level_completed, 1);
    EXPECT_EQ(level_state.level_lost, 0);
}
