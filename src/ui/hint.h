/* hint.h: the next command of a winning way from the position as it stands, found by the game's
   own search while play goes on drawing. */
#pragma once

/* Starts looking for a hint from the world as it stands (I in play). A search already under way
   goes on; a hint already shown is shown again. When the position is one the last answer's way
   passes through (the player has followed it), the answer is its next command at once, without
   searching. Called by the game keys. */
void hint_request();

/* Runs the search under way for a slice of a few milliseconds, so that play keeps drawing, and
   when it ends shows its answer on the message line ("Hint: step forward", or "No way to win from
   here: undo (Backspace) or restart (R)", or that none was found in time). While it runs the
   message line says "Thinking...", and the world is held as it stood when the hint was asked for
   (put back every frame, the message line and camera pitch aside), so that the answer is for the
   position the player sees; in a demo the slices are counted in states, so that playback thinks
   for the frames the recording did. Forgets a hint shown once the world no longer stands as it
   did. Called by the play loop once a frame, after the frame's update; does nothing when no hint
   is asked for. */
void hint_frame();

/* Forgets a hint shown and cancels a search under way: a command taken, an undo, a restart or a
   new level makes it stale. Called by the game keys and the play loop. */
void hint_cancel();

/* True while a hint is shown: *column and *row are the robot's square, *code the move code (0 for
   a wait) the arrow there shows. Called by the frame's drawing. */
bool hint_shown(int *column, int *row, int *code);

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
HintOutcome hint_outcome(int *code, double *seconds);

/* True while hint_frame has a search to run. Called by the tests and the benchmark. */
bool hint_thinking();

/* hint_cancel, and forgets the way found before as well, so that the next request searches
   afresh. Called by the tests and the benchmark between positions they time. */
void hint_reset();

/* With `on`, the search's slices and its bound are counted in states, as in a demo, whatever the
   mode: its answer then is the same on a busy machine as on a quiet one. Off at start. Called by
   the tests. */
void hint_pace_by_states(bool on);
