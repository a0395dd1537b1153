/* world_cues.h: the sound cues of the world, counted and left for the world's owner to play. */
#pragma once

#include "world/world.h"

/* Counts datafile sample `object` in w.cues and leaves it among the pending cues (up to
   PENDING_CUE_LIMIT an update) for the world's owner to play. Every sound of the world goes
   through here; the world itself plays nothing. */
void world_cue(World &w, int object);

/* Empties w.cues: the counts and the pending cues. */
void clear_cue_log(World &w);
