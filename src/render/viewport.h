/* viewport.h: the rectangle of the screen into which the 3D view of a frame is projected. */
#pragma once

#include <allegro.h>

/* A rectangle in screen pixels. */
struct Viewport {
    int x, y, w, h;
};

/* This frame's 3D view rectangle; read by the backdrop, the explosion sprites and the message
   line, and readable until the next frame. */
extern Viewport viewport;

/* Returns the view rectangle of viewport_size (0..3, assertion otherwise) on a screen of
   screen_w x screen_h: the scaled size, truncated, centred on the screen. */
Viewport compute_viewport(int screen_w, int screen_h, int viewport_size);

/* Makes rect this frame's viewport: stores it and sets the library's projection viewport to it.
   Called at the start of every frame and by the cast screen. */
void set_viewport(const Viewport &rect);
