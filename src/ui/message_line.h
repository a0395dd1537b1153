/* message_line.h: the one line of transient text on the play screen, and the title timer. */
#pragma once

#include <allegro.h>

/* The message of the play screen. The text is never copied: a module that formats a message
   keeps its own static buffer (40 characters or more) alive until it shows its next one. */
struct MessageLine {
    const char *text;   /* none when no message is shown */
    int ticks_left;     /* timer ticks the text stays visible */
};

extern MessageLine message_line;

/* Ticks for which the level title is still shown; set to 200 at each level start. */
extern int title_timer;

/* Shows text for the given number of ticks, replacing any current message at once. */
void show_message(const char *text, int ticks);

/* Removes the message. Called at each level start. */
void clear_message();

/* Runs the message and title timers down by the ticks of one game update. A message vanishes
   on the first update after its counter has dropped below 1. Called once per update. */
void count_down_messages(int ticks);

/* Draws the message, if any, into target with the global font in light green, centred
   horizontally in the 3D view rectangle (x, y, w, h) with its top at the rectangle's middle.
   At most 79 characters are drawn. Called once per frame by the frame composition, after the
   3D view and before the HUD; it passes this frame's viewport. */
void draw_message_line(BITMAP *target, int view_x, int view_y, int view_w, int view_h);
