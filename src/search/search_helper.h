/* search_helper.h: a second process that works on part of the search while the first does the rest. */
#pragma once

#include <sys/types.h>

#include <cstdint>

/* The world lives in globals, so a second core gets its own copy of it in a forked process. It
   starts with everything the search had at the fork, writes what it finds to memory shared with
   the search, and ends; the search reads that back in order, so the outcome is the one a single
   process would reach. */
struct SearchHelper {
    pid_t pid;              /* 0 when none runs */
    uint8_t *shared;        /* `capacity` bytes written by the helper, read by the search */
    uint64_t capacity;
};

/* The helper's work: writes into `shared` (`capacity` bytes). Runs in the helper process. */
typedef void (*HelperWork)(uint8_t *shared, uint64_t capacity);

/* Maps `capacity` bytes of shared memory (taken only as they are written) and forks a process
   that runs `work` on them and ends. Returns false, with nothing started, when either fails:
   the search then does the work itself. */
bool helper_start(SearchHelper *helper, uint64_t capacity, HelperWork work);

enum HelperState {
    HELPER_RUNNING = 0,
    HELPER_DONE = 1,        /* ended after doing its work: the shared memory holds it */
    HELPER_FAILED = -1      /* ended otherwise: what it wrote is not to be trusted */
};

/* Whether the helper has ended, waiting for it with `wait` set. */
HelperState helper_poll(SearchHelper *helper, bool wait);

/* Ends the helper if it still runs and unmaps the shared memory. */
void helper_stop(SearchHelper *helper);
