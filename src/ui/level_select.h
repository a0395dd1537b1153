/* level_select.h: the screen before every level: the list of levels, which are open, a cursor. */
#pragma once

#include <allegro.h>
#include <cstddef>

#include "ui/progress_file.h"
#include "world/level_idea.h"
#include "world/level_map.h"

enum {
    LEVEL_LIST_MAX = 21,        /* map files with higher numbers are not listed */
    LEVEL_FAULT_SIZE = 200,     /* "line 8: " and the checker's text */
    LEVEL_REFUSAL_SIZE = 4096 + 400,
    LEVEL_BAR_NAME_W = 187,     /* a bar's room for "N. name", up to its completion mark */
    LEVEL_IDEA_LEFT = 236       /* the idea box's left edge from the bars' text, right of them */
};

/* The levels found in the map files, by number. */
struct LevelList {
    char level_names[LEVEL_LIST_MAX + 1][LEVEL_NAME_SIZE];  /* by level number; [0] unused */
    char level_faults[LEVEL_LIST_MAX + 1][LEVEL_FAULT_SIZE];    /* level_fault's, by number */
    char level_ideas[LEVEL_LIST_MAX + 1][LEVEL_IDEA_SIZE];  /* each map's first line, by number */
    int count;      /* levels 1..count have map files, without a gap */
};

/* Everything the level select screen shows. */
struct LevelSelect {
    LevelList list;
    ProgressRecord progress;
    int highest_open;   /* the highest level that may be chosen; 0 when none is listed */
    int cursor;         /* level number under the cursor */
    char refusal[LEVEL_REFUSAL_SIZE];   /* why the level chosen last cannot be played; empty
                                           once the cursor moves or when none was refused */
};

/* What a key does on the level select screen. */
enum SelectAction {
    SELECT_IGNORED = 0,     /* no click, nothing changes */
    SELECT_MOVED,           /* the cursor moved one level */
    SELECT_CANCELLED,       /* Esc */
    SELECT_CHOSEN,          /* Enter: the level under the cursor */
    SELECT_REFUSED          /* Enter on a level of a --levels folder that has faults: the
                               refusal says its file, line and fault */
};

/* Returns 1 when the map file "maps//map%02d.txt" of level can be opened and its header read,
   else 0. The probe of the level list; the level keys F9 and F10 use it too. */
int level_map_exists(int level);

/* Why level's map file cannot be played, when levels come from a --levels folder: the level
   checker's first fault with its line ("line 8: none of the 3 squares is a starting position
   (content code 1)"), as a level saved with faults by the level editor has; empty when it has
   none. Always empty for the shipped levels, whose faults keep the fatal page. Writes into out
   (size bytes) and returns it. Used by the level list and the level keys. */
const char *level_fault(int level, char *out, size_t size);

/* Fills list with the names of levels 1, 2, ... up to 21, stopping at the first number whose map
   file cannot be opened, and with each one's level_fault and idea. Returns the count. */
int list_levels(LevelList *list);

/* The highest level that may be chosen: the highest listed level completed in progress, plus 1
   unless it is the last listed level; 1 when none is completed, 0 when no level is listed. */
int highest_open_level(const ProgressRecord *progress, int level_count);

/* Reads the progress and the level list afresh, and puts the cursor on the highest open level. */
void open_level_select(LevelSelect *select);

/* Acts on one typed key (scancode): Up and Down move the cursor within 1..highest_open, Esc
   cancels, Enter chooses, or refuses a level with faults (select->refusal then says why);
   everything else is ignored. Returns the SelectAction; the caller plays
   the click for every action but SELECT_IGNORED. */
int level_select_key(LevelSelect *select, int scancode);

/* Draws the background picture centred and one bar per listed level into target (the screen
   buffer): bright with white text for completed levels and the highest open one, dark with black
   text otherwise, the cursor arrow and the completed marks; a level with faults has
   the word "faults" beside its bar, and a refusal is written in a box at the bottom. Right of
   the bars, level by the cursor's bar, a box gives the idea of the level under the cursor. */
void draw_level_select(BITMAP *target, const LevelSelect *select);

/* The level select screen: fades in, draws into target and copies it to the screen after every
   key until Enter or Esc, fades out and restores the palette, waits until Esc and Enter are
   released and empties the key buffer. Returns the chosen level number, or -1 for Esc. With no
   map file at all Enter returns 0. Called by the play loop before every level. */
int select_level(BITMAP *target);
