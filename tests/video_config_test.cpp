/* video_config_test.cpp: reading and writing "wvideo.cfg", error.txt, and the one-time move of
   the file to the settings' folder. */
#include <gtest/gtest.h>

#include <allegro.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "game_test_support.h"
#include "base/game_paths.h"
#include "ui/video_mode.h"

namespace {

using namespace game_test;

class VideoConfigFile : public GameDirectoryTest {
protected:
    void TearDown() override
    {
        home_folder[0] = config_folder[0] = '\0';
        home_unwritable = progress_unwritable = false;
        GameDirectoryTest::TearDown();
    }
};

/* In the child of a death test: start-up's mode from wvideo.cfg, which headless cannot be set. */
void set_mode_headless()
{
    destroy_bitmap(screen);
    screen = nullptr;
    init_video_mode();
    std::_Exit(0);
}

} // namespace

/* Three numbers separated by any white space; what cannot be read keeps its default (a number
   too large for an int too, which the C library's %d would leave undefined: the note names the
   file), and a missing file gives full screen at 640 x 480. What is not a regular file, or is far
   too large, is refused at once with a note naming it, for the default mode. (That a FIFO is
   never waited on: the readers' table of game_records_test.) What is written is one line that
   reads back. */
TEST_F(VideoConfigFile, ReadsWhatItCanKeepsTheDefaultsForTheRestAndWritesOneLine)
{
    const int full = GFX_AUTODETECT_FULLSCREEN;
    // One byte over the limit: the check on opening holds to the byte.
    write_file("big.cfg", "2 800 600" + std::string(4096 - 9 + 1, ' '));
    const struct { const char *path, *text; int driver, width, height; const char *note; } cases[] = {
        {"wvideo.cfg", nullptr, full, 640, 480, ""}, {"wvideo.cfg", "0 800 600", 0, 800, 600, ""},
        {"wvideo.cfg", "  2\n1024\t768\n", 2, 1024, 768, ""}, {"wvideo.cfg", "0", 0, 640, 480, nullptr},
        {"wvideo.cfg", "7 wide 300", 7, 640, 480, nullptr}, {"wvideo.cfg", "", 1, 640, 480, nullptr},
        {"wvideo.cfg", "garbage", 1, 640, 480, nullptr},
        {"wvideo.cfg", "0 99999999999999999999 600\n", 0, 640, 480,
         "wvideo.cfg: the width is too large a number; the default 640 is kept"},
        {"wvideo.cfg", "-2147483648 2147483647 -0\n", INT32_MIN, INT32_MAX, 0, ""},
        {"/dev/zero", nullptr, full, 640, 480, "/dev/zero: not a regular file (a device); the default mode is used"},
        {"big.cfg", nullptr, full, 640, 480,
         "big.cfg: larger than 4096 bytes, too large to be one; the default mode is used"},
    };
    for (const auto &c : cases) {
        if (c.text)
            write_file(c.path, c.text);
        char note[256];
        const VideoConfig config = read_video_config(c.path, note, sizeof note);
        EXPECT_TRUE(config.driver == c.driver && config.width == c.width && config.height == c.height)
            << (c.text ? c.text : c.path) << ": " << config.driver << " " << config.width << " " << config.height;
        if (c.note) {
            EXPECT_STREQ(note, c.note);
        }
    }
    const VideoConfig chosen = {GFX_AUTODETECT_WINDOWED, 800, 600};
    ASSERT_EQ(write_video_config("wvideo.cfg", &chosen), 1);
    EXPECT_EQ(read_file("wvideo.cfg"), std::to_string(GFX_AUTODETECT_WINDOWED) + " 800 600\n");
    const VideoConfig back = read_video_config("wvideo.cfg");
    EXPECT_TRUE(back.driver == chosen.driver && back.width == 800 && back.height == 600);
    EXPECT_EQ(write_video_config("/nonexistent-dir/wvideo.cfg", &chosen), 0);
}

/* Alt+Enter and the dialog wrote wvideo.cfg through a link planted at its name, into whatever
   file it named. The link is replaced by the new file; what it led to is never touched. */
TEST_F(VideoConfigFile, AWriteReplacesALinkAtTheNameAndNeverWritesThroughIt)
{
    const VideoConfig chosen = {GFX_AUTODETECT_WINDOWED, 800, 600};
    write_file("victim", "the player's own file");
    fs::create_symlink(dir / "victim", "wvideo.cfg");
    ASSERT_EQ(write_video_config("wvideo.cfg", &chosen), 1);
    EXPECT_EQ(read_file("victim"), "the player's own file");
    EXPECT_FALSE(fs::is_symlink("wvideo.cfg"));
    EXPECT_EQ(read_file("wvideo.cfg"), std::to_string(GFX_AUTODETECT_WINDOWED) + " 800 600\n");

    fs::remove("wvideo.cfg");
    fs::create_symlink(dir / "made_through_the_link", "wvideo.cfg");
    ASSERT_EQ(write_video_config("wvideo.cfg", &chosen), 1);
    EXPECT_FALSE(fs::exists(dir / "made_through_the_link"));
}

/* wvideo.cfg asking for driver -1 (the library's text mode, which sets no screen) crashed in the
   main menu; a mode that cannot be set wrote error.txt through a link planted at its name. An
   unknown driver is used as a missing file is and error.txt says so; error.txt replaces the
   link. Headless no mode can be set, so the game ends as it would without a display. */
TEST_F(VideoConfigFile, AnUnknownDriverIsNotUsedAndErrorTxtReplacesALink)
{
    write_file("victim", "the player's own file");
    fs::create_symlink(dir / "victim", "error.txt");
    write_file("wvideo.cfg", "-1 640 480\n");
    EXPECT_EXIT(set_mode_headless(), ::testing::ExitedWithCode(1),
                "wvideo.cfg asks for driver -1, which is no graphics driver here: the default mode "
                "is used");
    EXPECT_EQ(read_file("victim"), "the player's own file");
    ASSERT_FALSE(fs::is_symlink("error.txt"));
    const std::string text = read_file("error.txt");
    EXPECT_EQ(text.rfind("Error setting graphics mode\n", 0), 0u) << text;
    EXPECT_NE(text.find("wvideo.cfg asks for driver -1, which is no graphics driver here"),
              std::string::npos) << text;

    // The drivers the game and its dialog write are known.
    for (int driver : {GFX_AUTODETECT, GFX_AUTODETECT_FULLSCREEN, GFX_AUTODETECT_WINDOWED}) {
        fs::remove("error.txt");
        write_file("wvideo.cfg", std::to_string(driver) + " 640 480\n");
        EXPECT_EXIT(set_mode_headless(), ::testing::ExitedWithCode(1), "");
        EXPECT_EQ(read_file("error.txt").rfind("Error setting graphics mode\n", 0), 0u) << driver;
        EXPECT_EQ(read_file("error.txt").find("no graphics driver"), std::string::npos) << driver;
    }
}

/* The one-time move of wvideo.cfg to a settings' folder on another file system copied it
   through a link planted at the new name, into the file the link named. A link there counts as
   a file in the way: nothing is moved or written through it; without it the copy is made and
   the old file goes. Needs a file system of its own, which only root can mount. */
TEST_F(VideoConfigFile, TheMoveToAnotherFileSystemFollowsNoLinkAtTheNewName)
{
    const fs::path other = dir / "config";
    fs::create_directories(other);
    if (geteuid() != 0 || mount("tmpfs", other.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a file system here (needs root)";
    fs::create_directories(dir / "share/data");
    write_file(dir / "share/data/pz.dat", "x");
    fs::create_directories(dir / "xdg/tirvex");
    write_file(dir / "xdg/tirvex/wvideo.cfg", "2 800 600\n");
    fs::create_directories(other / "tirvex");
    fs::create_symlink(other / "made_through_the_link", other / "tirvex/wvideo.cfg");
    const std::string xdg = (dir / "xdg").string(), share = (dir / "share").string();
    const PlaceRequest r = {share.c_str(), nullptr, xdg.c_str(), nullptr, "/nonexistent/tirvex",
                            nullptr, other.c_str()};
    char fault[GAME_PATH_SIZE + 128], notice[GAME_PATH_SIZE + 128];
    ASSERT_EQ(find_game_places(&r, fault, notice, sizeof fault), 1);
    EXPECT_FALSE(fs::exists(other / "made_through_the_link"));
    EXPECT_TRUE(fs::is_symlink(other / "tirvex/wvideo.cfg"));
    EXPECT_EQ(read_file(dir / "xdg/tirvex/wvideo.cfg"), "2 800 600\n") << "left where it was";

    fs::remove(other / "tirvex/wvideo.cfg");
    ASSERT_EQ(find_game_places(&r, fault, notice, sizeof fault), 1);
    EXPECT_EQ(read_file(other / "tirvex/wvideo.cfg"), "2 800 600\n");
    EXPECT_FALSE(fs::exists(dir / "xdg/tirvex/wvideo.cfg"));
    fs::current_path(dir);
    umount2(other.c_str(), MNT_DETACH);
}
