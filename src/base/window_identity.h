/* window_identity.h: the name, class and icon by which the desktop knows a window of ours. */
#pragma once

/* Gives the library the X11 window's WM_CLASS (name, class: "tirvex", "Tirvex" for the game;
   a desktop entry's StartupWMClass names the class) and the game's icon. The library makes the
   window that the desktop manages in allegro_init, with the class it has then, and paints the
   icon in set_gfx_mode, so this is called before both; on a system without X11 it does nothing.
   Callers: start_up, and the editor's main. */
void set_window_identity(const char *name, const char *window_class);

/* Gives each X11 window of the library (the one the desktop manages and, in full screen, the
   one laid over the desktop that no window manager sees) the class set_window_identity gave,
   the title set_window_title gave as WM_NAME and as UTF-8 _NET_WM_NAME, _NET_WM_PID with the
   host's name, and _NET_WM_ICON: the game's icon at 16, 24, 32, 48, 64, 128 and 256 pixels. The
   icon, some 350 KB, is sent only to a window that does not carry it yet. Called after every
   graphics mode the game or the editor sets (set_scaled_mode); nothing to do without X11. */
void mark_windows();
