/* par_search_test.cpp: the process that works out a --levels map's par: a signal to it leaves
   the game untouched, it is reaped when it ends and stopped when its level is left, and the
   editor's playtest starts none. */
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "game_test_support.h"
#include "play_folder.h"
#include "solution_record.h"
#include "search/level_search.h"
#include "base/game_paths.h"
#include "ui/level_records.h"
#include "ui/records_file.h"
#include "world/map_hash.h"

namespace {

using namespace game_test;

volatile sig_atomic_t terms_caught = 0;

/* Stands for the library's own handlers, which the child used to keep: it would have run in the
   child on the signal, and the child gone on waiting (the search then never ends). */
void catch_term(int)
{
    terms_caught = terms_caught + 1;
}

/* Holds the child before its search until a signal ends it. */
void wait_for_a_signal()
{
    for (;;)
        pause();
}

/* Whether the test process has no child left, ended or not: nothing for waitpid. */
bool no_child_left()
{
    return waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD;
}

class ParSearch : public GameDirectoryTest {
protected:
    void SetUp() override
    {
        GameDirectoryTest::SetUp();
        forget_records_state();
        mine = dir / "mine";
        fs::create_directories(mine);
        fs::copy_file(fs::path(TIRVEX_SOURCE_DIR) / "tests/maps/play_walk.txt", mine / "map01.txt");
        std::snprintf(levels_folder, sizeof levels_folder, "%s", mine.c_str());
        std::snprintf(levels_progress_folder, sizeof levels_progress_folder, "%s", mine.c_str());
        kept_term = std::signal(SIGTERM, catch_term);
    }
    void TearDown() override
    {
        par_child_hook = nullptr;
        forget_records_state();
        std::signal(SIGTERM, kept_term);
        levels_folder[0] = levels_progress_folder[0] = '\0';
        GameDirectoryTest::TearDown();
    }

    /* Polls, a bounded number of times, until the search under way has given its answer. */
    static bool search_ends()
    {
        for (int i = 0; i < 3000; i++) {
            if (!poll_par_search())
                return true;
            usleep(10000);
        }
        return false;
    }

    /* The child's pid, read as the test's only child: it is not reaped while it runs. */
    static pid_t the_child()
    {
        char path[64];
        std::snprintf(path, sizeof path, "/proc/%d/task/%d/children", (int)getpid(), (int)getpid());
        FILE *file = std::fopen(path, "r");
        int pid = 0;
        if (file) {
            if (std::fscanf(file, "%d", &pid) != 1)
                pid = 0;
            std::fclose(file);
        }
        return pid;
    }

    fs::path mine;
    void (*kept_term)(int) = SIG_DFL;
};

} // namespace

/* SIGTERM (or any signal) to the child ends it alone: the game goes on, its par not found. The
   child used to keep the game's handlers, run them, and break the game's display. */
TEST_F(ParSearch, ASignalToTheChildEndsItAloneWithNoParFound)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        forget_records_state();
        par_child_hook = wait_for_a_signal;
        std::signal(SIGINT, catch_term);
        std::signal(SIGHUP, catch_term);
        std::signal(SIGQUIT, catch_term);
        terms_caught = 0;
        records_attempt_started(1);
        ASSERT_EQ(level_par(1).state, PAR_WORKING);
        const pid_t child = the_child();
        ASSERT_TRUE(child > 0 && kill(child, signal) == 0);
        ASSERT_TRUE(search_ends()) << "signal " << signal;
        EXPECT_EQ(level_par(1).state, PAR_NONE_FOUND);
        EXPECT_EQ(terms_caught, 0) << "the game's own handler did not run in the game";
        EXPECT_TRUE(no_child_left()) << "reaped as it ended";
    }
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
    std::signal(SIGQUIT, SIG_DFL);
}

/* Leaving the level stops the search under way and reaps it: it used to run on to its bound in
   the menus and stay there a zombie. A search that ends by itself is reaped as its answer is
   taken, while the level goes on. */
TEST_F(ParSearch, LeavingTheLevelStopsTheSearchAndNoneIsLeftAZombie)
{
    par_child_hook = wait_for_a_signal;
    records_attempt_started(1);
    ASSERT_TRUE(the_child() > 0 && poll_par_search());
    stop_par_search();              // as the play loop does when the level is left
    EXPECT_TRUE(no_child_left() && !poll_par_search() && level_par(1).state == PAR_NOT_KNOWN);

    par_child_hook = nullptr;
    records_attempt_started(1);
    ASSERT_TRUE(search_ends() && level_par(1).state == PAR_KNOWN && no_child_left());
}

/* The editor's playtest plays its map from a temporary folder through the game's keys, whose
   restart begins an attempt: no search is started for that map, and one is again once the
   playtest's folder is closed. */
TEST_F(ParSearch, TheEditorsPlaytestStartsNone)
{
    const std::string map = read_file(mine / "map01.txt");
    ASSERT_EQ(open_play_folder(map), "");
    std::snprintf(levels_folder, sizeof levels_folder, "%s", play_folder());
    records_attempt_started(1);     // what a restart in the playtest does
    EXPECT_TRUE(level_par(1).state != PAR_WORKING && !poll_par_search() && no_child_left());
    close_play_folder();

    std::snprintf(levels_folder, sizeof levels_folder, "%s", mine.c_str());
    records_attempt_started(1);
    EXPECT_EQ(level_par(1).state, PAR_WORKING);
}

/* A folder the level generator made carries each level's proof in solutions/, with the hash of
   the map it proves: its par is taken from there without a search, and only while the map is
   the one proven (an edited map, or a solution of another, is searched again). A proof's first
   line was believed unreplayed: a planted "50 moves" on the map's true hash made a 2-move win
   "fewer than its par: not recorded", and stuck in the records as "par ... 50". Now the way is
   replayed and must win in the moves and time it claims; an old par line, without its source,
   is not believed. */
TEST_F(ParSearch, AFolderSolutionWithTheMapsHashGivesTheParWithoutASearch)
{
    const std::string map = read_file(mine / "map01.txt");
    const uint64_t hash = map_text_hash(map.data(), map.size());
    static SearchResult way;
    ASSERT_TRUE(search_level(map.c_str(), SearchLimits{2, 4000000, 600, 256LL << 20, 0}, &way));
    auto proof = [&](uint64_t named) {
        FILE *out = std::tmpfile();
        write_solution(out, map.c_str(), "map01.txt", "Walk", 2, way, named);
        std::string text(std::ftell(out), '\0');
        std::rewind(out);
        text.resize(std::fread(text.data(), 1, text.size(), out));
        std::fclose(out);
        return text;
    };
    const std::string real = proof(hash), moves = " " + std::to_string(way.moves) + " moves";
    fs::create_directories(mine / "solutions");
    write_file(mine / "solutions/map01.txt", real);
    records_attempt_started(1);
    const LevelPar par = level_par(1);
    EXPECT_TRUE(par.state == PAR_KNOWN &&
                par.moves == way.moves && par.waits == way.waits && par.ticks == way.ticks &&
                !poll_par_search() && no_child_left());

    // The same file for a map edited since: the par is the search's to find.
    forget_records_state();
    write_file(mine / "map01.txt", map + "\n");
    records_attempt_started(1);
    EXPECT_EQ(level_par(1).state, PAR_WORKING);
    stop_par_search();

    // A solution without the hash line, or with a hash cut short, proves no map of a folder; a
    // way claimed longer than it is, or one that does not win, proves no par; nor does an old
    // records line.
    write_file(mine / "map01.txt", map);
    std::string longer = real, lost = real.substr(0, real.find("\nmove ") + 1) + "end 5\n";
    longer.replace(longer.find(moves), moves.size(), " 50 moves");
    for (const std::string &planted : {proof(0), proof(hash >> 4), longer, lost, std::string()}) {
        forget_records_state();
        write_file(mine / "solutions/map01.txt", planted);
        if (planted.empty())
            write_file(mine / "tirvex-records.txt", "tirvex-records 2\npar 1 " +
                       real.substr(real.find("map hash ") + 9, 16) + " 50 0 100\n");
        records_attempt_started(1);
        EXPECT_EQ(level_par(1).state, PAR_WORKING) << planted;
        stop_par_search();
    }
}
