/* display_options_test.cpp: program-start options, mode names and the viewport scales. */
#include <gtest/gtest.h>

#include <cstring>

#include "ui/display_options.h"

TEST(DisplayOptions, RunStartsWithTheProgramStartValues)
{
    display_options.camera_distance = 5;
    display_options.light_mode = LIGHT_SOURCE_FOG;
    reset_display_options();
    const DisplayOptions &o = display_options;
    EXPECT_FALSE(o.slow_motion);
    EXPECT_EQ(o.light_mode, LIGHT_AMBIENT);
    EXPECT_EQ(o.shading_mode, SHADE_FLAT);
    EXPECT_FALSE(o.sound_off);
    EXPECT_TRUE(o.music_on);
    EXPECT_FALSE(o.debug_info);
    EXPECT_EQ(o.viewport_size, 0);
    EXPECT_EQ(o.camera_mode, CAMERA_BEHIND);
    EXPECT_EQ(o.depth_of_view, 0);
    EXPECT_FLOAT_EQ(o.camera_pitch, 0.2f);
    EXPECT_FLOAT_EQ(o.camera_height, -120.0f);
    EXPECT_EQ(o.camera_distance, 80);
    EXPECT_EQ(o.ambient_light, 100);
    EXPECT_FALSE(o.map_panel_shown);
}

TEST(DisplayOptions, ModeMessagesAndViewportScales)
{
    EXPECT_STREQ(light_mode_messages[LIGHT_SOURCE_FOG], "light source + fog");
    EXPECT_STREQ(shading_mode_messages[SHADE_LINEAR_TEXTURE], "lineair texture mapping");
    EXPECT_STREQ(shading_mode_messages[SHADE_PERSPECTIVE_TEXTURE],
                 "persp. correct texture mapping");
    EXPECT_STREQ(camera_mode_messages[CAMERA_HELICOPTER], "Camera position: helicopter");
    EXPECT_FLOAT_EQ(viewport_scale(0), 1.0f);
    EXPECT_FLOAT_EQ(viewport_scale(2), 0.625f);
    EXPECT_EQ((int)(640 * viewport_scale(1)), 512);
    EXPECT_EXIT(viewport_scale(4), testing::ExitedWithCode(1), "Assertion failed in");
}
