/* datafile_art_test.cpp: the shipped pictures and fonts fit the way the game draws and lights them:
   sprites, the map panel, the light table, the glyphs, the HUD, the cast buttons, the panorama
   and the key card. */
#include <cmath>
#include <set>
#include <string>

#include "datafile_test_support.h"
#include "render_test_support.h"

namespace {

/* Sprites drawn whole with draw_sprite or stretch_sprite: an opaque pixel on the outer row or
   column would show as a straight cut through the explosion or a clipped outline. */
TEST_F(ShippedData, FreeStandingSpritesLeaveTheirOuterPixelsClear)
{
    const int sprites[] = {3, 4, 5, 6, 7, DAT_CURSOR, DAT_TELEPORT_ICON_OFF, DAT_TELEPORT_ICON_ON,
                           DAT_SWEET_ICON, DAT_CLOCK_ICON, DAT_COMPLETED_MARK};
    for (int n : sprites) {
        BITMAP *b = bitmap(n);
        const int clear_inside = count_colour(b, 0, 1, 1, b->w - 2, b->h - 2);
        EXPECT_EQ(count_colour(b, 0) - clear_inside, 2 * b->w + 2 * b->h - 4) << "object " << n << " touches its border";
        EXPECT_LT(count_colour(b, 0), b->w * b->h * 7 / 8) << "object " << n << " is nearly empty";
    }
}

/* The panel draws the frame, the overlay through the translucency table on top of it, then
   a marker for column c, row r at (50 + 7c, H - 70 - 7r) inside the panel, H the panel's
   height. Its right edge may rest up to 5 pixels beyond the screen. */
TEST_F(ShippedData, MapPanelOverlayKeepsOffTheFrameAndCoversAWholeLevel)
{
    BITMAP *frame = bitmap(DAT_MAP_FRAME), *overlay = bitmap(DAT_MAP_OVERLAY);
    ASSERT_EQ(frame->w, overlay->w);
    ASSERT_EQ(frame->h, overlay->h);
    int both = 0;
    for (int y = 0; y < frame->h; y++)
        for (int x = 0; x < frame->w; x++)
            both += getpixel(frame, x, y) != 0 && getpixel(overlay, x, y) != 0;
    EXPECT_EQ(both, 0) << "the overlay would dim the frame's rim";

    const int columns = 20, rows = 12;
    int outside = 0;
    /* The squares' markers cover the rectangle from (50, H - 70 - 7 (rows - 1)) on. */
    for (int y = frame->h - 70 - 7 * (rows - 1); y < frame->h - 63; y++)
        for (int x = 50; x < 50 + 7 * columns; x++)
            outside += !(x < frame->w - 5 && y >= 0 && y < frame->h && getpixel(overlay, x, y) != 0 &&
                         getpixel(frame, x, y) == 0);
    EXPECT_EQ(outside, 0) << "a " << columns << " x " << rows << " level runs off the panel's glass";
}

/* ---- lighting ---------------------------------------------------------------------- */

/* Hue and saturation do not depend on the scale, so the palette's 6-bit channels will do. */
void hue_and_saturation(const RGB &c, float *hue, float *saturation)
{
    float value;
    rgb_to_hsv(c.r, c.g, c.b, hue, saturation, &value);
}

/* The light table darkens every texel toward black; with a palette of hue ramps the darker
   colour must come from the same hue, or lit squares and models shift colour with distance
   and facing. Counted over the light levels that play reaches on near and middle faces. */
TEST_F(ShippedData, DarkeningTexturesThroughTheLightTableKeepsTheirHue)
{
    RGB *palette = (RGB *)data[DAT_GAME_PALETTE].dat;
    /* As at start-up: the colour lookup table exists when the light table is built. */
    static RGB_MAP lookup;
    static COLOR_MAP light;
    create_rgb_table(&lookup, palette, nullptr);
    RGB_MAP *saved = rgb_map;
    rgb_map = &lookup;
    create_light_table(&light, palette, 0, 0, 0, nullptr);
    rgb_map = saved;

    for (int n = DAT_TEXTURE_FIRST; n <= DAT_MODEL_TEXTURE_JAR; n++) {
        BITMAP *b = bitmap(n);
        long coloured = 0, shifted = 0;
        for (int y = 0; y < b->h; y++) {
            for (int x = 0; x < b->w; x++) {
                int c = getpixel(b, x, y);
                float hue, saturation;
                hue_and_saturation(palette[c], &hue, &saturation);
                if (saturation < 0.3f)
                    continue;
                for (int level = 100; level < 255; level += 30) {
                    const RGB &d = palette[light.data[level][c]];
                    float dark_hue, dark_saturation;
                    hue_and_saturation(d, &dark_hue, &dark_saturation);
                    float turn = std::fabs(dark_hue - hue);
                    turn = std::min(turn, 360.0f - turn);
                    coloured++;
                    if (dark_saturation < 0.12f || turn > 30.0f)
                        shifted++;
                }
            }
        }
        EXPECT_LE(shifted * 100, coloured * 6)
            << "object " << n << ": " << shifted << " of " << coloured << " darkened texels change hue";
    }
}

/* ---- fonts and full-screen pictures ---------------------------------------------- */

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
TEST_F(ShippedData, EveryFontHasNinetyFiveDistinctGlyphs)
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
TEST_F(ShippedData, HudTextsFitTheirPlacesAtSixHundredAndFortyColumns)
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
TEST_F(ShippedData, CastButtonsLieOverTheirClickAreas)
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

/* The panorama's last column continues into its first as smoothly as any two neighbours. */
TEST_F(ShippedData, BackdropJoinsItsEndsWithoutASeam)
{
    BITMAP *sky = bitmap(DAT_BACKDROP);
    const RGB *palette = (const RGB *)data[DAT_GAME_PALETTE].dat;
    ASSERT_EQ(sky->w, 1280) << "5 pixels per 1/256 turn wrap the panorama once per full turn";
    EXPECT_GE(sky->h, 480) << "the default screen would show black bands";

    auto step = [&](int xa, int xb) {
        long sum = 0;
        for (int y = 0; y < sky->h; y++) {
            const RGB &a = palette[getpixel(sky, xa, y)], &b = palette[getpixel(sky, xb, y)];
            sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
        }
        return sum / (double)sky->h;
    };
    double typical = 0;
    for (int x = 100; x < 1200; x += 100)
        typical += step(x, x + 1) / 11.0;
    EXPECT_LE(step(sky->w - 1, 0), typical * 2 + 1);
}

/* The card is drawn at x = 10 and rests at the bottom; it must fit the screen below the HUD
   row, and its outside must be transparent so it reads as a card. */
TEST_F(ShippedData, KeyCardFitsThePlayScreenAsAMaskedCard)
{
    BITMAP *card = bitmap(DAT_F1_PANEL);
    EXPECT_TRUE(10 + card->w <= 640 && card->h <= 480 - 50) << card->w << " x " << card->h;
    EXPECT_TRUE(getpixel(card, 0, 0) == 0 && getpixel(card, card->w - 1, card->h - 1) == 0);
    EXPECT_LT(count_colour(card, 0), card->w * card->h * 5 / 100);
}

}  // namespace
