/* world_player_test.cpp: the robot's hop, turns, climbing, falling, the swoop and its heading.
   Where each move code takes the robot is seen in the replays of the shipped levels; these
   tests look at the hop tick by tick and at what those replays never meet: one update of a huge
   tick count too, as after a long stall, which finishes the swoop and a fall as small ones do. */
#include <gtest/gtest.h>

#include "base/datafile.h"
#include "world/level_state.h"
#include "world/player.h"
#include "world_test_support.h"

class Robot : public WorldTest {};

TEST_F(Robot, AStepWindsUpForOneUpdateFliesTenTicksAndCrouchesOnLanding)
{
    play_level(drawn_map({"0P 0. 0."}, 64));
    driver_push(world, MOVE_FORWARD);
    driver_frame(world, 1);
    EXPECT_TRUE(world.motion.jump_ctr == 11 && world.crouch == 1 && robot_x() == 0);
    EXPECT_EQ(world.cues.plays[DAT_SAMPLE_STEP], 1);
    EXPECT_EQ(hero().refs, 2);      // the target square is reserved at once

    driver_frame(world, 1);    // down to 10 and the first tick of flight in the same update
    EXPECT_TRUE(world.motion.jump_ctr == 9 && world.stretch == 1 && world.crouch == 0);
    EXPECT_EQ(world.motion.x, itofix(10));
    driver_run(world, 4, 1);   // halfway: the top of the arc, 10 units up
    EXPECT_EQ(world.motion.loc_y, itofix(-10));
    driver_run(world, 5, 1);
    EXPECT_EQ(world.motion.jump_ctr, 0);
    EXPECT_TRUE(world.motion.x == itofix(100) && world.motion.loc_y == 0 && hero().x == itofix(100));
    EXPECT_EQ(hero().refs, 1);
    EXPECT_EQ(hero().locs[0], square(1, 0)->serial);

    driver_run(world, 4, 1);   // landing crouch, one update each
    EXPECT_TRUE(world.motion.jump_ctr == -4 && world.crouch == 1);
    driver_frame(world, 1);
    EXPECT_TRUE(world.motion.jump_ctr == -5 && world.crouch == 0 && world.stretch == 0);
}

TEST_F(Robot, AJumpWindsUpOneUpdateLongerAndKeepsOneSquareEvenRightAfterARestart)
{
    play_level(drawn_map({"0P 0."}, 64));
    int own = hero().locs[0];
    driver_push(world, MOVE_JUMP);
    driver_run(world, 2, 1);
    EXPECT_TRUE(world.motion.jump_ctr == 11 && hero().refs == 2 && hero().locs[1] == own);
    driver_frame(world, 1);
    EXPECT_TRUE(world.motion.x == 0 && world.motion.loc_y < 0);
    driver_settle(world, 1, 100);
    EXPECT_TRUE(hero().refs == 1 && hero().locs[0] == own && hero().locs[1] == 0);
    EXPECT_EQ(world.motion.loc_y, 0);

    driver_restart(world);
    driver_push(world, MOVE_JUMP);
    driver_push(world, MOVE_JUMP);
    driver_settle(world, 10, 100);
    EXPECT_TRUE(queue_empty() && hero().refs == 1);
}

TEST_F(Robot, LongUpdatesCoverTheSameGroundAndASecondCodeWaitsForTheLanding)
{
    play_level(drawn_map({"0P 0. 0. 0."}, 64));
    driver_push(world, MOVE_FORWARD);
    driver_frame(world, 1);
    driver_frame(world, 25);   // ten ticks' worth only, landing on the centre
    EXPECT_TRUE(world.motion.jump_ctr == 0 && world.motion.x == itofix(100));

    driver_settle(world, 1, 100);
    driver_push(world, MOVE_FORWARD);
    driver_push(world, 99);    // not a move code: taken after the landing and dropped
    driver_push(world, MOVE_FORWARD);
    driver_frame(world, 3);    // wind-up
    int flight_updates = 0;
    for (int last_x = robot_x(); world.motion.jump_ctr != 0; last_x = robot_x()) {
        driver_frame(world, 3);
        flight_updates++;
        if (world.motion.jump_ctr != 0) {
            EXPECT_EQ(robot_x() - last_x, 30);
        }
        EXPECT_FALSE(queue_empty()) << "no code is taken in flight";
    }
    EXPECT_TRUE(flight_updates == 4 && world.motion.x == itofix(200));
    driver_frame(world, 1);    // 99 goes at once, cutting the landing crouch short
    driver_frame(world, 1);    // and the step right after it
    EXPECT_TRUE(world.motion.jump_ctr == 11 && queue_empty());
    driver_settle(world, 1, 100);
    EXPECT_EQ(robot_x(), 300);
}

TEST_F(Robot, ClimbsTwoLevelsButNotThreeDropsAnyNumberAndFindsColumnZeroLeftOfItself)
{
    play_level(drawn_map({"0P 2. 5."}, 64));
    move();
    EXPECT_EQ(robot_x(), 100);
    EXPECT_TRUE(world.motion.loc_y == itofix(-20) && world.motion.floor_y == itofix(-20));
    move();
    EXPECT_EQ(robot_x(), 100);
    EXPECT_TRUE(queue_empty());     // the code is spent
    EXPECT_EQ(world.cues.last, 0);     // and not a sound
    move(MOVE_BACKWARD);
    EXPECT_EQ(robot_x(), 0);
    // A point 100 units left of column 0 still lies on column 0: the step there meets the robot
    // itself, which cannot be pushed.
    move(MOVE_BACKWARD);
    EXPECT_TRUE(robot_x() == 0 && world.falling == 0 && world.cues.plays[DAT_SAMPLE_BLOCKED] == 1);
}

TEST_F(Robot, SteppingOffTheGridFallsAndTumblesToGameOver)
{
    play_level(drawn_map({"0P"}, 64));
    world.tumble = 0;     // a level start keeps the angle of an earlier fall
    driver_push(world, MOVE_FORWARD);
    driver_run(world, 11, 1);
    EXPECT_EQ(world.cues.plays[DAT_SAMPLE_STEP], 1);
    EXPECT_EQ(hero().refs, 1);      // nothing was reserved off the grid
    EXPECT_EQ(world.falling, 0);
    driver_frame(world, 1);                // the probe after the landing finds no square
    EXPECT_TRUE(world.falling == 1 && world.motion.loc_y == itofix(3) && world.tumble == 2);
    EXPECT_TRUE(hero().angle_x == itofix(2) && hero().angle_y == itofix(62));

    driver_push(world, MOVE_FORWARD);      // no commands while falling
    driver_run(world, 83, 1);
    EXPECT_TRUE(world.motion.loc_y == itofix(252) && world.level.level_lost == 0 && !queue_empty());
    driver_frame(world, 1);
    EXPECT_EQ(world.level.level_lost, 1);
    EXPECT_STREQ(world.message.text, "Game Over");
    EXPECT_EQ(world.motion.loc_y, itofix(252));
}

TEST_F(Robot, TurnsAreImmediateAndTheShownHeadingFollowsWithoutOvershooting)
{
    play_level(drawn_map({"0P 0."}, 0));
    EXPECT_EQ(world.rot_y, 0);
    driver_push(world, MOVE_TURN_RIGHT);
    driver_push(world, MOVE_FORWARD);
    driver_frame(world, 1);
    EXPECT_EQ(world.cues.plays[DAT_SAMPLE_CLICK], 1);
    EXPECT_TRUE(world.motion.player_rot_y == itofix(-64) && world.rot_y == itofix(-2));
    driver_frame(world, 1);    // the step toward +x starts while the heading is still turning
    EXPECT_EQ(world.motion.jump_ctr, 11);
    driver_run(world, 35, 1);
    EXPECT_EQ(world.rot_y, itofix(-64));
    EXPECT_EQ(hero().angle_y, itofix(64 + 64));
    // Left turns the other way: no shipped level's way turns left, so it is seen here only.
    driver_push(world, MOVE_TURN_LEFT);
    driver_frame(world, 1);
    EXPECT_EQ(world.motion.player_rot_y, 0);

    // 2 units a tick in play, 0.4 during the swoop; headings are not reduced to one turn.
    world.motion.player_rot_y = itofix(64);
    world.rot_y = 0;
    smooth_heading(world, 31);
    EXPECT_EQ(world.rot_y, itofix(62));
    smooth_heading(world, 5);
    EXPECT_EQ(world.rot_y, itofix(64));
    world.motion.player_rot_y = itofix(-1000);
    smooth_heading(world, 100);
    EXPECT_EQ(world.rot_y, itofix(-136));
    world.intro = 1;
    smooth_heading(world, 10);
    EXPECT_EQ(world.rot_y, itofix(-140));
    world.intro = 0;
}

TEST_F(Robot, TheSwoopDescendsFor280TicksWithoutAFloorProbeUnlessTheCameraIsHigher)
{
    play_level(drawn_map({"0P 3."}, 64));
    ASSERT_EQ(world.motion.floor_y, 0);
    begin_level(drawn_map({"3P 0."}, 64));
    EXPECT_TRUE(world.intro == 1 && world.camera_y == -680.0f && world.camera_pitch == 1.55f);
    EXPECT_EQ(world.rot_y, itofix(-64 + 128));
    driver_run(world, 27, 10);
    EXPECT_EQ(world.intro, 1);
    EXPECT_FLOAT_EQ(world.camera_y, -680.0f + 540.0f);
    EXPECT_NEAR(world.camera_pitch, 1.55f - 1.35f * 540 / 560, 1e-4);
    EXPECT_NEAR(fixtof(world.rot_y), 64.0 - 0.4 * 270, 0.01);
    EXPECT_EQ(world.motion.floor_y, 0) << "still the old level's floor";
    driver_frame(world, 10);
    EXPECT_TRUE(world.intro == 0 && world.camera_y == -120.0f && world.camera_pitch == 0.2f);
    driver_settle(world, 10, 100);
    EXPECT_TRUE(world.motion.floor_y == itofix(-30) && world.motion.loc_y == itofix(-30));

    // A camera set higher than the swoop's start ends it at once.
    display_options.camera_height = -800.0f;
    begin_level(drawn_map({"0P 0."}, 64));
    driver_frame(world, 1);
    EXPECT_TRUE(world.intro == 0 && world.camera_y == -800.0f);
    driver_frame(world, 1);
    EXPECT_FLOAT_EQ(world.camera_y, -800.0f);     // at rest: floor 0 plus the camera height
}

namespace {

class LongFrames : public WorldTest {};

// The swoop added 2 * ticks in int, which overflowed from about 1.07 billion ticks (a demo
// frame "t2000000000" under UBSan); the fall's 3 * ticks overflowed the same way, and the
// shown heading's step went through ftofix past its range, which writes the library's errno,
// a null pointer in a world run without the library.
TEST_F(LongFrames, AHugeUpdateEndsTheSwoopAndAFallAsSmallOnesDo)
{
    begin_level(drawn_map({"0P 0."}, 64));
    ASSERT_EQ(world.intro, 1);
    driver_frame(world, 2000000000);
    EXPECT_TRUE(world.intro == 0 && world.camera_y == display_options.camera_height &&
                world.camera_pitch == 0.2f);

    play_level(drawn_map({"0P"}, 64));
    world.tumble = 0;     // a level start keeps the angle of an earlier fall
    driver_push(world, MOVE_FORWARD);
    driver_run(world, 12, 1);              // off the edge: landed over no square, the fall begun
    ASSERT_EQ(world.falling, 1);
    driver_frame(world, 2000000000);       // the clock runs out too, but the fall is what is drawn
    EXPECT_GT(world.motion.loc_y, itofix(250));
    EXPECT_LT(world.motion.loc_y, itofix(250 + 3 * 4000));
    EXPECT_TRUE(world.tumble >= 0 && world.tumble <= 256 + 2 * 4000);
    driver_frame(world, 1);
    EXPECT_EQ(world.level.level_lost, 1);
    EXPECT_STREQ(world.message.text, "Game Over");
}

} // namespace
