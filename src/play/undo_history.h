/* undo_history.h: the level as it stood before each command the robot took, kept compactly, and
   the step back to it (Backspace or U in play). */
#pragma once

#include <cstddef>
#include <cstdint>

#include "world/command_log.h"

enum {
    UNDO_STEP_LIMIT = COMMAND_LOG_LIMIT, /* steps kept, one a logged entry; the oldest is
                                            dropped beyond, as the log drops its oldest */
    UNDO_POOL_BYTES = 4 * 1024 * 1024   /* room for the steps' changes; the oldest go when full */
};

struct PlaySession;

/* Forgets every step: a level is entered from the level selection. Called by session_enter. */
void undo_clear(PlaySession &s);

/* Begins an attempt at s.level as start_level has just placed it: the clock as it stands.
   Called by session_enter and the restart after each start_level. */
void undo_attempt_started(PlaySession &s);

/* The game time of the attempt so far, in ticks: its clock at the start less the clock now. Read by
   the play loop for the records of a completion. */
int undo_attempt_ticks(PlaySession &s);

/* Keeps the world as it stands as the newest step. Called by the session's step once the robot
   is about to take a command, as it logs the command. When the history is full the oldest step
   is dropped, and the first time after undo_clear the message line says so. */
void undo_keep_command(PlaySession &s);

/* Keeps the world as it stands before a restart, when the session's log has a command since the
   attempt began (a restart of a level untouched, as held R repeats, keeps nothing). Returns true
   when a step was kept: the session then logs the restart. Called by the session's restart just
   before start_level. */
bool undo_keep_restart(PlaySession &s);

/* Puts the newest step back and forgets it: the whole world (robot, actors, squares, explosions
   under way, sweets, teleport, clock, flags) and the attempt, with the command queue empty and the
   message line confirming the step ("Undo: 3 moves back", or "Undo: restart undone"). The log's
   newest entry, the command or restart the step was kept for, is taken back, and the session's
   frame set back to the frame it was logged on; undoing a restart also gives s.level back. The
   records' attempt follows: a command undone counts as an undo of one move, and a restart undone
   gives back the attempt it ended, as kept with it (its moves come back with the log). Returns
   true when a step was undone, false when none was left (the message line then says so). Called
   by the session's frame. */
bool undo_step_back(PlaySession &s);

/* The steps kept, and the bytes they take: the newest kept whole plus the changes of the others.
   For the tests and the debug column. */
int undo_steps(PlaySession &s);
size_t undo_bytes(PlaySession &s);
