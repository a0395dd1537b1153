/* edit_history.h: undo and redo of the editor's edits, without limit while the editor runs. */
#pragma once

#include <vector>

#include "edit_level.h"

/* The levels before each edit still to undo, and after each undo still to redo. */
struct EditHistory {
    std::vector<EditLevel> undo;
    std::vector<EditLevel> redo;
};

/* Notes that an edit changed the level from `before`: it can be undone, and what was undone can
   no longer be redone. Called by the editor after every edit that succeeded. */
void history_note(EditHistory *history, const EditLevel &before);

/* Puts *level back as it was before the last edit not undone; returns false when there is none. */
bool history_undo(EditHistory *history, EditLevel *level);

/* Makes the last undone edit again; returns false when there is none. */
bool history_redo(EditHistory *history, EditLevel *level);
