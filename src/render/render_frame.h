/* render_frame.h: the composition of one complete picture of play, and its counters. */
#pragma once

#include <allegro.h>

/* Frames composed since play was last started from the main menu; the play loop resets it. */
extern int frames;

/* Polygons handed to the library in this frame (counted by draw_polygon). */
extern int polys_drawn;

/* Actor drawings made in this frame (an actor between two squares counts twice). */
extern int actors_drawn;

/* Draws one frame of play into bitmap (the size of the screen): viewport and camera, backdrop,
   the squares far to near with their actors, the player's floor probe, then the message line,
   HUD, F1 panel, level title, debug column and map panel. Never clears the bitmap as a whole and
   never touches the screen. Called once per frame by the play loop and by the preview tool. */
void render_frame(BITMAP *bitmap);
