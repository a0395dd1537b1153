/* x11_render_scale.cpp: the picture sent to the X server at its own size, enlarged there.

   An enlarged picture written by the game is 16 times the mode's at factor 4: some 12 MB a frame
   while the view moves, written at the memory's own speed and copied again by the server. The
   rendering extension enlarges a picture by any transform the server is asked for, with the
   graphics hardware where the server has it: the game then looks up and sends only the mode's
   1.2 MB, and the server draws the enlarged picture straight onto the window. The picture stays
   in a pixmap on the server, from which an uncovered window is drawn again: the library's own
   redraw, from its screen image, would bring back what the game no longer writes there. */
#include "base/x11_render_scale.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <allegro.h>
#include <xalleg.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrender.h>

#include <cstdlib>
#include <vector>

namespace {

/* What a running scaler holds on the server and here. */
struct Scaler {
    bool running = false;
    Display *display = nullptr;
    Window window = 0;          /* the library's window the pictures were made for */
    int w = 0, h = 0, factor = 1, left = 0, top = 0;
    XImage *image = nullptr;    /* w x h, 32 bits a pixel */
    bool shared = false;        /* the image lives in shared memory with the server */
    XShmSegmentInfo segment = {};
    Pixmap pixmap = 0;          /* the picture as last sent */
    Picture source = 0;         /* the pixmap, seen enlarged */
    Picture target = 0;         /* the window */
    GC gc = nullptr;
    std::vector<unsigned char *> rows;
    void (*library_redraw)(int, int, int, int) = nullptr;
};

Scaler scaler;
bool setup_failed = false;      /* an X error came while the scaler was being made */

int note_setup_error(Display *, XErrorEvent *)
{
    setup_failed = true;
    return 0;
}

/* Has the server enlarge the part of the picture that falls in the window's rectangle
   (x, y, w, h) onto the window. */
void composite(int x, int y, int w, int h)
{
    const Scaler &s = scaler;
    const int x0 = x > s.left ? x : s.left, y0 = y > s.top ? y : s.top;
    const int x1 = x + w < s.left + s.w * s.factor ? x + w : s.left + s.w * s.factor;
    const int y1 = y + h < s.top + s.h * s.factor ? y + h : s.top + s.h * s.factor;
    if (x1 <= x0 || y1 <= y0)
        return;
    // The transform maps the window's enlarged coordinates back to the picture's pixels.
    XRenderComposite(s.display, PictOpSrc, s.source, None, s.target, x0 - s.left, y0 - s.top, 0, 0,
                     x0, y0, (unsigned)(x1 - x0), (unsigned)(y1 - y0));
}

/* The library's redraw of an exposed rectangle, called by its input thread with its lock held:
   the black around the picture from the library's image, the picture from the pixmap. */
void redraw(int x, int y, int w, int h)
{
    if (scaler.library_redraw)
        scaler.library_redraw(x, y, w, h);
    if (scaler.running && _xwin.window == scaler.window) {
        composite(x, y, w, h);
        XFlush(scaler.display);
    }
}

/* True when the window's pixels are the library's 32-bit ones (0x00RRGGBB as makecol32 makes). */
bool window_takes_library_pixels(const XImage *image)
{
    return image->bits_per_pixel == 32 &&
           image->red_mask == (0xffUL << _rgb_r_shift_32) &&
           image->green_mask == (0xffUL << _rgb_g_shift_32) &&
           image->blue_mask == (0xffUL << _rgb_b_shift_32);
}

/* The picture-sized image, in shared memory where the server offers it; false without memory. */
bool make_image(Scaler &s, Visual *visual, int depth)
{
    if (XShmQueryExtension(s.display)) {
        s.image = XShmCreateImage(s.display, visual, (unsigned)depth, ZPixmap, nullptr, &s.segment,
                                  (unsigned)s.w, (unsigned)s.h);
        if (s.image) {
            s.segment.shmid = shmget(IPC_PRIVATE, (size_t)s.image->bytes_per_line * s.h,
                                     IPC_CREAT | 0600);
            void *at = s.segment.shmid >= 0 ? shmat(s.segment.shmid, nullptr, 0) : (void *)-1;
            if (at != (void *)-1) {
                s.segment.shmaddr = s.image->data = static_cast<char *>(at);
                s.segment.readOnly = False;
                setup_failed = false;
                XShmAttach(s.display, &s.segment);
                XSync(s.display, False);
                s.shared = !setup_failed;
                if (!s.shared)
                    shmdt(at);
            }
            // Gone as soon as both sides have let go of it, even if the game is killed.
            if (s.segment.shmid >= 0)
                shmctl(s.segment.shmid, IPC_RMID, nullptr);
            if (!s.shared) {
                s.image->data = nullptr;
                XDestroyImage(s.image);
                s.image = nullptr;
            }
        }
    }
    if (!s.image) {
        s.image = XCreateImage(s.display, visual, (unsigned)depth, ZPixmap, 0, nullptr,
                               (unsigned)s.w, (unsigned)s.h, 32, 0);
        if (!s.image)
            return false;
        s.image->data = static_cast<char *>(std::calloc((size_t)s.image->bytes_per_line, (size_t)s.h));
        if (!s.image->data) {
            XDestroyImage(s.image);
            s.image = nullptr;
            return false;
        }
    }
    s.rows.resize((size_t)s.h);
    for (int y = 0; y < s.h; y++)
        s.rows[(size_t)y] = reinterpret_cast<unsigned char *>(s.image->data) + (size_t)y * s.image->bytes_per_line;
    return true;
}

/* Frees what `s` holds on the server and here; the caller holds the lock. */
void release(Scaler &s)
{
    if (s.library_redraw) {
        _xwin_window_redrawer = s.library_redraw;
        s.library_redraw = nullptr;
    }
    if (s.target)
        XRenderFreePicture(s.display, s.target);
    if (s.source)
        XRenderFreePicture(s.display, s.source);
    if (s.pixmap)
        XFreePixmap(s.display, s.pixmap);
    if (s.gc)
        XFreeGC(s.display, s.gc);
    if (s.image) {
        if (s.shared) {
            XShmDetach(s.display, &s.segment);
            XSync(s.display, False);
            shmdt(s.segment.shmaddr);
            s.image->data = nullptr;
        }
        XDestroyImage(s.image);     // frees a data block of its own
    }
    s = Scaler{};
}

/* Makes the scaler's server objects; the caller holds the lock and catches X errors. */
bool make_scaler(Scaler &s)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(s.display, s.window, &attributes))
        return false;
    int event_base, error_base;
    if (!XRenderQueryExtension(s.display, &event_base, &error_base))
        return false;
    XRenderPictFormat *format = XRenderFindVisualFormat(s.display, attributes.visual);
    if (!format || !make_image(s, attributes.visual, attributes.depth) ||
        !window_takes_library_pixels(s.image))
        return false;
    s.pixmap = XCreatePixmap(s.display, s.window, (unsigned)s.w, (unsigned)s.h,
                             (unsigned)attributes.depth);
    s.gc = XCreateGC(s.display, s.pixmap, 0, nullptr);
    s.source = XRenderCreatePicture(s.display, s.pixmap, format, 0, nullptr);
    s.target = XRenderCreatePicture(s.display, s.window, format, 0, nullptr);
    XTransform shrink = {{{XDoubleToFixed(1.0 / s.factor), 0, 0},
                          {0, XDoubleToFixed(1.0 / s.factor), 0},
                          {0, 0, XDoubleToFixed(1.0)}}};
    XRenderSetPictureTransform(s.display, s.source, &shrink);
    // Whole blocks of one colour, as the game draws them itself.
    XRenderSetPictureFilter(s.display, s.source, const_cast<char *>(FilterNearest), nullptr, 0);
    return true;
}

} // namespace

bool x11_scaler_start(int w, int h, int factor, int left, int top)
{
    x11_scaler_stop();
    if (!gfx_driver || (gfx_driver->id != GFX_XWINDOWS && gfx_driver->id != GFX_XWINDOWS_FULLSCREEN))
        return false;
    if (!screen || bitmap_color_depth(screen) != 32 || !_xwin.display || !_xwin.window ||
        w <= 0 || h <= 0 || factor < 2)
        return false;
    XLOCK();
    Scaler &s = scaler;
    s.display = _xwin.display;
    s.window = _xwin.window;
    s.w = w, s.h = h, s.factor = factor, s.left = left, s.top = top;
    XErrorHandler before = XSetErrorHandler(note_setup_error);
    setup_failed = false;
    bool made = make_scaler(s);
    XSync(s.display, False);
    made = made && !setup_failed;
    if (made) {
        s.running = true;
        s.library_redraw = _xwin_window_redrawer;
        _xwin_window_redrawer = redraw;
    } else {
        release(s);
        XSync(_xwin.display, False);
    }
    XSetErrorHandler(before);
    XUNLOCK();
    return made;
}

bool x11_scaler_running()
{
    return scaler.running;
}

unsigned char *const *x11_scaler_lock()
{
    if (!scaler.running)
        return nullptr;
    XLOCK();
    return scaler.rows.data();
}

void x11_scaler_put(int first, int end)
{
    Scaler &s = scaler;
    if (first < end) {
        const unsigned rows = (unsigned)(end - first);
        if (s.shared)
            XShmPutImage(s.display, s.pixmap, s.gc, s.image, 0, first, 0, first, (unsigned)s.w, rows,
                         False);
        else
            XPutImage(s.display, s.pixmap, s.gc, s.image, 0, first, 0, first, (unsigned)s.w, rows);
        composite(s.left, s.top + first * s.factor, s.w * s.factor, (end - first) * s.factor);
        XSync(s.display, False);
    }
    XUNLOCK();
}

void x11_scaler_stop()
{
    if (!scaler.running)
        return;
    XLOCK();
    // The objects were made on the window that stands now; another would mean they are gone.
    if (_xwin.display == scaler.display && _xwin.window == scaler.window) {
        release(scaler);
    } else {
        // Only what lives here is left to free.
        _xwin_window_redrawer = scaler.library_redraw;
        if (scaler.image) {
            if (scaler.shared) {
                shmdt(scaler.segment.shmaddr);
                scaler.image->data = nullptr;
            }
            XDestroyImage(scaler.image);
        }
        scaler = Scaler{};
    }
    XUNLOCK();
}
