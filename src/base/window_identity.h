/* window_identity.h: the name, class and icon by which the desktop knows a window of ours. */
#pragma once

/* Gives the library the X11 window's WM_CLASS (name, class: "tirvex", "Tirvex" for the game;
   a desktop entry's StartupWMClass names the class) and the game's icon. The library makes the
   window that the desktop manages in allegro_init, with the class it has then, and paints the
   icon in set_gfx_mode, so this is called before both; on a system without X11 it does nothing.
   Callers: start_up, and the editor's main. */
void set_window_identity(const char *name, const char *window_class);
