/* levels_test.cpp: the level checker's command line: its statuses, bounds and messages, and every
   fault of the broken maps found on its line. (The shipped levels: shipped_levels_test.cpp.) */
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "game_test_support.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/world_driver.h"
#include "world_test_support.h"

namespace {

const std::string source_dir = TIRVEX_SOURCE_DIR;
const std::string game_dir = TIRVEX_GAME_DIR;

/* Runs the staged game from its own directory, as the game finds its maps. */
class LevelFiles : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::current_path(game_dir); }
    void TearDown() override { std::filesystem::current_path(saved_dir); }
    const std::filesystem::path saved_dir = std::filesystem::current_path();
};

/* Runs a command, collecting what it prints, standard error after standard output, and the
   latter alone in *errors when given; returns its exit status. */
int run_command(const std::string &command, std::string *output, std::string *errors = nullptr)
{
    const std::string printed = "/tmp/tirvex_checker_" + std::to_string(getpid()) + ".out";
    const int status =
        std::system((command + " >" + printed + " 2>" + printed + ".err").c_str());
    const std::string err = game_test::read_file(printed + ".err");
    *output = game_test::read_file(printed) + err;
    if (errors)
        *errors = err;
    std::remove(printed.c_str());
    std::remove((printed + ".err").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string checker = game_dir + "/level_checker";

} // namespace

/* Writes a level into a temporary file and returns its path. */
std::string map_file(const std::string &text)
{
    char path[] = "/tmp/tirvex_level_XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_EQ(write(fd, text.data(), text.size()), (ssize_t)text.size());
    close(fd);
    return path;
}

/* Runs the checker with the arguments given and expects its exit status and, in what it prints,
   the words given. */
void expect_checker(const std::string &arguments, int status, const std::string &words)
{
    std::string output, errors;
    EXPECT_EQ(run_command(checker + " " + arguments, &output, &errors), status)
        << arguments << "\n" << output;
    // A wrong command line, and a map that cannot be read at all, are said on standard error
    // with the system's reason; a map's faults are the checker's findings, on its output.
    const bool fault = status == 2 || words.find(std::strerror(ENOENT)) != std::string::npos;
    const std::string &said = fault ? errors : output;
    EXPECT_NE(said.find(words), std::string::npos)
        << arguments << ": expected \"" << words << "\" in\n" << output;
}

TEST(LevelChecker, FindsTheShortestWayProvesAHopelessLevelHopelessAndRefusesABadCommandLine)
{
    // A sweet one square ahead, the teleport beyond it: two steps. The sweet three levels up can
    // be reached in none of all the states there are.
    const std::string near = map_file(drawn_map({"1P 1S 1T"}, 64, 2));
    const std::string high = map_file(drawn_map({"1P 4S", "1T"}, 64, 2));
    // A jar beside the only sweet, and a zipper that runs into the jar as soon as it has waited
    // its 30 ticks: the sweet is lost before the robot, five steps away, can reach it. Without
    // the zipper the same level is won.
    auto zipper_level = [](const char *first_row) {
        return map_file(drawn_map({first_row, "-- -- 1S", "-- -- 1.", "-- -- 1.", "-- -- 1.",
                                   "-- -- 1.", "-- -- 1P 1T"}, 128, 2));
    };
    const std::string blast = zipper_level("1> 1. 1J"), calm = zipper_level("1. 1. 1J");
    const struct { std::string arguments; int status; const char *words; } runs[] = {
        {near, 0, "solved in 2 moves and 0 waits"},
        {near, 0, "fits with room to spare"},
        {high, 3, "cannot be won: no solution among all"},
        {blast, 3, "cannot be won"},
        {calm, 0, "solved"},
        // A wrong command line is refused with status 2, a missing file with 1.
        {"", 2, ""},
        {"--ticks 0 x.txt", 2, ""},
        {"--bogus x.txt", 2, ""},
        {"--think 0.4s x.txt", 2, ""},
        {"--think -1 x.txt", 2, ""},
        // Options nothing would read, or whose second value would silently win, are refused.
        {"--think 0.25 " + near, 2, "--think only works with --fair"},
        {"--start-delay 50 " + near, 2, "--start-delay only works with --fair"},
        {"--ticks 2 --ticks=3 " + near, 2, "given twice: --ticks=3"},
        {"--fair --think 0.25 " + near, 0, "thinking 0.25 s before each command it can be won"},
        {"/nonexistent/map.txt", 1, "/nonexistent/map.txt: No such file or directory"},
    };
    for (const auto &run : runs)
        expect_checker(run.arguments, run.status, run.words);
    for (const std::string &path : {near, high, blast, calm})
        std::remove(path.c_str());
}

/* A level of 199 squares in a 20 by 10 field with 100 actors: the robot, the teleport, a sweet
   on a tower it cannot climb, and 97 mibos to push about. It cannot be won, and there are more
   ways to push the mibos than any memory holds. */
std::string crowded_map()
{
    std::string text = "drawn for a test\nCrowded\n7\nminutes:\n9\n\nsquares:\n199\n";
    int mibos = 0;
    for (int z = 0; z < 10; z++) {
        for (int x = 0; x < 20; x++) {
            if (x == 19 && z == 9)
                continue;
            int height = 1, code = 0;
            if (x == 0 && z == 0)
                code = 1;
            else if (x == 18 && z == 9)
                code = 2;
            else if (x == 10 && z == 5)
                height = 5, code = 7;
            else if ((x + z) % 2 == 1 && mibos < 97)
                code = 3, mibos++;
            text += std::to_string(x) + " " + std::to_string(height) + " " + std::to_string(z) +
                    " 0 " + std::to_string(code) + " 0 -1 -1 -1 -1\n";
        }
    }
    return text;
}

// Each bound ends the search with its own exit status, distinct from a level that cannot be
// won (3) and from an invalid one (1), and says which bound and after how many states. A huge
// level stops cleanly at the memory bound. The progress line goes to a terminal only.
TEST_F(LevelFiles, EachBoundHasItsOwnStatusAndSaysWhereItStopped)
{
    const std::string crowded = map_file(crowded_map());
    const struct { std::string arguments; int status; const char *words; } runs[] = {
        {"--states 1000 maps/map11.txt", 4, "stopped at the state limit of 1000 states (--states)"},
        {"--depth 3 maps/map11.txt", 5, "stopped at the depth limit of 3 commands (--depth), after"},
        {"--memory 1 maps/map11.txt", 6, "stopped at the memory limit of 1 MB (--memory), after"},
        {"--memory 4 " + crowded, 6, "stopped at the memory limit of 4 MB (--memory), after"},
        {"--memory 0 maps/map11.txt", 2, ""},
        {"--jobs 3 maps/map11.txt", 2, ""},
        // The first map that fails decides the status.
        {"--states 1000 maps/map11.txt maps/map02.txt", 4, "map02.txt: solved"},
        {"maps/map01.txt --states 100 maps/map11.txt", 4, "total"},
    };
    for (const auto &run : runs)
        expect_checker(run.arguments, run.status, run.words);
    std::remove(crowded.c_str());

    // Not a terminal: nothing but the results, all on standard output.
    const std::string errors = "/tmp/tirvex_checker_errors_" + std::to_string(getpid());
    ASSERT_EQ(std::system((checker + " maps/map18.txt >/dev/null 2>" + errors).c_str()), 0);
    EXPECT_EQ(game_test::read_file(errors), "");
    // A terminal: the progress line, rewritten in place, then cleared.
    std::string shown;
    ASSERT_EQ(run_command("script -qec '" + checker + " maps/map18.txt >/dev/null' /dev/null", &shown),
              0);
    EXPECT_NE(shown.find("map18.txt: "), std::string::npos) << shown;
    EXPECT_NE(shown.find(" states/s"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\r\033[K"), std::string::npos) << shown;
    std::remove(errors.c_str());
}

/* Each broken map says in its first line which line the checker must blame and with what words:
   "expect LINE: WORDS". Line 1 is free text to the game. */
TEST(LevelChecker, EveryBrokenMapIsReportedOnTheRightLine)
{
    const std::string dir = source_dir + "/tests/broken_maps";
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        if (entry.path().extension() == ".txt")
            names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    ASSERT_GE(names.size(), 10u);
    for (const std::string &name : names) {
        std::string path = dir + "/" + name;
        std::string text = game_test::read_file(path);
        std::string first = text.substr(0, text.find('\n'));
        if (!first.empty() && first.back() == '\r')
            first.pop_back();   // a map written with CR LF line ends
        ASSERT_EQ(first.rfind("expect ", 0), 0u) << name << " does not say what to expect";
        size_t colon = first.find(": ");
        ASSERT_NE(colon, std::string::npos) << name;
        std::string where = path + ":" + first.substr(7, colon - 7) + ": ";
        expect_checker("--validate " + path, 1, where + first.substr(colon + 2));
    }
}
