/* world_player_test.cpp: the robot's hop, turns, climbing, falling, the swoop and its heading.
   Where each move code takes the robot is seen in the replays of the shipped levels; these
   tests look at the hop tick by tick and at what those replays never meet. */
#include <gtest/gtest.h>

#include "world/level_state.h"
#include "world/player.h"
#include "world_test_support.h"

class Robot : public WorldTest {};

TEST_F(Robot, AStepWindsUpForOneUpdateFliesTenTicksAndCrouchesOnLanding)
{
    play_level(drawn_map({"0P 0. 0."}, 64));
    driver_push(MOVE_FORWARD);
    driver_frame(1);
    EXPECT_TRUE(player_motion.jump_ctr == 11 && crouch == 1 && robot_x() == 0);
    EXPECT_EQ(cue_log.plays[DAT_SAMPLE_STEP], 1);
    EXPECT_EQ(hero().refs, 2);      // the target square is reserved at once

    driver_frame(1);    // down to 10 and the first tick of flight in the same update
    EXPECT_TRUE(player_motion.jump_ctr == 9 && stretch == 1 && crouch == 0);
    EXPECT_EQ(player_motion.x, itofix(10));
    driver_run(4, 1);   // halfway: the top of the arc, 10 units up
    EXPECT_EQ(player_motion.loc_y, itofix(-10));
    driver_run(5, 1);
    EXPECT_EQ(player_motion.jump_ctr, 0);
    EXPECT_TRUE(player_motion.x == itofix(100) && player_motion.loc_y == 0 && hero().x == itofix(100));
    EXPECT_EQ(hero().refs, 1);
    EXPECT_EQ(hero().locs[0], square(1, 0)->serial);

    driver_run(4, 1);   // landing crouch, one update each
    EXPECT_TRUE(player_motion.jump_ctr == -4 && crouch == 1);
    driver_frame(1);
    EXPECT_TRUE(player_motion.jump_ctr == -5 && crouch == 0 && stretch == 0);
}

TEST_F(Robot, AJumpWindsUpOneUpdateLongerAndKeepsOneSquareEvenRightAfterARestart)
{
    play_level(drawn_map({"0P 0."}, 64));
    int own = hero().locs[0];
    driver_push(MOVE_JUMP);
    driver_run(2, 1);
    EXPECT_EQ(player_motion.jump_ctr, 11);
    EXPECT_TRUE(hero().refs == 2 && hero().locs[1] == own);
    driver_frame(1);
    EXPECT_EQ(player_motion.x, 0);
    EXPECT_LT(player_motion.loc_y, 0);
    driver_settle(1, 100);
    EXPECT_TRUE(hero().refs == 1 && hero().locs[0] == own && hero().locs[1] == 0);
    EXPECT_EQ(player_motion.loc_y, 0);

    driver_restart();
    driver_push(MOVE_JUMP);
    driver_push(MOVE_JUMP);
    driver_settle(10, 100);
    EXPECT_TRUE(queue_empty());
    EXPECT_EQ(hero().refs, 1);
}

TEST_F(Robot, LongUpdatesCoverTheSameGroundAndASecondCodeWaitsForTheLanding)
{
    play_level(drawn_map({"0P 0. 0. 0."}, 64));
    driver_push(MOVE_FORWARD);
    driver_frame(1);
    driver_frame(25);   // ten ticks' worth only, landing on the centre
    EXPECT_TRUE(player_motion.jump_ctr == 0 && player_motion.x == itofix(100));

    driver_settle(1, 100);
    driver_push(MOVE_FORWARD);
    driver_push(99);    // not a move code: taken after the landing and dropped
    driver_push(MOVE_FORWARD);
    driver_frame(3);    // wind-up
    int flight_updates = 0;
    for (int last_x = robot_x(); player_motion.jump_ctr != 0; last_x = robot_x()) {
        driver_frame(3);
        flight_updates++;
        if (player_motion.jump_ctr != 0) {
            EXPECT_EQ(robot_x() - last_x, 30);
        }
        EXPECT_FALSE(queue_empty()) << "no code is taken in flight";
    }
    EXPECT_TRUE(flight_updates == 4 && player_motion.x == itofix(200));
    driver_frame(1);    // 99 goes at once, cutting the landing crouch short
    driver_frame(1);    // and the step right after it
    EXPECT_TRUE(player_motion.jump_ctr == 11 && queue_empty());
    driver_settle(1, 100);
    EXPECT_EQ(robot_x(), 300);
}

TEST_F(Robot, ClimbsTwoLevelsButNotThreeDropsAnyNumberAndFindsColumnZeroLeftOfItself)
{
    play_level(drawn_map({"0P 2. 5."}, 64));
    move();
    EXPECT_EQ(robot_x(), 100);
    EXPECT_TRUE(player_motion.loc_y == itofix(-20) && player_motion.floor_y == itofix(-20));
    move();
    EXPECT_EQ(robot_x(), 100);
    EXPECT_TRUE(queue_empty());     // the code is spent
    EXPECT_EQ(cue_log.last, 0);     // and not a sound
    move(MOVE_BACKWARD);
    EXPECT_EQ(robot_x(), 0);
    // A point 100 units left of column 0 still lies on column 0: the step there meets the robot
    // itself, which cannot be pushed.
    move(MOVE_BACKWARD);
    EXPECT_TRUE(robot_x() == 0 && falling == 0 && cue_log.plays[DAT_SAMPLE_BLOCKED] == 1);
}

TEST_F(Robot, SteppingOffTheGridFallsAndTumblesToGameOver)
{
    play_level(drawn_map({"0P"}, 64));
    tumble = 0;     // a level start keeps the angle of an earlier fall
    driver_push(MOVE_FORWARD);
    driver_run(11, 1);
    EXPECT_EQ(cue_log.plays[DAT_SAMPLE_STEP], 1);
    EXPECT_EQ(hero().refs, 1);      // nothing was reserved off the grid
    EXPECT_EQ(falling, 0);
    driver_frame(1);                // the probe after the landing finds no square
    EXPECT_TRUE(falling == 1 && player_motion.loc_y == itofix(3) && tumble == 2);
    EXPECT_TRUE(hero().angle_x == itofix(2) && hero().angle_y == itofix(62));

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

TEST_F(Robot, TurnsAreImmediateAndTheShownHeadingFollowsWithoutOvershooting)
{
    play_level(drawn_map({"0P 0."}, 0));
    EXPECT_EQ(rot_y, 0);
    driver_push(MOVE_TURN_RIGHT);
    driver_push(MOVE_FORWARD);
    driver_frame(1);
    EXPECT_EQ(cue_log.plays[DAT_SAMPLE_CLICK], 1);
    EXPECT_TRUE(player_motion.player_rot_y == itofix(-64) && rot_y == itofix(-2));
    driver_frame(1);    // the step toward +x starts while the heading is still turning
    EXPECT_EQ(player_motion.jump_ctr, 11);
    driver_run(35, 1);
    EXPECT_EQ(rot_y, itofix(-64));
    EXPECT_EQ(hero().angle_y, itofix(64 + 64));

    // 2 units a tick in play, 0.4 during the swoop; headings are not reduced to one turn.
    player_motion.player_rot_y = itofix(64);
    rot_y = 0;
    smooth_heading(31);
    EXPECT_EQ(rot_y, itofix(62));
    smooth_heading(5);
    EXPECT_EQ(rot_y, itofix(64));
    player_motion.player_rot_y = itofix(-1000);
    smooth_heading(100);
    EXPECT_EQ(rot_y, itofix(-136));
    intro = 1;
    smooth_heading(10);
    EXPECT_EQ(rot_y, itofix(-140));
    intro = 0;
}

TEST_F(Robot, TheSwoopDescendsFor280TicksWithoutAFloorProbeUnlessTheCameraIsHigher)
{
    play_level(drawn_map({"0P 3."}, 64));
    ASSERT_EQ(player_motion.floor_y, 0);
    begin_level(drawn_map({"3P 0."}, 64));
    EXPECT_TRUE(intro == 1 && camera_y == -680.0f && display_options.camera_pitch == 1.55f);
    EXPECT_EQ(rot_y, itofix(-64 + 128));
    driver_run(27, 10);
    EXPECT_EQ(intro, 1);
    EXPECT_FLOAT_EQ(camera_y, -680.0f + 540.0f);
    EXPECT_NEAR(display_options.camera_pitch, 1.55f - 1.35f * 540 / 560, 1e-4);
    EXPECT_NEAR(fixtof(rot_y), 64.0 - 0.4 * 270, 0.01);
    EXPECT_EQ(player_motion.floor_y, 0) << "still the old level's floor";
    driver_frame(10);
    EXPECT_TRUE(intro == 0 && camera_y == -120.0f && display_options.camera_pitch == 0.2f);
    driver_settle(10, 100);
    EXPECT_TRUE(player_motion.floor_y == itofix(-30) && player_motion.loc_y == itofix(-30));

    // A camera set higher than the swoop's start ends it at once.
    display_options.camera_height = -800.0f;
    begin_level(drawn_map({"0P 0."}, 64));
    driver_frame(1);
    EXPECT_TRUE(intro == 0 && camera_y == -800.0f);
    driver_frame(1);
    EXPECT_FLOAT_EQ(camera_y, -800.0f);     // at rest: floor 0 plus the camera height
}
