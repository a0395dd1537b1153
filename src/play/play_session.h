/* play_session.h: the one level being played, owned in one place: its world and its number. */
#pragma once

#include "world/world.h"

/* What the game keeps of the level being played. The world is the running level itself; what
   is drawn is read from it, and everything that changes it (the keys' commands, undo, the
   hint's search, a restart) goes through this record. */
struct PlaySession {
    World world;
    int level;      /* the number of the level being played: chosen in the level selection (and
                       stepped by the level keys), read for the map file and the level title */
    bool not_recorded;  /* set by the slow-motion key: a completion confirmed while it is set
                           is not recorded; the play loop clears it after every level */
};

/* The game's session: the play loop, the editor's playtest and the screens over play act on it. */
extern PlaySession session;

/* Plays the cues the world has left since the last call (silent without a datafile or with sound
   off) and empties the list. Called once a frame, after the world's update. */
void play_pending_cues(World &w);
