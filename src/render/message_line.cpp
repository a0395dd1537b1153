/* message_line.cpp: drawing the world's one line of transient text over the 3D view. */
#include "render/message_line.h"

#include <cstdio>

void draw_message_line(BITMAP *target, const MessageLine &message, int view_x, int view_y,
                       int view_w, int view_h)
{
    if (!message.text)
        return;
    char line[80];
    std::snprintf(line, sizeof line, "%s", message.text);
    textout_centre_ex(target, font, line, view_x + view_w / 2, view_y + view_h / 2,
                      makecol(100, 255, 100), -1);
}
