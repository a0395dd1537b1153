/* solution_file.h: a level's recorded solution, read from its file and played frame by frame. */
#pragma once

#include <cstddef>
#include <cstdint>

enum {
    SOLUTION_MOVE_LIMIT = 2000,     /* move codes a solution may hold */
    SOLUTION_FRAME_LIMIT = 1000000, /* frames a solution may run */
    SOLUTION_FAULT_SIZE = 200
};

/* One move code typed on a frame, counted from the level's start. */
struct SolutionMove {
    int32_t frame;
    int32_t code;
};

/* What a solution file says: the ticks every frame runs, the moves in frame order, and the frame
   after which the level is completed. The trace lines are checked for their form only. */
struct Solution {
    int32_t ticks_per_frame;
    int32_t end_frame;
    int32_t move_count;
    SolutionMove moves[SOLUTION_MOVE_LIMIT];
};

/* Reads the solution file at `path` (lines "ticks_per_frame N", "move FRAME CODE", "trace FRAME
   COLUMN ROW SWEETS LOST COMPLETED", "end FRAME"; '#' starts a comment line). Returns true, or
   false with `fault` (`size` bytes) naming the file and the line: a file that cannot be read, a
   line of another kind or with a malformed or out-of-range number, moves out of frame order or
   past the end, too many moves, or a missing ticks line or end. */
bool read_solution(const char *path, Solution *solution, char *fault, size_t size);

/* Plays frame `frame` of the solution through the world driver: types the moves of that frame,
   then runs the frame with the solution's ticks. `next_move` is the index of the first move not
   yet typed, kept by the caller from 0 on. Called by the game's --watch and the tests. */
void play_solution_frame(const Solution &solution, int32_t frame, int32_t *next_move);
