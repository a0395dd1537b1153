/* world_behaviour_test.cpp: scenarios of pushing, eating, zippers and chain reactions. */
#include <gtest/gtest.h>

#include <cstring>

#include "ui/message_line.h"
#include "world/actor_behaviours.h"
#include "world/level_state.h"
#include "world/world_cues.h"
#include "world_test_support.h"

namespace {

/* Queues one move and plays until the robot stands still again. */
void move(int code = MOVE_FORWARD)
{
    clear_cue_log();
    driver_push(code);
    driver_settle(1, 500);
}

const char *message() { return message_line.text ? message_line.text : ""; }

} // namespace

TEST(Pushing, AJarGoesOntoALowerSquareAtItsOldHeight)
{
    play_level(drawn_map({"2P 2J 0."}, 64));
    int jar = actor_on(1, 0);
    move();
    EXPECT_EQ(actor_on(2, 0), jar);
    EXPECT_EQ(actor(jar).x, centre(2));
    EXPECT_EQ(actor(jar).y, itofix(-20));   // the height it had two levels up
    EXPECT_TRUE(actor(jar).refs == 1 && actor(jar).state == 0 && actor(jar).motion == nullptr);
    EXPECT_TRUE(robot_x() == 100 && hero().refs == 1 && hero().locs[0] == square(1, 0)->serial);
    EXPECT_TRUE(cue_log.plays[DAT_SAMPLE_PUSH] == 1 && cue_log.plays[DAT_SAMPLE_STEP] == 1);
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
        EXPECT_TRUE(robot_x() == 0 && player_motion.step_x == 0) << layout;
        EXPECT_TRUE(actor_on(1, 0) == pushed && actor(pushed).x == centre(1) && actor(pushed).refs == 1)
            << layout;
        EXPECT_EQ(cue_log.last, DAT_SAMPLE_BLOCKED) << layout;
        EXPECT_EQ(cue_log.plays[DAT_SAMPLE_BLOCKED], 1) << layout << ": the only cue";
        driver_run(300, 1);
        EXPECT_TRUE(level_state.level_lost == 0 && actor(pushed).state == 0) << layout;
    }
}

TEST(Pushing, AZipperPushedSidewaysGoesOnInItsOwnDirection)
{
    // The zipper faces the edge (no square to its right), so it stays until pushed up a row.
    play_level(drawn_map({"0. 0. 0. 0.",
                          "0. 0> -- --",
                          "-- 0P -- --"}, 128));
    int zipper = actor_on(1, 1);
    ASSERT_EQ(actor(zipper).state, 0);
    move();
    EXPECT_EQ(actor_on(1, 0), zipper);
    EXPECT_EQ(actor(zipper).think, zipper_think);
    driver_run(200, 1);
    EXPECT_TRUE(actor(zipper).x == centre(3) && actor(zipper).z == centre(0));
    EXPECT_TRUE(actor(zipper).armed == 0 && actor(zipper).refs == 1) << "stopped by the row's end";
}

TEST(Pushing, AWaitingZipperHoldsItsSquares)
{
    begin_level(drawn_map({"0. 0. 0.",
                           "0. 0> 0.",
                           "-- 0P --"}, 128));
    driver_frame(1);
    int zipper = actor_on(1, 1);
    ASSERT_LT(actor(zipper).state, 0);
    EXPECT_EQ(actor_on(2, 1), zipper);  // the reserved square is taken already
    clear_cue_log();
    driver_push(MOVE_FORWARD);
    driver_frame(1);
    EXPECT_EQ(cue_log.plays[DAT_SAMPLE_BLOCKED], 1);
    EXPECT_TRUE(player_motion.step_z == 0 && player_motion.jump_ctr < 1);
    EXPECT_TRUE(actor(zipper).x == centre(1) && actor(zipper).z == centre(1));
}

TEST(Zipper, WaitsThirtyTicksThenRunsArmedAndKills)
{
    begin_level(drawn_map({"0> 0. 0. 0P"}, 192));
    int zipper = actor_on(0, 0);
    driver_frame(1);
    EXPECT_TRUE(actor(zipper).state == -2 && actor(zipper).refs == 2);
    driver_run(28, 1);
    EXPECT_TRUE(actor(zipper).x == 0 && actor(zipper).armed == 0);
    driver_frame(1);    // the 30th tick of waiting: armed, and off at once
    EXPECT_TRUE(actor(zipper).armed == 1 && actor(zipper).x == itofix(10));
    EXPECT_TRUE(actor(zipper).think == nullptr && actor(zipper).motion == slide_step);

    // Armed, it runs on without stopping and reaches the robot's square.
    driver_run(9 + 10, 1);
    EXPECT_EQ(actor(zipper).x, centre(2));
    EXPECT_EQ(level_state.level_lost, 0);
    driver_frame(1);
    EXPECT_EQ(level_state.level_lost, 1);
    EXPECT_STREQ(message(), "You are dead! Probably cause you are a idiot");
    EXPECT_EQ(hero().timer, 79);    // counted down once already, later in the same pass
    EXPECT_EQ(square(3, 0)->texture, 1);
    driver_run(80, 1);
    EXPECT_EQ(hero().gone, 1);
    EXPECT_TRUE(actor(zipper).x == centre(3) && actor(zipper).armed == 0 && actor(zipper).refs == 1);
}

TEST(Zipper, StoppedByAMiboItWaitsAgainBeforeGoingOn)
{
    begin_level(drawn_map({"0> 0. 0M 0.", "0P -- -- --"}));
    int zipper = actor_on(0, 0);
    int mibo = actor_on(2, 0);
    driver_run(39, 1);      // waited and slid to column 1, armed
    EXPECT_TRUE(actor(zipper).x == centre(1) && actor(zipper).armed == 1);
    driver_frame(1);        // the mibo blocks: disarmed
    EXPECT_TRUE(actor(zipper).armed == 0 && actor(zipper).state == 0);
    actor(mibo).gone = 1;   // the way clears
    driver_frame(1);
    EXPECT_EQ(actor(zipper).state, -2);  // reserves and waits again
    driver_run(60, 1);
    EXPECT_EQ(actor(zipper).x, centre(3));
}

TEST(Zipper, RunningIntoAJarSetsItOffAndVanishes)
{
    begin_level(drawn_map({"0> 0. 0J 0S", "0P -- -- --"}));
    int zipper = actor_on(0, 0);
    int jar = actor_on(2, 0);
    int sweet = actor_on(3, 0);
    driver_run(39, 1);
    ASSERT_EQ(actor(zipper).x, centre(1));
    ASSERT_EQ(actor(zipper).armed, 1);
    driver_frame(1);
    EXPECT_EQ(actor(zipper).gone, 1);
    // Both come after the zipper in the table, so this pass has counted them down once.
    EXPECT_TRUE(actor(jar).timer == 79 && actor(sweet).timer == 79);
    EXPECT_STREQ(message(), "You lost a sweet, you're stuck");
    EXPECT_EQ(message_line.ticks_left, 200);
    // The jar's chain blasted the zipper's own square too, but the zipper is gone at once.
    for (int x = 1; x <= 3; x++)
        EXPECT_EQ(square(x, 0)->texture, 1) << x;
    EXPECT_EQ(square(0, 1)->texture, 0);
    EXPECT_EQ(level_state.level_lost, 0);
}

TEST(Zipper, ABlastedZipperRunsUntilItsCountdownEnds)
{
    begin_level(drawn_map({"0> 0. 0. 0. 0. 0. 0. 0.", "0X 0P"}, 192));
    int zipper = actor_on(0, 0);
    driver_push(MOVE_FORWARD);
    driver_frame(1);        // the robot walks into the mine before the zipper first thinks
    EXPECT_EQ(actor(zipper).timer, 79);
    EXPECT_EQ(level_state.level_lost, 1);
    driver_run(78, 1);
    EXPECT_GT(actor(zipper).x, centre(1));
    EXPECT_EQ(actor(zipper).gone, 0);
    driver_frame(1);
    EXPECT_EQ(actor(zipper).gone, 1);
}

TEST(Explosions, AMineChainsThroughJarsInItsOrder)
{
    // Mine in the middle; jars above, right and below it; the robot walks in from the left.
    play_level(drawn_map({"0. 0J 0.",
                          "0P 0X 0J 0S",
                          "0M 0J 0T"}, 64));
    int mine = actor_on(1, 1);
    int jars[3] = {actor_on(1, 0), actor_on(2, 1), actor_on(1, 2)};
    int sweet = actor_on(3, 1);
    int mibo = actor_on(0, 2);
    int teleport = actor_on(2, 2);
    move();
    EXPECT_EQ(level_state.level_lost, 1);
    // The robot's death came first (-x), the sweet behind the +x jar later.
    EXPECT_STREQ(message(), "You lost a sweet, you're stuck");
    for (int i : {mine, jars[0], jars[1], jars[2], sweet, mibo, teleport, hero_index})
        EXPECT_GT(actor(i).timer, 0) << "actor " << i;
    // Eight blasts, each with its cue: the mine, the robot, three jars, the sweet, the teleport
    // and the mibo (beside the lower jar). Squares without an actor are not scorched.
    EXPECT_EQ(cue_log.plays[DAT_SAMPLE_EXPLOSION], 8);
    for (int z = 0; z < 3; z++)
        for (int x = 0; x < 3; x++)
            EXPECT_EQ(square(x, z)->texture, (x == 0 && z == 0) || (x == 2 && z == 0) ? 0 : 1)
                << x << "," << z;
    // The step still went ahead, into the exploding mine's square.
    EXPECT_EQ(robot_x(), 100);
    driver_run(80, 1);
    for (int i : {mine, jars[0], jars[1], jars[2], sweet, mibo, teleport, hero_index})
        EXPECT_EQ(actor(i).gone, 1) << "actor " << i;
    EXPECT_EQ(actor_on(1, 1), -1);
}

TEST(Explosions, NeighboursAreSetOffMinusXPlusXMinusZPlusZ)
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
}

TEST(Explosions, OnlyJarsAndMinesPassTheChainOn)
{
    play_level(drawn_map({"0P 0X 0M 0J 0S"}, 64));
    int jar = actor_on(3, 0);
    move();
    EXPECT_GT(actor(actor_on(2, 0)).timer, 0);
    EXPECT_EQ(actor(jar).timer, 0);
    EXPECT_EQ(square(3, 0)->texture, 0);
}

TEST(Explosions, OnlyTheFirstActorOnASquareIsBlasted)
{
    play_level(drawn_map({"0P 0. 0."}, 64));
    // A second actor on the robot's square, later in the table.
    int extra = create_actor(0, 0, 0, ACTOR_JAR, 0, 5);
    explode_at(0, 0);
    EXPECT_EQ(hero().timer, 80);
    EXPECT_EQ(actor(extra).timer, 0);
    // An actor already exploding is not set off again.
    clear_cue_log();
    explode_at(0, 0);
    EXPECT_EQ(cue_log.plays[DAT_SAMPLE_EXPLOSION], 0);
}
