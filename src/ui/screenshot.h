/* screenshot.h: F12, the picture on the screen saved as the first free "screenNN.bmp". */
#pragma once

#include <cstddef>

/* Copies the screen into a new bitmap and saves it with the current palette as
   "screen%02d.bmp" in the player's folder, numbered from 1 with the first number not in use
   (screen100.bmp follows screen99.bmp). The file is made beside under a name nobody can foresee
   and linked into place only where nothing stands at the name, so no link is followed and no
   file replaced: a name taken meanwhile passes to the next free one. Returns what the message
   line says of it: "Screen shot saved as NAME", "Screen shot not saved: NAME: REASON" (the path
   on standard error) or "Low on memory: cannot take screen shot". Called by the in-game keys. */
const char *take_screenshot();

/* Writes into name (size bytes) the first "screen%02d.bmp" of the player's folder at which
   nothing stands, not even a link to nothing or a FIFO (the name alone, without the folder);
   every call searches from 1 again, so a gap is filled first. Used by take_screenshot. */
void free_screenshot_name(char *name, size_t size);
