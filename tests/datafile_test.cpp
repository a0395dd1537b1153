/* datafile_test.cpp: the shipped data/pz.dat holds every object the game reads, in the shape it reads it. */
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "datafile_test_support.h"
#include "app/cast_text.h"

namespace {

const int SAMPLE_RATE = 22050;

/* Where the cast screen puts its texts on a 640 x 480 screen: the description starts at
   SCREEN_W / 2 + 90 and the title bar spans 210 pixels. */
const int CAST_DESCRIPTION_ROOM = 640 - (640 / 2 + 90);
const int CAST_TITLE_ROOM = 210;

/* The kinds at each number and the textures' power-of-two sides are checked by the game's own
   loader, in the datafile check tests; here what that check does not look at. */

/* ---- pictures ------------------------------------------------------------------------ */

TEST_F(ShippedData, PicturesFontsAndPalettesHaveTheShapesTheGameDrawsWith)
{
    for (int n = 0; n < DAT_OBJECT_COUNT; n++)
        EXPECT_TRUE(data[n].type != DAT_BITMAP || bitmap_color_depth(bitmap(n)) == 8) << "object " << n;
    for (int n : {DAT_CAST_BACKGROUND, DAT_SELECT_BACKGROUND, DAT_MENU_PICTURE})
        EXPECT_TRUE(bitmap(n)->w == 640 && bitmap(n)->h == 480) << "object " << n;
    for (int n = DAT_TEXTURE_FIRST; n <= DAT_TEXTURE_SIDE; n++)
        EXPECT_EQ(bitmap(n)->w, bitmap(n)->h) << "square texture " << n;
    /* Map squares lie 7 pixels apart: a marker or icon much larger would smear its neighbours,
       much smaller would leave the map in pieces. */
    for (int n = DAT_MAP_MARKER; n <= DAT_MAP_MARKER + 7; n++)
        EXPECT_TRUE(std::min(bitmap(n)->w, bitmap(n)->h) >= 5 && std::max(bitmap(n)->w, bitmap(n)->h) <= 9)
            << "map icon " << n << " is " << bitmap(n)->w << " x " << bitmap(n)->h;

    /* The console's cells are 8 pixels square. */
    FONT *global = font_object(DAT_FONT_GLOBAL);
    EXPECT_EQ(text_height(global), 8);
    for (char glyph[2] = {32, 0}; glyph[0] < 127; glyph[0]++)
        EXPECT_LE(text_length(global, glyph), 8) << "character '" << glyph << "'";

    // The palettes' channels are checked by the game's own loader; black and white stand
    // where the masked sprites and the texts expect them.
    const RGB *game = (const RGB *)data[DAT_GAME_PALETTE].dat;
    EXPECT_TRUE(game[15].r == 63 && game[15].g == 63 && game[15].b == 63) << "white at 15";
    for (int n : {DAT_GAME_PALETTE, DAT_SELECT_PALETTE, DAT_MENU_PALETTE}) {
        const RGB *palette = (const RGB *)data[n].dat;
        EXPECT_TRUE(palette[0].r == 0 && palette[0].g == 0 && palette[0].b == 0) << "black at 0 in " << n;
    }
}

/* ---- the cast text ------------------------------------------------------------------- */

/* The cast screen's reader stops at a line opening with "[", after 30 lines and cuts lines to
   79 characters; each section must come through it whole, and fit its place on the screen. */
TEST_F(ShippedData, CastTextHoldsSevenSectionsInEntryOrderThatFitTheCastScreen)
{
    const char *data_text = (const char *)data[DAT_CAST_TEXT].dat;
    std::string text(data_text, data_text + data[DAT_CAST_TEXT].size);
    EXPECT_EQ(text.find("[CAST7]"), std::string::npos) << "only entries 0 to 6 exist";
    FONT *global = font_object(DAT_FONT_GLOBAL);
    size_t previous = 0;
    for (int entry = 0; entry < 7; entry++) {
        const size_t marker = text.find("[CAST" + std::to_string(entry) + "]");
        EXPECT_TRUE(marker != std::string::npos && marker >= previous) << "section " << entry;
        previous = marker;
        static CastText shown;
        parse_cast_text(data_text, text.size(), entry, &shown);
        EXPECT_TRUE(shown.line_count >= 2 && shown.line_count < CAST_TEXT_LINES)
            << "section " << entry << " needs a title and a description, and must not be cut";
        EXPECT_NE(shown.lines[0][0], '\0') << "section " << entry << " has no title";
        for (int i = 0; i < shown.line_count; i++) {
            EXPECT_LT(std::strlen(shown.lines[i]), CAST_LINE_SIZE - 1u) << "section " << entry << " line " << i << " is cut";
            EXPECT_LE(text_length(global, shown.lines[i]), i == 0 ? CAST_TITLE_ROOM : CAST_DESCRIPTION_ROOM)
                << "section " << entry << " line " << i << " runs off the screen: " << shown.lines[i];
        }
    }
}

/* ---- samples ------------------------------------------------------------------------- */

/* Sample i of s in -1 ... 1. The library keeps samples unsigned, silence at the middle. */
float level(const SAMPLE *s, unsigned long i)
{
    if (s->bits == 16)
        return (((const unsigned short *)s->data)[i] - 32768) / 32768.0f;
    return (((const unsigned char *)s->data)[i] - 128) / 128.0f;
}

float peak(const SAMPLE *s)
{
    float largest = 0.0f;
    for (unsigned long i = 0; i < s->len; i++)
        largest = std::max(largest, std::fabs(level(s, i)));
    return largest;
}

const int effects[] = {DAT_SAMPLE_EXPLOSION, DAT_SAMPLE_STEP, DAT_SAMPLE_COMPLETED, DAT_SAMPLE_PUSH,
                       DAT_SAMPLE_BEEP, DAT_SAMPLE_CLICK, DAT_SAMPLE_BLOCKED, DAT_SAMPLE_SWEET};
const int music[] = {DAT_MUSIC_FIRST, DAT_MUSIC_FIRST + 1, DAT_MUSIC_FIRST + 2};

/* 16-bit mono at the one rate; looping plays from loop_start to loop_end: the whole sample. */
void expect_format(const SAMPLE *s, int n)
{
    EXPECT_TRUE(s->bits == 16 && s->stereo == 0 && s->freq == SAMPLE_RATE) << "sample " << n;
    EXPECT_TRUE(s->loop_start == 0 && s->loop_end == s->len) << "sample " << n;
}

TEST_F(ShippedData, EffectsAreShortLoudAndStartAndEndInSilence)
{
    for (int n : effects) {
        const SAMPLE *s = sample(n);
        expect_format(s, n);
        ASSERT_TRUE(s->len > 0 && s->len < 3u * SAMPLE_RATE) << "sample " << n;
        EXPECT_GE(peak(s), 0.7f) << "sample " << n;
        /* A sample that starts or stops away from silence clicks. */
        EXPECT_TRUE(std::fabs(level(s, 0)) < 0.01f && std::fabs(level(s, s->len - 1)) < 0.01f) << "sample " << n;
    }
}

TEST_F(ShippedData, MusicLoopsLastTwentyToSixtySecondsAndJoinWithoutAClick)
{
    float quietest_effect = 1.0f;
    for (int n : effects)
        quietest_effect = std::min(quietest_effect, peak(sample(n)));

    for (int n : music) {
        const SAMPLE *s = sample(n);
        expect_format(s, n);
        ASSERT_TRUE(s->len >= 20u * SAMPLE_RATE && s->len <= 60u * SAMPLE_RATE) << "music " << n;

        /* The jump from the last sample back to the first must look like any step inside the
           loop: no larger than the 99th percentile of the steps between neighbours. */
        std::vector<float> steps(s->len - 1);
        for (unsigned long i = 0; i + 1 < s->len; i++)
            steps[i] = std::fabs(level(s, i + 1) - level(s, i));
        std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
        EXPECT_LE(std::fabs(level(s, 0) - level(s, s->len - 1)), steps[steps.size() * 99 / 100])
            << "music " << n << " clicks at its loop point";

        float loudest = peak(s);
        EXPECT_GT(loudest, 0.2f) << "music " << n << " is nearly silent";
        EXPECT_LT(loudest, quietest_effect) << "music " << n << " is louder than an effect";
    }
}

}  // namespace
