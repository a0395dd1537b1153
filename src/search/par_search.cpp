/* par_search.cpp: the shortest way of a level's map, searched on a thread of its own below play. */
#include "search/par_search.h"

#include <memory>
#include <new>
#include <system_error>

#include <sys/resource.h>
#include <unistd.h>

namespace {

/* A slice of the search between two looks at `stop`: a stop asked before the thread's
   search_start (which clears search_stop_soon's request) is seen at the latest after it. */
const int64_t SLICE_MS = 50;

/* The thread: the whole search, then its figures. On Linux a thread's nice value is its own:
   the game's other threads keep theirs. */
void search_par(ParSearch &p)
{
    setpriority(PRIO_PROCESS, (id_t)gettid(), 10);
    LevelSearch &search = *p.search;
    SearchOutcome outcome = search_start(search, p.map_text.data(), p.map_text.size(), p.limits);
    while (outcome == SEARCH_RUNNING && !p.stop.load())
        outcome = search_run(search, INT64_MAX, SLICE_MS);
    if (outcome != SEARCH_RUNNING) {
        std::unique_ptr<SearchResult> result(new (std::nothrow) SearchResult());
        p.solved = result && search_solution(search, result.get());
        if (result) {
            p.moves = result->moves;
            p.waits = result->waits;
            p.ticks = result->ticks;
        }
    }
    search_end(search);
    p.done.store(true, std::memory_order_release);
}

/* Joins the thread and frees the search; the figures stay. */
void join(ParSearch &p)
{
    if (p.thread.joinable())
        p.thread.join();
    search_destroy(p.search);
    p.search = nullptr;
}

} // namespace

void par_search_start(ParSearch &p, int level, uint64_t map_hash, const char *map_text,
                      size_t length, const SearchLimits &limits)
{
    par_search_stop(p);
    p.search = search_create();
    if (!p.search)
        return;
    p.map_text.assign(map_text, length);
    p.limits = limits;
    p.solved = false;
    p.moves = p.waits = p.ticks = 0;
    p.level = level;
    p.map_hash = map_hash;
    p.done.store(false);
    p.stop.store(false);
    try {
        p.thread = std::thread(search_par, std::ref(p));
    } catch (const std::system_error &) {
        join(p);
    }
}

bool par_search_running(const ParSearch &p)
{
    return p.thread.joinable();
}

bool par_search_take(ParSearch &p)
{
    if (!par_search_running(p) || !p.done.load(std::memory_order_acquire))
        return false;
    join(p);
    return true;
}

void par_search_stop(ParSearch &p)
{
    if (p.thread.joinable()) {
        p.stop.store(true);
        search_stop_soon(*p.search);
    }
    join(p);
    p.level = 0;
    p.map_text.clear();
}
