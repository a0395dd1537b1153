/* level_folder_journal.h: renumbering the levels of a folder (map01.txt, map02.txt, ...) so that
   a program killed halfway loses no level, and finishing such a renumbering when the folder is
   next opened. */
#pragma once

#include <cstddef>

enum { RENUMBER_NOTE_SIZE = 4096 + 256 };

/* Gives level `from` of folder `dir` the number `to`, the levels between moving one number up
   or down to make room (moving 5 to 2 makes 2, 3, 4 into 3, 4, 5); from and to are 1 to 99 and
   the folder holds every map from one to the other. First every map whose name gets another
   file is copied to its name with ~ appended (made under a fresh name and renamed there, so a
   link standing at a backup's name is replaced, never written through). Then every map is given
   a second name for its new number (.renumbering.NN), a journal naming them is written
   (.renumbering.journal) and synced, and only then are the new names renamed over the maps, the
   journal removed last. Returns 1, or 0 with what went wrong, naming the file, in fault (size
   bytes): nothing is then moved, or, when it failed after the journal, the renumbering is
   finished by the next finish_renumbering. Used by the level editor's renumbering key. */
int renumber_folder_level(const char *dir, int from, int to, char *fault, size_t size);

/* Makes `dir` whole again after a renumbering that was stopped (the program killed, the machine
   switched off): with a journal it is carried to its end; without one, the second names made
   before the journal are removed, and the unfinished backups and journals. A level left under
   .renumber.txt by an earlier version's renumbering takes the folder's first free number. A
   second name holding a level the folder has nowhere else takes the first free number too, so
   no level is ever removed. Returns 0 when there was nothing to do, 1 when something was mended
   (what, in note), -1 when it could not be (why, in note: the folder is then left as it was
   found, to be mended at a later opening). Called wherever a folder of levels is opened: by the
   level editor and by the game for --levels, before either reads a map. */
int finish_renumbering(const char *dir, char *note, size_t size);

/* Called after each step of renumber_folder_level (1, 2, ...) that leaves a mark on the disk;
   nullptr in the programs. The tests kill the program here to stop a renumbering at that
   step. */
extern void (*renumber_step_hook)(int step);
