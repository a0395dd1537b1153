/* world_cues.h: the sound cues of the world, played and counted. */
#pragma once

#include <cstdint>

#include "base/datafile.h"

/* How often each datafile sample has been cued since the log was last cleared. Lets a headless
   run (tests, the level checker) hear what the player would have heard. */
struct CueLog {
    int32_t plays[DAT_OBJECT_COUNT];    /* by datafile object number */
    int32_t last;                       /* object of the latest cue; 0 before any */
};

extern CueLog cue_log;

/* Plays datafile sample `object` through play_cue (silent without a datafile or with sound off)
   and counts it in cue_log. Every sound of the world goes through here. */
void world_cue(int object);

/* Empties cue_log. */
void clear_cue_log();
