/* solution_file.h: a level's recorded solution, read from its file and played frame by frame. */
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "world/command_log.h"
#include "world/world.h"

enum {
    SOLUTION_MOVE_LIMIT = 2000,     /* move codes a solution may hold */
    SOLUTION_FRAME_LIMIT = 1000000, /* frames a solution may run */
    SOLUTION_FAULT_SIZE = 200,
    SOLUTION_SIZE_LIMIT = 16 << 20  /* a longer file is refused unread */
};

static_assert((int)SOLUTION_MOVE_LIMIT <= (int)COMMAND_LOG_LIMIT,
              "a solution's moves fit in a log");

/* What a solution file says: the ticks every frame runs, the moves in frame order (each typed on
   its frame, counted from the level's start, and taken on it), and the frame after which the
   level is completed (with the line that says so). The trace lines are checked for their form
   and ranges only. Some 48 KB. */
struct Solution {
    int32_t ticks_per_frame;
    int32_t end_frame;
    int32_t end_line;
    CommandLog moves;           /* never a restart, never more than SOLUTION_MOVE_LIMIT */
};

/* Reads the solution file at `path` (lines "ticks_per_frame N", "move FRAME CODE", "trace FRAME
   COLUMN ROW SWEETS LOST COMPLETED", "end FRAME"; '#' starts a comment line). Every number is
   range-checked as it is read: ticks 1 to 100, frames 0 to SOLUTION_FRAME_LIMIT, a move code one
   of the robot's seven, columns and rows -1000 to 1000, sweets 0 to 199, flags 0 or 1. Returns
   true, or false with `fault` (`size` bytes) naming the file and, but for a path that cannot be
   read or is not a regular file, the line: a line of another kind or with a malformed or
   out-of-range number, moves out of frame order or past the end, too many moves, or a missing
   ticks line or end. */
bool read_solution(const char *path, Solution *solution, char *fault, size_t size);

/* Holds what the world did against the solution's end line, read from `path`: after `frames`
   frames the level is `completed` or `lost`. Returns true while they agree: the level not yet
   completed nor lost before the end frame, or completed after exactly end_frame frames. Returns
   false with `fault` naming the file and the end line when the level is completed at another
   frame, lost, or still not completed after end_frame frames. Called by --watch after every
   frame it plays, and by the tests. */
bool solution_agrees(const Solution &solution, const char *path, int32_t frames, bool completed,
                     bool lost, char *fault, size_t size);

/* Writes the moves of `moves` as a solution's "move FRAME CODE" lines, oldest first: a way
   played or found, taken on the frames it was. Its restarts are left out. Called by the level
   checker's --record and the level generator. */
void write_solution_moves(FILE *out, const CommandLog &moves);

/* Plays frame `frame` of the solution through the world driver: types the moves of that frame,
   then runs the frame with the solution's ticks. `next_move` is the index of the first move not
   yet typed, kept by the caller from 0 on. Called by the game's --watch and the tests. */
void play_solution_frame(World &w, const Solution &solution, int32_t frame, int32_t *next_move);
