/* edit_history.cpp: undo and redo of the editor's edits, without limit while the editor runs. */
#include "edit_history.h"

void history_note(EditHistory *history, const EditLevel &before)
{
    history->undo.push_back(before);
    history->redo.clear();
}

bool history_undo(EditHistory *history, EditLevel *level)
{
    if (history->undo.empty())
        return false;
    history->redo.push_back(*level);
    *level = history->undo.back();
    history->undo.pop_back();
    return true;
}

bool history_redo(EditHistory *history, EditLevel *level)
{
    if (history->redo.empty())
        return false;
    history->undo.push_back(*level);
    *level = history->redo.back();
    history->redo.pop_back();
    return true;
}
