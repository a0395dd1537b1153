/* world_cues.cpp: the sound cues of the world, played and counted. */
#include "world/world_cues.h"

#include "base/sound.h"

CueLog cue_log;

void world_cue(int object)
{
    if (object > 0 && object < DAT_OBJECT_COUNT) {
        cue_log.plays[object]++;
        cue_log.last = object;
    }
    play_cue(datafile_sample(object));
}

void clear_cue_log()
{
    cue_log = CueLog{};
}
