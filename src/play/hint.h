/* hint.h: the next command of a winning way from the position as it stands, found by the game's
   own search on a thread of its own while play goes on drawing. */
#pragma once

#include <cstdint>

struct PlaySession;

/* Starts looking for a hint from the world as it stands (I in play). A search already under way
   goes on; a hint already shown is shown again. When the position is one the last answer's way
   passes through (the player has followed it), or one the table built ahead knows (see
   hint_think_ahead), the answer is there at once, without searching. Called by the play
   session's frame. */
void hint_request(PlaySession &s);

/* Looks after the hint asked for, once a frame: while its search runs, the world of the session
   is held as it stood when the hint was asked for (put back every frame, the message line, the
   camera and the sounds heard aside), so that the answer is for the position the player sees,
   and the message line says "Thinking..."; the search itself runs on a thread of its own, so
   that every frame is drawn on time. Once it has ended, shows its answer on the message line
   ("Hint: step forward", or "No way to win from here: undo (Backspace) or restart (R)", or that
   none was found in time). Paced by states (hint_pace_by_states), the search runs instead a
   slice of states a frame on this thread, so that a demo's playback thinks for the frames its
   recording did. Forgets a hint shown once the world no longer stands as it did. Called by the
   play session once a frame, after the frame's update; does nothing when no hint is asked for. */
void hint_frame(PlaySession &s);

/* Waits until the search under way, if any, has ended (its answer is shown by the next
   hint_frame). For the tests and the benchmarks. */
void hint_wait(PlaySession &s);

/* The most memory the hint's last search held, in bytes. For the benchmark. */
int64_t hint_peak_memory(PlaySession &s);

/* Forgets a hint shown and cancels a search under way: a command taken, an undo, a restart or a
   new level makes it stale. Called by the play session and the play loop. */
void hint_cancel(PlaySession &s);

/* True while a hint is shown: *column and *row are the robot's square, *code the move code (0 for
   a wait) the arrow there shows. Called by the frame's drawing. */
bool hint_shown(const PlaySession &s, int *column, int *row, int *code);

/* What the last hint request has come to. */
enum HintOutcome {
    HINT_NONE = 0,      /* none asked for, or cancelled */
    HINT_THINKING,      /* the search is under way */
    HINT_COMMAND,       /* a winning way was found: its first command is the hint */
    HINT_NO_WAY,        /* the search proved that the level cannot be won from here */
    HINT_NOT_FOUND      /* the search reached its bound (time or memory) without an answer */
};

/* The outcome of the last request, with the command's move code (0 for a wait) in *code for
   HINT_COMMAND and the search's seconds in *seconds (0 for an answer from the way before).
   Called by the tests and the benchmark. */
HintOutcome hint_outcome(PlaySession &s, int *code, double *seconds);

/* True while hint_frame has a search to run. Called by the tests and the benchmark. */
bool hint_thinking(PlaySession &s);

/* True when this frame's hint_frame will put the world back as the hint found it: a search is
   under way and no command was typed since it began. What the world does in such a frame is
   undone, its sounds included. Called by the play session before the world's update. */
bool hint_holds_world(PlaySession &s);

/* hint_cancel, and forgets the way found before as well, so that the next request searches
   afresh. Called by the tests and the benchmark between positions they time. */
void hint_reset(PlaySession &s);

/* With `on`, the search runs in slices of states a frame, and its bound is counted in them: its
   answer then comes on the same frame whatever the machine's speed. Set by the play loop in a
   demo, recorded or played back, and by the tests; off at start. A hint under way is cancelled
   when the pace changes. */
void hint_pace_by_states(PlaySession &s, bool on);

/* Starts thinking ahead about the level as it stands at its start (unpaced play only): on a
   thread of its own, every position reachable from here is explored once, with the fewest
   commands that win from each, so that a hint asked later is looked up at once, or proven to
   have no way. Nothing new is started when the table is for this start already (a restart), or
   while paced; starting anew cancels a hint under way. Called by the play loop as a level's
   play begins. */
void hint_think_ahead(PlaySession &s);

/* What thinking ahead has done for the level. */
struct HintAheadFigures {
    bool done;                  /* the table is built, or gave up */
    bool complete;              /* it holds every position reachable from the level's start */
    int64_t positions, winnable;
    int64_t memory, peak_memory;    /* bytes the table holds, and held at most while built */
    double seconds, cpu_seconds;    /* its time, and the processor time of its thread */
};

/* Fills *figures; false when nothing was started. For the benchmark. */
bool hint_ahead_figures(PlaySession &s, HintAheadFigures *figures);

/* Cancels a search under way, stops thinking ahead and forgets the table, so that the next
   hint_think_ahead starts afresh. For the tests and the benchmark. */
void hint_forget_ahead(PlaySession &s);

/* States the last answer's searches reached: 0 for an answer looked up or from the way before.
   For the benchmark, a figure that does not depend on the machine's speed. */
int64_t hint_states(PlaySession &s);
