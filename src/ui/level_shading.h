/* level_shading.h: the shading a level is drawn in, flat for its first frame, textured after. */
#pragma once

/* Sets the shading mode for a level's first frame: flat. Called by the play loop and --watch as
   a level starts, before its first frame is drawn. */
void start_level_shading();

/* Called after each frame of a level has been drawn and updated: after the first it sets
   perspective-correct texture mapping, which the shading key may change from then on; later
   calls change nothing. */
void level_frame_drawn();
