/* level_state.cpp: the state of the level being played. */
#include "world/level_state.h"

LevelState level_state;
