/* world_levels_test.cpp: levels read whole from the test map files. */
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ui/message_line.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/map_file.h"
#include "world_test_support.h"

namespace {

std::string test_map(const char *name)
{
    return std::string(TIRVEX_SOURCE_DIR) + "/tests/maps/" + name;
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
