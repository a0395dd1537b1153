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

TEST_F(VideoConfigTest, MissingFileGivesFullScreen640By480)
{
    VideoConfig config = read_video_config(path.c_str());
    EXPECT_EQ(config.driver, GFX_AUTODETECT_FULLSCREEN);
    EXPECT_EQ(config.driver, 1);
    EXPECT_EQ(config.width, 640);
    EXPECT_EQ(config.height, 480);
}

TEST_F(VideoConfigTest, ThreeNumbersWithoutLineEndOrWithOtherWhiteSpace)
{
    VideoConfig config = read_text("0 800 600");
    EXPECT_EQ(config.driver, 0);
    EXPECT_EQ(config.width, 800);
    EXPECT_EQ(config.height, 600);
    config = read_text("  2\n1024\t768\n");
    EXPECT_EQ(config.driver, 2);
    EXPECT_EQ(config.width, 1024);
    EXPECT_EQ(config.height, 768);
}

TEST_F(VideoConfigTest, ValuesThatCannotBeReadKeepTheirDefaults)
{
    VideoConfig config = read_text("0");
    EXPECT_EQ(config.driver, 0);
    EXPECT_EQ(config.width, 640);
    EXPECT_EQ(config.height, 480);
    config = read_text("7 wide 300");
    EXPECT_EQ(config.driver, 7);
    EXPECT_EQ(config.width, 640);
    EXPECT_EQ(config.height, 480);
    config = read_text("");
    EXPECT_EQ(config.driver, 1);
    config = read_text("garbage");
    EXPECT_EQ(config.driver, 1);
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
