/* end_screen.h: the congratulation page after the last level. */
#pragma once

#include <allegro.h>

/* Draws the closing text centred into buffer (screen-sized, overwritten), copies it to the
   screen, fades in from black at the slowest speed, waits until a key is in the key buffer
   (leaving it there for the next screen), fades out, clears the screen and restores the palette
   in effect on entry. Called by the play loop after recording a level that has no successor. */
void end_screen(BITMAP *buffer);

/* Draws the page's lines centred into target in the colour given. Used by end_screen. */
void draw_end_text(BITMAP *target, int colour);
