/* play_loop.h: play from level to level until the player goes back to the main menu. */
#pragma once

#include <allegro.h>

#include "play/play_session.h"

/* Runs level select and the levels in the session `s` (the game's own, which lives as long as
   the game), drawing into buffer (screen-sized); returns to the main menu once the level
   selection is cancelled and Esc is released. Each frame: draw into buffer, wait for the
   frame's turn, copy it to the screen, read the keys into the player's actions, then the
   session's frame (the actions, one move, the timed update, the hint's frame). Each command the
   robot takes is kept in the undo history, which starts empty in each level entered. A
   confirmed completion is recorded in "tirvex.sav", and in the player's records, unless slow
   motion was switched during the level, and the end screen follows the last level. Called by
   the menu loop for choice 1, and for -playdemo and -timedemo. */
void play_levels(BITMAP *buffer, PlaySession &s);
