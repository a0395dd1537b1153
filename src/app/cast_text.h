/* cast_text.h: the title and description of one cast entry, read from the cast text object. */
#pragma once

#include <cstddef>

enum {
    CAST_TEXT_LINES = 30,       /* title included */
    CAST_LINE_SIZE = 80         /* 79 characters and the terminator */
};

/* The text of the entry on show: line 0 is its title, lines 1 onward its description. */
struct CastText {
    char lines[CAST_TEXT_LINES][CAST_LINE_SIZE];
    int line_count;
};

extern CastText cast_text;

/* Fills out with section `index` of the cast text in data (size bytes, not terminated): the
   lines after the marker "[CASTn]" up to a line beginning with "[", the end of the data or the
   30th line. Lines may end in CR LF or LF alike; a longer line keeps its first 79 bytes, less a letter they would cut.
   A missing section gives the marker itself as the title and no description. */
void parse_cast_text(const char *data, size_t size, int index, CastText *out);

/* Fills cast_text with section `index` of the datafile's cast text object. Called by the cast
   screen whenever it shows another entry. */
void load_cast_text(int index);
