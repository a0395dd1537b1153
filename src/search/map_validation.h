/* map_validation.h: finds what is wrong in a level file and says on which line. */
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

enum {
    VALIDATION_MESSAGES = 64,       /* messages kept per file; later ones are only counted */
    VALIDATION_MESSAGE_SIZE = 224
};

/* One finding. A fault is something the game would stop on or read otherwise than written; a
   warning is legal but probably not what the designer meant. */
struct ValidationMessage {
    int32_t line;                   /* 1-based line of the file; 0 for the file as a whole */
    int32_t fault;                  /* 1 fault, 0 warning */
    char text[VALIDATION_MESSAGE_SIZE];
};

struct ValidationReport {
    int32_t faults;
    int32_t warnings;
    int32_t message_count;          /* messages kept in messages[] */
    ValidationMessage messages[VALIDATION_MESSAGES];
    /* What a valid file holds, for the checker's summary. */
    char name[40];
    int32_t minutes;
    int32_t squares;
    int32_t actors;
    int32_t sweets;
    int32_t columns, rows;          /* extent of the squares: highest column and row plus one */
};

/* Checks the `length` bytes of a level file read the way the game reads it: the header lines
   (a first line or name that spills into the next read, a time limit that is no positive
   number), the square count (not a number, none, too many, or fewer or more squares than the
   file holds), each square (missing or malformed numbers, numbers outside what the game can
   use, an unknown content code or texture, a negative column or row, a second square on one
   cell, a square not written on a line of its own), the starting position (none or two), the
   actors (more than 100, a direction off the grid) and the level as a place (no teleport, larger
   than the map panel shows). Fills *report with the findings in line order. The map reader of
   the game decides what the game stops on; this adds the line and the reason. */
void validate_map(const char *text, size_t length, ValidationReport *report);

/* Prints the report's messages as "path:line: text" (warnings marked), one a line. */
void print_validation(FILE *out, const char *path, const ValidationReport &report);
