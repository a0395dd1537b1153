/* world_actors_test.cpp: the actor table (creation, the squares each actor holds, the passes) and
   the grid under it (squares under world points, step and slide heights, view quadrants). */
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "world/actor_behaviours.h"
#include "world/actor_table.h"
#include "world/tile_grid.h"
#include "world_test_support.h"

namespace {

/* The level's squares become these (column, height, row) triples, serials in order. */
void set_squares(std::initializer_list<std::array<int, 3>> tiles)
{
    world.map.tile_count = 0;
    for (const auto &t : tiles) {
        MapTile tile = {};
        tile.x = t[0];
        tile.height = t[1];
        tile.z = t[2];
        tile.serial = world.map.tile_count + 1;
        world.map.tiles[world.map.tile_count++] = tile;
    }
    index_tiles(world);
}

/* A row of flat squares 0..n-1 on row 0, and an empty actor table. */
void flat_row(int n)
{
    world.map.tile_count = 0;
    for (int i = 0; i < n; i++) {
        MapTile tile = {};
        tile.x = i;
        tile.serial = i + 1;
        world.map.tiles[world.map.tile_count++] = tile;
    }
    index_tiles(world);
    clear_actors(world);
}

} // namespace

TEST(ActorTable, LocationSlotsAndCountAreKeptApart)
{
    flat_row(8);
    int i = create_actor(world, 0, 0, 0, ACTOR_JAR, 0, 5);
    remove_location(world, i, 1);
    EXPECT_EQ(actor(i).refs, 0);
    EXPECT_EQ(add_location(world, i, 5), 1);
    EXPECT_EQ(add_location(world, i, 7), 2);
    EXPECT_TRUE(actor(i).locs[0] == 5 && actor(i).locs[1] == 7);
    EXPECT_EQ(remove_location(world, i, 5), 1);
    EXPECT_TRUE(actor(i).locs[0] == 7 && actor(i).locs[1] == 0);
    // A serial that is not held still lowers the count.
    EXPECT_EQ(remove_location(world, i, 3), 0);
    EXPECT_EQ(actor(i).locs[0], 7);
    // With the first slot taken, every new square goes to the second, replacing what was there.
    EXPECT_EQ(add_location(world, i, 2), 1);
    EXPECT_EQ(add_location(world, i, 4), 2);
    EXPECT_TRUE(actor(i).locs[0] == 7 && actor(i).locs[1] == 4);
    EXPECT_EQ(remove_location(world, i, 4), 1);
    EXPECT_EQ(actor(i).locs[1], 0);
}

TEST(ActorTable, ActorAtSkipsTheGoneAndPrefersTheEarliest)
{
    flat_row(3);
    int sweet = create_actor(world, centre(1), 0, 0, ACTOR_SWEET, 0, 7);
    int player = create_actor(world, centre(1), 0, 0, ACTOR_PLAYER, 0, 1);
    EXPECT_EQ(actor_on(1, 0), sweet);
    actor(sweet).gone = 1;
    EXPECT_EQ(actor_on(1, 0), player);
    // A moving actor is found on both squares, an exploding one until it is gone.
    add_location(world, player, 3);
    actor(player).timer = 40;
    EXPECT_TRUE(actor_on(2, 0) == player && actor_on(0, 0) == -1 &&
                actor_at(world, centre(5), 0) == -1);
}

TEST(ActorTableDeathTest, The101stActorAndASlideEndingWithTheWrongSquareCountAreFatal)
{
    flat_row(1);
    for (int i = 0; i < ACTOR_CAPACITY; i++)
        create_actor(world, 0, 0, 0, ACTOR_SWEET, 0, 7);
    EXPECT_EQ(world.actors.count, 100);
    EXPECT_EXIT(create_actor(world, 0, 0, 0, ACTOR_SWEET, 0, 7), ::testing::ExitedWithCode(1),
                "Fatal exception: Too many actors");

    // A slide that never reserved its target: arriving leaves no square at all.
    flat_row(2);
    Actor &a = actor(create_actor(world, 0, 0, 0, ACTOR_JAR, 0, 5));
    a.state = 1, a.step_x = 1, a.step_z = 0, a.from_x = a.from_z = 0, a.progress = 0;
    a.motion = slide_step;
    EXPECT_EXIT(run_motion_pass(world, 10), ::testing::ExitedWithCode(1),
                "Assertion failed in actors at line [0-9]+");
}

TEST(TileGrid, PointsTruncateTowardZeroAfterAddingHalfASquare)
{
    set_squares({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    // Even x = -100 falls on column 0; the centre of a column -1 is never found.
    const struct { double x; int column; } points[] = {
        {49.99, 0}, {50.0, 1}, {149.99, 1}, {150.0, 2}, {-49.99, 0}, {-100.0, 0}, {-149.99, 0},
        {-150.0, -1}, {300.0, -1},
    };
    for (const auto &p : points) {
        MapTile *t = tile_at(world, ftofix(p.x), 0);
        EXPECT_EQ(t ? t->x : -1, p.column) << p.x;
    }
    EXPECT_EQ(tile_serial_at(world, itofix(200), 0), 3);
    EXPECT_EQ(tile_serial_at(world, 0, itofix(100)), -1);
    set_squares({{-1, 0, 0}});
    EXPECT_TRUE(tile_at(world, itofix(-100), 0) == nullptr && tile_at(world, 0, itofix(-100)) == nullptr);

    // Of two squares on one place the first in the list's order wins.
    set_squares({{0, 0, 0}, {1, 4, 0}, {1, 9, 0}});
    EXPECT_EQ(tile_serial_at(world, itofix(100), 0), 2);
    std::swap(world.map.tiles[1], world.map.tiles[2]);
    EXPECT_EQ(tile_serial_at(world, itofix(100), 0), 3);
}

/* The square under (column, row) found by going through the whole list, first or last match. */
const MapTile *search_list(int column, int row, bool last)
{
    const MapTile *found = nullptr;
    for (int i = 0; i < world.map.tile_count; i++) {
        const MapTile &t = world.map.tiles[i];
        if (t.x == column && t.z == row && (last || !found))
            found = &t;
    }
    return found;
}

TEST(TileGrid, TheIndexAnswersAsTheListDoesWhateverTheOrder)
{
    // A ragged map with holes, a doubled cell and squares at the grid's far edge.
    set_squares({{0, 0, 0}, {1, 2, 0}, {3, 1, 0}, {1, 5, 2}, {2, 0, 2}, {2, 7, 2}, {326, 0, 326},
                 {0, 4, 3}});
    auto agree = [](const char *when) {
        for (int row = -2; row <= 5; row++) {
            for (int column = -2; column <= 5; column++) {
                // A point left of a column falls on the one to its right (truncation to zero).
                fixed x = itofix(100 * column), z = itofix(100 * row);
                EXPECT_EQ(tile_at(world, x, z), search_list(column < 0 ? column + 1 : column, row < 0 ? row + 1 : row, false))
                    << when << " at " << column << "," << row;
                EXPECT_EQ(last_tile_on(world, column, row), search_list(column, row, true))
                    << when << " at " << column << "," << row;
            }
        }
        EXPECT_EQ(tile_serial_at(world, itofix(32600), itofix(32600)), 7) << when;
        EXPECT_EQ(tile_at(world, itofix(32700), itofix(32600)), nullptr) << when;
    };
    agree("as loaded");
    // A list put in another order (as the editor builds one) is indexed anew.
    std::reverse(world.map.tiles, world.map.tiles + world.map.tile_count);
    index_tiles(world);
    agree("reversed");
    std::rotate(world.map.tiles, world.map.tiles + 3, world.map.tiles + world.map.tile_count);
    index_tiles(world);
    agree("rotated");
    // A list of another length is searched until it is indexed again.
    world.map.tiles[world.map.tile_count++] = MapTile{4, 0, 4, 0, {}, 9};
    EXPECT_EQ(tile_serial_at(world, itofix(400), itofix(400)), 9);
    index_tiles(world);
    agree("grown and indexed");
    // A square beyond the grid's columns leaves the whole list unindexed, and still found.
    set_squares({{0, 0, 0}, {327, 0, 1}});
    EXPECT_EQ(tile_serial_at(world, itofix(32700), itofix(100)), 2);
    EXPECT_EQ(tile_serial_at(world, 0, 0), 1);
}

TEST(TileGrid, StepsClimbTwoLevelsSlidesNoneAndBothDropAnyNumber)
{
    for (int h = 0; h <= 3; h++) {
        set_squares({{0, 0, 0}, {1, h, 0}});
        EXPECT_EQ(can_move_to(world, 0, 0, itofix(100), 0), h <= 2 ? 1 : 0) << "height " << h;
        EXPECT_EQ(can_slide_to(world, 0, 0, itofix(100), 0), h == 0 ? 1 : 0) << "height " << h;
    }
    set_squares({{0, 9, 0}, {1, -20, 0}});
    EXPECT_EQ(can_move_to(world, 0, 0, itofix(100), 0) + can_slide_to(world, 0, 0, itofix(100), 0), 2);
    EXPECT_EQ(can_slide_to(world, itofix(100), 0, 0, 0), 0);

    set_squares({{0, 0, 0}});
    // Toward nothing: the player may go (and fall), a pushed actor may not.
    EXPECT_EQ(can_move_to(world, 0, 0, itofix(100), 0), 1);
    EXPECT_EQ(can_slide_to(world, 0, 0, itofix(100), 0), 0);
    EXPECT_TRUE(cangoto(world, 0, 0, itofix(100), 0) == 0 && cangoto(world, 0, 0, 0, 0) == 1);
    // From nothing: refused, except that a missing target is answered first.
    EXPECT_EQ(can_move_to(world, itofix(300), 0, 0, 0) + can_slide_to(world, itofix(300), 0, 0, 0), 0);
    EXPECT_EQ(can_move_to(world, itofix(300), 0, itofix(400), 0), 1);
}

