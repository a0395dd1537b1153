/* game_play_loop_test.cpp: play_levels run headless by a scripted player behind the keyboard:
   the options play starts with and the flat first frame of every level. Which completions are
   recorded is seen in the play tests. */
#include <gtest/gtest.h>

#include <tuple>

#include "game_test_support.h"
#include "render_test_support.h"
#include "app/play_loop.h"
#include "base/timer.h"
#include "render/colour_tables.h"
#include "render/render_frame.h"
#include "ui/game_keys.h"
#include "world/level_state.h"
#include "world/world_clock.h"

namespace {

using namespace game_test;

/* The player: reached through the keypressed hook, which the level selection polls, and every
   frame's key handling and every emptying of the key buffer call once. Two calls in a row with
   no new frame and no key typed come from the level selection. Each new frame also plays the
   timer's part. */
struct Script {
    int level = -1, last_frames = 0, idle_calls = 0, frame_in_level = 0, grey = 0;
    bool typed = false, aborted = false;
    int grey_pixels[2][2];                  /* per level, in its first two frames */
    DisplayOptions at_first_frame;
};
Script script;

/* Levels 1 and 2 are chosen in turn and walked to their teleports; then the script leaves. */
int scripted_keypressed()
{
    Script &s = script;
    const bool new_frame = frames != s.last_frames;
    s.idle_calls = new_frame || s.typed ? 0 : s.idle_calls + 1;
    s.last_frames = frames;
    s.typed = false;
    auto type = [&](std::initializer_list<int> scancodes) {
        type_keys(scancodes);
        return s.typed = true;
    };
    if (s.idle_calls == 2) {
        key[KEY_SPACE] = 0;
        key[KEY_ESC] = 0;
        s.frame_in_level = 0;
        return type({++s.level < 2 ? KEY_ENTER : KEY_ESC});
    }
    if (!new_frame)
        return 0;
    for (int tick = 0; tick < 4; tick++)
        timer_handler();
    if (s.level == 0 && s.frame_in_level == 0)
        s.at_first_frame = display_options;
    if (s.level < 2 && s.frame_in_level < 2)
        s.grey_pixels[s.level][s.frame_in_level] = count_colour(screen, s.grey, 0, 0, 639, 479);
    if (frames > 600 && !s.aborted) {
        key[KEY_ESC] = 1;   /* leave, so that a broken script cannot hang the run */
        s.aborted = true;
        s.level = 2;
    }
    if (s.frame_in_level++ == 0)
        return type({KEY_UP, KEY_UP});
    key[KEY_SPACE] = world.level.level_completed;
    return 0;
}

class PlayLoop : public GameDirectoryTest {
protected:
    Keep<decltype(texture_table)> textures{texture_table};
    Keep<int (*)(void (*)(), long)> installer{install_game_timer};
    BITMAP *texture = nullptr;

    void SetUp() override
    {
        GameDirectoryTest::SetUp();
        start_render_library();
        texture = solid_bitmap(128, 128, makecol(255, 0, 0));
        for (BITMAP *&t : texture_table)
            t = texture;
        install_game_timer = [](void (*)(), long) { return 0; };
        script = Script{};
        script.grey = makecol(192, 192, 192);
        install_keyboard_hooks(scripted_keypressed, no_key);
    }

    void TearDown() override
    {
        install_keyboard_hooks(no_key, no_key);
        GameDirectoryTest::TearDown();
        destroy_bitmap(texture);
    }
};

} // namespace

TEST_F(PlayLoop, StartsFromThePlayValuesAndDrawsEachFirstFrameFlat)
{
    add_map("play_walk.txt", {1, 2, 3});
    /* As the cast screen and a session of play may leave them. */
    DisplayOptions &o = display_options;
    o.light_mode = LIGHT_AMBIENT;
    o.shading_mode = SHADE_RANDOM;
    o.viewport_size = 3;
    o.depth_of_view = itofix(500);
    o.debug_info = true;
    o.camera_mode = CAMERA_HELICOPTER;
    o.camera_height = -800.0f;
    o.camera_distance = 90;
    o.ambient_light = 60;
    o.music_on = false;
    o.sound_off = true;

    play_levels(screen, session);
    ASSERT_FALSE(script.aborted) << "the script did not get through both levels";

    /* The play-start values; ambient light and sound are not among them. */
    const DisplayOptions &f = script.at_first_frame;
    EXPECT_EQ(std::tuple(f.light_mode, f.viewport_size, f.depth_of_view, f.debug_info, f.camera_mode,
                         f.camera_height, f.camera_distance, f.ambient_light, f.sound_off),
              std::tuple(LIGHT_SOURCE_FOG, 0, 0, false, CAMERA_BEHIND, -120.0f, 200, 60, true));

    for (int level = 0; level < 2; level++) {
        /* Flat under the light every top is one grey; textured, none is. */
        EXPECT_GT(script.grey_pixels[level][0], 2000) << level;
        EXPECT_LT(script.grey_pixels[level][1] * 20, script.grey_pixels[level][0]) << level;
    }
}
