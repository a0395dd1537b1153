/* level_table.h: the levels checked as a Markdown table, for the level checker's --markdown. */
#pragma once

#include <cstdint>
#include <cstdio>

enum { LEVEL_TABLE_TEXT_SIZE = 160 };

/* One row: the map file, the two texts of its header, and its solution when one was found. */
struct LevelTableRow {
    const char *file_name;                  /* the map file's name, without its folder */
    char idea[LEVEL_TABLE_TEXT_SIZE];       /* the first line, without "Tirvex level N: " */
    char name[LEVEL_TABLE_TEXT_SIZE];       /* the second line, the level's name */
    bool solved;                            /* false: the figures are shown as "-" */
    int32_t moves, waits, ticks, limit_ticks;
    int64_t states;
    /* The fairness analysis, when the table is written with it. */
    bool analysed;                          /* false: its figures are shown as "-" */
    int32_t decisions, wrong_ways;          /* -1 when not known */
    int64_t traps;                          /* positions where a trap is available, -1 unknown */
    double unwinnable_share;                /* 0 to 1; below 0 when not known */
    bool delay_wins;
    int32_t failing_rate;                   /* the slowest rate it cannot be won at, 0 for none */
    int32_t slowest_rate;
    double margin;
    bool think_tried;                       /* the thinking pace was tried, */
    double human_margin;                    /* and the margin at it; 0: it cannot be won so */
    int32_t shared_percent;                 /* most of its squares another level shares, */
    const char *shared_with;                /* and that level's map file name (nullptr: none) */
    bool actors_weighed;                    /* false: the actors' figures are shown as "-" */
    int32_t actors, actors_matter;          /* mibos, zippers, jars and mines; those that matter */
    bool actors_unknown;                    /* some may matter, not known ("?" after the count) */
    int32_t actors_saving;                  /* commands saved without them all; -1 no win then,
                                               below that not known */
    int32_t way_waits;                      /* the fewest waits of a shortest way, -1 not known */
    int32_t view_squares;                   /* the squares the start shows ahead, */
    bool view_teleport, view_sweet;         /* and whether the teleport, a sweet is among them */
};

/* Fills row->idea and row->name from the first two lines of the NUL-terminated map text (lines
   end in LF, CR LF or a bare CR; blanks around them are dropped, a missing line is empty). A
   first line that begins "Tirvex level N:" keeps only what follows it. Touches nothing else of
   *row. Called by the level checker for every map it can read. */
void level_table_texts(const char *map_text, LevelTableRow *row);

/* Writes the Markdown table of the `count` rows to `out`, in their order: a heading row, the
   alignment row, then one row a map with its number (the NN of mapNN.txt, otherwise the file
   name), name, idea, moves, waits, game time in seconds with two decimals, limit in seconds and
   states searched; with `fair`, then decisions, wrong ways, positions with a trap, the share of
   positions that cannot be won, whether a delayed start can be won, the frame rates it can be won
   at, the clock margin, the margin at a thinking player's pace ("no" when it cannot be won so,
   "-" when not tried), the most squares another level shares, the actors, those that matter,
   the commands saved without them all ("no win" when it cannot be won then), the fewest waits
   of a shortest way, the squares the start shows and which of the teleport and a sweet stand
   there ("-" for neither). A '|' in a text is escaped.
   The same rows give the same bytes. Called by the level checker once all maps are checked. */
void write_level_table(FILE *out, const LevelTableRow *rows, int count, bool fair);
