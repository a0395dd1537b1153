/* screen_scale.h: the picture of the chosen mode, shown enlarged by a whole factor on a larger screen. */
#pragma once

#include <allegro.h>

enum { SCALE_LARGEST = 8 };

/* Where the picture of the mode lies on the graphics mode set for it. */
struct ScreenLayout {
    int factor;                 /* whole-number enlargement, 1 to SCALE_LARGEST */
    int screen_w, screen_h;     /* the graphics mode to set */
    int left, top;              /* the enlarged picture's top left corner on it */
};

/* The layout of a picture_w x picture_h picture on a desktop_w x desktop_h desktop. Full screen
   takes the largest factor whose enlargement fits the desktop and a mode of the desktop's size,
   the picture centred; a window the largest that fits about 90 % of it, and a mode of the
   enlarged size. A forced factor (1 to SCALE_LARGEST) is taken as it is. Factor 1 is the mode
   itself, as the game set it before it could enlarge. Pure; used by set_scaled_mode and tests. */
ScreenLayout plan_layout(int picture_w, int picture_h, int desktop_w, int desktop_h,
                         bool fullscreen, int forced_factor);

/* The layout in force; factor 1 with the screen's own size until set_scaled_mode enlarges. */
extern ScreenLayout screen_layout;

/* The factor --scale asked for, 0 for the largest that fits. Set by main before start-up. */
extern int forced_scale;

/* Sets the graphics mode for a picture of width x height with driver (the library's id),
   enlarged as plan_layout says on this desktop: 8-bit at factor 1, else 32-bit where the display
   gives it (8-bit where not); where the enlarged mode cannot be set, falls back to the mode
   itself. Creates the picture's 8-bit bitmap when enlarged; the colour depth for new bitmaps
   stays 8. Returns 0, or -1 with
   the library's error in allegro_error. Called by the video mode code for every mode it sets. */
int set_scaled_mode(int driver, int width, int height);

/* The bitmap the screens outside play draw on: `screen` itself at factor 1, else a memory
   bitmap of the mode's size that present_picture shows enlarged. */
BITMAP *picture();

/* Width and height of the picture: the mode's size, whatever the factor. */
int picture_w();
int picture_h();

/* Shows the picture on the screen, enlarged (nothing to do at factor 1, where it is the
   screen). First carries out an Alt+Enter typed since the last call. Called by every screen
   after drawing on picture(), and by the waits of screens that stand still. */
void present_picture();

/* Copies a frame of the picture's size to the screen: a plain blit at factor 1, else the frame
   becomes the picture and is shown enlarged in one pass. Called once a frame by play, the cast
   screen, the level select and the end screen. */
void present_frame(BITMAP *frame);

/* Shows `frame`, of the picture's size, enlarged as it stands, leaving the picture alone: for a
   frame that is the picture with something drawn over it (the video mode dialog's pointer). */
void present_overlay(BITMAP *frame);

/* Sets the palette, as the library's set_palette, and shows the picture on the screen in it:
   an 8-bit screen's hardware palette recolours what is shown, and on an enlarged 32-bit screen
   this shows it again in the new colours. Every palette change of the game, fades included,
   comes through here. */
void set_picture_palette(const RGB *palette);

/* Maps a point of the screen (the library's mouse_x, mouse_y) to the picture's pixels. */
int picture_x(int screen_x);
int picture_y(int screen_y);

/* Draws the mouse pointer into frame (the picture of the cast screen) where it points:
   show_mouse at factor 1, as ever, else the library's pointer drawn at the mapped point. */
void draw_pointer(BITMAP *frame);

/* Alt+Enter, noted by the keyboard callback (which runs on the library's input thread) and
   carried out by present_picture on the main thread: window_switch runs it. */
extern void (*window_switch)();

/* Installs the keyboard callback that notes Alt+Enter (and keeps it from the key buffer); every
   other key goes on to the callback installed before, if any (the editor's, which notes the
   shift keys held with each key). Called once the keyboard is installed. */
void note_window_switch_keys();

/* Alt+Enter's switch: the same picture in a window when full screen, full screen when in a
   window, enlarged as set_scaled_mode says, the picture and the palette kept. Where the other
   kind cannot be set, the kind it was is set again. Returns 0, or -1 (allegro_error says why)
   when neither could be set and there is no screen. The caller's window_switch. */
int switch_window_kind();

/* Carries out an Alt+Enter typed meanwhile and shows the picture again. Called by the waits of
   the screens that stand still (pause_briefly). */
void window_switch_if_asked();
