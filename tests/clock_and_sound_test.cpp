/* clock_and_sound_test.cpp: ticks, the level clock, the music numbers and the sound switch. */
#include <gtest/gtest.h>

#include "shell/sound.h"
#include "shell/timer.h"
#include "ui/display_options.h"
#include "world/level_state.h"

namespace {
class ClockTest : public testing::Test {
protected:
    void SetUp() override
    {
        level_state = LevelState{};
        ticks_since_last();
    }
    void TearDown() override { level_state = LevelState{}; }
};
}

TEST_F(ClockTest, TicksSinceLastHandsOutEachTickOnce)
{
    advance_clock(7);
    EXPECT_EQ(ticks_since_last(), 7);
    EXPECT_EQ(ticks_since_last(), 0);
    advance_clock(1);
    advance_clock(2);
    EXPECT_EQ(ticks_since_last(), 3);
}

TEST_F(ClockTest, LevelClockRunsDownAndReadsZeroBelowZero)
{
    set_level_time(6000);
    advance_clock(250);
    EXPECT_EQ(get_level_time(), 5750);
    set_level_time(3);
    advance_clock(8);
    EXPECT_EQ(level_time.load(), -5);
    EXPECT_EQ(get_level_time(), 0);
}

TEST_F(ClockTest, LevelClockStopsWhenTheLevelIsWonOrLostWhileTicksGoOn)
{
    set_level_time(500);
    level_state.level_completed = 1;
    int ticks_before = tick_counter;
    advance_clock(40);
    EXPECT_EQ(get_level_time(), 500);
    EXPECT_EQ(tick_counter - ticks_before, 40);

    level_state.level_completed = 0;
    level_state.level_lost = 1;
    advance_clock(40);
    EXPECT_EQ(get_level_time(), 500);
    EXPECT_EQ(ticks_since_last(), 80);
}

TEST(Sound, MusicNumbersCycleThroughTheThreeLoops)
{
    EXPECT_EQ(music_object(0), 38);
    EXPECT_EQ(music_object(1), 39);
    EXPECT_EQ(music_object(2), 40);
    EXPECT_EQ(music_object(3), 38);
    EXPECT_EQ(music_object(4), 39);
}

TEST(Sound, StartingMusicMarksItStartedWithSoundOffOrWithoutData)
{
    display_options.sound_off = true;
    music_started = 0;
    start_music(2);
    EXPECT_EQ(music_started, 1);
    stop_music(2);

    // Headless, with no datafile and no sound driver: nothing plays and nothing breaks.
    display_options.sound_off = false;
    music_started = 0;
    start_music(5);
    EXPECT_EQ(music_started, 1);
    play_cue(nullptr);
    stop_music(5);
    reset_display_options();
}
