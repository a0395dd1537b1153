/* game_screenshot_test.cpp: F12: the first free "screenNN.bmp", its picture and its messages. */
#include <gtest/gtest.h>

#include "game_test_support.h"
#include "ui/message_line.h"
#include "ui/screenshot.h"

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

/* The play tests compare a screenshot, palette and all, with the screen it was taken of, and the
   key tests read its message. */
TEST_F(Screenshot, ASaveThatFailsIsReported)
{
    // A link into a directory that does not exist: the name reads as free, yet cannot be written.
    fs::create_symlink("no_such_directory/picture.bmp", dir / "screen01.bmp");
    take_screenshot();
    EXPECT_STREQ(message_line.text, "File error during screen shot");
    EXPECT_FALSE(fs::exists(dir / "screen02.bmp"));
}
