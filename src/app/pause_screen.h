/* pause_screen.h: the pause of play: the view dimmed and "Paused" until a key is pressed. */
#pragma once

#include <allegro.h>

/* Dims the last frame of play in buffer (the screen buffer, holding the frame just shown) and
   writes "Paused" over its middle, then shows it, frame after frame at the display's pace, until
   a key is pressed (the pause key's own press, and the keys typed with it, do not count: every
   key is let go first) and let go again; the key buffer is emptied then, so the key that ended
   the pause does nothing in play. Meanwhile the game's time stands still (pause_game_time):
   the world, its level clock, the records' time and a demo being recorded take no note of the
   pause. Called by the play loop when the pause key asked for it. */
void run_pause(BITMAP *buffer);

/* Dims every pixel of bitmap through the translucency table toward black. */
void dim_picture(BITMAP *bitmap);
