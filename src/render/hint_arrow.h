/* hint_arrow.h: the hint's arrow, drawn over the robot's square in the 3D view. */
#pragma once

#include <allegro.h>

#include "render/camera.h"
#include "render/clipping.h"
#include "world/world.h"

/* Draws the hint's arrow for move `code` over the robot's square (column, row) of w as the
   frame's camera sees it: a flat arrow toward the square a step or strafe leads to, a bent one for a turn,
   an upright one for a jump, two bars for a wait. Drawn over the squares and models, under the
   message line; clipped to the frustum's `planes`. Called by render_frame while a hint is shown. */
void draw_hint_arrow(BITMAP *bitmap, const World &w, const Camera *camera,
                     const ClipPlane *planes, int plane_count, int column, int row, int code);
