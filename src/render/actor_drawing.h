/* actor_drawing.h: drawing the actors standing on a square, as models or as explosions. */
#pragma once

#include "world/world.h"

#include <allegro.h>

#include "render/camera.h"
#include "render/clipping.h"
#include "world/actor.h"

/* Draws every actor, in table order, that is not gone and stands on the square `serial` and
   whose bounding sphere may be in view of the world-space frustum. Returns the number drawn.
   Called by the world pass right after the square itself. */
int draw_tile_actors(const World &w, BITMAP *bitmap, int serial, const Camera *camera, const ClipPlane *planes,
                     int plane_count);

/* Draws actor `index` (an assertion stops the program outside the table): while its explosion
   countdown runs as the explosion picture, otherwise as its model (the robot in its crouched or
   stretched pose when those flags are set) walked back to front. Used by the world pass and the
   cast screen. */
void draw_actor(const World &w, int index, BITMAP *bitmap, const Camera *camera);

/* Sets *out to the actor's model-to-world matrix: the x rotation, then the y rotation by a
   quarter turn plus angle_y, then the move to its position. */
void actor_matrix(const Actor *actor, MATRIX *out);

/* Draws explosion picture 3..7 chosen by countdown t (80 ticks in all) centred on screen point
   (x, y), viewport width x 50 / depth pixels square, clipped to the viewport. Nothing is drawn
   for t <= 0 or a depth below 1 (the centre at or behind the eye). */
void draw_explosion_sprite(BITMAP *bitmap, int t, int x, int y, int depth);

/* Explosion picture (datafile object number) shown at countdown t: 3 first, 7 last. */
int explosion_picture(int t);

/* Side in pixels of the explosion picture at depth (>= 1) in a view w pixels wide. */
int explosion_size(int viewport_w, int depth);
