/* clock_and_sound_test.cpp: ticks, the level clock, and what the music calls ask the library to
   play, heard through a recording sound driver. */
#include <gtest/gtest.h>

#include "datafile_test_support.h"
#include "game_test_support.h"
#include "render_test_support.h"
#include "base/datafile.h"
#include "base/sound.h"
#include "base/timer.h"
#include "base/display_options.h"
#include "world/level_state.h"
#include "world/world_clock.h"

TEST(Clock, TicksAreHandedOutOnceAndTheLevelClockStopsForAWonOrLostLevel)
{
    // The timer's ticks are read once, by whoever reads first.
    ticks_since_last();
    for (int i = 0; i < 7; i++)
        timer_handler();
    EXPECT_TRUE(ticks_since_last() == 7 && ticks_since_last() == 0);

    // The level clock is the world's: it runs by the ticks a frame gives it, below zero too,
    // which reads as zero.
    world.level = LevelState{};
    world.clock = 3;
    run_level_clock(world, 8);
    EXPECT_TRUE(world.clock == -5 && level_clock_left(world) == 0);

    // It stands once the level is won or lost, and ticks of no time change nothing.
    world.clock = 500;
    for (int *flag : {&world.level.level_completed, &world.level.level_lost}) {
        *flag = 1;
        run_level_clock(world, 40);
        EXPECT_EQ(level_clock_left(world), 500);
        *flag = 0;
    }
    run_level_clock(world, 0);
    run_level_clock(world, -3);
    EXPECT_EQ(level_clock_left(world), 500);
    run_level_clock(world, 250);
    EXPECT_EQ(level_clock_left(world), 250);
}

/* Music n is object 38 + n mod 3, looped at volume 150; with the sound off nothing is started or
   stopped, but the menu's music counts as started all the same. */
class Sound : public ShippedData {};

TEST_F(Sound, MusicLoopsTheThreePiecesInTurnAndTheSoundSwitchSilencesIt)
{
    start_render_library();
    Keep<DATAFILE *> datafile{Datafile};
    Datafile = data;
    OptionsGuard options;
    game_test::SoundRecorder sound;
    const auto &played = game_test::SoundRecorder::played;
    display_options.sound_off = false;
    for (int n = 0; n < 5; n++) {
        game_test::SoundRecorder::played.clear();
        music_started = 0;
        start_music(n);
        ASSERT_EQ(played.size(), 1u) << n;
        EXPECT_EQ(played[0].sample, data[DAT_MUSIC_FIRST + n % 3].dat) << n;
        EXPECT_TRUE(played[0].volume == 150 && played[0].loops && music_started == 1) << n;
        const int stops = game_test::SoundRecorder::stops;
        stop_music(n);
        EXPECT_GT(game_test::SoundRecorder::stops, stops) << n;
    }
    display_options.sound_off = true;
    game_test::SoundRecorder::played.clear();
    const int stops = game_test::SoundRecorder::stops;
    music_started = 0;
    start_music(2);
    play_cue((SAMPLE *)data[DAT_SAMPLE_BEEP].dat);
    stop_music(2);
    EXPECT_TRUE(played.empty() && game_test::SoundRecorder::stops == stops && music_started == 1);
}
