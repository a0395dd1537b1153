/* par_search.h: the shortest way of a level's map, searched on a thread of its own below play. */
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

#include "search/level_search.h"

/* A search for a map's par: the breadth-first search from the level's start, run whole on a
   thread of lower priority than the one that starts it, so that play and the hint go on
   untouched. The thread reads only what the record gives it; the starting thread reads the
   answer once `done` is set, and otherwise only asks the thread to stop. */
struct ParSearch {
    std::thread thread;
    std::atomic<bool> done{false};  /* the answer below is written */
    std::atomic<bool> stop{false};  /* asked to stop: looked at between slices of the search */
    LevelSearch *search = nullptr;  /* made as it starts, freed as it is joined */
    std::string map_text;           /* the map searched, the thread's to read */
    SearchLimits limits{};
    int level = 0;                  /* what the answer is for: the level, 0 once stopped, */
    uint64_t map_hash = 0;          /* and the hash of its map when the search began */
    bool solved = false;            /* the answer: a way found, in these figures */
    int32_t moves = 0, waits = 0, ticks = 0;
};

/* Starts searching `map_text` (`length` bytes, copied) within `limits` for the par of `level`,
   whose map has `map_hash`: a search under way is stopped first. With no memory or no thread to
   search on, none runs (par_search_running stays false). */
void par_search_start(ParSearch &p, int level, uint64_t map_hash, const char *map_text,
                      size_t length, const SearchLimits &limits);

/* True while a search started is not yet taken by par_search_take or stopped. */
bool par_search_running(const ParSearch &p);

/* Without waiting: once the search under way has ended, joins its thread and returns true, the
   answer readable in the record until the next start; false while it runs, or when none does.
   A search out of memory, or cut at a bound, ends unsolved. */
bool par_search_take(ParSearch &p);

/* Asks the search under way, if any, to stop, waits for its thread (a slice of the search at
   most) and forgets it: its answer is never read. */
void par_search_stop(ParSearch &p);
