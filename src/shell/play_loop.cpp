/* play_loop.cpp: play from level to level until the player goes back to the main menu. */
#include "shell/play_loop.h"

void play_levels(BITMAP *buffer)
{
    // Level select and the levels come with the play loop; until then the menu comes back.
}
