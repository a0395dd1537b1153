/* editor_state.h: what the level editor holds while it runs, and the procedures its key and mouse
   handling share. */
#pragma once

#include <string>

#include "edit_history.h"
#include "edit_level.h"
#include "editor_screen.h"
#include "text_field.h"
#include "text_page.h"

/* What a typed field is for. */
enum Typing { TYPING_NONE, TYPING_NAME, TYPING_IDEA, TYPING_NUMBER };

/* What a held mouse button does on the grid. */
enum Drag { DRAG_NONE, DRAG_PAINT, DRAG_ERASE, DRAG_SELECT };

/* Everything the editor holds. */
struct Editor {
    std::string path;               /* the map's file, absolute */
    std::string dir;                /* its folder */
    int number;                     /* its level number in the folder, 0 for a name not mapNN */
    EditLevel level, before;
    std::string saved_text;         /* the map's text as the file holds it */
    EditHistory history;
    EditBlock block;
    bool block_held;
    EditorView view;
    std::string world_text;         /* the map text the world was started from */
    int asked_key;                  /* the scancode that does what was asked about when pressed again
                                       (Esc leaving unsaved, Ctrl+V pasting over contents, a
                                       folder key leaving unsaved); 0 for none */
    Typing typing;
    TextField field;
    TextPage page;
    bool page_shown;
    int keys_refused;               /* keys pressed while a proof ran */
    Drag drag;
    EditLevel drag_before;          /* the level when a paint or erase drag began */
    bool drag_changed;
    int32_t drag_x, drag_z;         /* the last cell it passed */
};

/* The one editor of the program. */
extern Editor editor;

/* Says `text` on the status line. */
void say(const std::string &text);

/* Validates the level as written and starts it in the world for the 3D view when it is valid. */
void refresh();

/* After an edit made from editor.before: undoable and shown when made, else `refused` said. */
void edited(bool made, const char *refused);

/* Notes an edit that changed the level from `before` (undoable, the proof forgotten) and shows
   it. Called by the edits and at the end of a drag. */
void note_edit(const EditLevel &before);

/* Brings the camera nearer (steps < 0) or takes it further away. */
void zoom(int steps);

/* Turns the robot, and the view with it, by a move code of the turn keys. */
void turn_view(int code);
