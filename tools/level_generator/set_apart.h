/* set_apart.h: keeps the levels of a set apart: no two share more than half their squares. */
#pragma once

#include <cstddef>
#include <cstdint>

#include "level_plan.h"

enum { SET_FOOTPRINTS = 99 };   /* the levels a folder numbers */

/* Where the earlier levels of a set have squares, and their idea lines, a level each. */
struct SetFootprints {
    int32_t count;
    int32_t squares[SET_FOOTPRINTS];
    bool on[SET_FOOTPRINTS][PLAN_ROWS][PLAN_COLUMNS];
    char idea[SET_FOOTPRINTS][PLAN_IDEA_SIZE];
};

/* Adds the plan's squares as a level of the set (nothing once SET_FOOTPRINTS are there). */
void footprints_add_plan(SetFootprints &set, const LevelPlan &plan);

/* Adds the squares of the map file `text` (`length` bytes) as a level of the set, with the idea
   its first line gives after "Tirvex level N: ". Returns false, adding nothing, when it is no
   map (parse_map finds a fault). */
bool footprints_add_map(SetFootprints &set, const char *text, size_t length);

/* Whether an earlier level of the set has the idea line `idea`. */
bool footprints_have_idea(const SetFootprints &set, const char *idea);

/* The most squares the plan shares with one earlier level, where both have one at the same
   column and row, in percent of the larger of the two: over 50 they share more than half the
   squares of each. 0 for no earlier level. */
int32_t footprints_most_shared(const SetFootprints &set, const LevelPlan &plan);

/* Turns the plan over or moves it in the map panel, if need be, so that it shares at most half
   the squares of each earlier level: as it is, mirrored left to right, both ways or top to
   bottom, each at every place in the panel from its corner on, the first that does; every
   heading is mirrored with its square. Returns false, the plan left as it was, when none
   does. */
bool set_apart(LevelPlan &plan, const SetFootprints &set);
