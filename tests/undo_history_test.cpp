/* undo_history_test.cpp: undo puts the world back byte for byte: after each kind of loss and a
   restart, all the way back to the start, and past the history's bound. (Wrong commands undone
   in every shipped level: shipped_levels_test.cpp.) */
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "play_test_support.h"
#include "world/level_state.h"
#include "world/world_clock.h"
#include "world/world_messages.h"
#include "world_test_support.h"

namespace {

using play_test::difference;

/* Every world a command was taken in, in order: the reference a step back must give again. */
std::vector<World> taken;

void frame(int32_t ticks)
{
    play_test::step(ticks, &taken);
}

/* Frames of `ticks` until the level is lost, at most `limit`; returns whether it was. */
bool run_until_lost(int32_t ticks, int limit)
{
    for (int i = 0; i < limit && !world.level.level_lost; i++)
        frame(ticks);
    return world.level.level_lost;
}

/* Frames until the robot stands at rest, as driver_settle runs them. */
void settle(int32_t ticks, int limit)
{
    for (int i = 0; i < limit; i++) {
        const PlayerMotion &p = world.motion;
        if (!world.intro && p.jump_ctr <= -5 && queue_empty() && world.rot_y == p.player_rot_y &&
            p.loc_y == p.floor_y)
            return;
        frame(ticks);
    }
}

/* The history for every test, and none after. */
class Undo : public WorldTest {
protected:
    void TearDown() override { undo_clear(session); }

    /* The level begun from text with an empty history, settled at `ticks` a frame. */
    void start(const std::string &text, int ticks = 10)
    {
        begin_level(text);
        undo_clear(session);
        log_clear(session.log);
        undo_attempt_started(session);
        taken.clear();
        if (ticks)
            settle(ticks, 1000);
    }
};

} // namespace

/* Fallen, blown up, run over, out of time: the command that led there is undone, the clock and
   the squares with it. */
TEST_F(Undo, EachKindOfLossIsUndoneWithTheCommandThatLedThere)
{
    const struct {
        const char *what;
        std::string map;
        int command, ticks;
        bool (*then)();
    } losses[] = {
        // Off the edge behind the start (a point left of column 0 still counts as on it).
        {"a fall", drawn_map({"-- 1P 1. 1T"}, 64), MOVE_BACKWARD, 2,
         [] { return !world.falling && world.motion.playerL[0] == 1; }},
        // Onto a mine: the mine, its square's scorch and the explosion under way all go back.
        {"a mine", drawn_map({"1P 1X 1T"}, 64), MOVE_FORWARD, 2,
         [] { return actor_on(1, 0) == 1 && actor(1).timer == 0 && square(1, 0)->texture == 0; }},
        // Run over: the runner waits behind the robot until it steps away.
        {"a runner", drawn_map({"1> 1P 1. 1. 1T"}, 64), MOVE_FORWARD, 2,
         [] { return actor_on(0, 0) == 0 && actor(0).state == 0; }},
        // Out of time: a turn, then the minute runs out; the clock runs on from where it was.
        {"the clock", drawn_map({"1P 1. 1T"}, 64, 1), MOVE_TURN_LEFT, 50, [] {
             const bool back = level_clock_left(world) > 5000;
             frame(2);
             return back && !world.level.level_lost;
         }},
    };
    for (const auto &loss : losses) {
        start(loss.map);
        driver_push(world, loss.command);
        ASSERT_TRUE(run_until_lost(loss.ticks, 2000)) << loss.what;
        ASSERT_TRUE(undo_step_back(session)) << loss.what;
        EXPECT_EQ(difference(world, taken.back()), "") << loss.what;
        EXPECT_FALSE(world.level.level_lost) << loss.what;
        EXPECT_TRUE(loss.then()) << loss.what;
    }
}

/* A restart is a step of its own; a restart with no command since the last one keeps nothing, so
   held R, which restarts every frame, is undone at once. */
TEST_F(Undo, ARestartIsUndoneAsAStepAndHeldRestartsKeepOne)
{
    start(drawn_map({"1P 1. 1S 1. 1T"}, 64));
    for (int i = 0; i < 2; i++) {
        driver_push(world, MOVE_FORWARD);
        settle(1, 500);
    }
    ASSERT_EQ(world.level.sweets_eaten, 1);
    static World before_restart;
    before_restart = world;
    for (int restart = 0; restart < 3; restart++) {
        if (undo_keep_restart(session))
            log_restart(session.log, session.frame);
        driver_restart(world);
        undo_attempt_started(session);
        frame(2);
    }
    EXPECT_EQ(undo_steps(session), 3) << "two commands and one restart";
    ASSERT_TRUE(undo_step_back(session));
    EXPECT_STREQ(message(), "Undo: restart undone");
    ASSERT_TRUE(difference(world, before_restart) == "" &&
                records_attempt_moves(session.log) == 2 && undo_step_back(session) &&
                difference(world, taken[1]) == "");
    EXPECT_EQ(world.level.sweets_eaten, 0) << "the sweet is back";
    ASSERT_TRUE(undo_step_back(session) && difference(world, taken[0]) == "");
    EXPECT_STREQ(message(), "Undo: 2 moves back");
    EXPECT_FALSE(undo_step_back(session));
    EXPECT_STREQ(message(), "Nothing to undo");
}

/* A level of 190 squares, each with its own height, texture and faces; the second kind has them
   in the opposite order, so every word of its squares differs from the first's. */
std::string big_map(int kind)
{
    std::vector<std::string> squares;
    for (int z = 0; z < 10; z++)
        for (int x = 0; x < 19; x++) {
            char line[80];
            std::snprintf(line, sizeof line, "%d %d %d %d %d 64 %d %d %d %d\n", x,
                          (x * 7 + z * 3 + kind * 5) % 9 - 4, z, (x + z + kind) % 4,
                          x == 0 && z == 0 ? 1 : 0, (x * 3 + z) % 4 - 1, (x + kind) % 3 - 1,
                          (z * 5 + kind) % 4 - 1, (x + z) % 3 - 1);
            squares.push_back(line);
        }
    if (kind == 1)
        std::reverse(squares.begin(), squares.end());
    std::string text = "drawn for a test\nBig level " + std::to_string(kind) +
                       "\n7\nminutes:\n3\n\nsquares:\n190\n";
    for (const std::string &line : squares)
        text += line;
    return text;
}

/* Beyond UNDO_STEP_LIMIT steps the oldest go, said once on the message line; every step kept
   still comes back exactly, down to the oldest. Worlds of two levels in turn, each restart a
   step of some 9 KB, fill the ring of changes past its end too. */
TEST_F(Undo, TheOldestStepsAreDroppedAndSaidSoAndTheRestComeBackExactly)
{
    const std::string level_a = big_map(0), level_b = big_map(1);
    start(level_a);
    int shown = 0;
    for (int i = 0; i < UNDO_STEP_LIMIT + 200; i++) {
        driver_push(world, i % 2 ? MOVE_TURN_LEFT : MOVE_TURN_RIGHT);
        frame(1);
        if (world.message.text && std::strcmp(world.message.text, "Undo keeps the last 4096 moves only") == 0) {
            shown++;
            clear_message(world);
        }
    }
    EXPECT_EQ(undo_steps(session), UNDO_STEP_LIMIT);
    EXPECT_EQ(shown, 1) << "said once, not at every command";
    EXPECT_LT(undo_bytes(session), (size_t)UNDO_STEP_LIMIT * 200) << "a turn changes a few words";
    for (int i = 0; i < UNDO_STEP_LIMIT; i++) {
        ASSERT_TRUE(undo_step_back(session));
        ASSERT_EQ(difference(world, taken[taken.size() - 1 - i]), "") << "step back " << i;
    }
    EXPECT_FALSE(undo_step_back(session));
    EXPECT_STREQ(message(), "No more undo: older moves were dropped");

    // Restarts into the other level and back: every change is a whole map and its actors.
    start(level_a, 0);
    std::vector<World> kept;
    for (int i = 0; i < 700; i++) {
        driver_push(world, MOVE_TURN_LEFT);
        frame(1);
        kept.push_back(taken.back());
        kept.push_back(play_test::comparable(world));
        undo_keep_restart(session);
        log_restart(session.log, session.frame);
        begin_level(i % 2 ? level_a : level_b);
        undo_attempt_started(session);
    }
    const int steps = undo_steps(session);
    EXPECT_LT(steps, 1400) << "the ring of changes is full";
    EXPECT_GT(steps, 200);
    for (int i = 0; i < steps; i++) {
        ASSERT_TRUE(undo_step_back(session));
        ASSERT_EQ(difference(world, kept[kept.size() - 1 - i]), "") << "step back " << i;
    }
    EXPECT_FALSE(undo_step_back(session));
}
