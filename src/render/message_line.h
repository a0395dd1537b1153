/* message_line.h: drawing the world's one line of transient text over the 3D view. */
#pragma once

#include <allegro.h>

#include "world/world.h"

/* A boxed text's most lines, and the band's margin round them on each side, in pixels. */
enum { MESSAGE_BOX_LINES = 4, MESSAGE_BOX_PAD = 3 };

/* Draws the message, if any, into target with the global font in light green, centred
   horizontally in the 3D view rectangle (x, y, w, h) with its top at the rectangle's middle.
   At most 79 characters are drawn; a boxed message (show_boxed_message) is drawn whole, broken
   into lines the view's width, on a dark band. Called once per frame by the frame composition,
   after the 3D view and before the HUD; it passes this frame's viewport. A note, when given (not
   empty), is drawn centred below the message on a dark band of its own, whether or not a message
   shows: the message itself stays as it is. */
/* Draws text in font f and colour centred on centre_x from row y down, broken at blanks (a word
   wider than the line where it must) into at most four lines no wider than width pixels, on a
   near-black band just round them: legible over any picture. Returns the band's height. */
int draw_boxed_text(BITMAP *target, FONT *f, const char *text, int centre_x, int y, int width,
                    int colour);

void draw_message_line(BITMAP *target, const MessageLine &message, int view_x, int view_y,
                       int view_w, int view_h, const char *note = nullptr);
