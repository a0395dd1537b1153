/* map_parser.h: reads the text of a level file into plain records, reporting what is wrong.
   Knows nothing of the game's tables and never stops the program, so it can be tested and fuzzed
   on its own. */
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

enum {
    MAP_SQUARE_LIMIT = 199,     /* squares a map may hold */
    MAP_ACTOR_LIMIT = 100,      /* actors a map may create */
    MAP_LINE_SIZE = 80,         /* one header line: 79 characters and the terminator */
    MAP_NAME_BUFFER = 40,       /* the name line: 39 bytes read, the last one removed */
    MAP_MESSAGE_SIZE = 64,
    /* Columns and rows 0..326: a step or a push one square beyond the last one still aims at a
       world x or z of at most 32700, inside the fixed-point range. */
    MAP_COLUMN_LIMIT = 326,
    MAP_HEIGHT_LIMIT = 1000,    /* heights -1000..1000: square tops within world y +-10000 */
    /* A side face reaches down to world y 10 * (side + 1 - height), at most this. */
    MAP_FACE_BOTTOM_LIMIT = 32767
};

/* Content codes of a square: what stands on it when the level starts. */
enum MapContent {
    CONTENT_NOTHING = 0,
    CONTENT_START = 1,
    CONTENT_TELEPORT = 2,
    CONTENT_MIBO = 3,
    CONTENT_ZIPPER = 4,
    CONTENT_JAR = 5,
    CONTENT_MINE = 6,
    CONTENT_SWEET = 7
};

/* A character source read the way the game reads a text file: from an open file or from memory,
   with every line end (LF, CR LF or a bare CR) read as one line feed. */
struct MapReader {
    FILE *file;                 /* read from here when set, else from text */
    const char *text;
    size_t length;
    size_t position;            /* next byte of text */
    int pushed[2];              /* characters read ahead, the last one pushed on top */
    int pushed_count;
    int32_t line;               /* 1-based line of the next character, for the fault messages */
};

/* One square line, as read. */
struct MapSquareLine {
    int32_t x;
    int32_t height;
    int32_t z;
    int32_t texture;
    int32_t content;            /* MapContent; other values create nothing */
    int32_t dir;                /* 1/256 turns, for the player, mibos and zippers */
    int32_t side[4];            /* as written: -1 no face, n >= 0 a face n+1 levels deep */
};

/* Everything a level file says. */
struct ParsedMap {
    char name[MAP_NAME_BUFFER];
    int32_t level_code;
    int32_t minutes;            /* time limit */
    int32_t square_count;       /* squares read so far; all of them when fault is MAP_OK */
    int32_t start_square;       /* index of the square with the player's start, or -1 */
    MapSquareLine squares[MAP_SQUARE_LIMIT];
};

enum MapFault {
    MAP_OK = 0,
    MAP_EMPTY,                  /* "Map is empty (zero squares)" */
    MAP_TOO_LARGE,              /* "Map too large" */
    MAP_BAD_SQUARE,             /* "Bad square %d in map" */
    MAP_TWO_STARTS,             /* "More than one starting position in map" */
    MAP_NO_START,               /* "No starting position defined in map" */
    MAP_TOO_MANY_ACTORS         /* "Too many actors" */
};

/* What parse_map found: the first fault in file order and its message for the fatal page. */
struct MapVerdict {
    MapFault fault;
    int32_t square;                     /* 1-based square the fault was found at, 0 for none */
    int32_t line;                       /* 1-based line it was found on, 0 for the whole file */
    char message[MAP_MESSAGE_SIZE];     /* empty when fault is MAP_OK */
    char reason[MAP_MESSAGE_SIZE];      /* what is wrong with a bad square ("column is not a
                                           number"), else empty */
};

/* Readers over an open file (the caller closes it) or over `length` bytes of text (kept alive by
   the caller while reading). */
void map_reader_from_file(MapReader *reader, FILE *file);
void map_reader_from_text(MapReader *reader, const char *text, size_t length);

/* Reads one header line like the C library's fgets with a buffer of `size` bytes: at most
   size - 1 bytes, up to and including a line end; a longer line is left for the next read.
   Always terminates buffer. Returns the number of bytes read (0 at the end of the text). */
size_t map_read_line(MapReader *reader, char *buffer, size_t size);

/* The decimal-prefix rule of the header numbers: leading blanks, an optional sign, then digits up
   to the first other character; no digits give 0, values beyond 32 bits are held at the limit. */
int32_t map_decimal_prefix(const char *text);

/* Reads lines 1 to 3 only: the ignored first line, the name (the last byte read removed, so at
   most 38 characters) and the level code. Used for the level list and the save step. */
void parse_level_header(MapReader *reader, char name[MAP_NAME_BUFFER], int32_t *level_code);

/* Reads a whole level file into *map. Returns MAP_OK, or the first fault in file order with its
   message: no or a non-positive square count, 200 or more squares, a square line with a missing,
   malformed or out-of-range number (columns and rows 0..MAP_COLUMN_LIMIT, heights within
   MAP_HEIGHT_LIMIT, texture 0..3, sides -1 or more with the face's bottom at most
   MAP_FACE_BOTTOM_LIMIT, a start direction other than 0, 64, 128 or 192), a
   second start square, more than 100 actors, or no start square at all. */
MapVerdict parse_map(MapReader *reader, ParsedMap *map);
