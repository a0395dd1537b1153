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

/* The play tests compare a screenshot with the screen it was taken of; here the palette. */
TEST_F(Screenshot, SavesTheScreenWithThePaletteAndSaysWhere)
{
    PALETTE palette;
    for (int i = 0; i < 256; i++)
        palette[i] = RGB{(unsigned char)(i / 4), (unsigned char)(63 - i / 4), (unsigned char)(i % 64), 0};
    set_palette(palette);
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            putpixel(screen, x, y, (x / 8 + y) & 255);
    take_screenshot();
    EXPECT_STREQ(message_line.text, "Screen shot saved as screen01.bmp");
    EXPECT_EQ(message_line.ticks_left, 100);
    PALETTE read_palette;
    BITMAP *copy = load_bitmap("screen01.bmp", read_palette);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->w == 640 && copy->h == 480 && bitmap_color_depth(copy) == 8);
    int differing = 0;
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 5)
            differing += getpixel(copy, x, y) != getpixel(screen, x, y);
    EXPECT_EQ(differing, 0);
    for (int i : {1, 100, 200, 255})
        EXPECT_TRUE(read_palette[i].r == palette[i].r && read_palette[i].g == palette[i].g &&
                    read_palette[i].b == palette[i].b) << "entry " << i;
    destroy_bitmap(copy);
}

TEST_F(Screenshot, ASaveThatFailsIsReported)
{
    // A link into a directory that does not exist: the name reads as free, yet cannot be written.
    fs::create_symlink("no_such_directory/picture.bmp", dir / "screen01.bmp");
    take_screenshot();
    EXPECT_STREQ(message_line.text, "File error during screen shot");
    EXPECT_FALSE(fs::exists(dir / "screen02.bmp"));
}
