/* render_frame.h: the composition of one complete picture of play, and its counters. */
#pragma once

#include <allegro.h>

#include "world/world.h"

/* Frames composed since play was last started from the main menu; the play loop resets it. */
extern int frames;

/* Polygons handed to the library in this frame (counted by draw_polygon). */
extern int polys_drawn;

/* Actor drawings made in this frame (an actor between two squares counts twice). */
extern int actors_drawn;

/* Squares with some of their top in view in this frame. */
extern int squares_in_view;

/* What the play around the world hands the frame to draw over it. */
struct FrameOverlay {
    int level;          /* the number the level title shows */
    bool hint_shown;    /* the hint's arrow on square (hint_column, hint_row) for move hint_code */
    int hint_column;
    int hint_row;
    int hint_code;
    const char *idea = nullptr;     /* the level's idea, shown above the key card; none if empty */
    const char *const *card_keys = nullptr; /* the key card's key column as keys.cfg moved it
                                               (draw_f1_panel); nullptr: the card's picture */
    const char *message_note = nullptr;     /* a line under the message line, while one shows */
};

/* Draws one frame of play of world w into bitmap (the size of the screen): viewport and camera,
   backdrop, the squares far to near with their actors, then the hint's arrow, the message line,
   HUD, F1 panel, level title, debug column and map panel. Only reads the world: the drawing order
   it keeps from frame to frame is its own. Never clears the bitmap as a whole and never touches
   the screen. Called once per frame by the play loop (which then draws the records panel over
   it) and by the preview tool. */
void render_frame(BITMAP *bitmap, const World &w, const FrameOverlay &overlay);
