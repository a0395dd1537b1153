/* editor_screen.h: what the level editor shows: the grid as the game's map panel draws the level,
   the level in 3D, the palette, the status, and a page over them. */
#pragma once

#include <allegro.h>

#include <string>

#include "edit_level.h"
#include "text_page.h"

/* What the screen shows besides the level. */
struct EditorView {
    int32_t cursor_x, cursor_z;     /* the selected cell */
    int32_t mark_x, mark_z;         /* the other corner of the selected block; -1 for none */
    int32_t first_x;                /* the column at the grid's left edge */
    int32_t top_z;                  /* the row at the grid's top edge: rows grow up the grid, as
                                       on the game's map panel */
    bool world_valid;               /* the 3D view shows the level (it has no faults) */
    bool follow;                    /* the 3D view looks at the cursor, not the robot */
    int edge;                       /* the side of the selected square the side keys set */
    EditBrush brush;                /* what the mouse paints and the palette shows chosen */
    std::string validation;         /* the faults' summary and the first of them */
    std::string message;            /* what came of the last key */
    std::string place;              /* the map's file and its place in its folder */
};

enum {
    GRID_CELL = 16,                 /* pixels a cell */
    GRID_COLUMNS = 20, GRID_ROWS = 22,
    GRID_WIDTH = GRID_COLUMNS * GRID_CELL, GRID_HEIGHT = GRID_ROWS * GRID_CELL,
    VIEW_X = 320, VIEW_WIDTH = 320, VIEW_HEIGHT = 240,
    STATUS_Y = GRID_HEIGHT + 4,     /* the status lines, under the grid, the screen's width */
    STATUS_LINE = 12, STATUS_ROWS = 10,     /* pixels a status line, and the lines */
    KEY_ROWS = 2, VALIDATION_ROWS = 3,      /* the lines of the keys and of the faults */
    EDITOR_MESSAGE_ROWS = STATUS_ROWS - KEY_ROWS - VALIDATION_ROWS  /* left for the last key's */
};

/* What a click on the palette picks. */
enum PalettePick {
    PICK_NONE, PICK_CONTENT, PICK_TEXTURE, PICK_LOWER, PICK_HIGHER, PICK_TURN
};

/* Scrolls the grid so that the cursor is in sight. */
void follow_cursor(EditorView *view);

/* The cell under the screen point (px, py) of the grid; false when the point is not on it. */
bool grid_cell_at(const EditorView &view, int px, int py, int32_t *x, int32_t *z);

/* What the palette holds under the screen point (px, py); *value is the content or texture. */
PalettePick palette_at(int px, int py, int32_t *value);

/* The name of content `content` (0..7) as the palette and the help page show it. */
const char *content_name(int content);

/* Draws the grid, the 3D view (through the game's renderer, the world holding the level), the
   palette, the level's and the cell's details and the status into `target` (640x480), and
   `page` over all of it when there is one. */
void draw_editor(BITMAP *target, BITMAP *world_view, const EditLevel &level, const EditorView &view,
                 const TextPage *page);
