/* message_line.h: drawing the world's one line of transient text over the 3D view. */
#pragma once

#include <allegro.h>

#include "world/world.h"

/* Draws the message, if any, into target with the global font in light green, centred
   horizontally in the 3D view rectangle (x, y, w, h) with its top at the rectangle's middle.
   At most 79 characters are drawn. Called once per frame by the frame composition, after the
   3D view and before the HUD; it passes this frame's viewport. A note, when given (not empty),
   is drawn centred on the line below, in a paler green, whether or not a message shows: the
   message itself stays as it is. */
void draw_message_line(BITMAP *target, const MessageLine &message, int view_x, int view_y,
                       int view_w, int view_h, const char *note = nullptr);
