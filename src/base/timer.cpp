/* timer.cpp: the timer callback and elapsed ticks. */
#include "base/timer.h"

std::atomic<int> tick_counter{0};

namespace {
bool paused = false;
int last_read_tick = 0;     /* tick_counter as last consumed by ticks_since_last */
int paused_at_tick = 0;     /* tick_counter when the pause began */
}

void timer_handler()
{
    tick_counter.fetch_add(1, std::memory_order_relaxed);
}

int ticks_since_last()
{
    // While paused the clock reads as it stood when the pause began.
    const int now = paused ? paused_at_tick : tick_counter.load(std::memory_order_relaxed);
    int elapsed = now - last_read_tick;
    last_read_tick += elapsed;
    return elapsed;
}

void pause_game_time()
{
    if (paused)
        return;
    paused = true;
    paused_at_tick = tick_counter.load(std::memory_order_relaxed);
}

void resume_game_time()
{
    if (!paused)
        return;
    paused = false;
    // The paused ticks count as consumed; those before the pause are still to be read.
    last_read_tick += tick_counter.load(std::memory_order_relaxed) - paused_at_tick;
}
