/* search_helper.h: a second thread that works on part of the search while the first does the rest. */
#pragma once

#include <atomic>
#include <cstdint>

struct HelperRun;

/* A helper thread and what it writes. It works on a world of its own and only reads what the
   search leaves alone meanwhile or writes so that it may be read (the states seen); it writes
   its findings to memory of its own, which the search reads back in order once it has ended, so
   the outcome is the one a single thread would reach. */
struct SearchHelper {
    HelperRun *run;         /* the thread, started at the first work and kept until helper_free;
                               none before */
    bool busy;              /* a work given has not yet been found ended or been stopped */
    uint8_t *shared;        /* `capacity` bytes written by the helper, read by the search after */
    uint64_t capacity;
    uint64_t mapped;        /* bytes mapped at `shared`, kept from one helper to the next: the
                               pages a helper has written are not taken from the system again */
};

/* The helper's work: writes into `shared` (`capacity` bytes), looking at `stop` between its
   states and ending soon once it is set. Runs on the helper thread. */
typedef void (*HelperWork)(void *job, uint8_t *shared, uint64_t capacity,
                           const std::atomic<bool> &stop);

/* Maps `capacity` bytes (taken only as they are written), or reuses the bytes the helper before
   had when they are as many, and has the helper's thread (started now if it is not yet) run
   `work` on `job` and them, once a work given before has ended. Returns false, with nothing
   started, when either fails: the search then does the work itself. */
bool helper_start(SearchHelper *helper, uint64_t capacity, HelperWork work, void *job);

enum HelperState {
    HELPER_RUNNING = 0,
    HELPER_DONE = 1,        /* ended after doing its work: the memory holds it */
    HELPER_FAILED = -1      /* none runs */
};

/* Whether the work given has ended, waiting for it with `wait` set; HELPER_FAILED when none was
   given or it was found ended before. */
HelperState helper_poll(SearchHelper *helper, bool wait);

/* Asks the work given to stop if it still runs and waits for it to end. The thread waits for
   the next work, and the memory stays mapped for it. */
void helper_stop(SearchHelper *helper);

/* helper_stop, ends the thread and unmaps the memory. */
void helper_free(SearchHelper *helper);
