/* world_clock.cpp: the level clock and the ring of move codes. */
#include "world/world_clock.h"

namespace {

int next_slot(int index)
{
    return index + 1 == COMMAND_QUEUE_SLOTS ? 0 : index + 1;
}

} // namespace

void run_level_clock(World &w, int ticks)
{
    if (ticks >= 1 && !w.level.level_lost && !w.level.level_completed)
        w.clock -= ticks;
}

int level_clock_left(const World &w)
{
    return w.clock >= 0 ? w.clock : 0;
}

void command_queue_reset(World &w)
{
    w.queue.read_index = 0;
    w.queue.write_index = 0;
}

int command_queue_push(World &w, int code)
{
    CommandQueue &q = w.queue;
    int next = next_slot(q.write_index);
    // One slot always stays free: a write index that caught up with the read index would make
    // a full ring look empty and lose every pending code.
    if (next == q.read_index)
        return 0;
    q.slots[q.write_index] = code;
    q.write_index = next;
    return 1;
}

int command_queue_pop(World &w)
{
    CommandQueue &q = w.queue;
    if (q.read_index == q.write_index)
        return 0;
    int code = q.slots[q.read_index];
    q.read_index = next_slot(q.read_index);
    return code;
}
