/* window_identity.cpp: the name, class and icon by which the desktop knows a window of ours. */
#include "base/window_identity.h"

#include <allegro.h>

#include <cstdint>
#ifdef ALLEGRO_WITH_XWINDOWS
#include <unistd.h>

#include <xalleg.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstring>
#include <vector>

/* The library's icon for the windows it makes: an XPM picture, none unless a program sets it. */
extern "C" void *allegro_icon;
#endif

/* The game's icon as XPM, and as _NET_WM_ICON's list of sizes (width, height, then the ARGB
   rows of each), painted by make_datafile with the desktop icons (window_icon.cpp). */
extern const char *const tirvex_window_icon[];
extern const uint32_t tirvex_window_icon_sizes[];
extern const int tirvex_window_icon_size_count;

void set_window_identity(const char *name, const char *window_class)
{
#ifdef ALLEGRO_WITH_XWINDOWS
    xwin_set_window_name(name, window_class);
    allegro_icon = (void *)tirvex_window_icon;
#else
    (void)name;
    (void)window_class;
#endif
}

#ifdef ALLEGRO_WITH_XWINDOWS
namespace {

/* The icon in the form XChangeProperty takes 32-bit items: one C long each. */
const std::vector<long> &icon_items()
{
    static std::vector<long> items;
    if (items.empty()) {
        items.reserve((size_t)tirvex_window_icon_size_count);
        for (int i = 0; i < tirvex_window_icon_size_count; i++)
            items.push_back((long)tirvex_window_icon_sizes[i]);
    }
    return items;
}

bool carries(Display *display, Window window, Atom property)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) != Success)
        return false;
    if (data)
        XFree(data);
    return type != None;
}

void mark(Display *display, Window window)
{
    XClassHint hint;
    hint.res_name = _xwin.application_name;
    hint.res_class = _xwin.application_class;
    XSetClassHint(display, window, &hint);

    const char *title = _xwin.window_title;
    XStoreName(display, window, title);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(title),
                    (int)std::strlen(title));

    // A pid means something only with the machine it runs on.
    char host[256] = "";
    if (gethostname(host, sizeof host - 1) == 0 && host[0])
        XChangeProperty(display, window, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(host), (int)std::strlen(host));
    const long pid = (long)getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(&pid), 1);

    const Atom icon = XInternAtom(display, "_NET_WM_ICON", False);
    if (!carries(display, window, icon)) {
        const std::vector<long> &items = icon_items();
        XChangeProperty(display, window, icon, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(items.data()), (int)items.size());
    }
}

} // namespace
#endif

void mark_windows()
{
#ifdef ALLEGRO_WITH_XWINDOWS
    if (!_xwin.display)
        return;
    XLOCK();
    Window windows[] = {_xwin.wm_window, _xwin.fs_window, _xwin.window};
    for (int i = 0; i < 3; i++) {
        bool seen = windows[i] == None;
        for (int j = 0; j < i && !seen; j++)
            seen = windows[j] == windows[i];
        if (!seen)
            mark(_xwin.display, windows[i]);
    }
    XFlush(_xwin.display);
    XUNLOCK();
#endif
}
