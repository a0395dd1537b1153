/* colour_tables.cpp: the game's palette, the colour tables made from it and the square textures. */
#include "render/colour_tables.h"

// Filled by the start-up (and by the tools that draw without it); the drawing reads them.
PALETTE game_palette;
RGB_MAP rgb_table;
COLOR_MAP light_table;
COLOR_MAP trans_table;
BITMAP *texture_table[4];
