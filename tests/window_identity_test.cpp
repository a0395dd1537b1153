/* window_identity_test.cpp: the icon the windows hand the desktop, and Alt+Enter's key filter
   in front of a program's own keyboard callback. */
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "game_test_support.h"
#include "base/screen_scale.h"

extern const uint32_t tirvex_window_icon_sizes[];
extern const int tirvex_window_icon_size_count;

namespace {

/* One size of the _NET_WM_ICON list. */
struct IconSize {
    int w, h;
    const uint32_t *pixels;
};

/* Walks the list as a window manager does; an entry that runs past the end ends the walk. */
std::vector<IconSize> icon_sizes()
{
    std::vector<IconSize> sizes;
    for (int at = 0; at + 2 <= tirvex_window_icon_size_count;) {
        const int w = (int)tirvex_window_icon_sizes[at], h = (int)tirvex_window_icon_sizes[at + 1];
        if (w <= 0 || h <= 0 || at + 2 + w * h > tirvex_window_icon_size_count)
            break;
        sizes.push_back({w, h, tirvex_window_icon_sizes + at + 2});
        at += 2 + w * h;
    }
    return sizes;
}

uint32_t alpha(uint32_t argb)
{
    return argb >> 24;
}

TEST(WindowIcon, EachSizeFrom16To256IsTheSamePictureOnATransparentGround)
{
    const std::vector<IconSize> sizes = icon_sizes();
    const int expected[] = {16, 24, 32, 48, 64, 128, 256};
    ASSERT_EQ(sizes.size(), 7u);
    int items = 0;
    for (size_t i = 0; i < sizes.size(); i++) {
        EXPECT_EQ(sizes[i].w, expected[i]);
        EXPECT_EQ(sizes[i].h, expected[i]);
        items += 2 + sizes[i].w * sizes[i].h;
    }
    // Nothing after the last size: a window manager would take it for a broken entry.
    EXPECT_EQ(items, tirvex_window_icon_size_count);
    for (const IconSize &s : sizes) {
        SCOPED_TRACE(s.w);
        // The corners are the desktop's; the middle (the robot's body) is painted whole.
        EXPECT_EQ(alpha(s.pixels[0]), 0u);
        EXPECT_EQ(alpha(s.pixels[s.w - 1]), 0u);
        EXPECT_EQ(alpha(s.pixels[(size_t)(s.h - 1) * s.w]), 0u);
        EXPECT_EQ(alpha(s.pixels[(size_t)(s.h / 2) * s.w + s.w / 2]), 255u);
        int covered = 0;
        for (int i = 0; i < s.w * s.h; i++)
            covered += alpha(s.pixels[i]) >= 128;
        // The block, robot and sweet cover between a quarter and three quarters of every size:
        // a size painted at the wrong scale (a 256 layout cut to 16, or 16 lost in 256) would not.
        EXPECT_GT(covered, s.w * s.h / 4);
        EXPECT_LT(covered, s.w * s.h * 3 / 4);
    }
}

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
    EXPECT_EQ(keyboard_callback(enter), enter);
    EXPECT_EQ(keyboard_callback(a), a);
    // Installed twice (a second mode set), the filter still hands on to the program's callback
    // rather than to itself.
    note_window_switch_keys();
    EXPECT_EQ(keyboard_callback(a), a);
    EXPECT_EQ(seen_keys, (std::vector<int>{enter, a, a}));

    keyboard_callback = kept;
    key_shifts = kept_shifts;
}

} // namespace
