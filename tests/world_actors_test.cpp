/* world_actors_test.cpp: the actor table: creation, the squares each actor holds, the passes. */
#include <gtest/gtest.h>

#include "world/actor_behaviours.h"
#include "world/actor_table.h"
#include "world_test_support.h"

namespace {

/* A row of flat squares 0..n-1 on row 0, and an empty actor table. */
void flat_row(int n)
{
    level_map.tile_count = n;
    for (int i = 0; i < n; i++) {
        level_map.tiles[i] = MapTile{};
        level_map.tiles[i].x = i;
        level_map.tiles[i].serial = i + 1;
    }
    clear_actors();
}

int thinks_seen;
int32_t last_ticks;

void count_think(int32_t ticks, Actor *)
{
    thinks_seen++;
    last_ticks = ticks;
}

} // namespace

TEST(ActorTable, ZipperStepsFollowItsDirection)
{
    flat_row(1);
    struct { int dir, x, z; } cases[] = {{0, 0, 1}, {64, 1, 0}, {128, 0, -1}, {192, -1, 0}, {100, 0, 0}};
    for (const auto &c : cases) {
        int i = create_actor(0, 0, 0, ACTOR_ZIPPER, c.dir, 4);
        EXPECT_TRUE(actor(i).step_x == c.x && actor(i).step_z == c.z) << c.dir;
        EXPECT_EQ(actor(i).think, zipper_think);
    }
}

TEST(ActorTable, LocationSlotsAndCountAreKeptApart)
{
    flat_row(8);
    int i = create_actor(0, 0, 0, ACTOR_JAR, 0, 5);
    remove_location(i, 1);
    EXPECT_EQ(actor(i).refs, 0);
    EXPECT_EQ(add_location(i, 5), 1);
    EXPECT_EQ(add_location(i, 7), 2);
    EXPECT_TRUE(actor(i).locs[0] == 5 && actor(i).locs[1] == 7);
    EXPECT_EQ(remove_location(i, 5), 1);
    EXPECT_TRUE(actor(i).locs[0] == 7 && actor(i).locs[1] == 0);
    // A serial that is not held still lowers the count.
    EXPECT_EQ(remove_location(i, 3), 0);
    EXPECT_EQ(actor(i).locs[0], 7);
    // With the first slot taken, every new square goes to the second, replacing what was there.
    EXPECT_EQ(add_location(i, 2), 1);
    EXPECT_EQ(add_location(i, 4), 2);
    EXPECT_TRUE(actor(i).locs[0] == 7 && actor(i).locs[1] == 4);
    EXPECT_EQ(remove_location(i, 4), 1);
    EXPECT_EQ(actor(i).locs[1], 0);
}

TEST(ActorTable, ActorAtSkipsTheGoneAndPrefersTheEarliest)
{
    flat_row(3);
    int sweet = create_actor(centre(1), 0, 0, ACTOR_SWEET, 0, 7);
    int player = create_actor(centre(1), 0, 0, ACTOR_PLAYER, 0, 1);
    EXPECT_EQ(actor_on(1, 0), sweet);
    actor(sweet).gone = 1;
    EXPECT_EQ(actor_on(1, 0), player);
    // A moving actor is found on both squares, an exploding one until it is gone.
    add_location(player, 3);
    actor(player).timer = 40;
    EXPECT_EQ(actor_on(2, 0), player);
    EXPECT_EQ(actor_on(0, 0), -1);
    EXPECT_EQ(actor_at(centre(5), 0), -1);
}

TEST(ActorTable, ThinkPassCountsDownExplosionsFirst)
{
    flat_row(1);
    int a = create_actor(0, 0, 0, ACTOR_MIBO, 0, 3);
    int b = create_actor(0, 0, 0, ACTOR_MIBO, 0, 3);
    actor(a).think = count_think;
    actor(b).think = count_think;
    actor(a).timer = 3;
    actor(b).timer = 4;
    thinks_seen = 0;
    run_think_pass(3);
    EXPECT_TRUE(actor(a).gone == 1 && actor(b).gone == 0 && actor(b).timer == 1);
    EXPECT_EQ(thinks_seen, 1) << "the actor gone in this pass thinks no more";

    // A pass of no ticks still calls every callback.
    thinks_seen = 0;
    run_think_pass(0);
    EXPECT_TRUE(thinks_seen == 1 && last_ticks == 0 && actor(b).gone == 0);

    actor(b).motion = count_think;
    thinks_seen = 0;
    run_motion_pass(0);
    EXPECT_EQ(thinks_seen, 1);
}

TEST(ActorTable, TeleportSpinIsGivenToTheGoneButNotRun)
{
    flat_row(2);
    int t = create_actor(0, 0, 0, ACTOR_TELEPORT, 0, 2);
    int m = create_actor(centre(1), 0, 0, ACTOR_MIBO, 0, 3);
    actor(t).gone = 1;
    set_motion_for_type(ACTOR_TELEPORT);
    EXPECT_EQ(actor(t).motion, spin_step);
    EXPECT_EQ(actor(m).motion, nullptr);
    run_motion_pass(5);
    EXPECT_EQ(actor(t).state, 0);
    actor(t).gone = 0;
    run_motion_pass(5);
    EXPECT_TRUE(actor(t).state == 5 && actor(t).angle_y == itofix(5));
    run_motion_pass(252);
    EXPECT_EQ(actor(t).state, 1);
}

TEST(ActorTableDeathTest, The101stActorIsTooMany)
{
    flat_row(1);
    for (int i = 0; i < ACTOR_CAPACITY; i++)
        create_actor(0, 0, 0, ACTOR_SWEET, 0, 7);
    EXPECT_EQ(actor_table.count, 100);
    EXPECT_EXIT(create_actor(0, 0, 0, ACTOR_SWEET, 0, 7), ::testing::ExitedWithCode(1),
                "Fatal exception: Too many actors");
}

TEST(ActorTableDeathTest, ASlideEndingWithTheWrongSquareCountIsCaught)
{
    flat_row(2);
    int i = create_actor(0, 0, 0, ACTOR_JAR, 0, 5);
    // A slide that never reserved its target: arriving leaves no square at all.
    Actor &a = actor(i);
    a.state = 1, a.step_x = 1, a.step_z = 0, a.from_x = a.from_z = 0, a.progress = 0;
    a.motion = slide_step;
    EXPECT_EXIT(run_motion_pass(10), ::testing::ExitedWithCode(1),
                "Assertion failed in actors at line [0-9]+");
}
