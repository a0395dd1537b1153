/* x11_render_scale.h: the picture sent to the X server at its own size, enlarged there. */
#pragma once

/* Starts enlarging by the X server for a picture of w x h pixels shown at `factor` with its top
   left corner at (left, top) of the library's 32-bit X window: the game then looks the picture
   up into an image of the picture's own size, the server enlarges it onto the window, and the
   server's redraw of an uncovered window comes from it too. False, leaving nothing behind, when
   it cannot: no X window driver, no rendering extension, a window whose pixels are not the
   library's 32-bit layout, no memory. Stops what an earlier start began. */
bool x11_scaler_start(int w, int h, int factor, int left, int top);

/* True between a successful x11_scaler_start and x11_scaler_stop. */
bool x11_scaler_running();

/* The row table of the picture-sized 32-bit image, with the driver's lock held, or nullptr when
   not running. The caller writes the rows and then calls x11_scaler_put, which unlocks. */
unsigned char *const *x11_scaler_lock();

/* Sends rows first to end - 1 of the image to the server, has it enlarge them onto the window in
   one request and waits until it has, so the next frame does not write what the server reads;
   then releases the lock x11_scaler_lock took. */
void x11_scaler_put(int first, int end);

/* Frees what x11_scaler_start made, while the window still stands (before the mode changes);
   nothing to do when not running. */
void x11_scaler_stop();
