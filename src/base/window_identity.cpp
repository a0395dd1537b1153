/* window_identity.cpp: the name, class and icon by which the desktop knows a window of ours. */
#include "base/window_identity.h"

#include <allegro.h>
#ifdef ALLEGRO_WITH_XWINDOWS
#include <xalleg.h>

/* The library's icon for the windows it makes: an XPM picture, none unless a program sets it. */
extern "C" void *allegro_icon;
#endif

/* The game's icon as XPM, painted by make_datafile with the desktop icons (window_icon.cpp). */
extern const char *const tirvex_window_icon[];

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
