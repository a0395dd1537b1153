/* backdrop.h: the sky panorama behind the 3D view, turning with the camera. */
#pragma once

#include <allegro.h>

/* Draws the panorama (datafile object 34) into the view rectangle (x, y, w, h) of target for a
   camera heading (fixed, 1/256 turns): 5 pixels of panorama per 1/256 turn, anchored to the
   screen, repeated across views wider than the picture and centred vertically. Clears the whole
   target first when the picture is lower than a full-height view, and when the view is reduced,
   then frames the view with a green outline one pixel outside it. Called first in every frame. */
void draw_backdrop(BITMAP *target, int x, int y, int w, int h, fixed heading);

/* The same with the panorama given: sky may be none (nothing but the clearing is done). */
void draw_backdrop_picture(BITMAP *target, BITMAP *sky, int x, int y, int w, int h, fixed heading);
