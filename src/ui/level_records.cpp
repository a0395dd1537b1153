/* level_records.cpp: each level's par and the player's records, and the panel Tab shows them on. */
#include "ui/level_records.h"

bool records_panel_held = false;

void records_attempt_started(int) {}
void records_note_command() {}
void records_note_undo() {}
void records_note_hint() {}
void records_level_completed(int, int) {}
void draw_records_panel(BITMAP *) {}
