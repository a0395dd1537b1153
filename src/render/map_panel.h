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

/* Draws the square marker for every square, at (ox + 7 column, oy - 7 row). */
void draw_minimap_tiles(const World &w, BITMAP *target, int ox, int oy);

/* Draws the icon of every actor not gone at its square, turned to its heading. */
void draw_minimap_actors(const World &w, BITMAP *target, int ox, int oy);
