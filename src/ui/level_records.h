/* level_records.h: each level's par and the player's records, and the panel Tab shows them on. */
#pragma once

#include <allegro.h>

#include <cstddef>
#include <cstdint>

enum {
    RECORDS_LEVEL_LIMIT = 99,       /* levels 1..99 keep records, as many as a demo may name */
    RECORD_NONE = -1,               /* no completion of that kind yet */
    RECORDS_FAULT_SIZE = 4400       /* a path and what is wrong with the file */
};

/* The two kinds of completion kept apart: without any undo or hint, and with some. */
enum RecordKind { RECORD_UNHELPED = 0, RECORD_HELPED = 1, RECORD_KINDS = 2 };

/* The player's records of one level: for each kind, the fewest moves and the shortest game time
   (ticks) of any completion of that kind, RECORD_NONE while there is none. The two need not come
   from the same completion. */
struct LevelRecord {
    int32_t moves[RECORD_KINDS];
    int32_t ticks[RECORD_KINDS];
};

enum ParState {
    PAR_NOT_KNOWN = 0,              /* no recorded solution to read it from, nor worked out yet */
    PAR_KNOWN,
    PAR_WORKING,                    /* a --levels map's search is under way */
    PAR_NONE_FOUND                  /* its search ended without a way (none, or a bound reached) */
};

/* A level's par: the moves (move codes typed), waits and game time of the shortest way the
   checker proved. For a --levels map also the hash of the map's text it was worked out for, so
   that a map changed since gets a new one. */
struct LevelPar {
    ParState state;
    int32_t moves, waits, ticks;
    uint64_t map_hash;
};

/* The attempt under way: its level, its map's time limit in ticks (for the time taken so far),
   and the commands taken, undos and hints asked for since it began. */
struct RecordsAttempt {
    int level;
    int32_t limit_ticks;
    int32_t commands, undos, hints;
};

extern RecordsAttempt records_attempt;

/* Begins an attempt at level `level` (a level start or restart): this attempt's commands, undos
   and hints go back to 0. Reads the level's time limit from its map file, the records file (a
   broken one is reported once, on standard error and the message line) and its par, starting
   the search for a --levels map's par where it is not known. Called by the play loop and the
   restart keys. */
void records_attempt_started(int level);

/* Counts a command the robot took, an undo and a hint into the attempt. Called by the game keys
   and the undo history. */
void records_note_command();
void records_note_undo();
void records_note_hint();

/* An undo has put back the level as it stood before a restart: the attempt the restart ended
   goes on, with this undo counted into it (a records_note_undo for the same undo, made before
   this call, went to the attempt the restart began and is dropped with it). Only the last
   restart's attempt is kept. Called by the undo keys. */
void records_restart_undone();

/* Returns the game time of the attempt so far: the level's time limit less the level clock, so
   that an undo, which puts the clock back, takes its time back too. What the play loop passes to
   records_level_completed. */
int records_attempt_ticks();

/* Returns the moves of the attempt's way as it stands: commands taken less those undone. */
int records_attempt_moves();

/* A completion of `level` confirmed after `ticks` of game time: when it beats the player's record
   (fewest commands, shortest time; kept apart for completions with and without undo or hints),
   the records file beside tirvex.sav is rewritten (temp and rename; a records file that could not
   be read is never written over). Writes nothing in demo playback. Called by the play loop where
   the completion is recorded. */
void records_level_completed(int level, int ticks);

/* Set while Tab is held in play: the frame draws the records panel. */
extern bool records_panel_held;

/* Draws the records panel over the view in `target` while records_panel_held is set: the level's
   name, its par, the player's records, and this attempt's commands, undos and time; draws nothing
   otherwise. Also puts a pending notice about the records file on the message line, since the
   level's start clears it. Called by the frame's drawing every frame. */
void draw_records_panel(BITMAP *target);

/* Reads the records file ("tirvex-records.txt" beside tirvex.sav) into the table. A missing file
   is no records. A file that cannot be read whole, or whose text is not a records file, leaves the
   table empty, is reported once (standard error now, the message line at the next frame) and
   from then on is never written over. Returns false for such a file. Called at each attempt's
   start and before each rewrite. */
bool load_records();

/* Returns the records of `level` as last read or won; RECORD_NONE throughout for a level outside
   1..RECORDS_LEVEL_LIMIT. */
LevelRecord level_record(int level);

/* Reads the par from the first line of a recorded solution at `path` ("# Solution of
   map01.txt, "First Steps": 24 moves and 0 waits, 288 ticks of game time."), and the level's
   name into `name` (`name_size` bytes) when given. Returns false, with par->state PAR_NOT_KNOWN,
   when the file cannot be read or its first line says no such thing. Used for the shipped
   levels, whose solutions are installed beside the maps. */
bool read_solution_par(const char *path, LevelPar *par, char *name = nullptr,
                       size_t name_size = 0);

/* Returns the par of `level`: for a shipped level, from "solutions/mapNN.txt" when it names the
   level the map does (a map put in a shipped one's place has none); for a --levels
   map, the one kept in the records file or worked out in this run for the map as it is now,
   else PAR_WORKING while its search runs, or PAR_NOT_KNOWN. */
LevelPar level_par(int level);

/* For a --levels map whose par is not known: starts the checker's search on it (its own limits:
   2 ticks a frame, 4,000,000 states, 600 commands, 256 MB) in a child process of low priority,
   so that play and the hint's search go on untouched; a search already under way for another
   level is stopped. Nothing in demo playback. Called at each attempt's start. */
void start_par_search(int level);

/* Takes the answer of the par search when it has come (without waiting): the par is then known
   for the run, and kept in the records file from the next completion's rewrite. Returns true
   while a search is still under way. Called every frame by draw_records_panel. */
bool poll_par_search();

/* Returns the fault of the records file as first reported ("PATH line 3: ..."), or nullptr. */
const char *records_fault();

/* Forgets the table, the attempt and a fault already reported, as at the start of a run. For
   tests. */
void forget_records_state();
