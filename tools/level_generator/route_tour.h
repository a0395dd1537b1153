/* route_tour.h: the shortest walk a placed level asks for on its bare shape, a cheap bound
   on its way found before any search. */
#pragma once

#include <cstdint>

#include "level_plan.h"

enum { TOUR_MAX_SWEETS = 12 };  /* sweets the tour orders; a plan with more has no tour */

/* The fewest steps a walk from the start over every sweet, in the best order, to the teleport
   takes on the plan's bare shape: a step climbs at most two levels and drops any, and the
   actors are walked through as if they were not there. No way of the level moves the robot
   in fewer commands (a turn or a jump moves it not at all), so a tour longer than the size's
   moves rules the level out before its search. Returns -1 when there is no such walk: no
   start, no teleport, a sweet or the teleport out of reach, or more than TOUR_MAX_SWEETS. */
int32_t shortest_tour(const LevelPlan &plan);
