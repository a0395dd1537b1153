/* command_queue.h: the ring of move codes from the in-game keys to the player. */
#pragma once

#include <cstdint>

enum { COMMAND_QUEUE_SLOTS = 200 };

/* The whole queue in one plain record, so a snapshot of the world copies it with =. */
struct CommandQueue {
    int32_t slots[COMMAND_QUEUE_SLOTS];
    int read_index;     /* next slot to read; equal to write_index when empty */
    int write_index;    /* next slot to write */
};

extern CommandQueue command_queue;

/* Empties the queue. Called at each level start. */
void command_queue_reset();

/* Appends a move code (never 0). Returns 1, or 0 when the queue already holds its 199 codes:
   then the code is dropped and the pending ones stay. Called by the in-game key handler. */
int command_queue_push(int code);

/* Removes and returns the oldest move code, or 0 when the queue is empty. Called by the
   player's command handling, one code per call. */
int command_queue_pop();
