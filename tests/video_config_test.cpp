/* video_config_test.cpp: reading and writing "wvideo.cfg". */
#include <gtest/gtest.h>

#include <allegro.h>

#include <string>

#include "game_test_support.h"
#include "ui/video_mode.h"

class VideoConfigFile : public game_test::GameDirectoryTest {};

/* Three numbers separated by any white space; what cannot be read keeps its default, and a
   missing file gives full screen at 640 x 480. What is written is one line that reads back. */
TEST_F(VideoConfigFile, ReadsWhatItCanKeepsTheDefaultsForTheRestAndWritesOneLine)
{
    const struct { const char *text; int driver, width, height; } cases[] = {
        {nullptr, GFX_AUTODETECT_FULLSCREEN, 640, 480}, {"0 800 600", 0, 800, 600},
        {"  2\n1024\t768\n", 2, 1024, 768},          {"0", 0, 640, 480},
        {"7 wide 300", 7, 640, 480},                  {"", 1, 640, 480},
        {"garbage", 1, 640, 480},
    };
    for (const auto &c : cases) {
        if (c.text)
            game_test::write_file("wvideo.cfg", c.text);
        const VideoConfig config = read_video_config("wvideo.cfg");
        EXPECT_TRUE(config.driver == c.driver && config.width == c.width && config.height == c.height)
            << (c.text ? c.text : "no file") << ": " << config.driver << " " << config.width << " " << config.height;
    }

    const VideoConfig chosen = {GFX_AUTODETECT_WINDOWED, 800, 600};
    ASSERT_EQ(write_video_config("wvideo.cfg", &chosen), 1);
    EXPECT_EQ(game_test::read_file("wvideo.cfg"), std::to_string(GFX_AUTODETECT_WINDOWED) + " 800 600\n");
    const VideoConfig back = read_video_config("wvideo.cfg");
    EXPECT_TRUE(back.driver == chosen.driver && back.width == 800 && back.height == 600);
    EXPECT_EQ(write_video_config("/nonexistent-dir/wvideo.cfg", &chosen), 0);
}

/* A number too large for an int is not read (the C library's %d would leave it undefined): it
   keeps its default like any value that cannot be read, and the note names the file. */
TEST_F(VideoConfigFile, ANumberTooLargeKeepsItsDefaultAndTheNoteNamesTheFile)
{
    game_test::write_file("wvideo.cfg", "0 99999999999999999999 600\n");
    char note[256];
    const VideoConfig config = read_video_config("wvideo.cfg", note, sizeof note);
    EXPECT_TRUE(config.driver == 0 && config.width == 640 && config.height == 480);
    EXPECT_STREQ(note, "wvideo.cfg: the width is too large a number; the default 640 is kept");
    game_test::write_file("wvideo.cfg", "-2147483648 2147483647 -0\n");
    const VideoConfig edges = read_video_config("wvideo.cfg", note, sizeof note);
    EXPECT_TRUE(edges.driver == INT32_MIN && edges.width == INT32_MAX && edges.height == 0);
    EXPECT_STREQ(note, "");
}
