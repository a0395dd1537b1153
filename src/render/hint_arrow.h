/* hint_arrow.h: the hint's arrow, drawn over the robot's square in the 3D view. */
#pragma once

#include <allegro.h>

#include "render/camera.h"
#include "render/clipping.h"

/* Draws the arrow of the hint shown (hint_shown), if any, over the robot's square as the frame's
   camera sees it: a flat arrow toward the square a step or strafe leads to, a bent one for a turn,
   an upright one for a jump, two bars for a wait. Drawn over the squares and models, under the
   message line; clipped to the frustum's `planes`. Draws nothing when no hint is shown. Called
   once a frame by render_frame. */
void draw_hint_arrow(BITMAP *bitmap, const Camera *camera, const ClipPlane *planes,
                     int plane_count);
