/* solution_file_test.cpp: the faults of a broken solution file, and an end line other than where
   the level completes. (Every shipped solution wins its level: shipped_levels_test.cpp.) */
#include <gtest/gtest.h>

#include <cstdlib>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "game_test_support.h"
#include "world/level_state.h"
#include "world/solution_file.h"
#include "world/world_driver.h"
#include "world/player_motion.h"
#include "test_world.h"

namespace {

const std::string source_dir = TIRVEX_SOURCE_DIR;
const std::string game_dir = TIRVEX_GAME_DIR;

Solution read_back;     /* some 48 KB, kept off the stack */

std::string written(const std::string &text)
{
    char path[] = "/tmp/tirvex_solution_XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_EQ(write(fd, text.data(), text.size()), (ssize_t)text.size());
    close(fd);
    return path;
}

} // namespace

// A broken or foreign file is refused with its name and the line at fault.
TEST(SolutionFile, ABrokenFileNamesItsLine)
{
    const struct { const char *text; const char *words; } cases[] = {
        {"ticks_per_frame 2\nmove 0 72\n", ":2: the solution ends without its end line"},
        {"move 0 72\nend 10\n", ":2: the solution ends without its ticks per frame"},
        {"ticks_per_frame 2\nmove 5 72\nmove 3 72\nend 10\n", ":3: a move before the one above it"},
        {"ticks_per_frame 2\nmove 0\nend 10\n", ":2: a move needs a frame (0 to 1000000) and a code"},
        // Numbers out of range: before, any code and flags from -1 to a million were taken.
        {"ticks_per_frame 2\nmove 99999999999999999999 72\nend 10\n", ":2: a move needs a frame"},
        {"ticks_per_frame 2\nmove -1 72\nend 10\n", ":2: a move needs a frame"},
        {"ticks_per_frame 2\nmove 0 71\nend 10\n", ":2: a move code must be 57, 72, 75, 77, 80, 1001 or 1002"},
        {"ticks_per_frame 101\n", ":1: ticks per frame must be 1 to 100"},
        {"ticks_per_frame 2\ntrace 5 1 1 0 2 0\nend 9\n", ":2: a trace needs"},
        {"ticks_per_frame 2\ntrace 5 1 1 -1 0 0\nend 9\n", ":2: a trace needs"},
        {"ticks_per_frame 2\nend 1000001\n", ":2: the end needs a frame (1 to 1000000)"},
        {"ticks_per_frame 0\n", ":1: ticks per frame must be 1 to 100"},
        {"ticks_per_frame 2\nmove 9 72\nend 9\n", ":3: the end comes before the last move"},
        {"ticks_per_frame 2\nend 9\nmove 10 72\n", ":3: a line after the end"},
        {"Tirvex level 1\nFirst steps\n1\n", ":1: not a line of a solution"},
        {"ticks_per_frame 2\ntrace 5 1 1\nend 9\n", ":2: a trace needs"},
    };
    char fault[SOLUTION_FAULT_SIZE];
    for (const auto &c : cases) {
        const std::string path = written(c.text);
        EXPECT_FALSE(read_solution(path.c_str(), &read_back, fault, sizeof fault)) << c.text;
        EXPECT_EQ(std::string(fault).find(path + c.words), 0u) << fault;
        std::remove(path.c_str());
    }
    EXPECT_FALSE(read_solution("/nonexistent/map01.txt", &read_back, fault, sizeof fault));
    EXPECT_NE(std::string(fault).find("/nonexistent/map01.txt: cannot be read"), std::string::npos);
    // A folder read as an empty file, "the solution ends without its ticks per frame".
    EXPECT_FALSE(read_solution("/tmp", &read_back, fault, sizeof fault));
    EXPECT_STREQ(fault, "/tmp: not a regular file (a folder)");
}

// The end line must be the frame after which the level is completed. Before, --watch ran to
// whatever end a file gave: "end 999999" stood on "Level completed: press Space" for hours.
TEST(SolutionFile, AnEndLineOtherThanWhereTheLevelCompletesIsRefusedWithItsLine)
{
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(game_dir);
    std::FILE *in = std::fopen("solutions/map01.txt", "r");
    ASSERT_TRUE(in);
    std::string text;
    for (int c; (c = std::fgetc(in)) != EOF;)
        text += (char)c;
    std::fclose(in);
    const size_t end = text.rfind("end ");
    ASSERT_NE(end, std::string::npos);
    const int end_line = 1 + (int)std::count(text.begin(), text.begin() + end, '\n');

    // Plays the solution as --watch does, holding the world to the end line after every frame;
    // returns the fault, or "" when the level completed where the file says.
    auto watched = [&](const std::string &end_text) {
        const std::string path = written(text.substr(0, end) + end_text);
        char fault[SOLUTION_FAULT_SIZE] = "";
        EXPECT_TRUE(read_solution(path.c_str(), &read_back, fault, sizeof fault)) << fault;
        world.motion = PlayerMotion{};
        driver_start_level(world, 1);
        int32_t next = 0;
        std::string result;
        for (int32_t frames = 1; frames <= read_back.end_frame && result.empty(); frames++) {
            play_solution_frame(world, read_back, frames - 1, &next);
            if (!solution_agrees(read_back, path.c_str(), frames, world.level.level_completed,
                                 world.level.level_lost, fault, sizeof fault))
                result = fault;
        }
        std::remove(path.c_str());
        const size_t colon = result.find(':');
        return colon == std::string::npos ? result : result.substr(colon);
    };
    // The recorded end of level 1's way, whatever way the level's design asks for.
    const int frames = std::atoi(text.c_str() + end + 4);
    ASSERT_GT(frames, 5);
    const std::string at = ":" + std::to_string(end_line) + ": ";
    const std::string completed = at + "the level is completed after " + std::to_string(frames) + " frames, ";
    auto end_at = [](int frame) { return "end " + std::to_string(frame) + "\n"; };
    EXPECT_EQ(watched(end_at(frames)), "");
    EXPECT_EQ(watched("end 999999\n"), completed + "the end line says 999999");
    EXPECT_EQ(watched(end_at(frames + 1)), completed + "the end line says " + std::to_string(frames + 1));
    EXPECT_EQ(watched(end_at(frames - 5)),     // after the last move, before the teleport is reached
              at + "the level is still not completed after " + std::to_string(frames - 5) +
                  " frames, the end line says " + std::to_string(frames - 5));
    std::filesystem::current_path(saved);
}
