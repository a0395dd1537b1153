/* level_state.h: the state of the level being played: sweets, teleport, won or lost. */
#pragma once

#include <cstdint>

struct LevelState {
    int32_t sweets_total;       /* sweets placed by the map */
    int32_t sweets_eaten;       /* sweets eaten in this attempt */
    int32_t teleport_active;    /* 1 once every sweet is eaten */
    int32_t teleport_entered;   /* 1 once the player has stepped toward the active teleport */
    int32_t level_completed;    /* the level is won */
    int32_t level_lost;         /* died, fell off or ran out of time */
};
