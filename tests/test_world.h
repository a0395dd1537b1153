/* test_world.h: the world the tests drive: the game's own session's, so that what a test sets up
   is what the game's keys, undo and hint act on. */
#pragma once

#include "play/play_session.h"
#include "world/world.h"

inline World &world = session.world;
