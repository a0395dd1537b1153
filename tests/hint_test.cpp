/* hint_test.cpp: the game's hint: from a trap the analysis springs it says no way is left, while
   it thinks the world stands still, a cancel ends it, and on a thread the frames go on. (Followed
   alone it wins every shipped level: shipped_levels_test.cpp.) */
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "level_analysis.h"
#include "search/level_search.h"
#include "search/search_play.h"
#include "base/timer.h"
#include "play/hint.h"
#include "render/message_line.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "play_test_support.h"
#include "world_test_support.h"

namespace {

const int TICKS = 2;            /* the rate the hint's search plays at */

} // namespace

/* The hint's search is counted in states here, as in a demo, not in the machine's seconds: on a
   busy machine level 15's first hint ran into the 5 s bound and answered nothing. */
class Hint : public ::testing::Test {
protected:
    void SetUp() override { hint_pace_by_states(session, true); }
    void TearDown() override { hint_pace_by_states(session, false); }
};

/* The fairness analysis springs the first trap it finds; from there the level cannot be won,
   and the hint proves it and says so instead of leading anywhere. */
TEST_F(Hint, FromATrapTheAnalysisSpringsItSaysNoWayIsLeft)
{
    static LevelAnalysis analysis;
    for (int level : {7, 9}) {
        const std::string text = shipped_map(level);
        ASSERT_TRUE(analyse_level(text.c_str(), AnalysisLimits{TICKS, 64 << 20, -1, 0, nullptr},
                                  &analysis));
        ASSERT_GT(analysis.trap_length, 0) << "level " << level << " has no trap to spring";
        search_start_world(world, text.c_str());
        for (int32_t i = 0; i < analysis.trap_length; i++)
            run_command(world, analysis.trap_codes[i], TICKS, nullptr);
        ASSERT_FALSE(world.level.level_lost || world.falling) << "a trap leaves the robot alive";
        hint_reset(session);
        int code = -1;
        EXPECT_EQ(play_test::ask_hint(&code), HINT_NO_WAY) << "level " << level;
        ASSERT_TRUE(world.message.text);
        EXPECT_STREQ(world.message.text, "No way to win from here: undo (Backspace) or restart (R)");
        int column, row;
        EXPECT_FALSE(hint_shown(session, &column, &row, &code)) << "no arrow without a way";
        hint_reset(session);
    }
}

/* In play the hint's search runs on a thread of its own: the request returns at once, thinking,
   and the frames go on, the world held as it was asked about, until the answer comes; it is the
   answer the paced search gives, and asked again where nothing has moved it is given at once.
   A cancel stops a search under way. */
TEST(HintThread, TheRequestReturnsAtOnceAndTheFramesGoOnUntilTheAnswer)
{
    hint_pace_by_states(session, false);
    const std::string text = drawn_map({"1P 1. 1S 1. 1T"}, 64);
    begin_level(text);
    driver_settle(world, TICKS, 2000);
    static World asked;
    asked = world;
    hint_reset(session);
    hint_request(session);
    ASSERT_TRUE(hint_thinking(session)) << "the request waits for no search";
    int frames = 0;
    while (hint_thinking(session)) {
        driver_frame(world, TICKS);     // the play loop's update, then the hint's frame
        hint_frame(session);
        if (hint_thinking(session)) {
            EXPECT_STREQ(world.message.text, "Thinking...");
            EXPECT_EQ(world.clock, asked.clock);
            EXPECT_EQ(std::memcmp(&world.motion, &asked.motion, sizeof world.motion), 0);
        }
        if (++frames >= 3)
            hint_wait(session);    // what matters is that frames ran: the answer is waited for
    }
    int code = 0;
    double seconds = 0;
    EXPECT_EQ(hint_outcome(session, &code, &seconds), HINT_COMMAND);
    EXPECT_EQ(code, MOVE_FORWARD);
    int paced = 0, again = -1;
    hint_reset(session);
    hint_pace_by_states(session, true);
    ASSERT_EQ(play_test::ask_hint(&paced), HINT_COMMAND);
    EXPECT_EQ(paced, code) << "the paced search answers alike";
    hint_request(session);
    EXPECT_FALSE(hint_thinking(session)) << "asked again where nothing has moved: no search";
    EXPECT_EQ(hint_outcome(session, &again, &seconds), HINT_COMMAND);
    EXPECT_EQ(again, code);
    // Its line stays as long as its arrow, and no longer (it was gone after 400 ticks, the arrow
    // still up, and stayed up to 400 ticks after it).
    const char *answer = world.message.text;
    int column, row;
    for (int frame = 0; frame < 400; frame++) {
        driver_frame(world, TICKS);
        hint_frame(session);
    }
    EXPECT_TRUE(hint_shown(session, &column, &row, &again) && world.message.text == answer);
    hint_cancel(session);       // as a command taken does: the line goes with the arrow
    EXPECT_EQ(world.message.text, nullptr);
    hint_request(session);

    // Level 15's first hint, the longest search of the shipped levels, takes more than a slice:
    // every slice puts the world back as it was asked about, nothing moving and the clock
    // standing, until a cancel ends the search and takes "Thinking..." off the message line. On
    // its thread a cancel right after the request ends it at once.
    const std::string fifteen = shipped_map(15);
    for (bool paced_by_states : {true, false}) {
        hint_pace_by_states(session, paced_by_states);
        search_start_world(world, fifteen.c_str());
        driver_run(world, 20, TICKS);
        asked = world;
        hint_reset(session);
        hint_request(session);
        ASSERT_TRUE(hint_thinking(session));
        for (int frame = 0; paced_by_states && frame < 3; frame++) {
            driver_frame(world, TICKS);
            hint_frame(session);
            EXPECT_STREQ(world.message.text, "Thinking...");
            EXPECT_EQ(world.clock, asked.clock);
            EXPECT_EQ(std::memcmp(&world.motion, &asked.motion, sizeof world.motion), 0);
            EXPECT_EQ(std::memcmp(&world.actors, &asked.actors, sizeof world.actors), 0);
        }
        ASSERT_TRUE(hint_thinking(session));
        hint_cancel(session);
        EXPECT_FALSE(hint_thinking(session));
        EXPECT_EQ(hint_outcome(session, &code, &seconds), HINT_NONE);
        EXPECT_EQ(world.message.text, nullptr);
    }

    // A fork (the par search's, a test's) finds no thread of the hint under way: the table
    // ahead is stopped or, built, joined, and a search cancelled. They used to run on, leaving
    // the child a thread it could never join.
    driver_settle(world, TICKS, 2000);
    hint_think_ahead(session);
    hint_request(session);
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    HintAheadFigures ahead;
    EXPECT_TRUE((!hint_ahead_figures(session, &ahead) || ahead.done) && !hint_thinking(session));
    hint_forget_ahead(session);
    hint_reset(session);
}
