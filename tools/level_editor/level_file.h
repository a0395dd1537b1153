/* level_file.h: reads a map into the editor's level and writes it back in the map format. */
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "edit_level.h"

enum { MAP_TEXT_SIZE = 64 * 1024 };    /* a map file the editor reads: far beyond any real one */

/* Reads `length` bytes of map text into *level the way the game reads them: the header lines
   as the game sees them, the squares in file order. A side whose value is what the editor would
   give it is automatic, any other is taken as set by hand; the cliff depth is the one most
   edges without a square beside them have. Returns the parser's verdict: a level with a fault
   the game would stop on is not for editing (*level is then empty), but for one without a start
   yet, which is work in progress. */
MapVerdict read_level_text(const char *text, size_t length, EditLevel *level);

/* The level as map text in the canonical layout: the seven header lines, the square count on a
   line, then one square a line in order, numbers separated by one blank, LF line ends. */
std::string level_text(const EditLevel &level);

/* Writes the level to `path`: to a new file beside it first (`path`.new.XXXXXX, made
   exclusively, so that nothing standing at a fixed name is followed or truncated, and given the
   mode a plain create would, 0666 less the file mask), then renamed over it, the file it
   replaces kept as `path`~. A link at `path` is replaced, not followed. Returns an empty string,
   or what went wrong, naming the path and the system's reason (the old file is then as it
   was, and no temporary file is left). Called by the editor's save key. */
std::string save_level_file(const EditLevel &level, const char *path);

/* Reads the map at `path` into *level and its text into *text, opened as every player's file is
   (a FIFO or a device refused at once, never waited on); no file there is a new level. Returns
   an empty string, or why it is not for editing, naming the path (the faults go to `faults` as
   the checker prints them, when not null). Used by the editor to open a map. */
std::string read_level_file(const std::string &path, EditLevel *level, std::string *text,
                            FILE *faults);
