/* attempt.h: what the records count of the attempt under way: commands, undos, hints, time. */
#pragma once

#include <cstdint>

struct CommandLog;

/* The attempt under way: its level and the hash of its map's text (the key of its records), its
   map's time limit in ticks (for the time taken so far), and the undos (of commands and of
   restarts) and hints asked for since it began. Its commands are the session's log's. */
struct RecordsAttempt {
    int level;
    uint64_t map_hash;
    int32_t limit_ticks;
    int32_t undos, hints;
};

/* The hash of the map `level` has now, as its file holds it: the key of its records. A map that
   cannot be read, or longer than 32 KB, has the hash of no text, as good as any: there is no
   playing it. */
uint64_t level_map_hash(int level);

/* The time limit of the map of `level` in ticks, as the map loader sets the clock from it; 0
   when it cannot be read. */
int32_t map_limit_ticks(int level);

/* Counts an undo of a command and a hint into the attempt. Called by the play session as it
   steps back and asks for the hint. */
void records_note_undo(RecordsAttempt &attempt);
void records_note_hint(RecordsAttempt &attempt);

/* An undo has put back the level as it stood before a restart: `ended`, the attempt the restart
   ended (as the undo history kept it with the restart), goes on (its commands with it, as the
   log gives them back), and the undos and hints of the attempt the restart began count into it
   with this undo: help was asked for either way. Called by the undo history. */
void records_restart_undone(RecordsAttempt &attempt, const RecordsAttempt &ended);

/* Returns the game time of the attempt so far: the level's time limit less the level clock
   `clock`, so that an undo, which puts the clock back, takes its time back too. What the play
   loop passes to records_level_completed. */
int records_attempt_ticks(const RecordsAttempt &attempt, int32_t clock);

/* Returns the moves of the attempt's way as it stands: the commands the session's log holds
   since the attempt began, those undone taken back. */
int records_attempt_moves(const CommandLog &log);
