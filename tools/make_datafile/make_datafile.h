/* make_datafile.h: the makers of the datafile's objects and what they share. */
#pragma once

#include <allegro.h>

/* ---- palette.cpp ---------------------------------------------------------------------- */

/* The palette is 16 ramps of 16 shades: index = ramp * 16 + shade. Shade 0 is near black,
   shade 11 the full colour, shades 12 ... 15 tint toward white. Pictures and textures paint
   from the upper shades and leave the dark ones to the light table and the fog.
   Ramp 0 is grey: index 0 is pure black (transparent in masked sprites), 15 pure white. */
enum PaletteRamp {
    RAMP_GREY, RAMP_RED, RAMP_ORANGE, RAMP_YELLOW, RAMP_LIME, RAMP_GREEN, RAMP_TEAL,
    RAMP_SKY, RAMP_BLUE, RAMP_VIOLET, RAMP_MAGENTA, RAMP_PINK, RAMP_CLAY, RAMP_SAND,
    RAMP_STONE, RAMP_STEEL, RAMP_COUNT
};
enum { SHADES_PER_RAMP = 16, SHADE_FULL = 11 };

/* The game palette (objects 30, 31 and 32), built by make_palette(). */
extern PALETTE game_colours;

/* Fills game_colours. Called first by main. */
void make_palette();

/* Returns the palette index of the given ramp and shade (shade clamped to 0 ... 15). */
int ramp_colour(int ramp, int shade);

/* Returns the palette index of a ramp at brightness 0.0 (black) ... 1.0 (white tint),
   with 0.73 the full colour; used by shading code that works in floats. */
int ramp_shade(int ramp, float brightness);

/* Returns the palette index nearest to an 8-bit-per-channel colour. */
int nearest_colour(int r, int g, int b);

/* ---- paint.cpp: small painting helpers --------------------------------------------- */

/* Smooth value noise in 0 ... 1 at (x, y), repeating every `period` units in both axes
   (period 0: no repeat). Different seeds give unrelated noise. */
float value_noise(float x, float y, int seed, int period = 0);

/* Sum of octaves of value_noise, normalised to 0 ... 1, tileable with the given period. */
float fractal_noise(float x, float y, int seed, int octaves, int period = 0);

/* Saves an 8-bit bitmap as BMP with the game palette. Ends the generator on failure. */
void save_picture(const char *path, BITMAP *picture);

/* ---- The makers. Each writes its object's source file at path. ------------------------ */

void make_palette_file(const char *path);            /* 30, 31, 32 */

void make_cast_background(const char *path);         /* 1 */
void make_select_background(const char *path);       /* 2 */
void make_menu_picture(const char *path);            /* 28 */
void make_backdrop(const char *path);                /* 34 */
void make_f1_panel(const char *path);                /* 13 */

void make_explosion(const char *path, int frame);    /* 3 ... 7, frame 0 ... 4 */
void make_cursor(const char *path);                  /* 8 */
void make_map_marker(const char *path);              /* 14 */
void make_map_icon(const char *path, int map_code);  /* 15 ... 21, map code 1 ... 7 */
void make_teleport_icon(const char *path, int active); /* 22, 23 */
void make_sweet_icon(const char *path);              /* 24 */
void make_clock_icon(const char *path);              /* 25 */
void make_map_frame(const char *path);               /* 26 */
void make_map_overlay(const char *path);             /* 27 */
void make_completed_mark(const char *path);          /* 61 */

void make_square_texture(const char *path, int which);  /* 48 ... 51, which 0 ... 3 */
void make_model_texture(const char *path, int object);  /* 52 ... 57 */

void make_font_global(const char *path);             /* 10 */
void make_font_large(const char *path);              /* 11 */
void make_font_small(const char *path);              /* 47 */

void make_sample(const char *path, int object);      /* 35, 36, 37, 41, 43, 44, 45, 46 */
void make_music(const char *path, int number);       /* 38, 39, 40: number 0, 1, 2 */

/* Writes a mono 16-bit WAV file of `count` samples in -1 ... 1 at `rate` Hz. */
void save_wav(const char *path, const float *samples, int count, int rate);
