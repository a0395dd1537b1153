/* datafile_test.cpp: the shipped data/pz.dat holds every object the game reads, in the shape it reads it. */
#include <gtest/gtest.h>

#include <allegro.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "datafile_test_support.h"

namespace {

const int SAMPLE_RATE = 22050;

/* The object the dat tool appends with its own settings; not one of the game's. */
const int DAT_TOOL_INFO = DAT_ID('i', 'n', 'f', 'o');

/* Where the cast screen puts its texts on a 640 x 480 screen: the description starts at
   SCREEN_W / 2 + 90 and the title bar spans 210 pixels. */
const int CAST_SCREEN_W = 640;
const int CAST_DESCRIPTION_ROOM = CAST_SCREEN_W - (CAST_SCREEN_W / 2 + 90);
const int CAST_TITLE_ROOM = 210;
const int CAST_LINES = 30, CAST_LINE_CHARS = 79;

class ShippedDatafile : public ShippedData {};

/* ---- kinds --------------------------------------------------------------------------- */

/* The kind the game expects at each number; 0 where the number is only a place holder. */
int expected_kind(int n)
{
    switch (n) {
    case DAT_FONT_GLOBAL: case DAT_FONT_LARGE: case DAT_FONT_SMALL:
        return DAT_FONT;
    case DAT_GAME_PALETTE: case DAT_SELECT_PALETTE: case DAT_MENU_PALETTE:
        return DAT_PALETTE;
    case DAT_SAMPLE_EXPLOSION: case DAT_SAMPLE_STEP: case DAT_SAMPLE_COMPLETED:
    case DAT_MUSIC_FIRST: case DAT_MUSIC_FIRST + 1: case DAT_MUSIC_FIRST + 2:
    case DAT_SAMPLE_PUSH: case DAT_SAMPLE_BEEP: case DAT_SAMPLE_CLICK:
    case DAT_SAMPLE_BLOCKED: case DAT_SAMPLE_SWEET:
        return DAT_SAMPLE;
    case DAT_CAST_TEXT:
        return DAT_DATA;
    case 0: case 9: case 12: case 29: case 33: case 42: case 59: case 60:
        return 0;
    default:
        return DAT_BITMAP;
    }
}

TEST_F(ShippedDatafile, HoldsEveryObjectAtItsNumberWithItsKind)
{
    /* The dat tool may append its own info object; it must not shift the numbering. */
    int objects = count;
    while (objects > 0 && data[objects - 1].type == DAT_TOOL_INFO)
        objects--;
    ASSERT_EQ(objects, DAT_OBJECT_COUNT);
    for (int n = 0; n < DAT_OBJECT_COUNT; n++) {
        EXPECT_NE(data[n].dat, nullptr) << "object " << n;
        if (expected_kind(n)) {
            EXPECT_EQ(data[n].type, expected_kind(n)) << "object " << n;
        }
    }
}

/* ---- pictures ------------------------------------------------------------------------ */

bool power_of_two(int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

TEST_F(ShippedDatafile, PicturesAreEightBitAtTheSizesTheGameDrawsThem)
{
    for (int n = 0; n < DAT_OBJECT_COUNT; n++) {
        if (data[n].type == DAT_BITMAP) {
            EXPECT_EQ(bitmap_color_depth(bitmap(n)), 8) << "object " << n;
        }
    }

    for (int n : {DAT_CAST_BACKGROUND, DAT_SELECT_BACKGROUND, DAT_MENU_PICTURE}) {
        EXPECT_EQ(bitmap(n)->w, 640) << "object " << n;
        EXPECT_EQ(bitmap(n)->h, 480) << "object " << n;
    }
    /* 5 pixels per 1/256 turn: the panorama wraps once per full turn. */
    EXPECT_EQ(bitmap(DAT_BACKDROP)->w, 1280);

    /* The texture mappers wrap coordinates by masking, which needs power-of-two sides. */
    for (int n = DAT_TEXTURE_FIRST; n <= DAT_MODEL_TEXTURE_JAR; n++) {
        EXPECT_TRUE(power_of_two(bitmap(n)->w)) << "object " << n << " width " << bitmap(n)->w;
        EXPECT_TRUE(power_of_two(bitmap(n)->h)) << "object " << n << " height " << bitmap(n)->h;
    }
    for (int n = DAT_TEXTURE_FIRST; n <= DAT_TEXTURE_SIDE; n++)
        EXPECT_EQ(bitmap(n)->w, bitmap(n)->h) << "square texture " << n;

    /* Map squares lie 7 pixels apart: a marker or icon much larger would smear its neighbours,
       much smaller would leave the map in pieces. */
    for (int n = DAT_MAP_MARKER; n <= DAT_MAP_MARKER + 7; n++) {
        EXPECT_GE(bitmap(n)->w, 5) << "map icon " << n;
        EXPECT_LE(bitmap(n)->w, 9) << "map icon " << n;
        EXPECT_GE(bitmap(n)->h, 5) << "map icon " << n;
        EXPECT_LE(bitmap(n)->h, 9) << "map icon " << n;
    }

    /* The overlay is laid over the frame, and the slide uses either one's width. */
    EXPECT_EQ(bitmap(DAT_MAP_OVERLAY)->w, bitmap(DAT_MAP_FRAME)->w);
    EXPECT_EQ(bitmap(DAT_MAP_OVERLAY)->h, bitmap(DAT_MAP_FRAME)->h);
}

/* ---- fonts and palettes -------------------------------------------------------------- */

TEST_F(ShippedDatafile, GlobalFontFitsTheConsoleCell)
{
    FONT *global = font_object(DAT_FONT_GLOBAL);
    EXPECT_EQ(text_height(global), 8);
    for (int c = 32; c < 127; c++) {
        char glyph[2] = {(char)c, 0};
        EXPECT_LE(text_length(global, glyph), 8) << "character '" << glyph << "'";
    }
}

TEST_F(ShippedDatafile, PalettesKeepBlackAtZeroWhiteAtFifteenAndStayInRange)
{
    const RGB *game = (const RGB *)data[DAT_GAME_PALETTE].dat;
    EXPECT_TRUE(game[15].r == 63 && game[15].g == 63 && game[15].b == 63) << "white at 15";
    for (int n : {DAT_GAME_PALETTE, DAT_SELECT_PALETTE, DAT_MENU_PALETTE}) {
        const RGB *palette = (const RGB *)data[n].dat;
        EXPECT_TRUE(palette[0].r == 0 && palette[0].g == 0 && palette[0].b == 0) << "palette " << n;
        /* The library's palettes hold 6-bit channels; larger values wrap into wrong colours. */
        for (int i = 0; i < 256; i++)
            EXPECT_TRUE(palette[i].r < 64 && palette[i].g < 64 && palette[i].b < 64)
                << "palette " << n << " entry " << i;
    }
}

/* ---- the cast text ------------------------------------------------------------------- */

/* Reads one section the way the cast screen does: find the marker, skip one CR and one LF,
   take lines until a "[", the end of the object or the 30th line. Lines are kept whole, so
   overlong ones show up. Returns false when the marker is missing; else sets where the
   marker stands and where reading stopped. */
bool read_cast_section(const char *text, long size, int entry, std::vector<std::string> &lines,
                       long *marker_at, long *stop_at)
{
    char marker[16];
    std::snprintf(marker, sizeof marker, "[CAST%d]", entry);
    long length = (long)std::strlen(marker), p = -1;
    for (long i = 0; i + length <= size && p < 0; i++)
        if (std::memcmp(text + i, marker, length) == 0)
            p = i;
    lines.clear();
    if (p < 0)
        return false;
    *marker_at = p;
    p += length;
    if (p < size && text[p] == '\r')
        p++;
    if (p < size && text[p] == '\n')
        p++;
    while (p < size && text[p] != '[' && (int)lines.size() < CAST_LINES) {
        long end = p;
        while (end < size && text[end] != '\r' && text[end] != '\n')
            end++;
        lines.emplace_back(text + p, text + end);
        p = end;
        if (p < size && text[p] == '\r')
            p++;
        if (p < size && text[p] == '\n')
            p++;
    }
    *stop_at = p;
    return true;
}

TEST_F(ShippedDatafile, CastTextHoldsSevenSectionsInEntryOrderThatFitTheCastScreen)
{
    const char *text = (const char *)data[DAT_CAST_TEXT].dat;
    long size = data[DAT_CAST_TEXT].size;
    FONT *global = font_object(DAT_FONT_GLOBAL);
    std::vector<std::string> sections[8];
    long marker[8] = {}, stop[8] = {};
    for (int entry = 0; entry < 7; entry++) {
        ASSERT_TRUE(read_cast_section(text, size, entry, sections[entry], &marker[entry], &stop[entry]))
            << "section " << entry;
    }
    EXPECT_FALSE(read_cast_section(text, size, 7, sections[7], &marker[7], &stop[7]))
        << "only entries 0 to 6 exist";

    for (int entry = 0; entry < 7; entry++) {
        const std::vector<std::string> &lines = sections[entry];
        if (entry > 0) {
            EXPECT_GT(marker[entry], marker[entry - 1]) << "section " << entry << " out of order";
        }
        ASSERT_GE(lines.size(), 2u) << "section " << entry << " needs a title and a description";
        EXPECT_FALSE(lines[0].empty()) << "section " << entry << " has no title";
        /* Reading must run to the next marker (or the end): a stray "[" or the 30-line limit
           would cut the description short. */
        long next = entry < 6 ? marker[entry + 1] : size;
        EXPECT_EQ(stop[entry], next) << "section " << entry << " is cut after line " << lines.size();
        for (size_t i = 0; i < lines.size(); i++) {
            EXPECT_LE((int)lines[i].size(), CAST_LINE_CHARS) << "section " << entry << " line " << i;
            int room = i == 0 ? CAST_TITLE_ROOM : CAST_DESCRIPTION_ROOM;
            EXPECT_LE(text_length(global, lines[i].c_str()), room)
                << "section " << entry << " line " << i << " runs off the screen: " << lines[i];
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

void expect_format(const SAMPLE *s, int n)
{
    EXPECT_EQ(s->bits, 16) << "sample " << n;
    EXPECT_EQ(s->stereo, 0) << "sample " << n;
    EXPECT_EQ(s->freq, SAMPLE_RATE) << "sample " << n;
    /* Looping plays from loop_start to loop_end: the whole sample. */
    EXPECT_EQ(s->loop_start, 0u) << "sample " << n;
    EXPECT_EQ(s->loop_end, s->len) << "sample " << n;
}

TEST_F(ShippedDatafile, EffectsAreShortLoudAndStartAndEndInSilence)
{
    for (int n : effects) {
        const SAMPLE *s = sample(n);
        expect_format(s, n);
        ASSERT_GT(s->len, 0u) << "sample " << n;
        EXPECT_LT(s->len, 3u * SAMPLE_RATE) << "sample " << n;
        EXPECT_GE(peak(s), 0.7f) << "sample " << n;
        /* A sample that starts or stops away from silence clicks. */
        EXPECT_LT(std::fabs(level(s, 0)), 0.01f) << "sample " << n;
        EXPECT_LT(std::fabs(level(s, s->len - 1)), 0.01f) << "sample " << n;
    }
}

TEST_F(ShippedDatafile, MusicLoopsLastTwentyToSixtySecondsAndJoinWithoutAClick)
{
    float quietest_effect = 1.0f;
    for (int n : effects)
        quietest_effect = std::min(quietest_effect, peak(sample(n)));

    for (int n : music) {
        const SAMPLE *s = sample(n);
        expect_format(s, n);
        EXPECT_GE(s->len, 20u * SAMPLE_RATE) << "music " << n;
        EXPECT_LE(s->len, 60u * SAMPLE_RATE) << "music " << n;
        ASSERT_GT(s->len, 2u);

        /* The jump from the last sample back to the first must look like any step inside the
           loop: no larger than the 99th percentile of the steps between neighbours. */
        std::vector<float> steps(s->len - 1);
        for (unsigned long i = 0; i + 1 < s->len; i++)
            steps[i] = std::fabs(level(s, i + 1) - level(s, i));
        std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
        float typical = steps[steps.size() * 99 / 100];
        float seam = std::fabs(level(s, 0) - level(s, s->len - 1));
        EXPECT_LE(seam, typical) << "music " << n << " clicks at its loop point";

        float loudest = peak(s);
        EXPECT_GT(loudest, 0.2f) << "music " << n << " is nearly silent";
        EXPECT_LT(loudest, quietest_effect) << "music " << n << " is louder than an effect";
    }
}

}  // namespace
