/* level_shading.cpp: the shading a level is drawn in, flat for its first frame, textured after. */
#include "ui/level_shading.h"

#include "base/display_options.h"

namespace {

bool first_frame_pending = false;

} // namespace

void start_level_shading()
{
    display_options.shading_mode = SHADE_FLAT;
    first_frame_pending = true;
}

void level_frame_drawn()
{
    // Only once a level: the shading key's choice stands for the rest of it.
    if (!first_frame_pending)
        return;
    display_options.shading_mode = SHADE_PERSPECTIVE_TEXTURE;
    first_frame_pending = false;
}
