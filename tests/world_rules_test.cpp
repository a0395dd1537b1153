/* world_rules_test.cpp: winning, losing, the clock, restarting, and replays from a snapshot. */
#include <gtest/gtest.h>

#include <cstring>

#include "shell/command_queue.h"
#include "shell/timer.h"
#include "ui/display_options.h"
#include "ui/message_line.h"
#include "world/actor_behaviours.h"
#include "world/level_state.h"
#include "world/world_cues.h"
#include "world/world_snapshot.h"
#include "world_test_support.h"

namespace {

class Rules : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_display_options();
        clear_cue_log();
    }
};

const char *message() { return message_line.text ? message_line.text : ""; }

void move(int code = MOVE_FORWARD)
{
    driver_push(code);
    driver_settle(1, 500);
}

} // namespace

TEST_F(Rules, WithoutSweetsTheTeleportSpinsAndTheFirstStepInWins)
{
    play_level(drawn_map({"0P 0T"}, 64));
    int teleport = actor_on(1, 0);
    EXPECT_TRUE(level_state.teleport_active == 1 && actor(teleport).motion == spin_step);
    EXPECT_GT(actor(teleport).state, 0);

    driver_push(MOVE_FORWARD);
    driver_frame(1);
    EXPECT_TRUE(level_state.teleport_entered == 1 && level_state.level_completed == 0);
    driver_run(10, 1);
    EXPECT_EQ(level_state.level_completed, 1);
    EXPECT_STREQ(message(), "Level completed: press Space");
    EXPECT_EQ(message_line.ticks_left, 9999);
    EXPECT_EQ(cue_log.plays[DAT_SAMPLE_COMPLETED], 1);

    // The clock stops, commands are refused, and the robot rises and turns for as long as the
    // player waits; the message goes after its 9999 ticks.
    int clock = get_level_time();
    int ticks = tick_counter.load();
    fixed y = player_motion.loc_y;
    fixed heading = player_motion.player_rot_y;
    driver_push(MOVE_BACKWARD);
    driver_run(1000, 10);
    EXPECT_STREQ(message(), "Level completed: press Space");     // 9 ticks left
    driver_frame(10);
    EXPECT_TRUE(get_level_time() == clock && tick_counter.load() == ticks + 10010);
    EXPECT_EQ(player_motion.loc_y, y - itofix(10010));
    EXPECT_EQ(player_motion.player_rot_y, heading + itofix(10010));
    EXPECT_EQ(command_queue_pop(), MOVE_BACKWARD);
    EXPECT_TRUE(message_line.text == nullptr && level_state.level_completed == 1);
}

TEST_F(Rules, TheLastOfThreeSweetsActivatesTheTeleport)
{
    play_level(drawn_map({"0P 0S 0S 0S 0T"}, 64));
    int teleport = actor_on(4, 0);
    EXPECT_EQ(level_state.sweets_total, 3);
    EXPECT_EQ(level_state.teleport_active, 0);
    for (int i = 1; i <= 2; i++) {
        clear_cue_log();
        move();
        EXPECT_STREQ(message(), "Yum yum...");
        EXPECT_TRUE(actor(i).gone == 1 && actor_on(i, 0) == hero_index) << "eaten and stepped on";
        EXPECT_TRUE(cue_log.plays[DAT_SAMPLE_SWEET] == 1 && level_state.sweets_eaten == i);
        EXPECT_TRUE(level_state.teleport_active == 0 && actor(teleport).motion == nullptr);
    }
    driver_push(MOVE_FORWARD);
    driver_frame(1);
    EXPECT_STREQ(message(), "Teleport activated!");
    EXPECT_TRUE(level_state.teleport_active == 1 && actor(teleport).motion == spin_step);
    // The 100 ticks of the sweet's message run on: shown through tick 100, gone at the next.
    driver_run(99, 1);
    EXPECT_STREQ(message(), "Teleport activated!");
    driver_frame(1);
    EXPECT_STREQ(message(), "");
    move();
    move();
    EXPECT_EQ(level_state.level_completed, 1);
}

TEST_F(Rules, ALostSweetLeavesTheLevelRunningButUnwinnable)
{
    play_level(drawn_map({"0P 0. 0J 0S 0T"}, 64));
    explode_at(centre(2), 0);
    EXPECT_STREQ(message(), "You lost a sweet, you're stuck");
    EXPECT_EQ(level_state.level_lost, 0);
    driver_run(100, 1);
    for (int i = 0; i < 3; i++)
        move();
    // Jar and sweet are gone; the teleport never opens and blocks the way.
    clear_cue_log();
    driver_push(MOVE_FORWARD);
    driver_frame(1);
    EXPECT_EQ(robot_x(), 300);
    EXPECT_STREQ(message(), "Eat all sweets to activate teleport");
    EXPECT_EQ(message_line.ticks_left, 99);
    EXPECT_TRUE(cue_log.last == DAT_SAMPLE_BLOCKED && level_state.teleport_entered == 0);
    EXPECT_EQ(level_state.level_completed, 0);
}

TEST_F(Rules, TheClockRunsOutOnceAndKeepsSayingSo)
{
    play_level(drawn_map({"0P 0."}, 64, 1));
    int left = get_level_time();
    EXPECT_GT(left, 5000);
    driver_run(left - 1, 1);
    EXPECT_TRUE(get_level_time() == 1 && level_state.level_lost == 0);
    driver_frame(1);
    EXPECT_EQ(level_state.level_lost, 1);
    EXPECT_STREQ(message(), "Time is up, your to waaaay to slooooow!");
    EXPECT_EQ(message_line.ticks_left, 200);
    driver_run(500, 1);
    EXPECT_STREQ(message(), "Time is up, your to waaaay to slooooow!");
    EXPECT_EQ(level_time.load(), 0);    // stopped the moment the level was lost
    move();
    EXPECT_EQ(robot_x(), 0);
}

TEST_F(Rules, StartPlacesTheRobotFromTheMap)
{
    begin_level(drawn_map({"0. 0.", "0. 3P"}, 64));
    EXPECT_TRUE(player_motion.player_rot_y == itofix(-64) && rot_y == itofix(64));
    EXPECT_TRUE(player_motion.x == itofix(100) && player_motion.z == itofix(100));
    EXPECT_EQ(player_motion.loc_y, itofix(-30));
    EXPECT_TRUE(player_motion.playerL[0] == 1 && player_motion.playerL[1] == 1);
    driver_settle(10, 100);
    driver_push(MOVE_BACKWARD);     // facing +x, so backward goes to -x
    driver_settle(1, 100);
    EXPECT_EQ(robot_x(), 0);
}

TEST_F(Rules, RestartBringsTheWholeLevelBack)
{
    play_level(drawn_map({"0P 0S 0X 0T"}, 64, 2));
    move();
    move();     // into the mine: dead
    driver_run(100, 1);
    ASSERT_EQ(level_state.level_lost, 1);
    ASSERT_EQ(square(2, 0)->texture, 1);
    driver_push(MOVE_FORWARD);      // typed before the restart: dropped

    driver_restart();
    EXPECT_TRUE(level_state.level_lost == 0 && level_state.sweets_eaten == 0);
    EXPECT_TRUE(level_state.sweets_total == 1 && level_state.teleport_active == 0);
    ASSERT_EQ(actor_table.count, 4);
    for (int i = 0; i < actor_table.count; i++)
        EXPECT_TRUE(actor(i).gone == 0 && actor(i).timer == 0 && actor(i).refs == 1) << i;
    EXPECT_EQ(square(2, 0)->texture, 0);
    EXPECT_EQ(get_level_time(), 2 * 6000);
    EXPECT_TRUE(message_line.text == nullptr && command_queue_pop() == 0);
    EXPECT_TRUE(intro == 1 && camera_y == -680.0f && title_timer == 200);
    EXPECT_EQ(robot_x(), 0);
}

TEST_F(Rules, ARunningLevelReplaysExactlyFromASnapshot)
{
    begin_level(drawn_map({"0P 0S 0. 0J 0. 0T",
                           "0> 0. 0. 0. 0. 0X"}, 64, 3));
    driver_run(20, 1);
    const int zipper = 4;
    ASSERT_EQ(actor(zipper).type, ACTOR_ZIPPER);
    static WorldSnapshot saved, first_run, second_run;
    take_snapshot(&saved);
    auto play_on = [] {
        driver_push(MOVE_FORWARD);
        driver_push(MOVE_TURN_RIGHT);
        driver_push(MOVE_FORWARD);
        driver_run(40, 3);
        driver_push(MOVE_JUMP);
        driver_run(60, 2);
    };
    play_on();
    take_snapshot(&first_run);
    restore_snapshot(&saved);
    EXPECT_EQ(robot_x(), 0);
    EXPECT_EQ(actor(zipper).x, 0);
    play_on();
    take_snapshot(&second_run);

    // Byte for byte, part by part, so a difference names the part.
    auto same = [](const auto &a, const auto &b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    EXPECT_TRUE(same(first_run.map, second_run.map));
    EXPECT_TRUE(same(first_run.actors, second_run.actors));
    EXPECT_TRUE(same(first_run.motion, second_run.motion));
    EXPECT_TRUE(same(first_run.level, second_run.level));
    EXPECT_TRUE(same(first_run.message, second_run.message));
    EXPECT_TRUE(same(first_run.queue, second_run.queue));
    EXPECT_TRUE(first_run.rot_y == second_run.rot_y && first_run.level_time == second_run.level_time);
    EXPECT_TRUE(first_run.moves == second_run.moves && first_run.camera_y == second_run.camera_y);
    // Something really happened in between: a sweet eaten, the zipper run into the mine.
    EXPECT_EQ(first_run.level.sweets_eaten, 1);
    EXPECT_EQ(first_run.actors.actors[zipper].gone, 1);
    EXPECT_EQ(first_run.map.tiles[5].texture, 1);
}
