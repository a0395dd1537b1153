/* game_keys_test.cpp: the in-game keys, typed into the library's key buffer and held in its key
   array, one frame each, the actions they come to, and the ring that carries move codes. */
#include <gtest/gtest.h>

#include <vector>

#include "app/play_loop.h"
#include "base/timer.h"
#include "play_test_support.h"
#include "render/hud.h"
#include "render/message_line.h"
#include "render/viewport.h"
#include "world/level_state.h"
#include "world/world_clock.h"
#include "world/world_messages.h"

namespace {

using namespace game_test;

/* The timer installations the slow-motion key asks for, and the answer to give. */
std::vector<long> timer_speeds;
int timer_answer = 0;

int record_timer(void (*)(), long speed)
{
    timer_speeds.push_back(speed);
    return timer_answer;
}

class GameKeys : public play_test::PlayTest {
protected:
    void SetUp() override
    {
        PlayTest::SetUp();
        install_game_timer = record_timer;
        timer_speeds.clear();
        timer_answer = 0;
        add_map("play_walk.txt", {2});
        session_enter(session, 1);
    }

    /* One frame after typing the keys given, its move codes kept for queued_codes. */
    int frame(std::initializer_list<int> typed = {})
    {
        const int confirmed = PlayTest::frame(typed, 0);
        for (int i = 0; i < actions.typed_count; i++)
            if (actions.typed[i].kind == ACTION_MOVE)
                codes.push_back(actions.typed[i].value);
        return confirmed;
    }

    /* The move codes the keys have asked for, in order, since the last call. */
    std::vector<int> queued_codes() { std::vector<int> c; c.swap(codes); return c; }

    std::vector<int> codes;

    Keep<int (*)(void (*)(), long)> installer{install_game_timer};
};

} // namespace

TEST_F(GameKeys, EveryKeyTypedInAFrameIsTakenAndMovementKeysQueueTheirCodesInTypingOrder)
{
    EXPECT_EQ(frame({KEY_UP, KEY_LEFT, KEY_DOWN, KEY_RIGHT, KEY_SPACE, KEY_Z}), 0);
    EXPECT_EQ(queued_codes(), (std::vector<int>{72, 75, 80, 77, 57}));
    EXPECT_EQ(keypressed(), 0) << "every typed key is taken in the same frame";
    key_shifts = KB_SHIFT_FLAG;
    frame({KEY_LEFT, KEY_RIGHT});
    key_shifts = 0;
    frame({KEY_LEFT});
    EXPECT_EQ(queued_codes(), (std::vector<int>{1001, 1002, 75}));
    EXPECT_EQ(actions.typed_count, 1) << "movement says nothing";

    frame({KEY_F12, KEY_F12, KEY_F12});
    EXPECT_TRUE(fs::exists(dir / "screen03.bmp")) << "names fill the first gap: 01 and 02 went first";
    EXPECT_EQ(message(), "Screen shot saved as screen03.bmp");
}

/* Each switch confirms itself on the message line for 100 ticks; with several keys typed in one
   frame the last one speaks. */
TEST_F(GameKeys, SwitchesStepThroughTheirValuesAndSayWhatTheyChose)
{
    const struct { std::initializer_list<int> typed; const char *shown; bool (*done)(); } steps[] = {
        {{KEY_F3}, "Debug info on", [] { return display_options.debug_info; }},
        {{KEY_F3}, "Debug info off", [] { return !display_options.debug_info; }},
        {{KEY_F11}, "Sound off", [] { return display_options.sound_off; }},
        {{KEY_F11}, "Sound on", [] { return !display_options.sound_off; }},
        {{KEY_F4, KEY_F4, KEY_F4}, "Changed viewport size", [] { return display_options.viewport_size == 3; }},
        {{KEY_F4}, "Changed viewport size", [] { return display_options.viewport_size == 0; }},
        {{KEY_F7, KEY_F8}, "random shading",
         [] { return display_options.light_mode == LIGHT_FOG && display_options.shading_mode == SHADE_RANDOM; }},
        {{KEY_F7, KEY_F7, KEY_F7}, "ambient light", [] { return display_options.light_mode == LIGHT_AMBIENT; }},
        {{KEY_F8, KEY_F8}, "persp. correct texture mapping",
         [] { return display_options.shading_mode == SHADE_PERSPECTIVE_TEXTURE; }},
        {{KEY_F5, KEY_F5}, "Depth of view: 400", [] { return display_options.depth_of_view != 0; }},
        {{KEY_F5, KEY_F5, KEY_F5, KEY_F5, KEY_F5}, "Depth of view: 900", [] { return true; }},
        {{KEY_F5}, "Depth of view: infinite", [] { return display_options.depth_of_view == 0; }},
    };
    for (const auto &step : steps) {
        clear_message(world);
        frame(step.typed);
        EXPECT_EQ(message(), step.shown);
        EXPECT_TRUE(step.done()) << step.shown;
        EXPECT_EQ(world.message.ticks_left, 100) << step.shown;
    }
    const bool panel = f1_panel_shown;
    frame({KEY_F1});
    EXPECT_NE(f1_panel_shown, panel);
    clear_message(world);
    display_options.sound_off = true;   // nothing to play headless either way
    frame({KEY_B, KEY_M});
    EXPECT_TRUE(!display_options.music_on && display_options.map_panel_shown);
    EXPECT_EQ(message(), "(none)") << "the key card, music and map panel switch silently";
}

TEST_F(GameKeys, HeldKeysActEveryFrameAndShowTheLastValue)
{
    display_options.camera_distance = 200;
    key[KEY_W] = 1;
    for (int i = 0; i < 10; i++)
        frame();
    release_all_keys();
    EXPECT_TRUE(display_options.camera_distance == 210 && message() == "camera distance: 210");

    // Several at once: each acts, the message is the last in key order (E after Q and G).
    auto held_frame = [&](std::initializer_list<int> keys) {
        hold_keys(keys);
        frame();
        release_all_keys();
    };
    held_frame({KEY_Q, KEY_G, KEY_E});
    EXPECT_TRUE(display_options.camera_height == -121.0f && display_options.camera_distance == 260);
    EXPECT_EQ(display_options.ambient_light, 101);
    EXPECT_EQ(message(), "ambient light: 101");
    held_frame({KEY_T});
    EXPECT_EQ(message(), "camera height: -171");
    const float pitch = world.camera_pitch;
    held_frame({KEY_PGDN});
    EXPECT_FLOAT_EQ(world.camera_pitch, pitch + 0.05f);
    EXPECT_EQ(message(), "camera height: -171") << "the pitch shows no message";
}

TEST_F(GameKeys, LevelKeysStepOnlyOntoMapsThatExist)
{
    frame({KEY_F9});
    EXPECT_TRUE(session.level == 1 && message() == "(none)");
    frame({KEY_F10});
    EXPECT_TRUE(session.level == 2 && message() == "Map: 2 (Type the PassWord)");
    clear_message(world);
    frame({KEY_F10});
    EXPECT_TRUE(session.level == 2 && message() == "(none)") << "there is no map03.txt";

    add_map("play_walk.txt", {20, 21, 22});
    session_enter(session, 21);
    frame({KEY_F10});
    EXPECT_EQ(session.level, 21) << "21 is the highest level number";
    frame({KEY_F9});
    EXPECT_EQ(session.level, 20);
}

/* Space and Enter end a completed or lost level; R, held, restarts in every frame, and before
   a confirmation. */
TEST_F(GameKeys, SpaceOrEnterEndACompletedOrLostLevelAndHeldRRestartsFirst)
{
    world.level.level_completed = 1;
    hold_keys({KEY_R, KEY_ENTER});
    EXPECT_EQ(frame(), 0) << "R restarts first, which ends the completion";
    EXPECT_TRUE(world.level.level_completed == 0 && message() == "Reset game");
    for (int i = 0; i < 2; i++) {
        world.motion.x = itofix(555);
        frame();
        EXPECT_EQ(world.motion.x, itofix(100)) << "frame " << i;
    }
    release_all_keys();

    world.level.level_completed = 1;
    hold_keys({KEY_SPACE, KEY_W});
    const int distance = display_options.camera_distance;
    EXPECT_EQ(frame(), 1);
    EXPECT_EQ(display_options.camera_distance, distance) << "keys after the confirmation wait";
    world.level.level_completed = 0;
    EXPECT_EQ(frame(), 0) << "Space on a level still running confirms nothing";
    release_all_keys();

    frame({KEY_UP});
    world.level.level_lost = 1;
    show_message(world, "You are dead! Probably cause you are a idiot", 100);
    key[KEY_ENTER] = 1;
    EXPECT_TRUE(frame() == 0 && world.level.level_lost == 0);
    EXPECT_EQ(message(), "(none)") << "the restart after a loss says nothing";
    EXPECT_EQ(command_queue_pop(world), 0) << "the restart empties the queue";
}

TEST_F(GameKeys, SlowMotionReinstallsTheTimerAndSpoilsTheRecord)
{
    frame({KEY_F2});
    EXPECT_TRUE(display_options.slow_motion && message() == "Slow motion on" && session.not_recorded);
    frame({KEY_F2});
    EXPECT_TRUE(!display_options.slow_motion && message() == "Slow motion off");
    EXPECT_TRUE(session.not_recorded) << "switching back does not clear it";
    EXPECT_EQ(timer_speeds, (std::vector<long>{397727, 11931}));

    // A timer that cannot be installed is reported on the console; play goes on.
    timer_answer = -1;
    destroy_bitmap(screen);
    screen = nullptr;   // the console writes to standard output without a screen
    ::testing::internal::CaptureStdout();
    frame({KEY_F2});
    const std::string printed = ::testing::internal::GetCapturedStdout();
    screen = create_bitmap_ex(8, 640, 480);
    EXPECT_TRUE(printed == "Cannot allocate timer" && display_options.slow_motion);
}

TEST(CommandQueue, CodesComeOutInOrderAcrossTheRingsEndAndAFullQueueRefusesMore)
{
    command_queue_reset(world);
    EXPECT_EQ(command_queue_pop(world), 0);
    // 150 codes in and out bring the indices near the end of the 200 slots.
    for (int i = 1; i <= 150; i++) {
        ASSERT_TRUE(command_queue_push(world, i) == 1 && command_queue_pop(world) == i);
    }
    // Across the end: one slot always stays free, so the 200th code is dropped and the 199 before
    // it kept.
    for (int i = 1; i <= 199; i++)
        ASSERT_EQ(command_queue_push(world, i), 1);
    EXPECT_EQ(command_queue_push(world, 500), 0);
    for (int i = 1; i <= 199; i++)
        ASSERT_EQ(command_queue_pop(world), i);
    EXPECT_EQ(command_queue_pop(world), 0);
}
