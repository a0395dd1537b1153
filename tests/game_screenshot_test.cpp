/* game_screenshot_test.cpp: F12: the first free "screenNN.bmp", its picture and its messages. */
#include <gtest/gtest.h>

#include "file_safety_support.h"
#include "game_test_support.h"
#include "base/game_paths.h"
#include "render/message_line.h"
#include "ui/screenshot.h"
#include "test_world.h"

namespace {

using namespace game_test;

class Screenshot : public GameDirectoryTest {
protected:
    void touch(const char *name) { write_file(dir / name, "x"); }

    std::string next_name()
    {
        char name[32];
        free_screenshot_name(name, sizeof name);
        return name;
    }
};

} // namespace

TEST_F(Screenshot, NamesCountFromOneAndFillTheFirstGap)
{
    EXPECT_EQ(next_name(), "screen01.bmp");
    touch("screen01.bmp");
    touch("screen03.bmp");
    EXPECT_EQ(next_name(), "screen02.bmp");
    for (int n = 2; n <= 99; n++) {
        char name[32];
        std::snprintf(name, sizeof name, "screen%02d.bmp", n);
        touch(name);
    }
    EXPECT_EQ(next_name(), "screen100.bmp");
}

/* The library's save followed a link planted at the first free name and wrote the picture into
   the file it named; a FIFO at a name kept the search for a free one waiting. Anything at a name
   takes it: the shot goes to the first name where nothing stands, made exclusively. */
TEST_F(Screenshot, ALinkOrAFifoAtANameIsPassedOverAndNeverWrittenThrough)
{
    write_file(dir / "victim", "the player's own file");
    fs::create_symlink(dir / "victim", dir / "screen01.bmp");
    fs::create_symlink("no_such_directory/picture.bmp", dir / "screen02.bmp");
    ASSERT_EQ(mkfifo((dir / "screen03.bmp").c_str(), 0600), 0);
    ASSERT_TRUE(file_safety::returns_within(10, [] {
        char name[32];
        free_screenshot_name(name, sizeof name);
    })) << "waits on the FIFO";
    EXPECT_EQ(next_name(), "screen04.bmp");
    EXPECT_STREQ(take_screenshot(), "Screen shot saved as screen04.bmp");
    EXPECT_EQ(read_file(dir / "victim"), "the player's own file");
    EXPECT_FALSE(fs::exists(dir / "no_such_directory"));
    const std::string picture = read_file(dir / "screen04.bmp");
    EXPECT_EQ(picture.substr(0, 2), "BM");
    EXPECT_EQ(picture.size(), 54u + 256 * 4 + 640 * 480) << "an 8-bit picture with its palette";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 6) << "maps, victim, three names taken and the shot; no temporary file left";
}

/* The play tests compare a screenshot, palette and all, with the screen it was taken of, and the
   key tests read its message. */
TEST_F(Screenshot, ASaveThatFailsIsReported)
{
    // The player's folder gone: no name can be made.
    std::snprintf(home_folder, sizeof home_folder, "%s", (dir / "gone").c_str());
    const std::string said = take_screenshot();
    home_folder[0] = '\0';
    EXPECT_EQ(said, "Screen shot not saved: screen01.bmp: No such file or directory");
    EXPECT_FALSE(fs::exists(dir / "screen01.bmp"));
}
