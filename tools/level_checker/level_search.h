/* level_search.h: finds the shortest way to win a level by trying every command the player has. */
#pragma once

#include <cstdint>

/* The player's commands as the search types them: the seven move codes, and waiting. */
enum {
    SEARCH_WAIT = 0,            /* no key for about the time of one hop */
    SEARCH_ACTIONS = 8,         /* waiting and the seven move codes */
    SEARCH_MAX_STEPS = 1000     /* longest solution a result holds */
};

/* How the search plays and when it gives up. A wait lasts the frames of about one hop. */
struct SearchLimits {
    int32_t ticks_per_frame;    /* game ticks each frame runs, as a steady play loop would see */
    int64_t state_limit;        /* distinct states searched before giving up */
    int32_t depth_limit;        /* commands (waits included) before giving up */
};

/* One command of a solution: the code typed (0 for a wait) and the frame it is typed on, counted
   from the level's start. */
struct SearchStep {
    int32_t frame;
    int32_t code;
    int32_t column, row;        /* the robot's square once the command is done */
};

enum SearchOutcome {
    SEARCH_SOLVED = 0,
    SEARCH_NO_SOLUTION,         /* every reachable state was tried */
    SEARCH_GAVE_UP              /* the state or depth limit was reached first */
};

struct SearchResult {
    SearchOutcome outcome;
    int64_t states;             /* distinct states searched */
    int32_t step_count;         /* commands in steps[], waits included */
    int32_t moves;              /* of them, move codes typed */
    int32_t waits;
    int32_t frames;             /* frames from the start until the level is completed */
    int32_t ticks;              /* game time of the solution */
    int32_t limit_ticks;        /* the level's time limit */
    SearchStep steps[SEARCH_MAX_STEPS];
};

/* Breadth-first search over the player's commands for the level in `map_text` (which must be
   valid: the world would stop the program on a broken map). Each command is typed as soon as the
   robot takes one, and frames run as the play loop runs them until the robot takes the next.
   States that differ only in the clock, the camera or the drawn pose count as one. Fills *result
   with the shortest solution in commands. Starts and runs the world; leaves it in some state of
   the search. Called by the level checker. */
void search_level(const char *map_text, const SearchLimits &limits, SearchResult *result);
