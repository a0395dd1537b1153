/* viewport.cpp: the 3D view rectangle and the projection onto it. */
#include "render/viewport.h"

#include "base/display_options.h"

Viewport viewport;

Viewport compute_viewport(int screen_w, int screen_h, int viewport_size)
{
    const float scale = viewport_scale(viewport_size);
    Viewport r;
    r.w = (int)(screen_w * scale);
    r.h = (int)(screen_h * scale);
    r.x = (screen_w - r.w) / 2;
    r.y = (screen_h - r.h) / 2;
    return r;
}

void set_viewport(const Viewport &rect)
{
    viewport = rect;
    set_projection_viewport(rect.x, rect.y, rect.w, rect.h);
}
