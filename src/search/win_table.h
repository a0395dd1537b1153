/* win_table.h: every position reachable from a level's start, each with the fewest commands that
   win from it, explored once so that the hint can answer by looking up. */
#pragma once

#include <atomic>
#include <cstdint>

#include "search/search_state.h"
#include "world/solution_file.h"
#include "world/world.h"

/* A table of positions: made by win_table_create, filled once by win_table_build, then only
   read. Readers on other threads must wait until the build has returned. */
struct WinTable;

/* How a build ended. */
enum WinTableOutcome {
    WIN_TABLE_EMPTY = 0,        /* not built */
    WIN_TABLE_COMPLETE,         /* every reachable position is in it */
    WIN_TABLE_TOO_LARGE,        /* the memory or the depth allowed ran out: nothing is kept */
    WIN_TABLE_STOPPED,          /* asked to stop: nothing is kept */
    WIN_TABLE_ONE_WAY           /* only the positions of one winning way are in it (a book):
                                   it knows no position to be lost, and gives no way itself */
};

/* What a build did: CPU-independent figures besides the seconds. */
struct WinTableFigures {
    WinTableOutcome outcome;
    int64_t positions;          /* positions reached, the start included */
    int64_t winnable;           /* of them, positions from which the level can be won */
    int64_t peak_memory;        /* most bytes held while building */
    int64_t memory;             /* bytes the finished table holds */
    double seconds;             /* time the build took */
    bool clock_ran_out;         /* some command on the way ran the clock out: a position may
                                   then count as lost for want of time, not of a way */
};

/* Where a position stands in the table. */
enum WinTableAnswer {
    WIN_TABLE_UNKNOWN = 0,      /* not in it (the world differs, or the table is not complete) */
    WIN_TABLE_WAY,              /* a way of *commands commands wins from it */
    WIN_TABLE_NO_WAY            /* no command sequence wins from it */
};

/* A new, empty table; nullptr when there is no memory for it. */
WinTable *win_table_create();

/* Frees the table and all it holds. A null table is nothing to free. */
void win_table_destroy(WinTable *table);

/* Explores every position reachable by the player's commands from world `from` (the robot at
   rest, with no command waiting, as at a level's start), playing at `ticks_per_frame` as the
   search does, and labels each with the fewest commands that win from it. Holds at most
   `memory_limit` bytes (and at most 16,777,213 positions); stops soon after `stop` is set. Whatever the table held before is
   dropped. Runs on the caller's thread (the hint's background thread). Returns the outcome. */
WinTableOutcome win_table_build(WinTable &table, const World &from, int32_t ticks_per_frame,
                                int64_t memory_limit, const std::atomic<bool> &stop);

/* Makes the table a book of one winning way: the positions at which `solution` (a level's
   recorded solution, its frames counted from world `from`, the level's start) types its moves,
   each with the moves still to come. Looked up, such a position has a way of that many commands
   (win_table_way gives none); every other position is unknown. Returns WIN_TABLE_ONE_WAY, or
   WIN_TABLE_TOO_LARGE (nothing kept) when the solution played from `from` does not complete the
   level at its end frame. Whatever the table held before is dropped. */
WinTableOutcome win_table_build_book(WinTable &table, const World &from, const Solution &solution);

/* Fills *figures with what the last build did. */
void win_table_figures(const WinTable &table, WinTableFigures *figures);

/* Where the position with `key` stands: for WIN_TABLE_WAY, *commands is the length of the
   shortest way and *action (an index into action_codes) its first command. */
WinTableAnswer win_table_lookup(const WinTable &table, StateKey key, int32_t *commands,
                                int32_t *action);

/* The shortest way from the position with `key`: at most `most` actions (indices into
   action_codes) written to `actions`. Returns their count; -1 when the table knows no way. */
int32_t win_table_way(const WinTable &table, StateKey key, int32_t *actions, int32_t most);
