/* cast_screen.cpp: the gallery that presents each kind of actor as a rotating model. */
#include "shell/cast_screen.h"

void cast_screen(BITMAP *buffer)
{
    // The gallery comes with its own work; until then the key help page follows at once.
}
