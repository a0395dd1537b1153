/* timer.cpp: the timer callback and elapsed ticks. */
#include "base/timer.h"

std::atomic<int> tick_counter{0};

namespace {
int last_read_tick = 0;     /* tick_counter as last consumed by ticks_since_last */
}

void timer_handler()
{
    tick_counter.fetch_add(1, std::memory_order_relaxed);
}

int ticks_since_last()
{
    int elapsed = tick_counter.load(std::memory_order_relaxed) - last_read_tick;
    last_read_tick += elapsed;
    return elapsed;
}
