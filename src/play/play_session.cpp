/* play_session.cpp: the one level being played, owned in one place. */
#include "play/play_session.h"

#include "base/datafile.h"
#include "base/sound.h"
#include "world/world.h"

PlaySession session = {World{}, 1, false};

void play_pending_cues(World &w)
{
    CueLog &cues = w.cues;
    for (int i = 0; i < cues.pending_count; i++)
        play_cue(datafile_sample(cues.pending[i]));
    cues.pending_count = 0;
}
