/* palette_fade.h: palette fades that sleep between their steps instead of spinning a core. */
#pragma once

#include <allegro.h>

/* Fades the palette from `from` to `to` in the time the library's fade_from takes at the same
   speed (1 slowest ... 64 fastest): 128 / speed retraces of 70 a second, about 1.8 s at speed 1.
   Sleeps between the steps, then sets `to`. Called by the play screens around their pages. */
void fade_palette(const RGB *from, const RGB *to, int speed);

/* Fades from black to `to`, like the library's fade_in. */
void fade_palette_in(const RGB *to, int speed);

/* Fades from the palette in effect to black, like the library's fade_out. */
void fade_palette_out(int speed);
