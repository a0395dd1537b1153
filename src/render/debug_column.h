/* debug_column.h: the column of debug text at the left edge, and the frames-per-second estimate. */
#pragma once

#include "world/world.h"

#include <allegro.h>
#include <cstddef>

/* Row of the next debug line; only the debug block puts it back to the top. */
extern int debug_y;

/* Puts the debug column back to the top row. */
void reset_debug_lines();

/* While debug info is on, draws text in white with the debug font at (1, debug_y) and moves
   debug_y down one line, back to the top after the bottom edge of target. Does nothing while
   debug info is off. Used by the debug block, the frame composition and the actor drawing. */
void debug_line(BITMAP *target, const char *text);

/* Formats into the shared HUD text buffer (bounded) and draws it with debug_line; formats
   nothing while debug info is off. */
void debug_printf(BITMAP *target, const char *format, ...) __attribute__((format(printf, 2, 3)));

/* Advances the frames-per-second estimate by one frame and writes "%5.1f FPS" into buffer
   (size bytes, bounded). Measures the wall clock over a window that grows from 3 to 42 frames;
   reads 0.0 until the second measurement, and keeps the last value when no time has passed. */
void update_fps_text(char *buffer, size_t size);

/* update_fps_text with the wall clock reading given in milliseconds (for tests). */
void update_fps_text_at(char *buffer, size_t size, long now_ms);

/* The debug block: puts the column back to the top and prints the frame, tick and update
   counters, the FPS estimate (advanced every frame, shown or not) and the player's motion state.
   Called every frame after the level title; the renderer's lines of the next frame follow it. */
void draw_debug_block(const World &w, BITMAP *target);
