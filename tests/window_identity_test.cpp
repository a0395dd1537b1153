/* window_identity_test.cpp: the 8-bit picture looked up in its palette and enlarged into 32-bit
   rows, and Alt+Enter's key filter in front of a program's own keyboard callback. (The icon the
   windows hand the desktop, at every size: e2e_window_properties.) */
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/picture_enlarge.h"
#include "base/screen_scale.h"
#include "game_test_support.h"

namespace {

const uint32_t SENTINEL = 0x5a5a5a5a;

struct Bitmaps {
    BITMAP *source, *target;
    ~Bitmaps()
    {
        destroy_bitmap(source);
        destroy_bitmap(target);
    }
};

/* An 8-bit picture whose every pixel has its own index (as far as 256 go), and a 32-bit target
   of target_w x target_h filled with the sentinel. */
Bitmaps make_bitmaps(int w, int h, int target_w, int target_h)
{
    game_test::start_headless_library();
    Bitmaps b{create_bitmap_ex(8, w, h), create_bitmap_ex(32, target_w, target_h)};
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            b.source->line[y][x] = (unsigned char)((y * w + x) * 7 + 3);
    for (int y = 0; y < target_h; y++)
        for (int x = 0; x < target_w; x++)
            reinterpret_cast<uint32_t *>(b.target->line[y])[x] = SENTINEL;
    return b;
}

uint32_t at(BITMAP *b, int x, int y)
{
    return reinterpret_cast<uint32_t *>(b->line[y])[x];
}

/* Every pixel of the target: its source pixel's block inside the enlarged rows, else untouched. */
void expect_enlarged(const Bitmaps &b, const uint32_t *pixels, int factor, int left, int top,
                     int first_row, int end_row)
{
    for (int y = 0; y < b.target->h; y++)
        for (int x = 0; x < b.target->w; x++) {
            const int sx = (x - left) / factor, sy = (y - top) / factor;
            const bool inside = x >= left && y >= top && sx < b.source->w && sy >= first_row &&
                                sy < end_row;
            const uint32_t want = inside ? pixels[b.source->line[sy][sx]] : SENTINEL;
            ASSERT_EQ(at(b.target, x, y), want) << "factor " << factor << " at " << x << "," << y;
        }
}

} // namespace

TEST(PictureEnlarge, EachPixelBecomesABlockAtTheOffsetAndNothingElseIsWritten)
{
    uint32_t pixels[256];
    for (int i = 0; i < 256; i++)
        pixels[i] = 0x01000000u * (unsigned)i + 0x00010203u * (unsigned)(255 - i);
    // Odd widths and heights, a picture offset on both sides, and the general factor too. Rows
    // 16-byte aligned (a left of 4 on rows of a multiple of 4 pixels) take the streamed stores,
    // the others the plain ones: both must give the same blocks and stop at the picture's edge.
    for (int factor : {2, 3, 4, 5}) {
        for (int w : {1, 2, 5, 7, 33, 64}) {
            for (int left : {3, 4}) {
                const int h = 5, top = 2;
                const int target_w = (left + w * factor + 4 + 3) / 4 * 4;
                Bitmaps b = make_bitmaps(w, h, target_w, top + h * factor + 3);
                if (left == 4) {
                    ASSERT_EQ(reinterpret_cast<uintptr_t>(b.target->line[0]) % 16, 0u)
                        << "the streamed stores need 16-byte rows to be tried";
                }
                enlarge_rows(b.source, nullptr, 0, h, pixels, factor, b.target->line, left, top);
                expect_enlarged(b, pixels, factor, left, top, 0, h);
            }
        }
    }
}

TEST(PictureEnlarge, OnlyThePixelsThatDifferFromTheLastFrameAreWritten)
{
    uint32_t pixels[256];
    for (int i = 0; i < 256; i++)
        pixels[i] = 0xff000000u | (unsigned)i;
    // Both the streamed (left 0) and the plain (left 1) stores, at factors 2, 3 and 4.
    for (int factor : {2, 3, 4}) {
        for (int left : {0, 1}) {
            const int w = 37, h = 4;
            Bitmaps b = make_bitmaps(w, h, (left + w * factor + 3) / 4 * 4, h * factor);
            BITMAP *previous = create_bitmap_ex(8, w, h);
            blit(b.source, previous, 0, 0, 0, 0, w, h);
            // Changed: the first pixel, one in the middle, the last (a group cut short), and
            // a run across two groups of the last row.
            const int changed[][2] = {{0, 0}, {17, 1}, {36, 2}, {6, 3}, {9, 3}};
            for (const auto &c : changed)
                b.source->line[c[1]][c[0]] ^= 0x80;
            enlarge_rows(b.source, previous, 0, h, pixels, factor, b.target->line, left, 0);
            // The changed pixels' blocks are written; the untouched rows keep the sentinel.
            for (const auto &c : changed)
                EXPECT_EQ(at(b.target, left + c[0] * factor + factor - 1, c[1] * factor + factor - 1),
                          pixels[b.source->line[c[1]][c[0]]]) << factor << " " << c[0] << "," << c[1];
            int written = 0;
            for (int y = 0; y < b.target->h; y++)
                for (int x = 0; x < b.target->w; x++)
                    written += at(b.target, x, y) != SENTINEL;
            // The groups of 8 that hold a change, no more: 8 + 8 + the last 5 + two groups of 8.
            EXPECT_EQ(written, (8 + 8 + 5 + 16) * factor * factor) << factor;
            // Written on the frame before, the rest already shows the picture: now it is whole.
            enlarge_rows(previous, nullptr, 0, h, pixels, factor, b.target->line, left, 0);
            enlarge_rows(b.source, previous, 0, h, pixels, factor, b.target->line, left, 0);
            expect_enlarged(b, pixels, factor, left, 0, 0, h);
            destroy_bitmap(previous);
        }
    }
}

namespace {

/* A program's own keyboard callback, as the editor's notes each key with its shifts. */
std::vector<int> seen_keys;
int note_key(int k)
{
    seen_keys.push_back(k);
    return k;
}

TEST(WindowSwitchKeys, AltEnterIsTakenAndEveryOtherKeyReachesTheCallbackInstalledBefore)
{
    game_test::start_headless_library();
    int (*const kept)(int) = keyboard_callback;
    const int kept_shifts = key_shifts;
    seen_keys.clear();
    keyboard_callback = note_key;
    note_window_switch_keys();
    ASSERT_NE(keyboard_callback, note_key);

    const int enter = KEY_ENTER << 8 | '\r', a = KEY_A << 8 | 'a';
    key_shifts = KB_ALT_FLAG;
    EXPECT_EQ(keyboard_callback(enter), 0);     // kept from the key buffer
    key_shifts = 0;
    EXPECT_TRUE(keyboard_callback(enter) == enter && keyboard_callback(a) == a);
    // Installed twice (a second mode set), the filter still hands on to the program's callback
    // rather than to itself.
    note_window_switch_keys();
    EXPECT_EQ(keyboard_callback(a), a);
    EXPECT_EQ(seen_keys, (std::vector<int>{enter, a, a}));

    keyboard_callback = kept;
    key_shifts = kept_shifts;
}

} // namespace
