/* play_loop.h: play from level to level until the player goes back to the main menu. */
#pragma once

#include <allegro.h>

/* Set by the slow-motion key: a completion confirmed while it is set is not recorded. The play
   loop clears it after every level. */
extern int level_not_recorded;

/* Runs level select and the levels, drawing into buffer (screen-sized); returns to the main
   menu once the level selection is cancelled and Esc is released. Each frame: draw into buffer,
   wait for the frame's turn, copy it to the screen, in-game keys, one move, the timed update, a
   slice of a hint's search. Each command the robot takes is kept in the undo history, which
   starts empty in each level entered. A confirmed completion is recorded in "tirvex.sav", and in
   the player's records, unless slow motion was switched during the level, and the end screen
   follows the last level. Called by the menu loop for choice 1. */
void play_levels(BITMAP *buffer);

/* Stops every music loop a level can have started: the level's number may have been stepped
   with F9 or F10 since its music began. Does nothing while sound is off, like stop_music. Used by
   the play loop at the end of a level and by the music key. */
void stop_level_music();
