/* startup_reports_test.cpp: the frame rate paced for what the display reports, and the sound
   driver's name on the start-up console. */
#include <gtest/gtest.h>

#include <allegro.h>

#include "app/frame_pacing.h"
#include "base/sound.h"

TEST(FramePacing, FollowsWhateverRateTheDisplayReports)
{
    EXPECT_EQ(frame_rate_for(50), 50);
    EXPECT_EQ(frame_rate_for(75), 75);
    EXPECT_EQ(frame_rate_for(144), 144);
    EXPECT_EQ(frame_rate_for(0), 60);       // none reported
    EXPECT_EQ(frame_rate_for(-1), 60);
}

TEST(SoundDriverName, TheSilentDriverIsNamedToo)
{
    char empty[] = "";
    DIGI_DRIVER driver = {};
    driver.name = "ALSA";
    driver.ascii_name = "ALSA";
    driver.desc = "ALSA digital sound";
    EXPECT_STREQ(digi_driver_name(&driver), "ALSA");
    // The library's own silent driver, as installed on a machine without sound hardware.
    driver.name = empty;
    driver.ascii_name = "No sound";
    driver.desc = "The sound of silence";
    EXPECT_STREQ(digi_driver_name(&driver), "No sound");
    driver.ascii_name = empty;
    EXPECT_STREQ(digi_driver_name(&driver), "The sound of silence");
    driver.desc = empty;
    EXPECT_STREQ(digi_driver_name(&driver), "No sound");
}
