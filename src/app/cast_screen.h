/* cast_screen.h: the gallery that presents each kind of actor as a rotating model. */
#pragma once

#include <allegro.h>

#include "world/actor_kinds.h"

/* One entry per kind of actor, in the kinds' cast places. */
enum { CAST_ENTRIES = ACTOR_KIND_COUNT };

/* The actor type (ActorType) shown for entry `index`: the kind whose cast place it is. */
int cast_type(int index);

/* A click's meaning on the cast screen. */
enum CastArea {
    CAST_AREA_NONE = 0,
    CAST_AREA_PREVIOUS,
    CAST_AREA_NEXT,
    CAST_AREA_EXIT
};

/* Which button of the background picture lies under the point (x, y) of a screen whose centre
   is (centre_x, centre_y); the three areas lie side by side just above the model's viewport. */
int cast_area_at(int x, int y, int centre_x, int centre_y);

/* Shows the cast, drawing into buffer (screen-sized), until the player leaves it with Esc or the
   exit button: one actor at a time as its model in a 320 x 240 view with the camera circling it,
   beside its title and description; Left and Right or the previous and next buttons step through
   the entries. Installs the mouse for its duration. Leaves the cast screen's display
   options, camera and last actor in place. Called by the menu loop for choice 2, before the key
   help page. */
void cast_screen(BITMAP *buffer);

/* Draws a complete frame of the cast screen into target: background, the model's view with the
   actor at index 0 of the actor table, and the text of cast_text. */
void draw_cast_screen(BITMAP *target);

/* Draws cast_text into target: the title in its bar and as a caption under the model, then the
   description lines. */
void draw_cast_text(BITMAP *target);
