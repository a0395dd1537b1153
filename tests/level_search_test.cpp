/* level_search_test.cpp: the checker's search run in slices, with and without its helper thread,
   two at once, and its bounds. (The layers, table and helper it keeps its states in are seen
   through the states and ways it finds.) */
#include <gtest/gtest.h>

#include <thread>

#include <cstring>
#include <string>
#include <vector>

#include "game_test_support.h"
#include "search/level_search.h"
#include "search/state_table.h"
#include "base/display_options.h"
#include "world/level_state.h"
#include "world_test_support.h"

namespace {

/* The tests' search, run as the checker and the editor run theirs. */
LevelSearch &searcher()
{
    static LevelSearch *search = search_create();
    return *search;
}


SearchLimits limits(int helpers, int64_t states = 4000000, int32_t depth = 600,
                    int64_t memory = 256 << 20)
{
    return SearchLimits{2, states, depth, memory, helpers};
}

SearchResult one_run, sliced;   /* some 16 KB each, kept off the stack */

/* Runs the search to its end in slices of `state_budget` states (or `ms_budget` ms), checking
   between slices that the world is the caller's. Returns the outcome. */
SearchOutcome run_in_slices(const std::string &text, const SearchLimits &l, int64_t state_budget,
                            int64_t ms_budget)
{
    static World before, after;
    before = world;
    SearchOutcome outcome = search_start(searcher(), text.data(), text.size(), l);
    int slices = 0;
    while (outcome == SEARCH_RUNNING) {
        outcome = search_run(searcher(), state_budget, ms_budget);
        slices++;
        after = world;
        EXPECT_EQ(std::memcmp(&before.actors, &after.actors, sizeof before.actors), 0);
        EXPECT_EQ(std::memcmp(&before.motion, &after.motion, sizeof before.motion), 0);
        EXPECT_EQ(before.map.tile_count, after.map.tile_count);
        EXPECT_EQ(before.level.sweets_eaten, after.level.sweets_eaten);
    }
    EXPECT_GT(slices, 1) << "the search ran in one slice: the budget did not stop it";
    return outcome;
}

void expect_same_solution(const SearchResult &a, const SearchResult &b, const char *what)
{
    EXPECT_EQ(a.outcome, b.outcome) << what;
    EXPECT_EQ(a.states, b.states) << what;
    EXPECT_EQ(a.frames, b.frames) << what;
    ASSERT_EQ(a.step_count, b.step_count) << what;
    for (int32_t i = 0; i < a.step_count; i++) {
        EXPECT_EQ(a.steps[i].frame, b.steps[i].frame) << what << ", step " << i;
        EXPECT_EQ(a.steps[i].code, b.steps[i].code) << what << ", step " << i;
    }
}

} // namespace

// The slices and the helper thread change only how the time is spent: the states reached, the
// solution and every frame it is typed on are those of one long run on one thread. Level 9
// has some 23,000 states, its largest depths large enough for the helper.
TEST(LevelSearch, SlicesAndTheHelperFindTheSameWayAsOneRun)
{
    const std::string text = shipped_map(9);
    static const std::string own = drawn_map({"1P 1. 1S", "-- 1M 1T"}, 64);
    driver_start_text(world, own.c_str());     // the caller's own level, which the search leaves alone

    ASSERT_TRUE(search_level(text.c_str(), limits(0), &one_run) &&
                one_run.outcome == SEARCH_SOLVED && one_run.moves == 46 && one_run.states > 20000);

    const struct { int helpers; int64_t states, ms; const char *what; } ways[] = {
        {0, 997, 0, "slices of 997 states"},
        {1, 1500, 0, "slices of 1500 states with the helper"},
        {1, INT64_MAX, 5, "slices of 5 ms with the helper"},
    };
    for (const auto &way : ways) {
        EXPECT_EQ(run_in_slices(text, limits(way.helpers), way.states, way.ms), SEARCH_SOLVED)
            << way.what;
        ASSERT_TRUE(search_solution(searcher(), &sliced)) << way.what;
        search_end(searcher());
        expect_same_solution(one_run, sliced, way.what);
    }
    // Nor does the caller's view: the editor shows its level from the long shot, and the swoop,
    // which ends at the camera's height, used to end at the editor's, so that its proof reached
    // other states than the checker's.
    display_options.camera_height = -90.0f;
    EXPECT_EQ(run_in_slices(text, limits(0), 5000, 0), SEARCH_SOLVED);
    ASSERT_TRUE(search_solution(searcher(), &sliced));
    search_end(searcher());
    expect_same_solution(one_run, sliced, "the caller's camera at the long shot");
    EXPECT_EQ(display_options.camera_height, -90.0f) << "the caller's camera was not put back";
    display_options.camera_height = program_start_options.camera_height;
}

// A search shares nothing with another: two at once, each on its thread and one of them with a
// helper thread of its own, find what each finds alone, state for state. (The world and the
// search were globals, and the checker had to fork a process for a second core.)
TEST(LevelSearch, TwoSearchesAtOnceOnTwoThreadsFindWhatEachFindsAlone)
{
    const std::string nine = shipped_map(9), eleven = shipped_map(11);
    static SearchResult alone_nine, alone_eleven, both_nine, both_eleven;
    ASSERT_TRUE(search_level(nine.c_str(), limits(1), &alone_nine));
    ASSERT_TRUE(search_level(eleven.c_str(), limits(0), &alone_eleven));
    std::thread other([&] { search_level(nine.c_str(), limits(1), &both_nine); });
    search_level(eleven.c_str(), limits(0), &both_eleven);
    other.join();
    expect_same_solution(alone_nine, both_nine, "level 9 beside level 11");
    expect_same_solution(alone_eleven, both_eleven, "level 11 beside level 9");
}

// Each bound ends the search with its own outcome where it says, and frees what it held; a map
// with faults is not searched, and one whose sweet is out of reach is proven hopeless, with how
// near it came to a win.
TEST(LevelSearch, EachBoundEndsTheSearchWithItsOwnOutcome)
{
    const std::string text = shipped_map(11);
    SearchProgress p;

    EXPECT_EQ(run_in_slices(text, limits(1, 5000), 700, 0), SEARCH_STATE_LIMIT);
    search_progress(searcher(), &p);
    EXPECT_EQ(p.states, 5000);
    EXPECT_EQ(p.memory, 0);         // freed at the end
    EXPECT_FALSE(search_solution(searcher(), &sliced));

    search_start(searcher(), text.data(), text.size(), limits(0, 4000000, 4));
    EXPECT_EQ(search_run(searcher(), INT64_MAX, 0), SEARCH_DEPTH_LIMIT);
    search_progress(searcher(), &p);
    EXPECT_EQ(p.depth, 4);

    const int64_t memory = 1 << 20;
    search_start(searcher(), text.data(), text.size(), limits(1, 4000000, 600, memory));
    EXPECT_EQ(search_run(searcher(), INT64_MAX, 0), SEARCH_MEMORY_LIMIT);
    search_progress(searcher(), &p);
    EXPECT_TRUE(p.states > 1000 && p.peak_memory <= memory);

    search_start(searcher(), text.data(), text.size(), limits(1));
    EXPECT_EQ(search_run(searcher(), 3000, 0), SEARCH_RUNNING);
    search_progress(searcher(), &p);
    EXPECT_TRUE(p.states >= 3000 && p.frontier > 0 && p.memory > 0);
    search_cancel(searcher());
    EXPECT_EQ(search_run(searcher(), INT64_MAX, 0), SEARCH_CANCELLED);
    search_progress(searcher(), &p);
    EXPECT_EQ(p.memory, 0);

    const std::string broken = "a level\nwith no squares\n1\nminutes:\n2\n\nsquares:\n0\n";
    EXPECT_EQ(search_start(searcher(), broken.data(), broken.size(), limits(0)), SEARCH_INVALID_MAP);
    // A NUL would end the text early for the world: what follows it was never checked.
    std::string cut = drawn_map({"1P 1S 1T"}, 64, 2);
    cut[cut.find("squares:")] = '\0';
    EXPECT_EQ(search_start(searcher(), cut.data(), cut.size(), limits(0)), SEARCH_INVALID_MAP);

    // The sweet on the tower cannot be reached: the search says how near it came, the first
    // sweet eaten and the second never, the robot next to the teleport but never with both.
    const std::string high = drawn_map({"1P 1S 4S", "1T"}, 64, 2);
    search_start(searcher(), high.data(), high.size(), limits(1));
    search_run(searcher(), INT64_MAX, 0);
    EXPECT_TRUE(!(search_solution(searcher(), &sliced)) && sliced.outcome == SEARCH_NO_SOLUTION &&
                sliced.states > 10);
    SearchNearest n;
    search_nearest(searcher(), &n);
    EXPECT_TRUE(n.sweets == 2 && n.most_eaten == 1 && n.eaten == 1u && n.sweet_column[1] == 2 &&
                n.sweet_row[1] == 0 && n.teleport_distance == 1 && n.open_distance == -1);
}

// The table keeps every key through its growths, each of which gives the old slots back a page
// at a time behind the keys still to move, and a view taken before them still holds what it
// held; its memory stays within 12 bytes a slot at most three quarters full after a growth by
// a quarter.
TEST(StateTable, KeepsEveryKeyThroughGrowthsThatGiveTheOldSlotsBack)
{
    StateTable table{}, view{};
    const int64_t count = 1500000, shared_at = 100000;
    uint64_t x = 0x9e3779b97f4a7c15ull;
    auto key = [&](int64_t i) {
        x = (uint64_t)i * 0x9e3779b97f4a7c15ull;
        x = (x ^ (x >> 31)) * 0xbf58476d1ce4e5b9ull;
        return StateKey{x ^ (x >> 29), x * 0x94d049bb133111ebull};
    };
    for (int64_t i = 0; i < count; i++) {
        if (i == shared_at)
            view = state_table_share(&table);
        ASSERT_EQ(state_table_insert(&table, key(i), 0, (uint64_t)1 << 30), STATE_NEW) << i;
    }
    for (int64_t i = 0; i < count; i++)
        ASSERT_EQ(state_table_insert(&table, key(i), 0, (uint64_t)1 << 30), STATE_SEEN) << i;
    for (int64_t i = 0; i < shared_at; i++)
        ASSERT_TRUE(state_table_holds_shared(view, key(i))) << i;
    EXPECT_FALSE(state_table_holds(table, key(count)));
    state_table_unshare(&table);
    EXPECT_EQ(table.count, (uint64_t)count);
    EXPECT_LE(state_table_bytes(table), (uint64_t)(12 * count / 0.75 * 1.25));
    state_table_free(&table);
}
