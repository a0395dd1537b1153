/* world_grid_test.cpp: squares under world points, stepping and sliding heights, view quadrants. */
#include <gtest/gtest.h>

#include <array>

#include "world/tile_grid.h"

namespace {

/* The level's squares become these (column, height, row) triples, serials in order. */
void set_squares(std::initializer_list<std::array<int, 3>> tiles)
{
    level_map.tile_count = 0;
    for (const auto &t : tiles) {
        MapTile &tile = level_map.tiles[level_map.tile_count++];
        tile = MapTile{};
        tile.x = t[0], tile.height = t[1], tile.z = t[2];
        tile.serial = level_map.tile_count;
    }
}

} // namespace

TEST(TileGrid, PointsTruncateTowardZeroAfterAddingHalfASquare)
{
    set_squares({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    // Even x = -100 falls on column 0; the centre of a column -1 is never found.
    const struct { double x; int column; } points[] = {
        {49.99, 0}, {50.0, 1}, {149.99, 1}, {150.0, 2}, {-49.99, 0}, {-100.0, 0}, {-149.99, 0},
        {-150.0, -1}, {300.0, -1},
    };
    for (const auto &p : points) {
        MapTile *t = tile_at(ftofix(p.x), 0);
        EXPECT_EQ(t ? t->x : -1, p.column) << p.x;
    }
    EXPECT_EQ(tile_serial_at(itofix(200), 0), 3);
    EXPECT_EQ(tile_serial_at(0, itofix(100)), -1);
    set_squares({{-1, 0, 0}});
    EXPECT_TRUE(tile_at(itofix(-100), 0) == nullptr && tile_at(0, itofix(-100)) == nullptr);

    // Of two squares on one place the first in the current order wins; the renderer reorders.
    set_squares({{0, 0, 0}, {1, 4, 0}, {1, 9, 0}});
    EXPECT_EQ(tile_serial_at(itofix(100), 0), 2);
    std::swap(level_map.tiles[1], level_map.tiles[2]);
    EXPECT_EQ(tile_serial_at(itofix(100), 0), 3);
}

TEST(TileGrid, StepsClimbTwoLevelsSlidesNoneAndBothDropAnyNumber)
{
    for (int h = 0; h <= 3; h++) {
        set_squares({{0, 0, 0}, {1, h, 0}});
        EXPECT_EQ(can_move_to(0, 0, itofix(100), 0), h <= 2 ? 1 : 0) << "height " << h;
        EXPECT_EQ(can_slide_to(0, 0, itofix(100), 0), h == 0 ? 1 : 0) << "height " << h;
    }
    set_squares({{0, 9, 0}, {1, -20, 0}});
    EXPECT_EQ(can_move_to(0, 0, itofix(100), 0) + can_slide_to(0, 0, itofix(100), 0), 2);
    EXPECT_EQ(can_slide_to(itofix(100), 0, 0, 0), 0);

    set_squares({{0, 0, 0}});
    // Toward nothing: the player may go (and fall), a pushed actor may not.
    EXPECT_EQ(can_move_to(0, 0, itofix(100), 0), 1);
    EXPECT_EQ(can_slide_to(0, 0, itofix(100), 0), 0);
    EXPECT_TRUE(cangoto(0, 0, itofix(100), 0) == 0 && cangoto(0, 0, 0, 0) == 1);
    // From nothing: refused, except that a missing target is answered first.
    EXPECT_EQ(can_move_to(itofix(300), 0, 0, 0) + can_slide_to(itofix(300), 0, 0, 0), 0);
    EXPECT_EQ(can_move_to(itofix(300), 0, itofix(400), 0), 1);
}

TEST(TileGrid, ViewQuadrantOfAHeading)
{
    int column = 0, row = 0;
    const int cases[][2] = {{-31, 0}, {0, 0},   {31, 0},  {32, 1},  {95, 1},   {96, 2},  {159, 2},
                            {160, 3}, {223, 3}, {224, 0}, {-32, 3}, {-96, 2}, {512, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(view_quadrant_and_tile(itofix(c[0]), 0, 0, &column, &row), c[1]) << "heading " << c[0];
    view_quadrant_and_tile(0, ftofix(349.6), ftofix(-120.0), &column, &row);
    EXPECT_EQ(column, 4);   // 350 after rounding to whole units
    EXPECT_EQ(row, 0);      // -70 / 100 truncates to 0
}
