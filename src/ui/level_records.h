/* level_records.h: each level's par and the player's records, and the panel Tab shows them on. */
#pragma once

#include <allegro.h>

/* Begins an attempt at level `level` (a level start or restart): this attempt's commands, undos
   and hints go back to 0. Called by the play loop and the restart keys. */
void records_attempt_started(int level);

/* Counts a command the robot took, an undo and a hint into the attempt. Called by the game keys
   and the undo history. */
void records_note_command();
void records_note_undo();
void records_note_hint();

/* A completion of `level` confirmed after `ticks` of game time: when it beats the player's record
   (fewest commands, shortest time; kept apart for completions with and without undo or hints),
   the records file beside tirvex.sav is rewritten (temp and rename; a records file that could not
   be read is never written over). Called by the play loop where the completion is recorded. */
void records_level_completed(int level, int ticks);

/* Set while Tab is held in play: the frame draws the records panel. */
extern bool records_panel_held;

/* Draws the records panel over the view in `target`: the level's name, its par, the player's
   records, and this attempt's commands, undos and time. Called by the frame's drawing while
   records_panel_held is set. */
void draw_records_panel(BITMAP *target);
