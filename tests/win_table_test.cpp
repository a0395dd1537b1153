/* win_table_test.cpp: the table of every position from a level's start that the hint builds ahead:
   it reaches what the fairness analysis reaches and agrees on which positions can be won, its
   ways win and its "no way" is the analysis's trap; and the hint answers from it at once. */
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "game_test_support.h"
#include "level_analysis.h"
#include "play/hint.h"
#include "search/level_search.h"
#include "search/search_play.h"
#include "search/win_table.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/world_driver.h"
#include "world_test_support.h"

namespace {

const std::string source_dir = TIRVEX_SOURCE_DIR;
const int TICKS = 2;                    /* the rate the hint's search plays at */
const int64_t MEMORY = (int64_t)64 << 20;
const int AHEAD_POLLS = 600000;         /* looks at a table being built before giving up: far
                                           more than a build of the levels below takes */

/* The key of the world as it stands. */
StateKey key_of(const World &w)
{
    static StateHasher hasher;
    return state_key(w, &hasher);
}

/* A table built from the start of `text`, as the hint builds it. */
WinTable *built(const std::string &text, WinTableFigures *figures)
{
    search_start_world(world, text.c_str());
    WinTable *table = win_table_create();
    std::atomic<bool> stop{false};
    win_table_build(*table, world, TICKS, MEMORY, stop);
    win_table_figures(*table, figures);
    return table;
}

/* Waits, a look a millisecond and a bounded number of looks, until the hint's table ahead is
   done. */
bool wait_for_table(HintAheadFigures *figures)
{
    for (int i = 0; i < AHEAD_POLLS; i++) {
        if (hint_ahead_figures(session, figures) && figures->done)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

} // namespace

/* Built from a level's start, the table holds exactly the positions the fairness analysis
   explores, knows as many to be winnable, and from the start the shortest way it knows is the
   analysis's: two explorations written apart agree, in levels of pushes, chains and runners. Its
   way, played command by command as the search plays, completes the level after exactly as many
   commands as it said, each position one command nearer. From the first trap the analysis
   springs it knows no way is left; a world of another level is no position of it. It holds at
   most 32 bytes a position. */
TEST(HintTable, HoldsWhatTheAnalysisReachesAndItsWayWinsAndATrapHasNone)
{
    static LevelAnalysis analysis;
    static int32_t actions[SEARCH_MAX_STEPS];
    for (int level : {7, 9, 10, 12}) {
        const std::string text = shipped_map(level);
        const std::string what = "level " + std::to_string(level);
        ASSERT_TRUE(analyse_level(text.c_str(), AnalysisLimits{TICKS, MEMORY, -1, 0, nullptr},
                                  &analysis)) << what;
        ASSERT_TRUE(analysis.complete) << what;
        WinTableFigures figures;
        WinTable *table = built(text, &figures);
        ASSERT_EQ(figures.outcome, WIN_TABLE_COMPLETE) << what;
        EXPECT_EQ(figures.positions, analysis.positions) << what;
        EXPECT_EQ(figures.winnable, analysis.positions - analysis.unwinnable) << what;
        EXPECT_FALSE(figures.clock_ran_out) << what;
        // Each key once, a small index, the labels and ways: it held 100 to 160 bytes a position,
        // and the game on the largest level five times its memory without a table.
        EXPECT_LE(figures.memory, 32 * figures.positions) << what;
        const int32_t count = win_table_way(*table, key_of(world), actions, SEARCH_MAX_STEPS);
        EXPECT_EQ(count, analysis.shortest) << what;
        for (int32_t i = 0; i < count; i++) {
            ASSERT_FALSE(world.level.level_completed) << what << ": won before the way's end";
            int32_t left = -1, action = -1;
            ASSERT_EQ(win_table_lookup(*table, key_of(world), &left, &action), WIN_TABLE_WAY) << what;
            EXPECT_TRUE(left == count - i && action == actions[i]) << what << ", command " << i;
            run_command(world, action_codes[actions[i]], TICKS, nullptr);
        }
        EXPECT_TRUE(world.level.level_completed) << what;
        int32_t commands = -1, action = -1;
        if (analysis.trap_length > 0) {
            search_start_world(world, text.c_str());
            for (int32_t i = 0; i < analysis.trap_length; i++)
                run_command(world, analysis.trap_codes[i], TICKS, nullptr);
            EXPECT_EQ(win_table_lookup(*table, key_of(world), &commands, &action), WIN_TABLE_NO_WAY) << what;
            EXPECT_EQ(win_table_way(*table, key_of(world), actions, SEARCH_MAX_STEPS), -1) << what;
        }
        const std::string other = shipped_map(level == 9 ? 7 : 9);
        search_start_world(world, other.c_str());
        EXPECT_EQ(win_table_lookup(*table, key_of(world), &commands, &action), WIN_TABLE_UNKNOWN) << what;
        win_table_destroy(table);
    }
}

/* A build asked to stop, or one without the memory for the level, keeps nothing: every
   position is unknown, so that the hint searches instead of trusting half a table. */
TEST(HintTable, AStoppedOrTooLargeBuildKeepsNothing)
{
    const std::string text = shipped_map(9);
    search_start_world(world, text.c_str());
    WinTable *table = win_table_create();
    std::atomic<bool> stop{true};
    EXPECT_EQ(win_table_build(*table, world, TICKS, MEMORY, stop), WIN_TABLE_STOPPED);
    int32_t commands = -1, action = -1;
    EXPECT_EQ(win_table_lookup(*table, key_of(world), &commands, &action), WIN_TABLE_UNKNOWN);
    stop = false;
    EXPECT_EQ(win_table_build(*table, world, TICKS, 64 << 10, stop), WIN_TABLE_TOO_LARGE);
    EXPECT_EQ(win_table_lookup(*table, key_of(world), &commands, &action), WIN_TABLE_UNKNOWN);
    WinTableFigures figures;
    win_table_figures(*table, &figures);
    EXPECT_EQ(figures.memory, 0);
    EXPECT_LE(figures.peak_memory, 64 << 10);
    win_table_destroy(table);
}

/* In play the hint thinks ahead from the level's start; once the table is built, a hint is
   answered on the request itself, without a search, and followed alone it completes the level;
   from a trap it says at once that no way is left. */
TEST(HintAhead, OnceBuiltTheHintIsLookedUpAtOnce)
{
    hint_pace_by_states(session, false);
    const std::string text = shipped_map(9);
    static LevelAnalysis analysis;
    ASSERT_TRUE(analyse_level(text.c_str(), AnalysisLimits{TICKS, MEMORY, -1, 0, nullptr}, &analysis));
    search_start_world(world, text.c_str());
    hint_reset(session);
    hint_forget_ahead(session);
    hint_think_ahead(session);
    HintAheadFigures figures;
    ASSERT_TRUE(wait_for_table(&figures) && figures.complete &&
                figures.positions == analysis.positions);

    int taken = 0;
    for (; taken < SEARCH_MAX_STEPS && !world.level.level_completed; taken++) {
        hint_reset(session);
        hint_request(session);
        ASSERT_FALSE(hint_thinking(session)) << "command " << taken << " was searched for";
        int code = -1;
        double seconds = 0;
        ASSERT_EQ(hint_outcome(session, &code, &seconds), HINT_COMMAND) << "command " << taken;
        EXPECT_EQ(hint_states(session), 0);
        run_command(world, code, TICKS, nullptr);
        hint_cancel(session);
    }
    EXPECT_TRUE(world.level.level_completed);
    EXPECT_EQ(taken, analysis.shortest) << "the table's way is a shortest one";

    // A restart of the level keeps the table; a trap is answered from it.
    search_start_world(world, text.c_str());
    hint_think_ahead(session);
    ASSERT_TRUE(hint_ahead_figures(session, &figures));
    EXPECT_TRUE(figures.done) << "the same start builds nothing anew";
    for (int32_t i = 0; i < analysis.trap_length; i++)
        run_command(world, analysis.trap_codes[i], TICKS, nullptr);
    hint_reset(session);
    hint_request(session);
    EXPECT_FALSE(hint_thinking(session));
    int code = -1;
    double seconds = 0;
    EXPECT_EQ(hint_outcome(session, &code, &seconds), HINT_NO_WAY);
    hint_reset(session);
    hint_forget_ahead(session);
}

/* A hint asked while the table is still being built is answered all the same, by its search or
   by the table once done, and the answer wins. */
TEST(HintAhead, AskedBeforeTheTableIsBuiltItStillAnswers)
{
    hint_pace_by_states(session, false);
    const std::string text = shipped_map(12);
    search_start_world(world, text.c_str());
    hint_reset(session);
    hint_forget_ahead(session);
    hint_think_ahead(session);
    hint_request(session);
    for (int i = 0; i < AHEAD_POLLS && hint_thinking(session); i++) {
        hint_wait(session);
        hint_frame(session);
    }
    int code = -1;
    double seconds = 0;
    ASSERT_EQ(hint_outcome(session, &code, &seconds), HINT_COMMAND);
    HintAheadFigures figures;
    ASSERT_TRUE(wait_for_table(&figures));
    for (int taken = 0; taken < SEARCH_MAX_STEPS && !world.level.level_completed; taken++) {
        run_command(world, code, TICKS, nullptr);
        hint_cancel(session);
        if (world.level.level_completed || world.level.level_lost)
            break;
        hint_request(session);
        ASSERT_FALSE(hint_thinking(session));
        ASSERT_EQ(hint_outcome(session, &code, &seconds), HINT_COMMAND);
    }
    EXPECT_TRUE(world.level.level_completed);
    hint_reset(session);
    hint_forget_ahead(session);
}

/* A demo's hint is paced by states and must think as it was recorded: paced, nothing is built
   ahead, and pacing stops a build under way. */
TEST(HintAhead, PacedNothingIsBuiltAhead)
{
    const std::string text = shipped_map(9);
    search_start_world(world, text.c_str());
    hint_forget_ahead(session);
    hint_pace_by_states(session, true);
    hint_think_ahead(session);
    HintAheadFigures figures;
    EXPECT_FALSE(hint_ahead_figures(session, &figures));
    hint_pace_by_states(session, false);
    hint_think_ahead(session);
    EXPECT_TRUE(hint_ahead_figures(session, &figures));
    hint_pace_by_states(session, true);
    EXPECT_FALSE(hint_ahead_figures(session, &figures)) << "pacing stops the build";
    hint_pace_by_states(session, false);
}

namespace {

/* A led search from world w, led by `known` (or not), run to its end; *states are its states. */
SearchOutcome led_search(LevelSearch &search, const World &w, const WinTable *known,
                         int32_t depth_limit, int64_t *states)
{
    SearchLimits limits{};
    limits.ticks_per_frame = TICKS;
    limits.state_limit = INT64_MAX;
    limits.depth_limit = depth_limit;
    limits.memory_limit = (int64_t)256 << 20;     // as the hint's search
    limits.helper_threads = 0;
    limits.led = true;
    limits.known = known;
    SearchOutcome outcome = search_start_here(search, w, limits);
    if (outcome == SEARCH_RUNNING)
        outcome = search_run(search, INT64_MAX, 0);
    SearchProgress progress;
    search_progress(search, &progress);
    *states = progress.states;
    return outcome;
}

} // namespace

/* A led search that tried every state with the clock never running out has proven that no way
   is left, whatever clock a state was first reached with; one that some clock ran out in, or
   that reached its depth limit, has not, and the hint proves it breadth first. */
TEST(HintLedSearch, ItsNoWayIsProvenOnlyWhenNoClockRanOut)
{
    static LevelAnalysis analysis;
    const std::string text = shipped_map(7);
    ASSERT_TRUE(analyse_level(text.c_str(), AnalysisLimits{TICKS, MEMORY, -1, 0, nullptr}, &analysis));
    search_start_world(world, text.c_str());
    for (int32_t i = 0; i < analysis.trap_length; i++)
        run_command(world, analysis.trap_codes[i], TICKS, nullptr);
    LevelSearch *search = search_create();
    int64_t states = 0;
    EXPECT_EQ(led_search(*search, world, nullptr, SEARCH_MAX_STEPS, &states), SEARCH_NO_SOLUTION);
    EXPECT_TRUE(search_led_proven(*search));

    EXPECT_EQ(led_search(*search, world, nullptr, 3, &states), SEARCH_DEPTH_LIMIT);
    EXPECT_FALSE(search_led_proven(*search));

    // A clock that runs out within a few commands: every way ends lost for time.
    static World late;
    late = world;
    late.clock = 40;
    EXPECT_EQ(led_search(*search, late, nullptr, SEARCH_MAX_STEPS, &states), SEARCH_NO_SOLUTION);
    EXPECT_FALSE(search_led_proven(*search)) << "lost for time is not proven lost";

    // And a winnable position is no proof of anything.
    search_start_world(world, text.c_str());
    EXPECT_EQ(led_search(*search, world, nullptr, SEARCH_MAX_STEPS, &states), SEARCH_SOLVED);
    EXPECT_FALSE(search_led_proven(*search));
    search_destroy(search);
}

/* From a position the table does not know (frames of 3 ticks, so that a runner stands at
   another moment), a led search the table leads finds a way that wins, in fewer states than
   alone. */
TEST(HintLedSearch, LedByTheTableItFindsAWayFromAPositionTheTableDoesNotKnow)
{
    const std::string text = shipped_map(13);
    WinTableFigures figures;
    WinTable *table = built(text, &figures);
    ASSERT_EQ(figures.outcome, WIN_TABLE_COMPLETE);
    // The table's positions are played at 2 ticks a frame; a play loop that runs 3 (a frame
    // late) catches a runner at a moment between them.
    search_start_world(world, text.c_str());
    run_command(world, MOVE_FORWARD, TICKS, nullptr);
    int32_t commands = -1, action = -1;
    for (int frames = 0; frames < 400 && win_table_lookup(*table, key_of(world), &commands, &action) !=
                                             WIN_TABLE_UNKNOWN; frames++)
        driver_frame(world, 3);
    ASSERT_EQ(win_table_lookup(*table, key_of(world), &commands, &action), WIN_TABLE_UNKNOWN)
        << "every frame is a position of the table";
    ASSERT_TRUE(robot_ready(world));
    LevelSearch *search = search_create();
    int64_t alone = 0, led = 0;
    ASSERT_EQ(led_search(*search, world, nullptr, SEARCH_MAX_STEPS, &alone), SEARCH_SOLVED);
    ASSERT_EQ(led_search(*search, world, table, SEARCH_MAX_STEPS, &led), SEARCH_SOLVED);
    EXPECT_LT(led, alone);
    static SearchResult result;
    ASSERT_TRUE(search_solution(*search, &result)) << "the way found wins when played out";
    EXPECT_GT(result.step_count, 0);
    search_destroy(search);
    win_table_destroy(table);
}

namespace {

/* The level's recorded solution, as shipped. */
const Solution &shipped_solution(int level)
{
    static Solution solution;
    char path[128], fault[SOLUTION_FAULT_SIZE];
    std::snprintf(path, sizeof path, "%s/assets/solutions/map%02d.txt", source_dir.c_str(), level);
    EXPECT_TRUE(read_solution(path, &solution, fault, sizeof fault)) << fault;
    return solution;
}

} // namespace

/* A book made from a level's recorded solution knows the way from the start and from every
   position the solution types a move at, each with the moves still to come; a position off it
   is unknown (a book proves nothing lost), and another level's solution makes no book. */
TEST(HintTable, ABookOfTheRecordedSolutionKnowsItsPositions)
{
    const std::string text = shipped_map(15);
    const Solution &solution = shipped_solution(15);
    search_start_world(world, text.c_str());
    WinTable *book = win_table_create();
    ASSERT_EQ(win_table_build_book(*book, world, solution), WIN_TABLE_ONE_WAY);
    WinTableFigures figures;
    win_table_figures(*book, &figures);
    EXPECT_GT(figures.positions, solution.moves.count / 2);
    EXPECT_LE(figures.positions, solution.moves.count);
    int32_t commands = -1, action = -1;
    EXPECT_EQ(win_table_lookup(*book, key_of(world), &commands, &action), WIN_TABLE_WAY);
    EXPECT_EQ(commands, solution.moves.count);
    run_command(world, log_at(solution.moves, 0).code, TICKS, nullptr);
    EXPECT_EQ(win_table_lookup(*book, key_of(world), &commands, &action), WIN_TABLE_WAY);
    EXPECT_EQ(commands, solution.moves.count - 1);
    run_command(world, MOVE_TURN_LEFT, TICKS, nullptr);
    EXPECT_EQ(win_table_lookup(*book, key_of(world), &commands, &action), WIN_TABLE_UNKNOWN);

    const std::string other = shipped_map(14);
    search_start_world(world, other.c_str());
    EXPECT_EQ(win_table_build_book(*book, world, solution), WIN_TABLE_TOO_LARGE);
    search_start_world(world, other.c_str());
    EXPECT_EQ(win_table_lookup(*book, key_of(world), &commands, &action), WIN_TABLE_UNKNOWN);
    win_table_destroy(book);
}

/* A few commands off the recorded way at level 15's start, where a led search alone tries some
   hundred thousand states, the search the book leads finds a way that wins in a hundredth of
   them. */
TEST(HintLedSearch, LedByTheBookItFindsAWayNearTheStartInFewStates)
{
    const std::string text = shipped_map(15);
    search_start_world(world, text.c_str());
    WinTable *book = win_table_create();
    ASSERT_EQ(win_table_build_book(*book, world, shipped_solution(15)), WIN_TABLE_ONE_WAY);
    for (int code : {MOVE_FORWARD, MOVE_JUMP, MOVE_FORWARD, MOVE_TURN_LEFT, MOVE_TURN_RIGHT})
        run_command(world, code, TICKS, nullptr);
    int32_t commands = -1, action = -1;
    ASSERT_EQ(win_table_lookup(*book, key_of(world), &commands, &action), WIN_TABLE_UNKNOWN);
    LevelSearch *search = search_create();
    int64_t alone = 0, led = 0;
    ASSERT_EQ(led_search(*search, world, nullptr, SEARCH_MAX_STEPS, &alone), SEARCH_SOLVED);
    ASSERT_EQ(led_search(*search, world, book, SEARCH_MAX_STEPS, &led), SEARCH_SOLVED);
    EXPECT_LT(led * 100, alone) << led << " states led, " << alone << " alone";
    static SearchResult result;
    EXPECT_TRUE(search_solution(*search, &result)) << "the way found wins when played out";
    search_destroy(search);
    win_table_destroy(book);
}
