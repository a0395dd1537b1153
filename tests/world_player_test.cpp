/* world_player_test.cpp: the robot's hop, turns, climbing, falling, the swoop and its heading. */
#include <gtest/gtest.h>

#include "shell/command_queue.h"
#include "ui/display_options.h"
#include "ui/message_line.h"
#include "world/level_state.h"
#include "world/player.h"
#include "world/world_cues.h"
#include "world_test_support.h"

namespace {

class Robot : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_display_options();
        clear_cue_log();
    }
};

bool queue_empty() { return command_queue.read_index == command_queue.write_index; }

} // namespace

TEST_F(Robot, AStepWindsUpForOneUpdateAndFliesTenTicks)
{
    play_level(drawn_map({"0P 0. 0."}, 64));
    driver_push(MOVE_FORWARD);
    driver_frame(1);
    EXPECT_EQ(player_motion.jump_ctr, 11);
    EXPECT_EQ(crouch, 1);
    EXPECT_EQ(robot_x(), 0);
    EXPECT_EQ(cue_log.plays[DAT_SAMPLE_STEP], 1);
    EXPECT_EQ(player_motion.playerL[0], 1);
    EXPECT_EQ(hero().refs, 2);      // the target square is reserved at once

    driver_frame(1);    // down to 10 and the first tick of flight in the same update
    EXPECT_EQ(player_motion.jump_ctr, 9);
    EXPECT_EQ(stretch, 1);
    EXPECT_EQ(crouch, 0);
    EXPECT_EQ(player_motion.x, itofix(10));

    driver_run(4, 1);   // halfway: the top of the arc, 10 units up
    EXPECT_EQ(player_motion.jump_ctr, 5);
    EXPECT_EQ(player_motion.loc_y, itofix(-10));

    driver_run(5, 1);
    EXPECT_EQ(player_motion.jump_ctr, 0);
    EXPECT_EQ(player_motion.x, itofix(100));
    EXPECT_EQ(player_motion.loc_y, 0);
    EXPECT_EQ(stretch, 1);
    EXPECT_EQ(hero().refs, 1);
    EXPECT_EQ(hero().locs[0], square(1, 0)->serial);
    EXPECT_EQ(hero().x, itofix(100));

    driver_run(4, 1);   // landing crouch, one update each
    EXPECT_EQ(player_motion.jump_ctr, -4);
    EXPECT_EQ(crouch, 1);
    driver_frame(1);
    EXPECT_EQ(player_motion.jump_ctr, -5);
    EXPECT_EQ(crouch, 0);
    EXPECT_EQ(stretch, 0);
}

TEST_F(Robot, AJumpWindsUpOneUpdateLongerAndKeepsOneSquare)
{
    play_level(drawn_map({"0P 0."}, 64));
    int own = hero().locs[0];
    driver_push(MOVE_JUMP);
    driver_run(2, 1);
    EXPECT_EQ(player_motion.jump_ctr, 11);
    EXPECT_EQ(hero().refs, 2);
    EXPECT_EQ(hero().locs[1], own);
    driver_frame(1);
    EXPECT_EQ(player_motion.jump_ctr, 9);
    EXPECT_EQ(player_motion.x, 0);
    EXPECT_LT(player_motion.loc_y, 0);
    driver_settle(1, 100);
    EXPECT_EQ(hero().refs, 1);
    EXPECT_EQ(hero().locs[0], own);
    EXPECT_EQ(hero().locs[1], 0);
    EXPECT_EQ(player_motion.loc_y, 0);
}

TEST_F(Robot, AJumpRightAfterARestartAlsoEndsOnOneSquare)
{
    play_level(drawn_map({"0P 0."}, 64));
    driver_restart();
    driver_push(MOVE_JUMP);
    driver_push(MOVE_JUMP);
    driver_settle(10, 100);
    EXPECT_TRUE(queue_empty());
    EXPECT_EQ(hero().refs, 1);
}

TEST_F(Robot, LongAndShortUpdatesCoverTheSameGround)
{
    play_level(drawn_map({"0P 0. 0."}, 64));
    driver_push(MOVE_FORWARD);
    driver_frame(1);
    driver_frame(25);   // ten ticks' worth only, landing on the centre
    EXPECT_EQ(player_motion.jump_ctr, 0);
    EXPECT_EQ(player_motion.x, itofix(100));

    driver_settle(1, 100);
    driver_push(MOVE_FORWARD);
    driver_frame(3);    // wind-up
    int flight_updates = 0;
    int last_x = robot_x();
    while (player_motion.jump_ctr != 0) {
        driver_frame(3);
        flight_updates++;
        if (player_motion.jump_ctr != 0) {
            EXPECT_EQ(robot_x() - last_x, 30);
        }
        last_x = robot_x();
    }
    EXPECT_EQ(flight_updates, 4);
    EXPECT_EQ(player_motion.x, itofix(200));
}

TEST_F(Robot, ASecondCodeWaitsForTheLanding)
{
    play_level(drawn_map({"0P 0. 0."}, 64));
    driver_push(MOVE_FORWARD);
    driver_push(MOVE_FORWARD);
    driver_run(11, 1);
    EXPECT_EQ(player_motion.jump_ctr, 0);
    EXPECT_FALSE(queue_empty());
    driver_frame(1);    // taken at once, cutting the landing crouch short
    EXPECT_EQ(player_motion.jump_ctr, 11);
    EXPECT_TRUE(queue_empty());
    driver_settle(1, 100);
    EXPECT_EQ(robot_x(), 200);
}

TEST_F(Robot, ClimbsTwoLevelsButNotThree)
{
    play_level(drawn_map({"0P 2. 5."}, 64));
    driver_push(MOVE_FORWARD);
    driver_settle(1, 100);
    EXPECT_EQ(robot_x(), 100);
    EXPECT_EQ(player_motion.loc_y, itofix(-20));
    EXPECT_EQ(player_motion.floor_y, itofix(-20));
    clear_cue_log();
    driver_push(MOVE_FORWARD);
    driver_settle(1, 100);
    EXPECT_EQ(robot_x(), 100);
    EXPECT_TRUE(queue_empty());     // the code is spent
    EXPECT_EQ(cue_log.last, 0);     // and not a sound
    // Down any number of levels.
    driver_push(MOVE_BACKWARD);
    driver_settle(1, 100);
    EXPECT_EQ(robot_x(), 0);
}

TEST_F(Robot, SteppingOffTheGridFallsToGameOver)
{
    play_level(drawn_map({"0P"}, 64));
    driver_push(MOVE_FORWARD);
    driver_run(11, 1);
    EXPECT_EQ(cue_log.plays[DAT_SAMPLE_STEP], 1);
    EXPECT_EQ(hero().refs, 1);      // nothing was reserved off the grid
    EXPECT_EQ(falling, 0);
    driver_frame(1);                // the probe after the landing finds no square
    EXPECT_EQ(falling, 1);
    EXPECT_EQ(player_motion.loc_y, itofix(3));
    EXPECT_EQ(tumble, 2);
    EXPECT_EQ(hero().angle_x, itofix(2));
    EXPECT_EQ(hero().angle_y, itofix(62));

    driver_push(MOVE_FORWARD);      // no commands while falling
    driver_run(83, 1);
    EXPECT_EQ(player_motion.loc_y, itofix(252));
    EXPECT_EQ(level_state.level_lost, 0);
    EXPECT_FALSE(queue_empty());
    driver_frame(1);
    EXPECT_EQ(level_state.level_lost, 1);
    EXPECT_STREQ(message_line.text, "Game Over");
    EXPECT_EQ(player_motion.loc_y, itofix(252));
}

TEST_F(Robot, TheMinusXEdgeOfColumnZeroFoldsBackOntoItself)
{
    // A point 100 units left of column 0 still lies on column 0: the step there meets the robot
    // itself, which cannot be pushed.
    play_level(drawn_map({"0P 0."}, 192));
    driver_push(MOVE_FORWARD);
    driver_settle(1, 100);
    EXPECT_EQ(robot_x(), 0);
    EXPECT_EQ(cue_log.plays[DAT_SAMPLE_BLOCKED], 1);
    EXPECT_EQ(falling, 0);
}

TEST_F(Robot, TurnsAreImmediateAndTheShownHeadingFollows)
{
    play_level(drawn_map({"0P 0."}, 0));
    EXPECT_EQ(rot_y, 0);
    driver_push(MOVE_TURN_RIGHT);
    driver_push(MOVE_FORWARD);
    driver_frame(1);
    EXPECT_EQ(cue_log.plays[DAT_SAMPLE_CLICK], 1);
    EXPECT_EQ(player_motion.player_rot_y, itofix(-64));
    EXPECT_EQ(rot_y, itofix(-2));
    driver_frame(1);    // the step toward +x starts while the heading is still turning
    EXPECT_EQ(player_motion.jump_ctr, 11);
    driver_run(30, 1);
    EXPECT_EQ(rot_y, itofix(-64));
    driver_run(5, 1);
    EXPECT_EQ(rot_y, itofix(-64));
    EXPECT_EQ(robot_x(), 100);
    EXPECT_EQ(hero().angle_y, itofix(64 + 64));
}

TEST_F(Robot, StrafingAndBackingUp)
{
    play_level(drawn_map({"0. 0. 0.",
                          "0. 0P 0.",
                          "0. 0. 0."}, 0));     // facing +z
    driver_push(MOVE_STRAFE_LEFT);              // heading +64 faces -x
    driver_settle(1, 100);
    EXPECT_EQ(robot_x(), 0);
    driver_push(MOVE_STRAFE_RIGHT);
    driver_push(MOVE_STRAFE_RIGHT);
    driver_settle(1, 100);
    EXPECT_EQ(robot_x(), 200);
    driver_push(MOVE_BACKWARD);
    driver_settle(1, 100);
    EXPECT_EQ(robot_z(), 0);
    driver_push(MOVE_FORWARD);
    driver_push(MOVE_FORWARD);
    driver_push(99);    // not a move code: taken and dropped
    driver_settle(1, 100);
    EXPECT_EQ(robot_z(), 200);
    EXPECT_EQ(player_motion.player_rot_y, 0);
}

TEST_F(Robot, SmoothHeadingNeverOvershoots)
{
    intro = 0;
    player_motion.player_rot_y = itofix(64);
    rot_y = 0;
    smooth_heading(31);
    EXPECT_EQ(rot_y, itofix(62));
    smooth_heading(5);
    EXPECT_EQ(rot_y, itofix(64));
    player_motion.player_rot_y = itofix(-1000);     // headings are not reduced
    smooth_heading(100);
    EXPECT_EQ(rot_y, itofix(-136));
    intro = 1;
    smooth_heading(10);
    EXPECT_EQ(rot_y, itofix(-140));
    intro = 0;
}

TEST_F(Robot, TheSwoopDescendsFor280Ticks)
{
    begin_level(drawn_map({"0P 0."}, 64));
    EXPECT_EQ(intro, 1);
    EXPECT_FLOAT_EQ(camera_y, -680.0f);
    EXPECT_FLOAT_EQ(display_options.camera_pitch, 1.55f);
    EXPECT_EQ(rot_y, itofix(-64 + 128));
    driver_run(27, 10);
    EXPECT_EQ(intro, 1);
    EXPECT_FLOAT_EQ(camera_y, -680.0f + 540.0f);
    EXPECT_NEAR(display_options.camera_pitch, 1.55f - 1.35f * 540 / 560, 1e-4);
    // The shown heading turns slowly meanwhile: 0.4 of a unit a tick.
    EXPECT_NEAR(fixtof(rot_y), 64.0 - 0.4 * 270, 0.01);
    driver_frame(10);
    EXPECT_EQ(intro, 0);
    EXPECT_FLOAT_EQ(camera_y, -120.0f);
    EXPECT_FLOAT_EQ(display_options.camera_pitch, 0.2f);
}

TEST_F(Robot, AHighCameraEndsTheSwoopAtOnce)
{
    display_options.camera_height = -800.0f;
    begin_level(drawn_map({"0P 0."}, 64));
    driver_frame(1);
    EXPECT_EQ(intro, 0);
    EXPECT_FLOAT_EQ(camera_y, -800.0f);
    driver_frame(1);
    EXPECT_FLOAT_EQ(camera_y, -800.0f);     // at rest: floor 0 plus the camera height
}

TEST_F(Robot, NoFloorProbeDuringTheSwoop)
{
    play_level(drawn_map({"0P 3."}, 64));
    ASSERT_EQ(player_motion.floor_y, 0);
    begin_level(drawn_map({"3P 0."}, 64));
    driver_run(5, 1);
    EXPECT_EQ(player_motion.floor_y, 0);        // still the old level's floor
    driver_settle(10, 100);
    EXPECT_EQ(player_motion.floor_y, itofix(-30));
    EXPECT_EQ(player_motion.loc_y, itofix(-30));
}
