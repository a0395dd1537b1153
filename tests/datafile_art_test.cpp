/* datafile_art_test.cpp: the shipped pictures fit the way the game draws and lights them. */
#include <gtest/gtest.h>

#include <allegro.h>
#include <algorithm>
#include <cmath>

#include "datafile_test_support.h"

namespace {

class ShippedArt : public ShippedData {};

/* Sprites drawn whole with draw_sprite or stretch_sprite: an opaque pixel on the outer row or
   column would show as a straight cut through the explosion or a clipped outline. */
TEST_F(ShippedArt, FreeStandingSpritesLeaveTheirOuterPixelsClear)
{
    const int sprites[] = {3, 4, 5, 6, 7, DAT_CURSOR, DAT_TELEPORT_ICON_OFF, DAT_TELEPORT_ICON_ON,
                           DAT_SWEET_ICON, DAT_CLOCK_ICON, DAT_COMPLETED_MARK};
    for (int n : sprites) {
        BITMAP *b = bitmap(n);
        int opaque = 0, edge = 0;
        for (int y = 0; y < b->h; y++) {
            for (int x = 0; x < b->w; x++) {
                if (getpixel(b, x, y) == 0)
                    continue;
                opaque++;
                if (x == 0 || y == 0 || x == b->w - 1 || y == b->h - 1)
                    edge++;
            }
        }
        EXPECT_EQ(edge, 0) << "object " << n << " touches its border";
        EXPECT_GT(opaque, b->w * b->h / 8) << "object " << n << " is nearly empty";
    }
}

/* The panel draws the frame, the overlay through the translucency table on top of it, then
   a marker for column c, row r at (50 + 7c, H - 70 - 7r) inside the panel, H the panel's
   height. Its right edge may rest up to 5 pixels beyond the screen. */
TEST_F(ShippedArt, MapPanelOverlayKeepsOffTheFrameAndCoversAWholeLevel)
{
    BITMAP *frame = bitmap(DAT_MAP_FRAME), *overlay = bitmap(DAT_MAP_OVERLAY);
    ASSERT_EQ(frame->w, overlay->w);
    ASSERT_EQ(frame->h, overlay->h);
    int both = 0;
    for (int y = 0; y < frame->h; y++)
        for (int x = 0; x < frame->w; x++)
            if (getpixel(frame, x, y) != 0 && getpixel(overlay, x, y) != 0)
                both++;
    EXPECT_EQ(both, 0) << "the overlay would dim the frame's rim";

    const int columns = 20, rows = 12;
    int outside = 0;
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < columns; c++) {
            int left = 50 + 7 * c, top = frame->h - 70 - 7 * r;
            for (int y = top; y < top + 7; y++) {
                for (int x = left; x < left + 7; x++) {
                    bool glass = x >= 0 && y >= 0 && x < frame->w - 5 && y < frame->h &&
                                 getpixel(overlay, x, y) != 0 && getpixel(frame, x, y) == 0;
                    if (!glass)
                        outside++;
                }
            }
        }
    }
    EXPECT_EQ(outside, 0) << "a " << columns << " x " << rows << " level runs off the panel's glass";
}

/* ---- lighting ---------------------------------------------------------------------- */

void hue_and_saturation(int r, int g, int b, float *hue, float *saturation)
{
    int top = std::max(r, std::max(g, b)), low = std::min(r, std::min(g, b));
    *saturation = top > 0 ? (top - low) / (float)top : 0.0f;
    if (top == low) {
        *hue = 0.0f;
        return;
    }
    float span = (float)(top - low);
    if (top == r)
        *hue = 60.0f * std::fmod((g - b) / span + 6.0f, 6.0f);
    else if (top == g)
        *hue = 60.0f * ((b - r) / span + 2.0f);
    else
        *hue = 60.0f * ((r - g) / span + 4.0f);
}

/* The light table darkens every texel toward black; with a palette of hue ramps the darker
   colour must come from the same hue, or lit squares and models shift colour with distance
   and facing. Counted over the light levels that play reaches on near and middle faces. */
TEST_F(ShippedArt, DarkeningTexturesThroughTheLightTableKeepsTheirHue)
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
                hue_and_saturation(palette[c].r, palette[c].g, palette[c].b, &hue, &saturation);
                if (saturation < 0.3f)
                    continue;
                for (int level = 100; level < 255; level += 30) {
                    const RGB &d = palette[light.data[level][c]];
                    float dark_hue, dark_saturation;
                    hue_and_saturation(d.r, d.g, d.b, &dark_hue, &dark_saturation);
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

}  // namespace
