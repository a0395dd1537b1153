/* edit_level.h: a level as the editor holds it, and the edits a designer makes to it. */
#pragma once

#include <cstdint>

#include "world/map_parser.h"

enum {
    EDIT_HEADER_LINES = 7,          /* the text lines before the square count */
    EDIT_NAME_LIMIT = 38,           /* characters of a level's name */
    EDIT_MINUTES_LIMIT = 99,
    EDIT_CLIFF_DEFAULT = 8,         /* levels a new cliff reaches down */
    EDIT_EDGES = 4                  /* +z, -x, -z, +x, as the map file orders the sides */
};

/* One square, as the map file writes it, and which of its sides were set by hand. */
struct EditSquare {
    int32_t x, height, z, texture, content, dir;
    int32_t side[EDIT_EDGES];       /* -1 no face, n >= 0 a face n+1 levels deep */
    uint8_t side_by_hand[EDIT_EDGES];
};

/* A level: its header lines as read (the name in line 2, the time limit in line 5) and its
   squares in file order. */
struct EditLevel {
    char header[EDIT_HEADER_LINES][MAP_LINE_SIZE];
    int32_t square_count;
    EditSquare squares[MAP_SQUARE_LIMIT];
    int32_t cliff_depth;            /* levels an edge with no square beside it reaches down */
};

/* A rectangle of squares lifted from a level, with their places relative to its corner. */
struct EditBlock {
    int32_t columns, rows;
    int32_t square_count;
    EditSquare squares[MAP_SQUARE_LIMIT];
};

/* An empty level: the shipped maps' header lines, a time limit of three minutes, no squares. */
void new_level(EditLevel *level);

/* The index of the square on (x, z), or -1. */
int find_square(const EditLevel &level, int32_t x, int32_t z);

/* The level's name, without the line end (at most EDIT_NAME_LIMIT characters). */
const char *level_name(const EditLevel &level);

/* The level's time limit in minutes, read as the game reads it. */
int32_t level_minutes(const EditLevel &level);

/* The side an edge gets when it is not set by hand: a face down to the top of a lower square
   beside it, a cliff of cliff_depth levels where there is none, no face toward a square as high
   or higher. */
int32_t automatic_side(const EditLevel &level, const EditSquare &square, int edge);

/* Gives every side not set by hand its automatic value. Every edit below calls it. */
void update_sides(EditLevel *level);

/* What the mouse paints: a square of this height and texture, and this content facing `dir`.
   Content CONTENT_NOTHING is the floor brush, which shapes the ground and leaves what stands on
   a square; a content brush puts its content on a square there, leaving its height and texture. */
struct EditBrush {
    int32_t height, texture, content, dir;
};

/* The edits. Each returns false, changing nothing, when it cannot be made (a cell taken or
   empty, a value out of the map's range, no room for another square). Called by the editor,
   which keeps a copy of the level before each one for undoing it. */
bool add_square(EditLevel *level, int32_t x, int32_t z, int32_t height);
bool remove_square(EditLevel *level, int32_t x, int32_t z);
bool raise_square(EditLevel *level, int32_t x, int32_t z, int32_t levels);
bool cycle_texture(EditLevel *level, int32_t x, int32_t z);
/* Places content `content` (MapContent) facing `dir`; a second start moves the start here. */
bool set_content(EditLevel *level, int32_t x, int32_t z, int32_t content, int32_t dir);
bool rename_level(EditLevel *level, const char *name);
/* Sets the level's first line, the idea the level table prints (at most MAP_LINE_SIZE - 1
   characters, no line end). */
bool set_idea(EditLevel *level, const char *idea);
/* Makes the square on (x, z) what `brush` paints: a new one of the brush's height and texture
   where there is none; where there is one, the floor brush's height and texture, or a content
   brush's content. False, changing nothing, when the square cannot be made or the content not
   placed, or when the square is already so. Called for each cell a held button passes over. */
bool paint_square(EditLevel *level, int32_t x, int32_t z, const EditBrush &brush);
bool set_minutes(EditLevel *level, int32_t minutes);
/* Sets a side by hand (-1 for no face); it keeps its value until reset_side. */
bool set_side(EditLevel *level, int32_t x, int32_t z, int edge, int32_t side);
bool reset_side(EditLevel *level, int32_t x, int32_t z, int edge);
bool set_cliff_depth(EditLevel *level, int32_t levels);

/* Lifts the squares of the rectangle from (x0, z0) to (x1, z1), corners included, into *block. */
void copy_block(const EditLevel &level, int32_t x0, int32_t z0, int32_t x1, int32_t z1,
                EditBlock *block);
/* Puts the block's squares with its corner on (x, z), in place of the squares there. False when
   a square would leave the map's columns or there is no room. */
bool paste_block(EditLevel *level, const EditBlock &block, int32_t x, int32_t z);
/* What pasting `block` with its corner on (x, z) would cover: *covered squares standing there
   already, *replaced of them holding a content that the block's square would change. */
void paste_covers(const EditLevel &level, const EditBlock &block, int32_t x, int32_t z,
                  int32_t *covered, int32_t *replaced);
/* Turns the block a quarter turn clockwise as the grid shows it (+x right, +z up): squares,
   the directions of what stands on them, and their sides set by hand turn together. */
void turn_block(EditBlock *block);
/* Mirrors the block left to right as the grid shows it (x reversed), with the directions and
   sides set by hand. */
void mirror_block(EditBlock *block);
/* Moves the rectangle's squares by (dx, dz), in place of the squares where they land. */
bool move_block(EditLevel *level, int32_t x0, int32_t z0, int32_t x1, int32_t z1, int32_t dx,
                int32_t dz);
