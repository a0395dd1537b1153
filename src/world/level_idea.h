/* level_idea.h: the one line a level file gives to what the level teaches (its first line). */
#pragma once

#include <cstddef>

enum { LEVEL_IDEA_SIZE = 80 };  /* a header line: 79 characters and the terminator */

/* Takes the idea out of a map's first line as read (line end included): the line end and the
   blanks around it go, so does a leading "Tirvex level N:" (the level title says it), and a
   control or non-ASCII byte, which the game's font has no glyph
   for, becomes a blank. Writes at most size - 1 characters into idea (always terminated) and
   returns it; an empty line gives "". */
char *clean_level_idea(const char *line, char *idea, size_t size);

/* Reads the first line of the level file at path, as every reader of a map reads it (any line
   end; at most 79 characters, the rest of a longer line is not read), into idea (size bytes)
   through clean_level_idea. Returns false with idea "" when the file cannot be opened or is not
   a regular file. Used by the level select, the key card and the records panel. */
bool read_level_idea(const char *path, char *idea, size_t size);

enum { LEVEL_IDEA_SHOWN_SIZE = 4 * LEVEL_IDEA_SIZE };  /* a translated idea: four bytes a letter */

/* The idea in the player's language: whole where the catalogue has it (a shipped level's),
   else phrase by phrase between ", " as the level generator writes them ("push a mibo aside,
   eat the 3 sweets"), a phrase with a number looked up with %d in its place; a phrase the
   catalogue lacks stays as written. Returns idea itself when nothing was translated, else
   shown (LEVEL_IDEA_SHOWN_SIZE bytes), which it fills. */
const char *translated_idea(const char *idea, char *shown);
