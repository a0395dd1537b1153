/* play_loop.h: play from level to level until the player goes back to the main menu. */
#pragma once

#include <allegro.h>

/* Runs level select and the levels, drawing into buffer (screen-sized); returns to the main
   menu. Called by the menu loop for choice 1. */
void play_levels(BITMAP *buffer);
