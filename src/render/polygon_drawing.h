/* polygon_drawing.h: the one way a 3D polygon reaches the library, in every light and shading mode. */
#pragma once

#include <allegro.h>

#include "render/polygon.h"

/* Draws a clipped, transformed and projected polygon of 3 to MAX_POLYGON_VERTICES corners into
   bitmap, as the display options' light and shading modes say: texture for the textured modes,
   colour for the flat ones (a palette index), light (0..255) for the light-source modes. Writes
   the corners' c fields and counts the polygon in polys_drawn. A polygon with a corner at or
   behind the eye is seen edge-on and is not drawn. Called by the square and model drawing. */
void draw_polygon(BITMAP *bitmap, Polygon *polygon, BITMAP *texture, int colour, int light);

/* Returns makecol(r, g, b) for the current palette, remembering the answers until the palette
   or the library's rgb_map changes, so the flat modes do not search the palette per polygon. */
int cached_makecol(int r, int g, int b);
