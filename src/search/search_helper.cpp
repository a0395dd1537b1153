/* search_helper.cpp: a second thread that works on part of the search while the first does the rest. */
#include "search/search_helper.h"

#include <sys/mman.h>

#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

/* The thread, which waits between two works for the next: a thread started and ended for each
   depth cost the search a twentieth again, in the system's time, its stack's pages given back
   and taken again, and in the other processor's interruptions. */
struct HelperRun {
    std::thread thread;
    std::mutex lock;
    std::condition_variable signal;     /* a work given, the work ended, or quit */
    std::atomic<bool> stop{false};
    bool given = false;     /* a work waits for the thread to take it */
    bool ended = true;      /* the work given last has ended */
    bool quit = false;      /* the thread is to end once no work waits */
    HelperWork work = nullptr;
    void *job = nullptr;
    uint8_t *shared = nullptr;
    uint64_t capacity = 0;
};

namespace {

/* The thread's life: each work given, in turn, until it is told to quit. */
void serve(HelperRun *run)
{
    std::unique_lock<std::mutex> hold(run->lock);
    for (;;) {
        run->signal.wait(hold, [run] { return run->given || run->quit; });
        if (!run->given)
            return;
        run->given = false;
        const HelperWork work = run->work;
        void *job = run->job;
        uint8_t *shared = run->shared;
        const uint64_t capacity = run->capacity;
        hold.unlock();
        work(job, shared, capacity, run->stop);
        hold.lock();
        run->ended = true;
        run->signal.notify_all();
    }
}

/* Waits for the work given last to end. */
void wait_ended(HelperRun *run)
{
    std::unique_lock<std::mutex> hold(run->lock);
    run->signal.wait(hold, [run] { return run->ended; });
}

} // namespace

bool helper_start(SearchHelper *helper, uint64_t capacity, HelperWork work, void *job)
{
    helper_stop(helper);
    if (helper->mapped < capacity) {
        if (helper->shared)
            munmap(helper->shared, helper->mapped);
        helper->shared = nullptr;
        helper->mapped = 0;
        void *fresh = mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (fresh == MAP_FAILED)
            return false;
        helper->shared = (uint8_t *)fresh;
        helper->mapped = capacity;
    }
    if (!helper->run) {
        HelperRun *run = new (std::nothrow) HelperRun;
        if (!run)
            return false;
        try {
            run->thread = std::thread(serve, run);
        } catch (...) {
            delete run;
            return false;
        }
        helper->run = run;
    }
    HelperRun *run = helper->run;
    {
        std::lock_guard<std::mutex> hold(run->lock);
        run->work = work;
        run->job = job;
        run->shared = helper->shared;
        run->capacity = capacity;
        run->stop.store(false, std::memory_order_relaxed);
        run->ended = false;
        run->given = true;
    }
    run->signal.notify_all();
    helper->busy = true;
    helper->capacity = capacity;
    return true;
}

HelperState helper_poll(SearchHelper *helper, bool wait)
{
    HelperRun *run = helper->run;
    if (!run || !helper->busy)
        return HELPER_FAILED;
    if (wait) {
        wait_ended(run);
    } else {
        std::lock_guard<std::mutex> hold(run->lock);
        if (!run->ended)
            return HELPER_RUNNING;
    }
    helper->busy = false;
    return HELPER_DONE;
}

void helper_stop(SearchHelper *helper)
{
    if (HelperRun *run = helper->run; run && helper->busy) {
        run->stop.store(true, std::memory_order_relaxed);
        wait_ended(run);
    }
    helper->busy = false;
    helper->capacity = 0;
}

void helper_free(SearchHelper *helper)
{
    helper_stop(helper);
    if (HelperRun *run = helper->run) {
        {
            std::lock_guard<std::mutex> hold(run->lock);
            run->quit = true;
        }
        run->signal.notify_all();
        run->thread.join();
        delete run;
    }
    if (helper->shared)
        munmap(helper->shared, helper->mapped);
    *helper = SearchHelper{};
}
