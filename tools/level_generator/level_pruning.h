/* level_pruning.h: takes away the squares a level's way has no use for. */
#pragma once

#include "level_plan.h"
#include "way_facts.h"

/* Removes from `plan` every square that the way did not use and that lies next to no square it
   used: what is left is the way, and beside it the ledges, pits and side turnings a player is
   tempted by. A square with something on it at the start stays. Returns the squares removed. */
int32_t prune_plan(LevelPlan &plan, const WayFacts &facts);
