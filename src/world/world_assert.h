/* world_assert.h: the world's consistency checks, reported with the name of their module. */
#pragma once

#include "base/fatal.h"

/* Stops the program through assert_failed naming `module` ("actors", "map", "player", "level")
   and the line, when condition is false. */
#define world_assert(condition, module) \
    do { if (!(condition)) assert_failed(__LINE__, module); } while (0)
