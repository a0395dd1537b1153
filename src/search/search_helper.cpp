/* search_helper.cpp: a second thread that works on part of the search while the first does the rest. */
#include "search/search_helper.h"

#include <sys/mman.h>

#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

/* The thread, the request to stop and the word that it has ended. */
struct HelperRun {
    std::thread thread;
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::condition_variable ended_signal;
    bool ended = false;
};

bool helper_start(SearchHelper *helper, uint64_t capacity, HelperWork work, void *job)
{
    helper_stop(helper);
    if (helper->mapped < capacity) {
        helper_free(helper);
        void *fresh = mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (fresh == MAP_FAILED)
            return false;
        helper->shared = (uint8_t *)fresh;
        helper->mapped = capacity;
    }
    uint8_t *shared = helper->shared;
    HelperRun *run = new (std::nothrow) HelperRun;
    if (!run)
        return false;
    try {
        run->thread = std::thread([run, work, job, shared, capacity] {
            work(job, shared, capacity, run->stop);
            std::lock_guard<std::mutex> hold(run->lock);
            run->ended = true;
            run->ended_signal.notify_all();
        });
    } catch (...) {
        delete run;
        return false;
    }
    helper->run = run;
    helper->capacity = capacity;
    return true;
}

HelperState helper_poll(SearchHelper *helper, bool wait)
{
    HelperRun *run = helper->run;
    if (!run)
        return HELPER_FAILED;
    std::unique_lock<std::mutex> hold(run->lock);
    if (wait)
        run->ended_signal.wait(hold, [run] { return run->ended; });
    if (!run->ended)
        return HELPER_RUNNING;
    hold.unlock();
    run->thread.join();
    delete run;
    helper->run = nullptr;
    return HELPER_DONE;
}

void helper_stop(SearchHelper *helper)
{
    if (HelperRun *run = helper->run) {
        run->stop.store(true, std::memory_order_relaxed);
        run->thread.join();
        delete run;
    }
    helper->run = nullptr;
    helper->capacity = 0;
}

void helper_free(SearchHelper *helper)
{
    helper_stop(helper);
    if (helper->shared)
        munmap(helper->shared, helper->mapped);
    *helper = SearchHelper{nullptr, nullptr, 0, 0};
}
