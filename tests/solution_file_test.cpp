/* solution_file_test.cpp: the recorded solutions read as the game's --watch reads them, played
   through the world to the end of every shipped level, and the faults of a broken file. */
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "game_test_support.h"
#include "world/level_state.h"
#include "world/solution_file.h"
#include "world/world_driver.h"
#include "world/player_motion.h"

namespace {

const std::string source_dir = TIRVEX_SOURCE_DIR;
const std::string game_dir = TIRVEX_GAME_DIR;

Solution solution;      /* some 16 KB, kept off the stack */

std::string written(const std::string &text)
{
    char path[] = "/tmp/tirvex_solution_XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_EQ(write(fd, text.data(), text.size()), (ssize_t)text.size());
    close(fd);
    return path;
}

} // namespace

// Every shipped level's solution, read by the game's reader and played frame by frame the way
// --watch plays it, from a fresh game's robot, completes its level on its last frame.
TEST(SolutionFile, EveryShippedSolutionWatchedCompletesItsLevel)
{
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(game_dir);
    char fault[SOLUTION_FAULT_SIZE];
    for (int level = 1; level <= 19; level++) {
        char path[64];
        std::snprintf(path, sizeof path, "solutions/map%02d.txt", level);
        ASSERT_TRUE(read_solution(path, &solution, fault, sizeof fault)) << fault;
        EXPECT_EQ(solution.ticks_per_frame, 2);
        player_motion = PlayerMotion{};     // as in a game started with --watch
        driver_start_level(level);
        int32_t next = 0;
        for (int32_t frame = 0; frame < solution.end_frame; frame++) {
            ASSERT_FALSE(level_state.level_completed) << path << " completes early, frame " << frame;
            play_solution_frame(solution, frame, &next);
        }
        EXPECT_TRUE(level_state.level_completed) << path;
        EXPECT_EQ(next, solution.move_count) << path;
    }
    std::filesystem::current_path(saved);
}

// A broken or foreign file is refused with its name and the line at fault.
TEST(SolutionFile, ABrokenFileNamesItsLine)
{
    const struct { const char *text; const char *words; } cases[] = {
        {"ticks_per_frame 2\nmove 0 72\n", ":2: the solution ends without its end line"},
        {"move 0 72\nend 10\n", ":2: the solution ends without its ticks per frame"},
        {"ticks_per_frame 2\nmove 5 72\nmove 3 72\nend 10\n", ":3: a move before the one above it"},
        {"ticks_per_frame 2\nmove 0\nend 10\n", ":2: a move needs a frame and a code"},
        {"ticks_per_frame 0\n", ":1: ticks per frame must be 1 to 100"},
        {"ticks_per_frame 2\nmove 9 72\nend 9\n", ":3: the end comes before the last move"},
        {"ticks_per_frame 2\nend 9\nmove 10 72\n", ":3: a line after the end"},
        {"Tirvex level 1\nFirst steps\n1\n", ":1: not a line of a solution"},
        {"ticks_per_frame 2\ntrace 5 1 1\nend 9\n", ":2: a trace needs"},
    };
    char fault[SOLUTION_FAULT_SIZE];
    for (const auto &c : cases) {
        const std::string path = written(c.text);
        EXPECT_FALSE(read_solution(path.c_str(), &solution, fault, sizeof fault)) << c.text;
        EXPECT_EQ(std::string(fault).find(path + c.words), 0u) << fault;
        std::remove(path.c_str());
    }
    EXPECT_FALSE(read_solution("/nonexistent/map01.txt", &solution, fault, sizeof fault));
    EXPECT_NE(std::string(fault).find("/nonexistent/map01.txt: cannot be read"), std::string::npos);
}
