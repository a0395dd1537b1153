/* colour_tables.h: the game's palette, the colour tables made from it and the square textures. */
#pragma once

#include <allegro.h>

/* The palette of play, console, cast and help screens: a copy of datafile object 30. */
extern PALETTE game_palette;

/* Built from game_palette at start-up; installed as the library's rgb_map (fast makecol). */
extern RGB_MAP rgb_table;

/* Shades every colour toward black; installed as the library's color_map. */
extern COLOR_MAP light_table;

/* 50 % translucency; the renderer installs it as color_map for translucent drawing. */
extern COLOR_MAP trans_table;

/* The four square textures, datafile objects 48 ... 51. */
extern BITMAP *texture_table[4];
