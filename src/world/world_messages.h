/* world_messages.h: the world's one line of transient text and the level title's timer. */
#pragma once

#include "world/world.h"

/* Shows text for the given number of ticks, replacing any current message at once. */
void show_message(World &w, const char *text, int ticks);

/* show_message for a text the game adds to the level's own messages (a hint's answer, undo's
   word, a notice): the same line, drawn on a dark band. */
void show_boxed_message(World &w, const char *text, int ticks);

/* Removes the message. Called at each level start. */
void clear_message(World &w);

/* Runs the message and title timers down by the ticks of one game update. A message vanishes
   on the first update after its counter has dropped below 1. Called once per update. */
void count_down_messages(World &w, int ticks);
