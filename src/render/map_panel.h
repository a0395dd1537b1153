/* map_panel.h: the panel with the level's squares and actors that slides in from the right. */
#pragma once

#include "world/world.h"

#include <allegro.h>

/* Offset of the panel's left edge from the right edge of the screen: 0 hidden, negative as it
   slides in. Lives for the whole run. */
extern int map_panel_x;

/* Draws the panel (frame, translucent overlay, squares and actor icons) while it is at least
   partly on screen, then slides it 10 pixels toward where the map panel switch wants it. Sets
   target's clipping to the whole bitmap. The last drawing of every frame. */
void draw_map_panel(const World &w, BITMAP *target);

/* Draws the square marker for every square, at (ox + 7 column, oy - 7 row); with the map
   heights switched on (display_options.map_heights), each square's middle then shows its
   height (draw_minimap_heights). */
void draw_minimap_tiles(const World &w, BITMAP *target, int ox, int oy);

/* Fills the middle of every square's cell with the shade of its height among the level's. */
void draw_minimap_heights(const World &w, BITMAP *target, int ox, int oy);

/* The colour of a square of `height` in a level whose squares span lowest..highest: darker
   lower, lighter higher, a middle shade when all are alike. */
int map_height_shade(int height, int lowest, int highest);

/* Draws the icon of every actor not gone at its square, turned to its heading. */
void draw_minimap_actors(const World &w, BITMAP *target, int ox, int oy);
