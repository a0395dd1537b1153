/* named_colours_test.cpp: every colour the game asks for by value is in all three palettes. */
#include <gtest/gtest.h>

#include <cstdlib>

#include "datafile_test_support.h"

class NamedColours : public ShippedData {};

TEST_F(NamedColours, MakecolFindsEachOneWithinEightLevelsInEveryPalette)
{
    // makecol goes through the table built from the game palette, as at start-up; the index it
    // gives must show the same colour under the level select and menu palettes.
    RGB_MAP lookup;
    create_rgb_table(&lookup, (RGB *)data[DAT_GAME_PALETTE].dat, nullptr);
    const int colours[][3] = {
        {0, 255, 0}, {255, 0, 0}, {100, 255, 100}, {50, 255, 50}, {50, 255, 255},
        {200, 200, 255}, {50, 200, 50}, {0, 100, 100}, {0, 0, 255}, {0, 0, 128},
        {0, 128, 0}, {0, 0, 100}, {20, 20, 20}, {0, 0, 0}, {255, 255, 255},
        {128, 128, 128}, {192, 192, 192},
    };
    for (int object : {DAT_GAME_PALETTE, DAT_SELECT_PALETTE, DAT_MENU_PALETTE}) {
        const RGB *palette = (const RGB *)data[object].dat;
        for (const auto &c : colours) {
            const int index = lookup.data[c[0] >> 3][c[1] >> 3][c[2] >> 3];
            const int shown[3] = {palette[index].r * 255 / 63, palette[index].g * 255 / 63,
                                  palette[index].b * 255 / 63};
            for (int k = 0; k < 3; k++)
                EXPECT_LE(std::abs(shown[k] - c[k]), 8)
                    << "palette " << object << ", colour (" << c[0] << "," << c[1] << "," << c[2]
                    << ") comes out as (" << shown[0] << "," << shown[1] << "," << shown[2] << ")";
        }
    }
}
