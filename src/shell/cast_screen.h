/* cast_screen.h: the gallery that presents each kind of actor as a rotating model. */
#pragma once

#include <allegro.h>

/* Shows the cast, drawing into buffer (screen-sized), until the player leaves it. Called by
   the menu loop for choice 2, before the key help page. */
void cast_screen(BITMAP *buffer);
