/* message_line.cpp: the one line of transient text on the play screen, and the title timer. */
#include "ui/message_line.h"

#include <cstdio>

MessageLine message_line = {nullptr, 0};
int title_timer = 0;

void show_message(const char *text, int ticks)
{
    message_line.text = text;
    message_line.ticks_left = ticks;
}

void clear_message()
{
    message_line.text = nullptr;
}

void count_down_messages(int ticks)
{
    if (message_line.ticks_left >= 1)
        message_line.ticks_left -= ticks;
    else
        message_line.text = nullptr;
    if (title_timer > 0)
        title_timer -= ticks;
}

void draw_message_line(BITMAP *target, int view_x, int view_y, int view_w, int view_h)
{
    if (!message_line.text)
        return;
    char line[80];
    std::snprintf(line, sizeof line, "%s", message_line.text);
    textout_centre_ex(target, font, line, view_x + view_w / 2, view_y + view_h / 2,
                      makecol(100, 255, 100), -1);
}
