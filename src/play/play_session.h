/* play_session.h: the one level being played, owned in one place: its world and its number. */
#pragma once

#include "play/attempt.h"
#include "render/render_frame.h"
#include "world/world.h"

struct HintState;
struct ParSearch;
struct UndoHistory;

/* What the game keeps of the level being played, its one owner. The world is the running level
   itself; what is drawn is read from it, and everything that changes it (the keys' commands,
   undo, the hint's search, a restart) goes through this record and the procedures below. */
struct PlaySession {
    World world;
    int level;      /* the number of the level being played: chosen in the level selection (and
                       stepped by the level keys), read for the map file and the level title */
    bool not_recorded;  /* set by the slow-motion key: a completion confirmed while it is set
                           is not recorded; the play loop clears it after every level */
    RecordsAttempt attempt; /* what the records count of the attempt under way */
    UndoHistory *undo;      /* the world before each command, for undo: made when first needed */
    HintState *hint;        /* the hint asked for or shown, and its search: likewise */
    bool restarted;         /* set by session_restart until the next session_step */
    ParSearch *par;         /* the search for the par of a --levels map with none known, on a
                               thread of its own (ui/level_records.h): likewise */
    bool par_search_allowed;    /* cleared by the editor's playtest: its map is a temporary
                                   file, gone before a search could end, and the editor checks
                                   its levels itself */
};

/* The game's session: the play loop, the editor's playtest and the screens over play act on it. */
extern PlaySession session;

/* Plays the cues the world has left since the last call (silent without a datafile or with sound
   off) and empties the list. Called once a frame, after the world's update. */
void play_pending_cues(World &w);

/* The rest of a frame of play once the keys are read, `ticks` the ticks counted since the
   frame before: the level clock run by them (by none when the keys restarted the level: they
   fell on the attempt that ended), the command the robot takes, if any (the world as it stood
   before it kept for undo, the command counted into the attempt, a hint shown made stale), the
   world's update, its sounds (none while the hint holds the world), and the hint's frame. The
   play loop and the editor's playtest run it once a frame. */
void session_step(PlaySession &s, int ticks);

/* Starts the session's level again, as the restart keys do: the world before it kept for undo
   (when a command was taken since the attempt began), a new attempt for the undo history, no
   hint. The records' own attempt is begun by the caller. */
void session_restart(PlaySession &s);

/* One step back in the undo history (the records count it), and what it makes stale: a hint.
   Returns true when a step was undone. */
bool session_step_back(PlaySession &s);

/* Asks for a hint (I in play), counted into the attempt. */
void session_ask_hint(PlaySession &s);

/* What the frame draws over the session's world: the level's number for its title, and the
   hint's arrow while a hint is shown. */
FrameOverlay session_overlay(const PlaySession &s);
