/* message_line_test.cpp: showing, counting down and drawing the message line. */
#include <gtest/gtest.h>

#include <allegro.h>
#include <algorithm>
#include <string>

#include "ui/message_line.h"

TEST(MessageLine, ANewMessageReplacesTheOldAndTheLastTickSurvivesOneMoreUpdate)
{
    show_message("fog", 100);
    count_down_messages(60);
    show_message("flat shading", 100);
    count_down_messages(99);
    count_down_messages(1);
    EXPECT_EQ(message_line.ticks_left, 0);
    EXPECT_STREQ(message_line.text, "flat shading");
    count_down_messages(1);
    EXPECT_EQ(message_line.text, nullptr);

    // A long update overshoots below zero; the text still stays for that update.
    show_message("Yum yum...", 1);
    count_down_messages(5);
    EXPECT_EQ(message_line.ticks_left, -4);
    EXPECT_NE(message_line.text, nullptr);
    count_down_messages(5);
    EXPECT_EQ(message_line.text, nullptr);
}

TEST(MessageLine, TheTitleTimerStopsAtZeroOrJustBelowAndClearingNeedsNoTimer)
{
    show_message("Level completed: press Space", 9999);
    title_timer = 200;
    for (int update = 0; update < 50; update++)
        count_down_messages(3);
    EXPECT_NE(message_line.text, nullptr);
    EXPECT_EQ(title_timer, 50);
    count_down_messages(60);
    count_down_messages(60);
    EXPECT_EQ(title_timer, -10);
    clear_message();
    EXPECT_EQ(message_line.text, nullptr);
}

/* The centring on a reduced view is seen in the frame tests; here the cut at 79 characters. */
TEST(MessageLine, DrawsAtMostSeventyNineCharactersFromTheViewsMiddleDown)
{
    if (!system_driver)
        install_allegro(SYSTEM_NONE, &errno, atexit);
    BITMAP *target = create_bitmap_ex(8, 1000, 200);
    int left, right, top;
    auto draw = [&] {
        clear_bitmap(target);
        draw_message_line(target, 0, 0, 1000, 200);
        left = 1000, right = -1, top = 200;
        for (int y = 0; y < 200; y++)
            for (int x = 0; x < 1000; x++)
                if (getpixel(target, x, y))
                    left = std::min(left, x), right = std::max(right, x), top = std::min(top, y);
    };
    clear_message();
    draw();
    EXPECT_EQ(right, -1);
    const std::string long_text(120, 'M');
    show_message(long_text.c_str(), 100);
    draw();
    // 79 glyphs of the 8-pixel font centred on x 500 span columns 184 to 815, from row 100.
    EXPECT_TRUE(left >= 184 && left <= 186) << left;
    EXPECT_TRUE(right >= 813 && right <= 815) << right;
    EXPECT_EQ(top, 100);
    destroy_bitmap(target);
    clear_message();
}
