/* x11_screen.h: writing the enlarged picture straight into the X driver's screen image. */
#pragma once

/* True when x11_lock_screen gives rows: the game may write the screen image itself. */
bool x11_screen_writable();

/* The row table of the library's X screen image when the game may write 32-bit pixels into it
   itself: an X window driver whose image has the layout of the library's 32-bit bitmaps, not
   scrolled, the screen's rows being the image's own. Otherwise nullptr (another driver, an 8-bit
   screen, a conversion between them, or no display at all). Holds the driver's lock while it
   returns rows: the caller writes them and then calls x11_put_screen, which releases it. */
unsigned char *const *x11_lock_screen();

/* Sends the rectangle (x, y, w, h) of the screen image to the window in one put and waits until
   the display has taken it, so the next frame does not write while the server reads; then
   releases the lock x11_lock_screen took. */
void x11_put_screen(int x, int y, int w, int h);
