/* level_analysis_test.cpp: the fairness analysis on small levels made to show one thing each: a
   trap, a start only a quick player survives, a win that needs a fast frame rate, wrong ways just
   over and under the detour that counts, a bounded exploration; and the squares levels share. */
#include <gtest/gtest.h>

#include <string>

#include "game_test_support.h"
#include "level_analysis.h"
#include "level_overlap.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world_test_support.h"

namespace {

/* The robot faces +x in all of them. */
const int FACING_X = 64;

AnalysisLimits limits(int64_t memory = 64 << 20)
{
    return AnalysisLimits{2, memory, ANALYSIS_START_DELAY, ANALYSIS_SLOWEST_RATE, nullptr};
}

LevelAnalysis analysis;     /* some 4 KB of commands, kept off the stack */

} // namespace

/* A ledge at height 3 with a pit below the start: a sidestep drops the robot three levels, where
   it lives on and can never climb back. The analysis finds that silent dead end from the first
   position and writes the one command that springs it; replaying it leaves the robot alive on
   the pit's square. */
TEST(LevelAnalysis, ATrapIsFoundWithTheCommandsThatSpringIt)
{
    const std::string text = drawn_map({"3P 3. 3T", "0. -- --"}, FACING_X);
    ASSERT_TRUE(analyse_level(text.c_str(), limits(), &analysis));
    EXPECT_TRUE(analysis.complete);
    EXPECT_EQ(analysis.outcome, SEARCH_SOLVED);
    EXPECT_EQ(analysis.shortest, 2);
    EXPECT_EQ(analysis.decisions, 1) << "the start, where the sidestep is a mistake";
    EXPECT_EQ(analysis.wrong_ways, 0);
    EXPECT_GT(analysis.trap_positions, 0);
    EXPECT_GT(analysis.unwinnable, 0);
    ASSERT_EQ(analysis.trap_length, 1);
    const int32_t code = analysis.trap_codes[0];
    EXPECT_TRUE(code == MOVE_STRAFE_LEFT || code == MOVE_STRAFE_RIGHT) << code;

    driver_start_text(world, text.c_str());
    driver_push(world, code);
    for (int frame = 0; frame < 100; frame++)
        driver_frame(world, 2);
    EXPECT_EQ(world.motion.playerL[0], 0);
    EXPECT_EQ(world.motion.playerL[1], 1);
    EXPECT_FALSE(world.level.level_lost) << "alive, so a mistake, and nothing said: a trap";
}

/* A runner comes down the only corridor: a player who acts at once steps aside onto the
   teleport, one who looks for a second after the swoop is run over. */
TEST(LevelAnalysis, ALevelOnlyAnInstantMoveWinsFailsTheStartDelay)
{
    const std::string text =
        drawn_map({"0P 0. 0. 0. 0. 0. 0. 0. 0<", "0T -- -- -- -- -- -- -- --"}, FACING_X);
    ASSERT_TRUE(analyse_level(text.c_str(), limits(), &analysis));
    EXPECT_EQ(analysis.outcome, SEARCH_SOLVED);
    EXPECT_EQ(analysis.start_delay_ticks, ANALYSIS_START_DELAY);
    EXPECT_FALSE(analysis.start_delay_wins);
    for (int rate = 1; rate <= ANALYSIS_SLOWEST_RATE; rate++)
        EXPECT_TRUE(analysis.rate_wins[rate]) << rate << " ticks a frame";
}

/* A runner comes down a side lane to seal the road two squares ahead: the robot gets past it only
   when its hops end as soon as they can, at 1 or 2 ticks a frame, not at 3 or more. */
TEST(LevelAnalysis, AWinThatNeedsAFastFrameRateIsFound)
{
    const std::string text =
        drawn_map({"0P 0. 0. 0. 0T", "-- -- 0. -- --", "-- -- 0^ -- --"}, FACING_X);
    ASSERT_TRUE(analyse_level(text.c_str(), limits(), &analysis));
    EXPECT_EQ(analysis.outcome, SEARCH_SOLVED);
    for (int rate = 1; rate <= ANALYSIS_SLOWEST_RATE; rate++)
        EXPECT_EQ(analysis.rate_wins[rate], rate <= 2) << rate << " ticks a frame";
}

/* A player who thinks before each command: the side lane's runner seals the road while the
   robot still stands at the start, so the level that a quick hand wins cannot be won so; on a
   plain walk the thinking adds to the way's game time, and the margin is the limit over both. */
TEST(LevelAnalysis, AThinkingPlayersPaceIsSearchedAndItsMarginMeasured)
{
    AnalysisLimits thinking = limits();
    thinking.think_ticks = ANALYSIS_THINK_TICKS;
    const std::string race =
        drawn_map({"0P 0. 0. 0. 0T", "-- -- 0. -- --", "-- -- 0^ -- --"}, FACING_X);
    ASSERT_TRUE(analyse_level(race.c_str(), thinking, &analysis));
    EXPECT_EQ(analysis.outcome, SEARCH_SOLVED) << "at a machine's pace";
    EXPECT_EQ(analysis.think_ticks, ANALYSIS_THINK_TICKS);
    EXPECT_FALSE(analysis.think_wins);
    EXPECT_EQ(analysis.think_way_ticks, 0);
    EXPECT_EQ(analysis_human_margin(analysis), 0.0);

    const std::string walk = drawn_map({"0P 0. 0. 0. 0T"}, FACING_X);
    ASSERT_TRUE(analyse_level(walk.c_str(), thinking, &analysis));
    ASSERT_TRUE(analysis.think_wins);
    EXPECT_EQ(analysis.shortest, 4);
    EXPECT_EQ(analysis.think_way_ticks, analysis.shortest_ticks + 4 * ANALYSIS_THINK_TICKS)
        << "each of the four hops thought about first";
    EXPECT_DOUBLE_EQ(analysis_human_margin(analysis),
                     (double)analysis.limit_ticks / analysis.think_way_ticks);

    // Left out unless asked for.
    ASSERT_TRUE(analyse_level(walk.c_str(), limits(), &analysis));
    EXPECT_EQ(analysis.think_ticks, -1);
    EXPECT_FALSE(analysis.think_wins);
}

/* A road at height 3 with a sidestep down into a pocket halfway: from the road the way on is two
   hops; through the pocket it is the sidestep and then seven commands (six extra: a wrong way),
   or with a shorter pocket five (four extra: not one). Neither is a mistake. */
TEST(LevelAnalysis, AWrongWayCostsSixCommandsOrMore)
{
    const std::string six = drawn_map({"3P 3. 3. 3. 3T", "-- -- 0. 3. --", "-- -- 0. 3. --",
                                       "-- -- 0. 1. --"}, FACING_X);
    ASSERT_TRUE(analyse_level(six.c_str(), limits(), &analysis));
    EXPECT_EQ(analysis.shortest, 4);
    EXPECT_EQ(analysis.wrong_ways, 1);
    EXPECT_EQ(analysis.decisions, 0);
    EXPECT_EQ(analysis.trap_positions, 0);
    EXPECT_EQ(analysis.unwinnable, 0);
    EXPECT_TRUE(analysis.start_delay_wins);

    const std::string four = drawn_map({"3P 3. 3. 3. 3T", "-- -- 0. 3. --", "-- -- 0. 1. --"},
                                       FACING_X);
    ASSERT_TRUE(analyse_level(four.c_str(), limits(), &analysis));
    EXPECT_EQ(analysis.shortest, 4);
    EXPECT_EQ(analysis.wrong_ways, 0);
}

/* A step is forced where every other step is blocked, goes back or kills: a road with only a
   wall beside it is all walk, a road two squares wide none, and a sidestep into a dead end is a
   choice (a bad one) rather than a wall. */
TEST(LevelAnalysis, AStepWithNoOtherWayOnButBackIsForced)
{
    const std::string open_road = drawn_map({"0P 0. 0. 0T", "0. 0. 0. 0."}, FACING_X);
    ASSERT_TRUE(analyse_level(open_road.c_str(), limits(), &analysis));
    EXPECT_EQ(analysis.way_steps, 3);
    EXPECT_EQ(analysis.forced_steps, 0);

    const std::string walk = drawn_map({"0P 0. 1. 2. 2T", "-- 3. -- -- --"}, FACING_X);
    ASSERT_TRUE(analyse_level(walk.c_str(), limits(), &analysis));
    EXPECT_EQ(analysis.way_steps, 4);
    EXPECT_EQ(analysis.forced_steps, 4) << "the square of three beside the road is a wall";

    const std::string trap = drawn_map({"3P 3. 3T", "0. -- --"}, FACING_X);
    ASSERT_TRUE(analyse_level(trap.c_str(), limits(), &analysis));
    EXPECT_EQ(analysis.way_steps, 2);
    EXPECT_EQ(analysis.forced_steps, 1) << "the start's sidestep into the pit is a choice";
}

/* Where the positions do not fit the memory, the figures that need all of them are not known
   rather than guessed; a map with faults is not analysed. */
TEST(LevelAnalysis, ABoundedExplorationSaysWhatItDoesNotKnow)
{
    const std::string text = game_test::read_file(std::string(TIRVEX_SOURCE_DIR) + "/assets/maps/map09.txt");
    ASSERT_TRUE(analyse_level(text.c_str(), AnalysisLimits{2, 2500000, -1, 0, nullptr}, &analysis));
    EXPECT_FALSE(analysis.complete);
    EXPECT_EQ(analysis.outcome, SEARCH_MEMORY_LIMIT);
    // Some 60 bytes a position: all but a few of its 24,700 (16,384 when the index held keys).
    EXPECT_GT(analysis.positions, 20000);
    EXPECT_EQ(analysis.decisions, -1);
    EXPECT_EQ(analysis.unwinnable, -1);
    EXPECT_EQ(analysis.trap_positions, -1);

    EXPECT_FALSE(analyse_level("not a level\n", limits(), &analysis));
    EXPECT_EQ(analysis.outcome, SEARCH_INVALID_MAP);
}

/* A level moved over by some columns and rows shares all its squares with the first; changing a
   height, texture or content of a square unshares it; the share is of the smaller level. */
TEST(LevelOverlap, ALevelMovedOverSharesItsSquaresUnderTheBestShift)
{
    static LevelSquares a, b, c;
    ASSERT_TRUE(read_level_squares(drawn_map({"1P 1. 2S", "-- 1M 1T"}).c_str(), &a));
    ASSERT_TRUE(read_level_squares(drawn_map({"-- -- -- -- --", "-- -- 1P 1. 2S", "-- -- -- 1M 1T"}).c_str(), &b));
    EXPECT_EQ(shared_squares(a, b), 5);
    EXPECT_DOUBLE_EQ(shared_share(a, b), 1.0);
    ASSERT_TRUE(read_level_squares(drawn_map({"1P 1. 3S", "-- 1J 1T", "1. 1. 1."}).c_str(), &c));
    EXPECT_EQ(shared_squares(a, c), 3) << "the changed sweet and jar squares are not shared";
    EXPECT_DOUBLE_EQ(shared_share(a, c), 3.0 / 5.0);
    EXPECT_FALSE(read_level_squares("not a level\n", &c));
}
