/* picture_enlarge.h: an 8-bit picture looked up in its palette and enlarged into 32-bit rows. */
#pragma once

#include <allegro.h>
#include <cstdint>

/* The 32-bit pixels (the library's 32-bit layout, makecol32) of the 256 entries of `palette`,
   each 6-bit component widened to 8 bits as the library does when it shows an 8-bit screen on
   a true colour display, so an enlarged picture has the colours the 8-bit screen had. */
void palette_pixels(const RGB *palette, uint32_t pixels[256]);

/* Writes rows first_row to end_row - 1 of the 8-bit `source`, each pixel looked up in `pixels`
   and made a factor x factor block, into the 32-bit rows `lines` (a bitmap's line table, or the
   screen image's) with the picture's top left corner at (left, top). With `previous`, the
   picture those rows already show (of source's size), only the groups of pixels that differ
   from it are written; without (nullptr), every pixel. The caller sees that the rows and
   columns exist. */
void enlarge_rows(const BITMAP *source, const BITMAP *previous, int first_row, int end_row,
                  const uint32_t pixels[256], int factor, unsigned char *const *lines, int left,
                  int top);
