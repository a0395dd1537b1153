/* message_line.cpp: drawing the world's one line of transient text over the 3D view. */
#include "render/message_line.h"

#include <cstdio>

void draw_message_line(BITMAP *target, const MessageLine &message, int view_x, int view_y,
                       int view_w, int view_h, const char *note)
{
    char line[80];
    if (note && note[0]) {
        std::snprintf(line, sizeof line, "%s", note);
        // A shadow keeps the note legible over the bright sky, where it often falls; note and
        // shadow end above row 260 of a full view, where the view below the line begins.
        const int x = view_x + view_w / 2, y = view_y + view_h / 2 + text_height(font) + 3;
        textout_centre_ex(target, font, line, x + 1, y + 1, makecol(0, 0, 0), -1);
        textout_centre_ex(target, font, line, x, y, makecol(100, 255, 100), -1);
    }
    if (!message.text)
        return;
    std::snprintf(line, sizeof line, "%s", message.text);
    textout_centre_ex(target, font, line, view_x + view_w / 2, view_y + view_h / 2,
                      makecol(100, 255, 100), -1);
}
