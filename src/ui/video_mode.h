/* video_mode.h: the graphics mode from "wvideo.cfg" and the video mode dialog. */
#pragma once

#include <cstddef>

#include "ui/video_config.h"

/* --window and --fullscreen: this run's choice over the driver of "wvideo.cfg". */
enum WindowChoice { WINDOW_CHOICE_CONFIG, WINDOW_CHOICE_WINDOW, WINDOW_CHOICE_FULLSCREEN };
extern int window_choice;

/* False while nothing may be written (a demo's playback, a watch): Alt+Enter then switches
   without remembering it. Set by main. */
extern bool video_config_writable;

/* Sets the 8-bit graphics mode of "wvideo.cfg" (in the configuration folder) at start-up, in a
   window or full screen as window_choice says, enlarged by screen_scale.h; where the configured
   driver cannot give it, the windowed autodetect at the same size is tried; from then on
   Alt+Enter switches between window and full screen at any screen; a width or height outside
   1..8192 is refused without trying. Returns 1 when a mode is set.
   Otherwise the text mode is restored, "Error setting graphics mode" and the library's error
   go to the console and to "error.txt", and the program ends with status 1. */
int init_video_mode();

/* The video mode dialog of the main menu: lets the player choose a driver and size, sets it
   and writes it to "wvideo.cfg"; the dialog itself runs in a plain 640 x 480 mode, and the
   mode chosen is enlarged like every screen. Returns 0 once a mode is set (also when the file could not be
   written) and -1 when the player cancelled, which leaves the screen at 640 x 480 and the file
   untouched. The caller re-creates its screen-sized buffers and the palette afterwards. */
int configure_video_mode();

/* Sets palette entries 0 and 16 black, 1 grey and 255 white, and the dialog's foreground
   (index 0) and background (index 1) colours. */
void set_gui_colours();
