/* world_grid_test.cpp: squares under world points, stepping and sliding heights, view quadrants. */
#include <gtest/gtest.h>

#include "world/tile_grid.h"

namespace {

void set_squares(std::initializer_list<MapTile> tiles)
{
    level_map.tile_count = 0;
    for (const MapTile &t : tiles) {
        level_map.tiles[level_map.tile_count] = t;
        level_map.tiles[level_map.tile_count].serial = level_map.tile_count + 1;
        level_map.tile_count++;
    }
}

MapTile at(int x, int height, int z)
{
    MapTile t{};
    t.x = x;
    t.height = height;
    t.z = z;
    return t;
}

int column_of(double world_x)
{
    MapTile *t = tile_at(ftofix(world_x), 0);
    return t ? t->x : -1;
}

} // namespace

TEST(TileGrid, PointsRoundToTheNearestCentreUpward)
{
    set_squares({at(0, 0, 0), at(1, 0, 0), at(2, 0, 0)});
    EXPECT_EQ(column_of(49.99), 0);
    EXPECT_EQ(column_of(50.0), 1);
    EXPECT_EQ(column_of(149.99), 1);
    EXPECT_EQ(column_of(150.0), 2);
    EXPECT_EQ(column_of(-49.99), 0);
    // Truncation toward zero: even x = -100 falls on column 0.
    EXPECT_EQ(column_of(-100.0), 0);
    EXPECT_EQ(column_of(-149.99), 0);
    EXPECT_EQ(column_of(-150.0), -1);
    EXPECT_EQ(tile_serial_at(itofix(200), 0), 3);
    EXPECT_EQ(tile_serial_at(itofix(300), 0), -1);
    EXPECT_EQ(tile_serial_at(0, itofix(100)), -1);
}

TEST(TileGrid, NegativeColumnsAreMissedAtTheirCentre)
{
    // The centre of column -1 maps to column 0; only points past -150, which no move of the game
    // reaches from column 0, would find it.
    set_squares({at(-1, 0, 0)});
    EXPECT_EQ(tile_at(itofix(-100), 0), nullptr);
    EXPECT_EQ(tile_at(0, itofix(-100)), nullptr);
}

TEST(TileGrid, TheFirstOfTwoSquaresOnOnePlaceWins)
{
    set_squares({at(0, 0, 0), at(1, 4, 0), at(1, 9, 0)});
    EXPECT_EQ(tile_serial_at(itofix(100), 0), 2);
    // The renderer reorders the list; the query follows the current order.
    std::swap(level_map.tiles[1], level_map.tiles[2]);
    EXPECT_EQ(tile_serial_at(itofix(100), 0), 3);
}

TEST(TileGrid, StepsClimbTwoLevelsAndDropAnyNumber)
{
    for (int h = 0; h <= 3; h++) {
        set_squares({at(0, 0, 0), at(1, h, 0)});
        EXPECT_EQ(can_move_to(0, 0, itofix(100), 0), h <= 2 ? 1 : 0) << "height " << h;
        EXPECT_EQ(can_slide_to(0, 0, itofix(100), 0), h == 0 ? 1 : 0) << "height " << h;
    }
    set_squares({at(0, 9, 0), at(1, -20, 0)});
    EXPECT_EQ(can_move_to(0, 0, itofix(100), 0), 1);
    EXPECT_EQ(can_slide_to(0, 0, itofix(100), 0), 1);
    EXPECT_EQ(can_slide_to(itofix(100), 0, 0, 0), 0);
}

TEST(TileGrid, MissingSquaresAtEitherEnd)
{
    set_squares({at(0, 0, 0)});
    // Toward nothing: the player may go (and fall), a pushed actor may not.
    EXPECT_EQ(can_move_to(0, 0, itofix(100), 0), 1);
    EXPECT_EQ(can_slide_to(0, 0, itofix(100), 0), 0);
    EXPECT_EQ(cangoto(0, 0, itofix(100), 0), 0);
    EXPECT_EQ(cangoto(0, 0, 0, 0), 1);
    // From nothing: refused, except that a missing target is answered first.
    EXPECT_EQ(can_move_to(itofix(300), 0, 0, 0), 0);
    EXPECT_EQ(can_slide_to(itofix(300), 0, 0, 0), 0);
    EXPECT_EQ(can_move_to(itofix(300), 0, itofix(400), 0), 1);
}

TEST(TileGrid, ViewQuadrantOfAHeading)
{
    int column = 0, row = 0;
    struct { int heading, quadrant; } cases[] = {
        {-31, 0}, {0, 0}, {31, 0}, {32, 1}, {95, 1}, {96, 2}, {159, 2},
        {160, 3}, {223, 3}, {224, 0}, {-32, 3}, {-96, 2}, {512, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(view_quadrant_and_tile(itofix(c.heading), 0, 0, &column, &row), c.quadrant)
            << "heading " << c.heading;
    view_quadrant_and_tile(0, ftofix(349.6), ftofix(-120.0), &column, &row);
    EXPECT_EQ(column, 4);   // 350 after rounding to whole units
    EXPECT_EQ(row, 0);      // -70 / 100 truncates to 0
}
