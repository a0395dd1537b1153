/* editor_screen.h: what the level editor shows: the grid from above, the level in 3D, the status. */
#pragma once

#include <allegro.h>

#include "edit_level.h"

/* What the screen shows besides the level. */
struct EditorView {
    int32_t cursor_x, cursor_z;     /* the selected cell */
    int32_t mark_x, mark_z;         /* the other corner of the selected block; -1 for none */
    int32_t first_x, first_z;       /* the cell in the grid's top left corner */
    bool world_valid;               /* the 3D view shows the level (it has no faults) */
    int edge;                       /* the side of the selected square the side keys set */
    char lines[4][100];             /* the status: validation, what happened, the keys */
};

enum {
    EDITOR_STATUS_LINES = 4,
    GRID_CELL = 16,                 /* pixels a cell */
    GRID_WIDTH = 320, GRID_HEIGHT = 400,
    VIEW_X = 320, VIEW_WIDTH = 320, VIEW_HEIGHT = 240
};

/* Scrolls the grid so that the cursor is in sight. */
void follow_cursor(EditorView *view);

/* Draws the grid, the 3D view (through the game's renderer, the world holding the level) and
   the status lines into `target`, at least 640x480. */
void draw_editor(BITMAP *target, BITMAP *world_view, const EditLevel &level, const EditorView &view);
