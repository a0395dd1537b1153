/* named_colours_test.cpp: every colour the game asks for by value is in all three palettes. */
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "datafile_test_support.h"

namespace {

/* A colour the sources ask makecol (or its remembering form) for, and where. */
struct AskedColour {
    int rgb[3];
    std::string place;   /* file:line, for the failure message */
};

/* Every makecol call with three literal channels under src/. The list is read from the sources
   so that a colour added to a screen is checked the day it is added; a hand-kept copy of the
   list had already fallen a dozen colours behind the code. */
std::vector<AskedColour> colours_asked_in_sources()
{
    namespace fs = std::filesystem;
    const std::regex call(R"(makecol\(\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*\))");
    std::vector<AskedColour> found;
    for (const auto &entry : fs::recursive_directory_iterator(fs::path(TIRVEX_SOURCE_DIR) / "src")) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
            continue;
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); number++) {
            for (std::sregex_iterator m(line.begin(), line.end(), call), end; m != end; ++m) {
                AskedColour c;
                for (int k = 0; k < 3; k++)
                    c.rgb[k] = std::stoi((*m)[k + 1].str());
                c.place = entry.path().lexically_relative(TIRVEX_SOURCE_DIR).string() + ":" +
                          std::to_string(number);
                found.push_back(c);
            }
        }
    }
    return found;
}

/* Colours the screens asked for once the palette's sixteen named entries were taken: makecol
   gives the nearest shade of a ramp, which is visibly off (the records panel's sky comes out
   teal, the hint arrow's yellow pale). Listed so that the rest stay checked until the palette
   makes room for them; a listed colour that comes out right fails the test, so the list can only
   shrink. */
const int KNOWN_OFF[][3] = {
    {255, 60, 40}, {20, 40, 20}, {10, 20, 70}, {230, 130, 30}, {120, 200, 255},
    {255, 230, 90}, {255, 90, 90}, {255, 230, 40}, {60, 40, 0},
};

bool known_off(const int *rgb)
{
    for (const auto &c : KNOWN_OFF)
        if (c[0] == rgb[0] && c[1] == rgb[1] && c[2] == rgb[2])
            return true;
    return false;
}

/* The largest channel difference between two colours, 8 bits per channel. */
int colour_distance(const int *a, const int *b)
{
    int worst = 0;
    for (int k = 0; k < 3; k++)
        worst = std::max(worst, std::abs(a[k] - b[k]));
    return worst;
}

} // namespace

class NamedColours : public ShippedData {};

TEST_F(NamedColours, MakecolFindsEachOneWithinEightLevelsInEveryPalette)
{
    std::vector<AskedColour> colours = colours_asked_in_sources();
    /* The screens, the HUD and the flat faces ask for some thirty by value: far fewer means the
       scan lost its way, not that the game stopped asking. */
    ASSERT_GE(colours.size(), 30u) << "makecol calls found under " TIRVEX_SOURCE_DIR "/src";
    for (const auto &off : KNOWN_OFF)
        EXPECT_TRUE(std::any_of(colours.begin(), colours.end(), [&](const AskedColour &a) {
            return colour_distance(a.rgb, off) == 0;
        })) << "(" << off[0] << "," << off[1] << "," << off[2] << ") is no longer asked for: take it off KNOWN_OFF";
    /* The flat shading asks for greys worked out per face, from half the light up to white. */
    for (int g : {128, 192, 255})
        colours.push_back({{g, g, g}, "src/render/polygon_drawing.cpp (flat shading grey)"});

    // makecol goes through the table built from the game palette, as at start-up; the index it
    // gives must show the same colour under the level select and menu palettes, and that colour
    // must be the one asked for.
    RGB_MAP lookup;
    create_rgb_table(&lookup, (RGB *)data[DAT_GAME_PALETTE].dat, nullptr);
    for (const AskedColour &asked : colours) {
        const int *c = asked.rgb;
        const int index = lookup.data[c[0] >> 3][c[1] >> 3][c[2] >> 3];
        int in_game[3] = {0, 0, 0};
        for (int object : {DAT_GAME_PALETTE, DAT_SELECT_PALETTE, DAT_MENU_PALETTE}) {
            const RGB *palette = (const RGB *)data[object].dat;
            const int shown[3] = {palette[index].r * 255 / 63, palette[index].g * 255 / 63,
                                  palette[index].b * 255 / 63};
            if (object == DAT_GAME_PALETTE)
                std::copy(shown, shown + 3, in_game);
            const auto seen = [&] {
                return asked.place + ": palette " + std::to_string(object) + ", colour (" +
                       std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]) +
                       ") comes out as (" + std::to_string(shown[0]) + "," + std::to_string(shown[1]) +
                       "," + std::to_string(shown[2]) + ")";
            };
            EXPECT_LE(colour_distance(shown, in_game), 8) << seen() << ", unlike in the game palette";
            if (known_off(c))
                EXPECT_GT(colour_distance(shown, c), 8) << seen() << ": take it off KNOWN_OFF";
            else
                EXPECT_LE(colour_distance(shown, c), 8) << seen();
        }
    }
}
