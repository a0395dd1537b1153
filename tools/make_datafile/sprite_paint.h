/* sprite_paint.h: pixel helpers shared by the texture and sprite makers. */
#pragma once

#include <allegro.h>

/* Returns the palette index of a fractional shade of a ramp (0.0 ... 15.0), choosing between
   the two nearest shades by a 4x4 ordered dither at (x, y), so that smooth gradients survive
   the 16-step ramps. Shades outside 0 ... 15 are clamped. */
int dither_shade(int ramp, float shade, int x, int y);

/* Returns the ordered-dither threshold at (x, y), in 0 ... 1 (exclusive); used to decide
   per pixel between two colours of unequal weight. */
float dither_threshold(int x, int y);

/* Makes every transparent (0) pixel of a masked sprite that touches an opaque pixel on one of
   its four sides into `colour`: a one-pixel outline that keeps small sprites readable over any
   background. The sprite's outermost row and column must be left free for it. */
void outline_sprite(BITMAP *sprite, int colour);

/* One symbol of a pixel pattern and the palette index it paints; used by paint_pattern. */
struct PatternKey {
    char symbol;
    int colour;
};

/* Paints a picture given as rows of symbols at (x, y): each symbol is looked up in the keys
   (count entries) and painted in its colour; symbols not found ('.' by convention) are left
   as they are. Rows may differ in length. */
void paint_pattern(BITMAP *target, int x, int y, const char *const *rows, int row_count,
                   const PatternKey *keys, int key_count);

/* Fraction (0 ... 1) of the pixel (px, py) covered by the disc at (cx, cy) with radius r,
   measured on a 4x4 grid of sample points inside the pixel. */
float disc_coverage(float px, float py, float cx, float cy, float r);

/* Brightness of a sphere-like bump at (px, py) lit from the upper left: returns -1 outside
   the disc at (cx, cy) with radius r, else a value in about 0 ... 1.25 whose top includes a
   specular glint. Icons and skins turn it into a shade of their ramp. */
float sphere_light(float px, float py, float cx, float cy, float r);

/* A repeatable pseudo-random number in 0 ... 1 for the integer pair (a, b) and a seed: the
   value noise at a lattice point. Layouts (stone sizes, rivets, sparks) draw their dice here. */
float hash_random(int a, int b, int seed);

/* Like dither_shade, but decides by a pseudo-random threshold instead of the ordered pattern:
   a grain that suits stone and fur better than the regular cross-hatch. */
int grain_shade(int ramp, float shade, int x, int y);
