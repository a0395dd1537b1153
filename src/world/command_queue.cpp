/* command_queue.cpp: the ring of move codes. */
#include "world/command_queue.h"

CommandQueue command_queue;

namespace {
int next_slot(int index)
{
    return index + 1 == COMMAND_QUEUE_SLOTS ? 0 : index + 1;
}
}

void command_queue_reset()
{
    command_queue.read_index = 0;
    command_queue.write_index = 0;
}

int command_queue_push(int code)
{
    int next = next_slot(command_queue.write_index);
    // One slot always stays free: a write index that caught up with the read index would make
    // a full ring look empty and lose every pending code.
    if (next == command_queue.read_index)
        return 0;
    command_queue.slots[command_queue.write_index] = code;
    command_queue.write_index = next;
    return 1;
}

int command_queue_pop()
{
    if (command_queue.read_index == command_queue.write_index)
        return 0;
    int code = command_queue.slots[command_queue.read_index];
    command_queue.read_index = next_slot(command_queue.read_index);
    return code;
}
