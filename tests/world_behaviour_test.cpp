/* world_behaviour_test.cpp: scenarios of pushing, zippers and chain reactions, and the rules that
   win and lose a level: the teleport, the clock, restarting and replays from a snapshot. */
#include <gtest/gtest.h>

#include <cstring>

#include "world/actor_behaviours.h"
#include "world/level_state.h"
#include "world/world_clock.h"
#include "base/datafile.h"
#include "world_test_support.h"

TEST(Pushing, AJarGoesOntoALowerSquareAtItsOldHeight)
{
    play_level(drawn_map({"2P 2J 0."}, 64));
    int jar = actor_on(1, 0);
    move();
    EXPECT_TRUE(actor_on(2, 0) == jar && actor(jar).x == centre(2));
    EXPECT_EQ(actor(jar).y, itofix(-20));   // the height it had two levels up
    EXPECT_TRUE(actor(jar).refs == 1 && actor(jar).state == 0 && actor(jar).motion == nullptr);
    EXPECT_TRUE(robot_x() == 100 && hero().refs == 1 && hero().locs[0] == square(1, 0)->serial);
    EXPECT_TRUE(world.cues.plays[DAT_SAMPLE_PUSH] == 1 && world.cues.plays[DAT_SAMPLE_STEP] == 1);
}

TEST(Pushing, RefusedPushesLeaveEverythingInPlace)
{
    // Up a level, off the grid, into an actor, and a zipper against its own direction: a
    // zipper facing the robot's square waits unarmed for good and never runs it over.
    const char *layouts[] = {"0P 0J 1.", "0P 0J", "0P 0J 0M", "0P 0M 0S", "0P 0< 0."};
    for (const char *layout : layouts) {
        play_level(drawn_map({layout}, 64));
        int pushed = actor_on(1, 0);
        move();
        EXPECT_TRUE(robot_x() == 0 && world.motion.step_x == 0) << layout;
        EXPECT_TRUE(actor_on(1, 0) == pushed && actor(pushed).x == centre(1) && actor(pushed).refs == 1)
            << layout;
        EXPECT_EQ(world.cues.last, DAT_SAMPLE_BLOCKED) << layout;
        EXPECT_EQ(world.cues.plays[DAT_SAMPLE_BLOCKED], 1) << layout << ": the only cue";
        driver_run(world, 300, 1);
        EXPECT_TRUE(world.level.level_lost == 0 && actor(pushed).state == 0) << layout;
    }
}

TEST(Pushing, AStandingZipperPushedSidewaysGoesOnInItsOwnDirectionAWaitingOneHoldsItsSquares)
{
    // The zipper faces the edge (no square to its right), so it stays until pushed up a row.
    play_level(drawn_map({"0. 0. 0. 0.",
                          "0. 0> -- --",
                          "-- 0P -- --"}, 128));
    int zipper = actor_on(1, 1);
    ASSERT_EQ(actor(zipper).state, 0);
    move();
    EXPECT_TRUE(actor_on(1, 0) == zipper && actor(zipper).think == zipper_think);
    driver_run(world, 200, 1);
    EXPECT_TRUE(actor(zipper).x == centre(3) && actor(zipper).z == centre(0));
    EXPECT_TRUE(actor(zipper).armed == 0 && actor(zipper).refs == 1) << "stopped by the row's end";

    // With a square ahead it reserves it and waits: then it cannot be pushed.
    begin_level(drawn_map({"0. 0. 0.",
                           "0. 0> 0.",
                           "-- 0P --"}, 128));
    driver_frame(world, 1);
    zipper = actor_on(1, 1);
    ASSERT_LT(actor(zipper).state, 0);
    EXPECT_EQ(actor_on(2, 1), zipper);  // the reserved square is taken already
    clear_cue_log(world);
    driver_push(world, MOVE_FORWARD);
    driver_frame(world, 1);
    EXPECT_EQ(world.cues.plays[DAT_SAMPLE_BLOCKED], 1);
    EXPECT_TRUE(world.motion.step_z == 0 && world.motion.jump_ctr < 1);
    EXPECT_TRUE(actor(zipper).x == centre(1) && actor(zipper).z == centre(1));
}

TEST(Zipper, WaitsThirtyTicksThenRunsArmedAndKills)
{
    begin_level(drawn_map({"0> 0. 0. 0P"}, 192));
    int zipper = actor_on(0, 0);
    driver_frame(world, 1);
    EXPECT_TRUE(actor(zipper).state == -2 && actor(zipper).refs == 2);
    driver_run(world, 28, 1);
    EXPECT_TRUE(actor(zipper).x == 0 && actor(zipper).armed == 0);
    driver_frame(world, 1);    // the 30th tick of waiting: armed, and off at once
    EXPECT_TRUE(actor(zipper).armed == 1 && actor(zipper).x == itofix(10));
    EXPECT_TRUE(actor(zipper).think == nullptr && actor(zipper).motion == slide_step);

    // Armed, it runs on without stopping and reaches the robot's square.
    driver_run(world, 9 + 10, 1);
    EXPECT_TRUE(actor(zipper).x == centre(2) && world.level.level_lost == 0);
    driver_frame(world, 1);
    EXPECT_EQ(world.level.level_lost, 1);
    EXPECT_STREQ(message(), "You are dead! Probably cause you are a idiot");
    EXPECT_EQ(hero().timer, 79);    // counted down once already, later in the same pass
    EXPECT_EQ(square(3, 0)->texture, 1);
    driver_run(world, 80, 1);
    EXPECT_EQ(hero().gone, 1);
    EXPECT_TRUE(actor(zipper).x == centre(3) && actor(zipper).armed == 0 && actor(zipper).refs == 1);
}

TEST(Zipper, StoppedByAMiboItWaitsAgainAndRunningIntoAJarSetsItOffAndVanishes)
{
    begin_level(drawn_map({"0> 0. 0M 0. 0J 0S", "0P -- -- -- -- --"}));
    int zipper = actor_on(0, 0);
    int mibo = actor_on(2, 0);
    int jar = actor_on(4, 0);
    int sweet = actor_on(5, 0);
    driver_run(world, 39, 1);      // waited and slid to column 1, armed
    EXPECT_TRUE(actor(zipper).x == centre(1) && actor(zipper).armed == 1);
    driver_frame(world, 1);        // the mibo blocks: disarmed
    EXPECT_TRUE(actor(zipper).armed == 0 && actor(zipper).state == 0);
    actor(mibo).gone = 1;   // the way clears
    driver_frame(world, 1);
    EXPECT_EQ(actor(zipper).state, -2);  // reserves and waits again
    driver_run(world, 48, 1);
    ASSERT_TRUE(actor(zipper).x == centre(3) && actor(zipper).armed == 1);
    driver_frame(world, 1);        // into the jar
    EXPECT_EQ(actor(zipper).gone, 1);
    // Both come after the zipper in the table, so this pass has counted them down once.
    EXPECT_TRUE(actor(jar).timer == 79 && actor(sweet).timer == 79);
    EXPECT_STREQ(message(), "You lost a sweet, you're stuck");
    EXPECT_EQ(world.message.ticks_left, 200);
    // The jar's chain blasted the zipper's own square too, but the zipper is gone at once.
    for (int x = 2; x <= 5; x++)
        EXPECT_EQ(square(x, 0)->texture, x > 2) << x;
    EXPECT_TRUE(square(0, 1)->texture == 0 && world.level.level_lost == 0);
}

TEST(Zipper, ABlastedZipperRunsUntilItsCountdownEnds)
{
    begin_level(drawn_map({"0> 0. 0. 0. 0. 0. 0. 0.", "0X 0P"}, 192));
    int zipper = actor_on(0, 0);
    driver_push(world, MOVE_FORWARD);
    driver_frame(world, 1);        // the robot walks into the mine before the zipper first thinks
    EXPECT_TRUE(actor(zipper).timer == 79 && world.level.level_lost == 1);
    driver_run(world, 78, 1);
    EXPECT_TRUE(actor(zipper).x > centre(1) && actor(zipper).gone == 0);
    driver_frame(world, 1);
    EXPECT_EQ(actor(zipper).gone, 1);
}

TEST(Explosions, AMineChainsThroughJarsAndMinesOnlyInItsOrder)
{
    // Mine in the middle; jars above, right and below it; the robot walks in from the left. The
    // last jar, below the mibo, is reached through the mibo only.
    play_level(drawn_map({"0. 0J 0.",
                          "0P 0X 0J 0S",
                          "0M 0J 0T",
                          "0J"}, 64));
    const int spared = actor_on(0, 3);
    move();
    EXPECT_EQ(world.level.level_lost, 1);
    // The robot's death came first (-x), the sweet behind the +x jar later.
    EXPECT_STREQ(message(), "You lost a sweet, you're stuck");
    // Eight blasts, each with its cue: the mine, the robot, three jars, the sweet, the teleport
    // and the mibo (beside the lower jar). Squares without an actor are not scorched.
    EXPECT_EQ(world.cues.plays[DAT_SAMPLE_EXPLOSION], 8);
    for (int z = 0; z < 3; z++)
        for (int x = 0; x < 3; x++)
            EXPECT_EQ(square(x, z)->texture, (x == 0 && z == 0) || (x == 2 && z == 0) ? 0 : 1)
                << x << "," << z;
    EXPECT_TRUE(actor(spared).timer == 0 && square(0, 3)->texture == 0) << "a mibo passes nothing on";
    // The step still went ahead, into the exploding mine's square.
    EXPECT_EQ(robot_x(), 100);
    driver_run(world, 80, 1);
    for (int i = 0; i < world.actors.count; i++)
        EXPECT_EQ(actor(i).gone, i != spared) << "actor " << i;
    EXPECT_EQ(actor_on(1, 1), -1);
}

TEST(Explosions, NeighboursAreSetOffMinusXPlusXMinusZPlusZAndOnlyTheFirstActorOnASquare)
{
    // The last message tells which of two neighbours was reached last.
    const char *dead = "You are dead! Probably cause you are a idiot";
    const char *stuck = "You lost a sweet, you're stuck";
    const struct { std::initializer_list<const char *> rows; int dir; const char *last; } cases[] = {
        {{"0P 0X 0S"}, 64, stuck},          // -x robot, then +x sweet
        {{"0S 0X 0P"}, 192, dead},          // -x sweet, then +x robot
        {{"0S", "0X", "0P"}, 128, dead},    // -z sweet, then +z robot
        {{"0P", "0X", "0S"}, 0, stuck},     // -z robot, then +z sweet
        {{"0S --", "0X 0P"}, 192, stuck},   // +x robot before -z sweet
    };
    for (const auto &c : cases) {
        play_level(drawn_map(c.rows, c.dir));
        move();
        EXPECT_STREQ(message(), c.last) << *c.rows.begin();
    }

    // Only the first actor on a square is blasted.
    play_level(drawn_map({"0P 0. 0."}, 64));
    // A second actor on the robot's square, later in the table.
    int extra = create_actor(world, 0, 0, 0, ACTOR_JAR, 0, 5);
    explode_at(world, 0, 0);
    EXPECT_TRUE(hero().timer == 80 && actor(extra).timer == 0);
    // An actor already exploding is not set off again.
    clear_cue_log(world);
    explode_at(world, 0, 0);
    EXPECT_EQ(world.cues.plays[DAT_SAMPLE_EXPLOSION], 0);
}

class Rules : public WorldTest {};

TEST_F(Rules, TheLastSweetOpensTheTeleportAndTheFirstStepInWins)
{
    // Without sweets it spins from the start.
    play_level(drawn_map({"0P 0T"}, 64));
    EXPECT_TRUE(world.level.teleport_active == 1 && actor(1).motion == spin_step && actor(1).state > 0);

    play_level(drawn_map({"0P 0S 0S 0S 0T"}, 64));
    int teleport = actor_on(4, 0);
    EXPECT_TRUE(world.level.sweets_total == 3 && world.level.teleport_active == 0);
    for (int i = 1; i <= 2; i++) {
        move();
        EXPECT_STREQ(message(), "Yum yum...");
        EXPECT_TRUE(actor(i).gone == 1 && actor_on(i, 0) == world.hero_index) << "eaten and stepped on";
        EXPECT_TRUE(world.cues.plays[DAT_SAMPLE_SWEET] == 1 && world.level.sweets_eaten == i);
        EXPECT_TRUE(world.level.teleport_active == 0 && actor(teleport).motion == nullptr);
    }
    driver_push(world, MOVE_FORWARD);
    driver_frame(world, 1);
    EXPECT_STREQ(message(), "Teleport activated!");
    EXPECT_TRUE(world.level.teleport_active == 1 && actor(teleport).motion == spin_step);
    // The 100 ticks of the sweet's message run on: shown through tick 100, gone at the next.
    driver_run(world, 99, 1);
    EXPECT_STREQ(message(), "Teleport activated!");
    driver_frame(world, 1);
    EXPECT_STREQ(message(), "");

    clear_cue_log(world);
    driver_push(world, MOVE_FORWARD);
    driver_frame(world, 1);
    EXPECT_TRUE(world.level.teleport_entered == 1 && world.level.level_completed == 0);
    driver_run(world, 10, 1);
    EXPECT_EQ(world.level.level_completed, 1);
    EXPECT_STREQ(message(), "Level completed: press Space");
    EXPECT_TRUE(world.message.ticks_left == 9999 && world.cues.plays[DAT_SAMPLE_COMPLETED] == 1);

    // The clock stops, commands are refused, and the robot rises and turns for as long as the
    // player waits.
    int clock = level_clock_left(world);
    fixed y = world.motion.loc_y;
    fixed heading = world.motion.player_rot_y;
    driver_push(world, MOVE_BACKWARD);
    driver_run(world, 1001, 10);
    EXPECT_EQ(level_clock_left(world), clock);
    EXPECT_EQ(world.motion.loc_y, y - itofix(10010));
    EXPECT_EQ(world.motion.player_rot_y, heading + itofix(10010));
    EXPECT_TRUE(command_queue_pop(world) == MOVE_BACKWARD && world.level.level_completed == 1);
}

TEST_F(Rules, ALostSweetLeavesTheLevelRunningButUnwinnable)
{
    play_level(drawn_map({"0P 0. 0J 0S 0T"}, 64));
    explode_at(world, centre(2), 0);
    EXPECT_STREQ(message(), "You lost a sweet, you're stuck");
    EXPECT_EQ(world.level.level_lost, 0);
    driver_run(world, 100, 1);
    for (int i = 0; i < 3; i++)
        move();
    // Jar and sweet are gone; the teleport never opens and blocks the way.
    clear_cue_log(world);
    driver_push(world, MOVE_FORWARD);
    driver_frame(world, 1);
    EXPECT_EQ(robot_x(), 300);
    EXPECT_STREQ(message(), "Eat all sweets to activate teleport");
    EXPECT_EQ(world.message.ticks_left, 99);
    EXPECT_TRUE(world.cues.last == DAT_SAMPLE_BLOCKED && world.level.teleport_entered == 0);
    EXPECT_EQ(world.level.level_completed, 0);
}

TEST_F(Rules, TheClockRunsOutOnceAndKeepsSayingSo)
{
    play_level(drawn_map({"0P 0."}, 64, 1));
    int left = level_clock_left(world);
    EXPECT_GT(left, 5000);
    driver_run(world, left - 1, 1);
    EXPECT_TRUE(level_clock_left(world) == 1 && world.level.level_lost == 0);
    driver_frame(world, 1);
    EXPECT_EQ(world.level.level_lost, 1);
    EXPECT_STREQ(message(), "Time is up, your to waaaay to slooooow!");
    EXPECT_EQ(world.message.ticks_left, 200);
    driver_run(world, 500, 1);
    EXPECT_STREQ(message(), "Time is up, your to waaaay to slooooow!");
    EXPECT_EQ(world.clock, 0);    // stopped the moment the level was lost
    move();
    EXPECT_EQ(robot_x(), 0);
}

/* Where a level puts the robot and which way it faces is seen in every replay of the shipped
   levels, frame by frame. */
TEST_F(Rules, RestartBringsTheWholeLevelBack)
{
    play_level(drawn_map({"0P 0S 0X 0T"}, 64, 2));
    move();
    move();     // into the mine: dead
    driver_run(world, 100, 1);
    ASSERT_TRUE(world.level.level_lost == 1 && square(2, 0)->texture == 1);
    driver_push(world, MOVE_FORWARD);      // typed before the restart: dropped

    driver_restart(world);
    EXPECT_TRUE(world.level.level_lost == 0 && world.level.sweets_eaten == 0);
    EXPECT_TRUE(world.level.sweets_total == 1 && world.level.teleport_active == 0);
    ASSERT_EQ(world.actors.count, 4);
    for (int i = 0; i < world.actors.count; i++)
        EXPECT_TRUE(actor(i).gone == 0 && actor(i).timer == 0 && actor(i).refs == 1) << i;
    EXPECT_EQ(square(2, 0)->texture, 0);
    EXPECT_EQ(level_clock_left(world), 2 * 6000);
    EXPECT_TRUE(world.message.text == nullptr && command_queue_pop(world) == 0);
    EXPECT_TRUE(world.intro == 1 && world.camera_y == -680.0f && world.title_timer == 200);
    EXPECT_EQ(robot_x(), 0);
}

TEST_F(Rules, ARunningLevelReplaysExactlyFromASnapshot)
{
    begin_level(drawn_map({"0P 0S 0. 0J 0. 0T",
                           "0> 0. 0. 0. 0. 0X"}, 64, 3));
    driver_run(world, 20, 1);
    const int zipper = 4;
    ASSERT_EQ(actor(zipper).type, ACTOR_ZIPPER);
    static World saved, first_run, second_run;
    saved = world;
    auto play_on = [] {
        driver_push(world, MOVE_FORWARD);
        driver_push(world, MOVE_TURN_RIGHT);
        driver_push(world, MOVE_FORWARD);
        driver_run(world, 40, 3);
        driver_push(world, MOVE_JUMP);
        driver_run(world, 60, 2);
    };
    play_on();
    first_run = world;
    world = saved;
    play_on();
    second_run = world;

    EXPECT_EQ(std::memcmp(&first_run, &second_run, sizeof first_run), 0) << "byte for byte";
    // Something really happened in between: a sweet eaten, the zipper run into the mine.
    EXPECT_TRUE(first_run.level.sweets_eaten == 1 && first_run.actors.actors[zipper].gone == 1 &&
                first_run.map.tiles[5].texture == 1);
}
