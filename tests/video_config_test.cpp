/* video_config_test.cpp: reading and writing "wvideo.cfg". */
#include <gtest/gtest.h>

#include <allegro.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "ui/video_mode.h"

namespace {
namespace fs = std::filesystem;

class VideoConfigTest : public testing::Test {
protected:
    void SetUp() override
    {
        path = fs::temp_directory_path() / ("tirvex_wvideo_" + std::to_string(getpid()) + ".cfg");
        fs::remove(path);
    }
    void TearDown() override { fs::remove(path); }

    VideoConfig read_text(const std::string &text)
    {
        std::ofstream(path, std::ios::binary) << text;
        return read_video_config(path.c_str());
    }

    fs::path path;
};
}

/* Three numbers separated by any white space; what cannot be read keeps its default, and a
   missing file gives full screen at 640 x 480. */
TEST_F(VideoConfigTest, ReadsWhatItCanAndKeepsTheDefaultsForTheRest)
{
    struct { const char *text; int driver, width, height; } cases[] = {
        {nullptr, GFX_AUTODETECT_FULLSCREEN, 640, 480}, {"0 800 600", 0, 800, 600},
        {"  2\n1024\t768\n", 2, 1024, 768},          {"0", 0, 640, 480},
        {"7 wide 300", 7, 640, 480},                  {"", 1, 640, 480},
        {"garbage", 1, 640, 480},
    };
    for (const auto &c : cases) {
        VideoConfig config = c.text ? read_text(c.text) : read_video_config(path.c_str());
        EXPECT_EQ(config.driver, c.driver) << (c.text ? c.text : "no file");
        EXPECT_EQ(config.width, c.width) << (c.text ? c.text : "no file");
        EXPECT_EQ(config.height, c.height) << (c.text ? c.text : "no file");
    }
}

TEST_F(VideoConfigTest, WrittenFileIsOneLineThatReadsBack)
{
    VideoConfig chosen = {GFX_AUTODETECT_WINDOWED, 800, 600};
    ASSERT_EQ(write_video_config(path.c_str(), &chosen), 1);
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, std::to_string(GFX_AUTODETECT_WINDOWED) + " 800 600\n");
    VideoConfig back = read_video_config(path.c_str());
    EXPECT_EQ(back.driver, chosen.driver);
    EXPECT_EQ(back.width, 800);
    EXPECT_EQ(back.height, 600);
    EXPECT_EQ(write_video_config("/nonexistent-dir/wvideo.cfg", &chosen), 0);
}
