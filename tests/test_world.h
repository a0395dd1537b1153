/* test_world.h: the session the tests play in, the tests' own, and its world: what a test sets
   up is what the keys, undo, the hint and the records act on. */
#pragma once

#include "play/play_session.h"
#include "ui/level_records.h"
#include "world/world.h"

inline PlaySession session;
inline World &world = session.world;

/* An attempt at `level` begun in `s` as a level's start begins it, for the records. */
inline void begin_attempt(int level, PlaySession &s = session)
{
    session_begin_attempt(s, level);
    records_attempt_started(s);
}
