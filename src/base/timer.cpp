/* timer.cpp: the timer callback, elapsed ticks and the level clock. */
#include "base/timer.h"

#include "world/level_state.h"

std::atomic<int> tick_counter{0};
std::atomic<int> level_time{0};

namespace {
int last_read_tick = 0;     /* tick_counter as last consumed by ticks_since_last */
}

void timer_handler()
{
    tick_counter.fetch_add(1, std::memory_order_relaxed);
    // The clock freezes at the moment of winning or losing, so the HUD keeps showing the time
    // the level ended with.
    if (!level_state.level_lost && !level_state.level_completed)
        level_time.fetch_sub(1, std::memory_order_relaxed);
}

void advance_clock(int ticks)
{
    if (ticks < 1)
        return;
    // Nothing the handler reads changes between its calls here: all ticks at once, as two adds
    // instead of two locked adds a tick (the checker runs millions of frames).
    tick_counter.fetch_add(ticks, std::memory_order_relaxed);
    if (!level_state.level_lost && !level_state.level_completed)
        level_time.fetch_sub(ticks, std::memory_order_relaxed);
}

int ticks_since_last()
{
    int elapsed = tick_counter.load(std::memory_order_relaxed) - last_read_tick;
    last_read_tick += elapsed;
    return elapsed;
}

void set_level_time(int ticks)
{
    level_time.store(ticks, std::memory_order_relaxed);
}

int get_level_time()
{
    int left = level_time.load(std::memory_order_relaxed);
    return left >= 0 ? left : 0;
}
