/* datafile_screens_test.cpp: the shipped fonts, full-screen pictures and F1 card fit the way the game draws them. */
#include <gtest/gtest.h>

#include <allegro.h>
#include <set>
#include <string>

#include "datafile_test_support.h"

namespace {

class ShippedScreens : public ShippedData {};

/* The pixels a character sets, as a string of 0 and 1 over its cell. */
std::string glyph_pixels(FONT *f, int c)
{
    char text[2] = {(char)c, 0};
    int w = text_length(f, text), h = text_height(f);
    BITMAP *cell = create_bitmap_ex(8, w > 0 ? w : 1, h);
    clear_to_color(cell, 0);
    textout_ex(cell, f, text, 0, 0, 1, -1);
    std::string pixels;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            pixels += getpixel(cell, x, y) ? '1' : '0';
    destroy_bitmap(cell);
    return pixels;
}

/* A grid that the importer cut at the wrong place shows as blank or repeated glyphs. */
TEST_F(ShippedScreens, EveryFontHasNinetyFiveDistinctGlyphs)
{
    for (int n : {DAT_FONT_GLOBAL, DAT_FONT_LARGE, DAT_FONT_SMALL}) {
        FONT *f = font_object(n);
        std::set<std::string> seen;
        EXPECT_EQ(glyph_pixels(f, ' ').find('1'), std::string::npos) << "font " << n << ": blank";
        for (int c = 33; c < 127; c++) {
            std::string pixels = glyph_pixels(f, c);
            EXPECT_NE(pixels.find('1'), std::string::npos) << "font " << n << ": '" << (char)c << "' is empty";
            EXPECT_TRUE(seen.insert(pixels).second) << "font " << n << ": '" << (char)c << "' repeats a glyph";
        }
    }
    EXPECT_EQ(text_height(font_object(DAT_FONT_SMALL)), 7);
}

/* The HUD draws the sweets counter right of the sweet icon and left of the teleport icon at
   x = 90, and the clock at SCREEN_W - 90; the level title is centred on the screen. */
TEST_F(ShippedScreens, HudTextsFitTheirPlacesAtSixHundredAndFortyColumns)
{
    FONT *hud = font_object(DAT_FONT_LARGE);
    int counter_x = bitmap(DAT_SWEET_ICON)->w + 20;
    EXPECT_LE(counter_x + text_length(hud, "88/88"), 90) << "the counter runs into the teleport icon";
    EXPECT_LE(640 - 90 + text_length(hud, "88:88"), 640);

    /* Equal digits keep the clock from wobbling as it counts down. */
    int digit = text_length(hud, "0");
    for (char c = '1'; c <= '9'; c++) {
        char text[2] = {c, 0};
        EXPECT_EQ(text_length(hud, text), digit) << "digit " << c;
    }

    std::string title = " Level 21: " + std::string(38, 'e') + " ";
    EXPECT_LE(text_length(hud, title.c_str()), 640);
    EXPECT_GE(text_height(hud), 12) << "the HUD font should stand out from the global one";
}

/* The edge of each button lies on the edge of its click area: a few pixels inside and a few
   outside differ along most of each side. */
TEST_F(ShippedScreens, CastButtonsLieOverTheirClickAreas)
{
    BITMAP *b = bitmap(DAT_CAST_BACKGROUND);
    const int areas[3][2] = {{64, 144}, {155, 235}, {245, 325}};
    const int y0 = 125, y1 = 150;
    for (const auto &area : areas) {
        int x0 = area[0], x1 = area[1];
        int vertical = 0, horizontal = 0;
        for (int y = y0 + 6; y <= y1 - 6; y++) {
            vertical += getpixel(b, x0 - 2, y) != getpixel(b, x0 + 2, y);
            vertical += getpixel(b, x1 + 2, y) != getpixel(b, x1 - 2, y);
        }
        for (int x = x0 + 8; x <= x1 - 8; x++) {
            horizontal += getpixel(b, x, y0 - 2) != getpixel(b, x, y0 + 2);
            horizontal += getpixel(b, x, y1 + 2) != getpixel(b, x, y1 - 2);
        }
        EXPECT_GE(vertical, 2 * (y1 - y0 - 11) * 8 / 10) << "button at x " << x0;
        EXPECT_GE(horizontal, 2 * (x1 - x0 - 15) * 8 / 10) << "button at x " << x0;
    }
}

int colour_distance(const RGB &a, const RGB &b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

/* The panorama's last column continues into its first as smoothly as any two neighbours. */
TEST_F(ShippedScreens, BackdropJoinsItsEndsWithoutASeam)
{
    BITMAP *sky = bitmap(DAT_BACKDROP);
    const RGB *palette = (const RGB *)data[DAT_GAME_PALETTE].dat;
    ASSERT_EQ(sky->w, 1280) << "5 pixels per 1/256 turn wrap the panorama once per full turn";
    EXPECT_GE(sky->h, 480) << "the default screen would show black bands";

    auto step = [&](int xa, int xb) {
        long sum = 0;
        for (int y = 0; y < sky->h; y++)
            sum += colour_distance(palette[getpixel(sky, xa, y)], palette[getpixel(sky, xb, y)]);
        return sum / (double)sky->h;
    };
    double typical = 0;
    for (int x = 100; x < 1200; x += 100)
        typical += step(x, x + 1) / 11.0;
    EXPECT_LE(step(sky->w - 1, 0), typical * 2 + 1);
}

/* The card is drawn at x = 10 and rests at the bottom; it must fit the screen below the HUD
   row, and its outside must be transparent so it reads as a card. */
TEST_F(ShippedScreens, KeyCardFitsThePlayScreenAsAMaskedCard)
{
    BITMAP *card = bitmap(DAT_F1_PANEL);
    EXPECT_LE(10 + card->w, 640);
    EXPECT_LE(card->h, 480 - 50);
    EXPECT_EQ(getpixel(card, 0, 0), 0);
    EXPECT_EQ(getpixel(card, card->w - 1, card->h - 1), 0);
    int opaque = 0;
    for (int y = 0; y < card->h; y++)
        for (int x = 0; x < card->w; x++)
            opaque += getpixel(card, x, y) != 0;
    EXPECT_GT(opaque, card->w * card->h * 95 / 100);
}

}  // namespace
