/* level_plan.h: a level being made, as a grid of squares, and its map text. */
#pragma once

#include <cstddef>
#include <cstdint>

#include "world/map_parser.h"     /* the content codes of a square */

enum {
    PLAN_COLUMNS = 20,          /* the map panel shows 20 columns */
    PLAN_ROWS = 12,             /* ... and 12 rows */
    PLAN_MAX_SQUARES = 199,     /* the most squares a map may hold */
    PLAN_IDEA_SIZE = 79,        /* the first line, "Tirvex level N: " included, and a terminator */
    PLAN_NAME_SIZE = 39,        /* 38 characters and a terminator */
    PLAN_TEXT_SIZE = 16 * 1024  /* a map's text: 199 squares of at most 60 characters, far over */
};

/* Directions in 1/256 turns, as the map file gives them. */
enum PlanDirection { DIR_PLUS_Z = 0, DIR_PLUS_X = 64, DIR_MINUS_Z = 128, DIR_MINUS_X = 192 };

struct PlanSquare {
    bool present;
    int32_t height;
    int32_t content;            /* MapContent */
    int32_t dir;                /* PlanDirection, for the start, a mibo or a zipper */
    bool fixed;                 /* part of a piece built to a design: left as it is */
};

struct LevelPlan {
    int32_t columns, rows;      /* the grid used, at most PLAN_COLUMNS x PLAN_ROWS */
    PlanSquare squares[PLAN_ROWS][PLAN_COLUMNS];    /* by row, then column */
    int32_t number;             /* the level's number, for the first line */
    int32_t minutes;            /* the time limit */
    char idea[PLAN_IDEA_SIZE];  /* what the level asks, without "Tirvex level N: " */
    char name[PLAN_NAME_SIZE];
    /* The place's textures: 0 bands of paving and the second floor by height; 1 to
       PLAN_THEMES a floor of one texture, what rises over it of a second and what lies
       under it of a third (plan_texture). */
    int32_t theme;
};

enum { PLAN_THEMES = 3 };

/* The texture (0 paving, 2 the second floor, 3 cliff stone) of a square `height` high in a
   plan of `theme` whose floor, its commonest height, is `floor`. */
int32_t plan_texture(int32_t theme, int32_t floor, int32_t height);

/* Empties the plan and sets its grid to columns x rows (clamped to the panel's size). */
void plan_clear(LevelPlan &plan, int32_t columns, int32_t rows);

/* The square at (column, row), or nullptr outside the grid. A square outside the grid or not
   present is no square to the game. */
PlanSquare *plan_at(LevelPlan &plan, int32_t column, int32_t row);
const PlanSquare *plan_at(const LevelPlan &plan, int32_t column, int32_t row);

/* The square at (column, row) when present, else nullptr. */
const PlanSquare *plan_present(const LevelPlan &plan, int32_t column, int32_t row);

/* Squares present in the plan. */
int32_t plan_square_count(const LevelPlan &plan);

/* The side value the map file gives the square at (column, row) on `edge` (0 +z, 1 -x, 2 -z,
   3 +x): -1 where the neighbour is as high or higher, the drop less one where it is lower, and
   height + 3 where there is none, so that a face reaches the ground. */
int32_t plan_side(const LevelPlan &plan, int32_t column, int32_t row, int32_t edge);

/* The column and row steps of a direction (0 +z, 64 +x, 128 -z, 192 -x). */
void direction_step(int32_t dir, int32_t *column_step, int32_t *row_step);

/* Writes the plan as a map file into `text` (`size` bytes, terminated). Returns the length, or
   0 when it does not fit. The squares go row by row, as the shipped maps write them. */
size_t plan_write_text(const LevelPlan &plan, char *text, size_t size);
