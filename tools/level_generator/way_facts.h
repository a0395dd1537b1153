/* way_facts.h: what a level's winning way does, read by playing it: the squares it uses, the
   actors it moves or sets off, the drops and climbs it takes. */
#pragma once

#include <cstdint>

#include "level_plan.h"
#include "search/level_search.h"

enum { FACT_KINDS = 8 };    /* by content code: mibo 3, zipper 4, jar 5, mine 6 ... */

struct WayFacts {
    bool used[PLAN_ROWS][PLAN_COLUMNS];     /* the robot or an actor stood there on the way */
    int32_t used_squares;
    int32_t actors;             /* mibos, zippers, jars and mines at the start */
    int32_t actors_touched;     /* of them, moved or set off on the way */
    int32_t moved[FACT_KINDS];  /* actors of each kind that left their square */
    int32_t sunk[FACT_KINDS];   /* ... and ended on a lower square than they started on */
    int32_t blasted[FACT_KINDS];    /* actors of each kind set off or blown up */
    int32_t sweets;
    int32_t drops;              /* steps of the robot down three levels or more: no way back */
    int32_t climbs;             /* steps up one or two levels */
    int32_t waits;              /* waits of the way */
    int32_t idle;               /* its waits and the jumps that leave the robot where it was:
                                   time spent waiting for something, either way */
    bool pushed[PLAN_ROWS][PLAN_COLUMNS];   /* the mibo or jar that stood there was pushed */
};

/* Plays `way` (a solution of the level in `map_text`, made from `plan`) from the level's start
   at `ticks_per_frame` and fills *facts. Returns false when the replay does not complete the
   level. */
bool read_way_facts(const LevelPlan &plan, const char *map_text, const SearchResult &way,
                    int32_t ticks_per_frame, WayFacts *facts);
