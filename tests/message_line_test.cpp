/* message_line_test.cpp: showing, counting down and drawing the message line. */
#include <gtest/gtest.h>

#include <allegro.h>
#include <string>

#include "ui/message_line.h"

namespace {
int drawn_columns(BITMAP *bitmap)
{
    int count = 0;
    for (int x = 0; x < bitmap->w; x++)
        for (int y = 0; y < bitmap->h; y++)
            if (getpixel(bitmap, x, y) != 0) {
                count++;
                break;
            }
    return count;
}
}

TEST(MessageLine, NewMessageReplacesTheOldOneAtOnce)
{
    show_message("fog", 100);
    count_down_messages(60);
    show_message("flat shading", 100);
    EXPECT_STREQ(message_line.text, "flat shading");
    count_down_messages(99);
    EXPECT_STREQ(message_line.text, "flat shading");
    count_down_messages(1);
    EXPECT_EQ(message_line.ticks_left, 0);
    EXPECT_STREQ(message_line.text, "flat shading");
    count_down_messages(1);
    EXPECT_EQ(message_line.text, nullptr);
}

TEST(MessageLine, LastTickSurvivesOneMoreFrame)
{
    show_message("Yum yum...", 1);
    count_down_messages(5);
    EXPECT_EQ(message_line.ticks_left, -4);
    EXPECT_NE(message_line.text, nullptr);
    count_down_messages(5);
    EXPECT_EQ(message_line.text, nullptr);
}

TEST(MessageLine, LongMessageStaysUntilClearedAndTitleTimerRunsDownToZeroOrBelow)
{
    show_message("Level completed: press Space", 9999);
    title_timer = 200;
    for (int update = 0; update < 50; update++)
        count_down_messages(3);
    EXPECT_NE(message_line.text, nullptr);
    EXPECT_EQ(title_timer, 50);
    count_down_messages(60);
    EXPECT_EQ(title_timer, -10);
    count_down_messages(60);
    EXPECT_EQ(title_timer, -10);
    clear_message();
    EXPECT_EQ(message_line.text, nullptr);
}

TEST(MessageLine, DrawsCentredInTheViewAndCutsAt79Characters)
{
    if (!system_driver)
        install_allegro(SYSTEM_NONE, &errno, atexit);
    BITMAP *target = create_bitmap_ex(8, 1000, 200);
    clear_bitmap(target);
    clear_message();
    draw_message_line(target, 0, 0, 1000, 200);
    EXPECT_EQ(drawn_columns(target), 0);

    std::string long_text(120, 'M');
    show_message(long_text.c_str(), 100);
    draw_message_line(target, 0, 0, 1000, 200);
    // 79 glyphs of the 8-pixel font, centred on x 500, top at y 100.
    int left = 500 - 79 * 8 / 2;
    EXPECT_EQ(getpixel(target, left - 2, 102), 0);
    int columns = drawn_columns(target);
    EXPECT_GT(columns, 78 * 4);
    EXPECT_LE(columns, 79 * 8);
    for (int x = 0; x < 1000; x++)
        for (int y = 0; y < 100; y++)
            ASSERT_EQ(getpixel(target, x, y), 0);
    destroy_bitmap(target);
    clear_message();
}
