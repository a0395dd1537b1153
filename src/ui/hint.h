/* hint.h: the next command of a winning way from the position as it stands, found by the game's
   own search while play goes on drawing. */
#pragma once

/* Starts looking for a hint from the world as it stands (I in play). A search already under way
   goes on; a hint already shown is shown again. Called by the game keys. */
void hint_request();

/* Runs the search under way for a slice of a few milliseconds, so that play keeps drawing, and
   when it ends shows its answer on the message line ("Hint: step forward", or "No way to win from
   here: undo (Backspace) or restart (R)", or that none was found in time). While it runs the
   message line says "Thinking...". Called by the play loop once a frame; does nothing when no
   hint is asked for. */
void hint_frame();

/* Forgets a hint shown and cancels a search under way: a command taken, an undo, a restart or a
   new level makes it stale. Called by the game keys and the play loop. */
void hint_cancel();

/* True while a hint is shown: *column and *row are the robot's square, *code the move code (0 for
   a wait) the arrow there shows. Called by the frame's drawing. */
bool hint_shown(int *column, int *row, int *code);
