/* par_search_test.cpp: the thread that works out a --levels map's par: its answer is taken as
   it ends, it is stopped when its level is left, and the editor's playtest starts none. */
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>

#include "game_test_support.h"
#include "play_folder.h"
#include "solution_record.h"
#include "search/level_search.h"
#include "base/game_paths.h"
#include "play/play_session.h"
#include "ui/level_records.h"
#include "ui/records_file.h"
#include "world/map_hash.h"
#include "test_world.h"

namespace {

using namespace game_test;

class LevelParSearch : public GameDirectoryTest {
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
    }
    void TearDown() override
    {
        forget_records_state();
        levels_folder[0] = levels_progress_folder[0] = '\0';
        GameDirectoryTest::TearDown();
    }

    /* Polls, a bounded number of times, until the search under way has given its answer. */
    static bool search_ends()
    {
        for (int i = 0; i < 3000; i++) {
            if (!poll_par_search(session))
                return true;
            usleep(10000);
        }
        return false;
    }

    fs::path mine;
};

} // namespace

/* Leaving the level stops the search under way, its answer never taken, even one already come:
   it used to run on to its bound in the menus, and writes no par. A search that ends by itself
   is taken while the level goes on. */
TEST_F(LevelParSearch, LeavingTheLevelStopsTheSearchAndLeavesNoPar)
{
    begin_attempt(1);
    ASSERT_EQ(level_par(session, 1).state, PAR_WORKING);
    stop_par_search(session);       // as the play loop does when the level is left
    EXPECT_TRUE(!poll_par_search(session) && level_par(session, 1).state == PAR_NOT_KNOWN);
    records_level_completed(session, 1, 500);
    EXPECT_EQ(read_file(mine / "tirvex-records.txt").find("\npar "), std::string::npos);

    begin_attempt(1);
    ASSERT_TRUE(search_ends() && level_par(session, 1).state == PAR_KNOWN);
}

/* The editor's playtest plays its map from a temporary folder through the game's keys, whose
   restart begins an attempt: no search is started for that map in its session, and one is in
   the game's. */
TEST_F(LevelParSearch, TheEditorsPlaytestStartsNone)
{
    const std::string map = read_file(mine / "map01.txt");
    ASSERT_EQ(open_play_folder(map), "");
    std::snprintf(levels_folder, sizeof levels_folder, "%s", play_folder());
    static PlaySession playtest{.par_search_allowed = false};   // as the editor's own
    begin_attempt(1, playtest);     // what a restart in the playtest does
    EXPECT_TRUE(level_par(playtest, 1).state != PAR_WORKING && !poll_par_search(playtest));
    close_play_folder();

    std::snprintf(levels_folder, sizeof levels_folder, "%s", mine.c_str());
    begin_attempt(1);
    EXPECT_EQ(level_par(session, 1).state, PAR_WORKING);
}

/* A folder the level generator made carries each level's proof in solutions/, with the hash of
   the map it proves: its par is taken from there without a search, and only while the map is
   the one proven (an edited map, or a solution of another, is searched again). A proof's first
   line was believed unreplayed: a planted "50 moves" on the map's true hash made a 2-move win
   "fewer than its par: not recorded", and stuck in the records as "par ... 50". Now the way is
   replayed and must win in the moves and time it claims; an old par line, without its source,
   is not believed. */
TEST_F(LevelParSearch, AFolderSolutionWithTheMapsHashGivesTheParWithoutASearch)
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
    begin_attempt(1);
    const LevelPar par = level_par(session, 1);
    EXPECT_TRUE(par.state == PAR_KNOWN &&
                par.moves == way.moves && par.waits == way.waits && par.ticks == way.ticks &&
                !poll_par_search(session));

    // The same file for a map edited since: the par is the search's to find.
    forget_records_state();
    write_file(mine / "map01.txt", map + "\n");
    begin_attempt(1);
    EXPECT_EQ(level_par(session, 1).state, PAR_WORKING);
    stop_par_search(session);

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
        begin_attempt(1);
        EXPECT_EQ(level_par(session, 1).state, PAR_WORKING) << planted;
        stop_par_search(session);
    }
}
