/* clock_and_sound_test.cpp: ticks, the level clock, and what the music calls ask the library to
   play, heard through a recording sound driver. */
#include <gtest/gtest.h>

#include "datafile_test_support.h"
#include "game_test_support.h"
#include "render_test_support.h"
#include "base/datafile.h"
#include "base/sound.h"
#include "base/timer.h"
#include "render/display_options.h"
#include "world/level_state.h"

TEST(Clock, TicksAreHandedOutOnceAndTheLevelClockStopsForAWonOrLostLevel)
{
    level_state = LevelState{};
    ticks_since_last();
    advance_clock(7);
    EXPECT_EQ(ticks_since_last(), 7);
    EXPECT_EQ(ticks_since_last(), 0);
    advance_clock(1);
    advance_clock(2);
    EXPECT_EQ(ticks_since_last(), 3);

    // It runs down below zero, which reads as zero.
    set_level_time(3);
    advance_clock(8);
    EXPECT_TRUE(level_time.load() == -5 && get_level_time() == 0);

    set_level_time(500);
    ticks_since_last();
    for (int *flag : {&level_state.level_completed, &level_state.level_lost}) {
        *flag = 1;
        advance_clock(40);
        EXPECT_EQ(get_level_time(), 500);
        EXPECT_EQ(ticks_since_last(), 40) << "the ticks go on";
        *flag = 0;
    }
    advance_clock(250);
    EXPECT_EQ(get_level_time(), 250);
    ticks_since_last();
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
    EXPECT_TRUE(played.empty() && game_test::SoundRecorder::stops == stops);
    EXPECT_EQ(music_started, 1);
}
