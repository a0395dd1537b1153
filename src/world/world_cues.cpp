/* world_cues.cpp: the sound cues of the world, counted and left for the world's owner to play. */
#include "world/world_cues.h"

#include "base/datafile.h"

static_assert((int)DAT_OBJECT_COUNT <= (int)WORLD_CUE_KINDS, "every datafile object can be counted");

void world_cue(World &w, int object)
{
    CueLog &cues = w.cues;
    if (object > 0 && object < DAT_OBJECT_COUNT) {
        cues.plays[object]++;
        cues.last = object;
    }
    if (cues.pending_count < PENDING_CUE_LIMIT)
        cues.pending[cues.pending_count++] = object;
}

void clear_cue_log(World &w)
{
    w.cues = CueLog{};
}
