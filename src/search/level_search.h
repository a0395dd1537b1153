/* level_search.h: finds the shortest way to win a level by trying every command the player has. */
#pragma once

#include <cstddef>
#include <cstdint>

#include "world/world.h"

#include "search/search_state.h"

/* The player's commands as the search types them: the seven move codes, and waiting. */
enum {
    SEARCH_WAIT = 0,            /* no key for about the time of one hop */
    SEARCH_ACTIONS = 8,         /* waiting and the seven move codes */
    SEARCH_MAX_STEPS = 1000     /* longest solution a result holds */
};

struct WinTable;

/* How the search plays and when it stops. A wait lasts the frames of about one hop. */
struct SearchLimits {
    int32_t ticks_per_frame;    /* game ticks each frame runs, as a steady play loop would see */
    int64_t state_limit;        /* distinct states searched before giving up, at most 2^29 */
    int32_t depth_limit;        /* commands (waits included) before giving up, at most
                                   SEARCH_MAX_STEPS */
    int64_t memory_limit;       /* bytes the search may hold before giving up */
    int32_t helper_threads;     /* 1: a second thread takes part of each large depth, 0: none;
                                   the outcome and solution are the same either way */
    int32_t start_delay_ticks = -1; /* -1: commands from the level's first frame; else no command
                                   until the camera swoop has ended and this many ticks more */
    int32_t think_ticks = 0;    /* game ticks a player thinks before each command but a wait,
                                   the level going on meanwhile: a person's pace, not a machine's */
    bool led = false;           /* false: breadth first, the shortest way; true: the states
                                   nearest the sweets and the teleport first, for any way found
                                   sooner (no helper thread then) */
    const WinTable *known = nullptr;    /* a led search's table of positions, built whole, or
                                   none: a state it knows to be lost is not kept, and one it
                                   knows a way from goes first, the shorter way first */
};

/* Where a search stands. The ones past SEARCH_RUNNING are final. */
enum SearchOutcome {
    SEARCH_SOLVED = 0,
    SEARCH_NO_SOLUTION,         /* every reachable state was tried */
    SEARCH_STATE_LIMIT,         /* the state limit was reached first */
    SEARCH_DEPTH_LIMIT,         /* the depth limit was reached first */
    SEARCH_MEMORY_LIMIT,        /* the memory limit was reached first */
    SEARCH_CANCELLED,           /* search_cancel was called */
    SEARCH_INVALID_MAP,         /* the map has faults the game would stop on */
    SEARCH_RUNNING,             /* more to do: call search_run again */
    SEARCH_IDLE                 /* no search started */
};

/* What a search has done so far. */
struct SearchProgress {
    SearchOutcome outcome;
    int64_t states;             /* distinct states reached */
    int32_t depth;              /* commands of the states being expanded */
    int64_t frontier;           /* states at that depth */
    int64_t memory;             /* bytes held now */
    int64_t peak_memory;        /* most bytes held at once */
    double seconds;             /* time spent in search_run */
};

/* One command of a solution: the code typed (0 for a wait) and the frame it is typed on, counted
   from the level's start (or from the world a search_start_here took). */
struct SearchStep {
    int32_t frame;
    int32_t code;
    int32_t column, row;        /* the robot's square once the command is done */
    int32_t clock;              /* the level clock then, ticks */
    StateKey key;               /* the key of the state then */
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

enum { SEARCH_SWEETS_FOLLOWED = 64 };

/* How near the search came to a win, over every state it kept: what tells a designer why a
   level cannot be won. */
struct SearchNearest {
    int32_t sweets;             /* sweets in the level */
    int32_t most_eaten;         /* most sweets eaten in one state */
    int32_t teleport_distance;  /* fewest squares, along columns and rows, between the robot and
                                   the teleport in any state; -1 without a teleport */
    int32_t open_distance;      /* the same in states with every sweet eaten; -1 for none */
    uint64_t eaten;             /* bit i: the level's sweet i (in map order, the first
                                   SEARCH_SWEETS_FOLLOWED) is eaten in some state */
    int32_t sweet_column[SEARCH_SWEETS_FOLLOWED], sweet_row[SEARCH_SWEETS_FOLLOWED];
};

/* A search, with everything it holds: made by search_create, one for each search that may run
   at once. Searches share nothing, so each may run on a thread of its own; one search is used by
   one thread at a time (search_stop_soon aside). */
struct LevelSearch;

/* A new search, idle; nullptr when there is no memory for it. */
LevelSearch *search_create();

/* Frees the search and all it holds. A null search is nothing to free. */
void search_destroy(LevelSearch *search);

/* Begins a breadth-first search over the player's commands for the level in `map_text`
   (`length` bytes, copied), ending the search's run before. The level is started as the first
   level of a fresh game would be: what it plays from is the same whichever level ran before. A
   map with faults is not started: the outcome is SEARCH_INVALID_MAP. Returns the outcome,
   SEARCH_RUNNING when there is a search to run. Called by the level checker and the editor. */
SearchOutcome search_start(LevelSearch &search, const char *map_text, size_t length,
                           const SearchLimits &limits);

/* Begins a breadth-first search over the player's commands from world `from` as it stands (the
   game's level mid-play), ending the search's run before. The search plays on a copy of its
   own. The copy is first run on as the play loop would run it with no key until the robot is at
   rest with no command waiting; that is the search's start. A level completed by then gives
   SEARCH_SOLVED with no command to read, a lost or hopeless one SEARCH_NO_SOLUTION. The start
   delay of `limits` is not used. Returns the outcome, SEARCH_RUNNING when there is a search to
   run; then search_run, search_solution and the rest work on it as on a search begun by
   search_start, the frames of a solution counted from the world as it stood. Called by the
   game's hint. */
SearchOutcome search_start_here(LevelSearch &search, const World &from, const SearchLimits &limits);

/* Runs the search until it ends, `state_budget` more states have been reached,
   `ms_budget` milliseconds have passed (checked every few states; 0 for no time budget) or
   search_stop_soon was called. Each command is typed as soon as the robot takes one, and frames
   run as the play loop runs them until the robot takes the next. States that differ only in the
   clock, the camera or the drawn pose count as one. Returns the outcome. */
SearchOutcome search_run(LevelSearch &search, int64_t state_budget, int64_t ms_budget);

/* Asks a search_run under way, on another thread, to return soon (after the state it is on),
   the search still running. The next search_start clears the request. */
void search_stop_soon(LevelSearch &search);

/* True when a led search has ended with no solution after trying every state reachable, none
   of them left for lost only because the clock ran out on the way it was reached by, nor cut at
   the depth limit: its "no way" then holds whatever way a state is reached by, and needs no
   breadth-first proof. Called by the game's hint. */
bool search_led_proven(const LevelSearch &search);

/* Fills *progress with where the search stands. */
void search_progress(const LevelSearch &search, SearchProgress *progress);

/* Ends the running search: its outcome becomes SEARCH_CANCELLED, and its memory is freed. */
void search_cancel(LevelSearch &search);

/* Fills *result with the outcome, the states searched and the level's time limit; once solved,
   also with the shortest solution in commands, each with the frame it is typed on, found by
   playing it once more from the level's start. Returns false when there is no solution to read
   (or its replay did not complete the level). */
bool search_solution(LevelSearch &search, SearchResult *result);

/* Frees what the search holds; its outcome stays readable. */
void search_end(LevelSearch &search);

/* Starts the level in `map_text` (kept alive by the caller) in w as the search plays it: as the
   first level of a fresh game, with the default camera. Used to replay a solution the search has
   found. */
void search_start_world(World &w, const char *map_text);

/* The whole search in one call with the limits given, on a search of its own; fills *result and
   returns as search_solution does. Called by the level checker and the tests, on any thread. */
bool search_level(const char *map_text, const SearchLimits &limits, SearchResult *result);

/* How near the search came to a win, over the states kept so far (the helper's included once it
   has handed them over). Called by the editor after a proof that found no way. */
void search_nearest(const LevelSearch &search, SearchNearest *nearest);
