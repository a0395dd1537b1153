/* x11_screen.cpp: writing the enlarged picture straight into the X driver's screen image.

   The library's X driver keeps the screen in an image of its own (shared memory with the server
   when it can) and, when that image has the layout of its 32-bit bitmaps, the screen's rows are
   the image's rows. Drawing on the screen through the library puts the image to the window a
   row at a time as the drawing moves on: 1,920 puts for a 2560 x 1920 picture. Writing the rows
   here and putting the rectangle once does the same in one request, and the library's redraw of
   an uncovered window still finds the picture in its image. */
#include "base/x11_screen.h"

#include <allegro.h>
#include <xalleg.h>

bool x11_screen_writable()
{
    if (!gfx_driver || (gfx_driver->id != GFX_XWINDOWS && gfx_driver->id != GFX_XWINDOWS_FULLSCREEN))
        return false;
    if (!screen || bitmap_color_depth(screen) != 32)
        return false;
    const XImage *image = _xwin.ximage;
    if (!image || !_xwin.screen_line || !_xwin.matching_formats || _xwin.in_dga_mode)
        return false;
    if (_xwin.scroll_x != 0 || _xwin.scroll_y != 0 || image->bits_per_pixel != 32)
        return false;
    if (image->width < SCREEN_W || image->height < SCREEN_H)
        return false;
    // The screen's rows must be the image's, else what is written here is never shown.
    return _xwin.screen_line[0] == reinterpret_cast<unsigned char *>(image->data) &&
           (SCREEN_H < 2 || _xwin.screen_line[1] - _xwin.screen_line[0] == image->bytes_per_line) &&
           screen->line[0] == _xwin.screen_line[0];
}

unsigned char *const *x11_lock_screen()
{
    if (!x11_screen_writable())
        return nullptr;
    XLOCK();
    return _xwin.screen_line;
}

void x11_put_screen(int x, int y, int w, int h)
{
#ifdef ALLEGRO_XWINDOWS_WITH_SHM
    if (_xwin.use_shm)
        XShmPutImage(_xwin.display, _xwin.window, _xwin.gc, _xwin.ximage, x, y, x, y, w, h, False);
    else
#endif
        XPutImage(_xwin.display, _xwin.window, _xwin.gc, _xwin.ximage, x, y, x, y, w, h);
    XSync(_xwin.display, False);
    XUNLOCK();
}
