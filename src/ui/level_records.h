/* level_records.h: each level's par and the player's records, and the panel Tab shows them on. */
#pragma once

#include <allegro.h>

#include <cstddef>
#include <cstdint>

#include "play/attempt.h"
#include "ui/records_file.h"

struct PlaySession;

/* The records' part of an attempt the session has begun (session_enter, a restart): reads the
   records file (a broken one is reported once, on standard error and the message line) and the
   level's par, starting the search for a --levels map's par where it is not known: the
   checker's, with its limits (2 ticks a frame, 4,000,000 states, 600 commands, 256 MB), on the
   session's ParSearch, a thread of low priority (a search of another session stops). Called by
   the play loop, the editor's playtest and play_frame after a restart. */
void records_attempt_started(PlaySession &s);


/* A completion of `level` confirmed after `ticks` of game time, by the session's attempt: when it
   beats the player's record
   of the level's map (fewest commands, shortest time; kept apart for completions with and
   without undo or hints), the records file beside tirvex.sav is rewritten (temp and rename; a
   records file that could not be read is never written over). A completion in fewer moves than
   the level's known par is not recorded at all: the par is the checker's proved shortest way, so
   such a count is wrong, and neither its moves nor its time can be trusted (standard error says
   so). Writes nothing in demo playback. Called by the play loop where the completion is
   recorded. */
void records_level_completed(const PlaySession &s, int level, int ticks);

/* Set while Tab is held in play: the frame draws the records panel. */
extern bool records_panel_held;

/* The records panel's width, and where its labels start and its moves column ends, from its left
   edge, in pixels; its times end RECORDS_PANEL_MARGIN from its right edge. */
enum { RECORDS_PANEL_W = 400, RECORDS_PANEL_MARGIN = 14, RECORDS_PANEL_MOVES_X = 250 };

/* Draws the records panel over the view in `target` while records_panel_held is set: the level's
   name, its par, the player's records, and the session's attempt: its commands, undos and time;
   draws nothing otherwise. Takes the answer of the session's par search first. Called by the
   frame's drawing every frame. */
void draw_records_panel(BITMAP *target, PlaySession &s);

/* A notice about the records file for the message line, once: a level's start clears the line,
   and the file is read as the level starts, so the next frame's keys say it. Else nullptr. */
const char *records_notice();

/* Reads the records file ("tirvex-records.txt" beside tirvex.sav) into the table. A missing file
   is no records. A file that cannot be read whole, or whose text is not a records file, leaves the
   table empty, is reported once (standard error now, the message line at the next frame) and
   from then on is never written over. Returns false for such a file. Called at each attempt's
   start and before each rewrite. */
bool load_records();

/* Returns the records of the map `level` has now (the session's attempt's, when at `level`), as
   last read or won; RECORD_NONE throughout for
   a map without any and a level outside 1..RECORDS_LEVEL_LIMIT. */
LevelRecord level_record(const PlaySession &s, int level);

/* Returns the par of `level`: for a shipped level, from "solutions/mapNN.txt" when it names the
   level the map does (a map put in a shipped one's place has none); for a --levels
   map, the one kept in the records file, worked out in this run, or given by the folder's
   "solutions/mapNN.txt" with the map's hash (as the level generator writes it), for the map as
   it is now, else PAR_WORKING while the session's search runs, or PAR_NOT_KNOWN. */
LevelPar level_par(const PlaySession &s, int level);

/* Stops the session's par search under way, if any (asked to stop, and its thread joined), and
   forgets it: its answer is never taken. Called by the play loop when a level is left. */
void stop_par_search(PlaySession &s);

/* Takes the answer of the session's par search when it has come (without waiting), its thread
   then joined: the par is then known for the run, and kept in the records file from the next
   completion's rewrite; a search that found no way in its bounds leaves the par not found.
   Returns true while a search is still under way. Called every frame by draw_records_panel. */
bool poll_par_search(PlaySession &s);

/* Returns the fault of the records file as first reported ("PATH line 3: ..."), or nullptr. */
const char *records_fault();

/* Forgets the table, a par search under way and a fault already reported, as at the start of a
   run. For tests. */
void forget_records_state();
