/* edit_level.cpp: a level as the editor holds it, and the edits a designer makes to it. */
#include "edit_level.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "world/actor_kinds.h"

namespace {

/* The neighbour beyond each edge, in the map file's order of sides. */
const int32_t edge_dx[EDIT_EDGES] = {0, -1, 0, 1};
const int32_t edge_dz[EDIT_EDGES] = {1, 0, -1, 0};

bool on_map(int32_t x, int32_t z)
{
    return x >= 0 && x <= MAP_COLUMN_LIMIT && z >= 0 && z <= MAP_COLUMN_LIMIT;
}

bool directed(int32_t content)
{
    const ActorKind *kind = actor_kind(content);
    return kind && kind->facing != FACING_NONE;
}

int actor_count(const EditLevel &level)
{
    int actors = 0;
    for (int i = 0; i < level.square_count; i++)
        actors += is_actor_content(level.squares[i].content);
    return actors;
}

/* The deepest side a square of `height` may have: its face ends at world y 32767 at most. */
int32_t deepest_side(int32_t height)
{
    return MAP_FACE_BOTTOM_LIMIT / 10 + height - 1;
}

void remove_at(EditLevel *level, int index)
{
    std::memmove(&level->squares[index], &level->squares[index + 1],
                 (size_t)(level->square_count - index - 1) * sizeof(EditSquare));
    level->square_count--;
}

/* Puts `square` on its cell: in place of the square there, else after the last one. */
void place(EditLevel *level, const EditSquare &square)
{
    int at = find_square(*level, square.x, square.z);
    if (at < 0)
        at = level->square_count++;
    level->squares[at] = square;
}

void clear_other_starts(EditLevel *level, int keep)
{
    for (int i = 0; i < level->square_count; i++) {
        if (i != keep && level->squares[i].content == CONTENT_START) {
            level->squares[i].content = CONTENT_NOTHING;
            level->squares[i].dir = 0;
        }
    }
}

} // namespace

void new_level(EditLevel *level)
{
    std::memset(level, 0, sizeof *level);
    static const char *const lines[EDIT_HEADER_LINES] = {
        "Tirvex level", "New level", "0", "time limit in minutes:", "3", "",
        "squares: x height z texture content dir side+z side-x side-z side+x"};
    for (int i = 0; i < EDIT_HEADER_LINES; i++)
        std::snprintf(level->header[i], MAP_LINE_SIZE, "%s", lines[i]);
    level->cliff_depth = EDIT_CLIFF_DEFAULT;
}

int find_square(const EditLevel &level, int32_t x, int32_t z)
{
    for (int i = 0; i < level.square_count; i++) {
        if (level.squares[i].x == x && level.squares[i].z == z)
            return i;
    }
    return -1;
}

const char *level_name(const EditLevel &level)
{
    return level.header[1];
}

int32_t level_minutes(const EditLevel &level)
{
    return map_decimal_prefix(level.header[4]);
}

int32_t automatic_side(const EditLevel &level, const EditSquare &square, int edge)
{
    int beside = find_square(level, square.x + edge_dx[edge], square.z + edge_dz[edge]);
    int32_t levels = beside < 0 ? level.cliff_depth : square.height - level.squares[beside].height;
    if (levels <= 0)
        return -1;
    int32_t side = levels - 1;
    return side < deepest_side(square.height) ? side : deepest_side(square.height);
}

void update_sides(EditLevel *level)
{
    for (int i = 0; i < level->square_count; i++) {
        EditSquare &square = level->squares[i];
        for (int edge = 0; edge < EDIT_EDGES; edge++) {
            if (!square.side_by_hand[edge])
                square.side[edge] = automatic_side(*level, square, edge);
        }
    }
}

bool add_square(EditLevel *level, int32_t x, int32_t z, int32_t height)
{
    if (!on_map(x, z) || find_square(*level, x, z) >= 0 || level->square_count >= MAP_SQUARE_LIMIT ||
        height < -MAP_HEIGHT_LIMIT || height > MAP_HEIGHT_LIMIT)
        return false;
    EditSquare square{};
    square.x = x;
    square.z = z;
    square.height = height;
    level->squares[level->square_count++] = square;
    update_sides(level);
    return true;
}

bool remove_square(EditLevel *level, int32_t x, int32_t z)
{
    int at = find_square(*level, x, z);
    if (at < 0)
        return false;
    remove_at(level, at);
    update_sides(level);
    return true;
}

bool raise_square(EditLevel *level, int32_t x, int32_t z, int32_t levels)
{
    int at = find_square(*level, x, z);
    if (at < 0)
        return false;
    int32_t height = level->squares[at].height + levels;
    if (height < -MAP_HEIGHT_LIMIT || height > MAP_HEIGHT_LIMIT)
        return false;
    EditSquare &square = level->squares[at];
    square.height = height;
    for (int edge = 0; edge < EDIT_EDGES; edge++) {
        if (square.side_by_hand[edge] && square.side[edge] > deepest_side(height))
            square.side[edge] = deepest_side(height);
    }
    update_sides(level);
    return true;
}

bool cycle_texture(EditLevel *level, int32_t x, int32_t z)
{
    int at = find_square(*level, x, z);
    if (at < 0)
        return false;
    level->squares[at].texture = (level->squares[at].texture + 1) % 4;
    return true;
}

bool set_content(EditLevel *level, int32_t x, int32_t z, int32_t content, int32_t dir)
{
    int at = find_square(*level, x, z);
    if (at < 0 || (content != CONTENT_NOTHING && !is_actor_content(content)) ||
        (dir != 0 && dir != 64 && dir != 128 && dir != 192))
        return false;
    EditSquare &square = level->squares[at];
    bool adds_actor = square.content == CONTENT_NOTHING && content != CONTENT_NOTHING;
    if (adds_actor && actor_count(*level) >= MAP_ACTOR_LIMIT)
        return false;
    square.content = content;
    square.dir = directed(content) ? dir : 0;
    if (content == CONTENT_START)
        clear_other_starts(level, at);
    return true;
}

bool rename_level(EditLevel *level, const char *name)
{
    size_t length = std::strlen(name);
    if (length > EDIT_NAME_LIMIT)
        return false;
    for (size_t i = 0; i < length; i++) {
        if ((unsigned char)name[i] < 32)
            return false;   // a line end would split the header
    }
    std::snprintf(level->header[1], MAP_LINE_SIZE, "%s", name);
    return true;
}

bool set_idea(EditLevel *level, const char *idea)
{
    size_t length = std::strlen(idea);
    if (length >= MAP_LINE_SIZE)
        return false;
    for (size_t i = 0; i < length; i++) {
        if ((unsigned char)idea[i] < 32)
            return false;
    }
    std::snprintf(level->header[0], MAP_LINE_SIZE, "%s", idea);
    return true;
}

bool paint_square(EditLevel *level, int32_t x, int32_t z, const EditBrush &brush)
{
    static EditLevel result;
    result = *level;
    int at = find_square(result, x, z);
    if (at < 0) {
        if (!add_square(&result, x, z, brush.height))
            return false;
        at = find_square(result, x, z);
        result.squares[at].texture = brush.texture & 3;
    } else if (brush.content == CONTENT_NOTHING) {
        // The floor brush shapes the ground; a content brush only puts things on it.
        if (result.squares[at].height != brush.height &&
            !raise_square(&result, x, z, brush.height - result.squares[at].height))
            return false;
        result.squares[at].texture = brush.texture & 3;
    }
    const EditSquare &square = result.squares[at];
    if (brush.content != CONTENT_NOTHING &&
        (square.content != brush.content || (directed(brush.content) && square.dir != brush.dir)) &&
        !set_content(&result, x, z, brush.content, brush.dir))
        return false;
    if (result.square_count == level->square_count &&
        std::memcmp(result.squares, level->squares,
                    sizeof(EditSquare) * (size_t)result.square_count) == 0)
        return false;   // already so: a drag over it makes no edit
    *level = result;
    return true;
}

bool set_minutes(EditLevel *level, int32_t minutes)
{
    if (minutes < 1 || minutes > EDIT_MINUTES_LIMIT)
        return false;
    std::snprintf(level->header[4], MAP_LINE_SIZE, "%d", (int)minutes);
    return true;
}

bool set_side(EditLevel *level, int32_t x, int32_t z, int edge, int32_t side)
{
    int at = find_square(*level, x, z);
    if (at < 0 || edge < 0 || edge >= EDIT_EDGES || side < -1 ||
        side > deepest_side(level->squares[at].height))
        return false;
    level->squares[at].side[edge] = side;
    level->squares[at].side_by_hand[edge] = 1;
    return true;
}

bool reset_side(EditLevel *level, int32_t x, int32_t z, int edge)
{
    int at = find_square(*level, x, z);
    if (at < 0 || edge < 0 || edge >= EDIT_EDGES)
        return false;
    level->squares[at].side_by_hand[edge] = 0;
    update_sides(level);
    return true;
}

bool set_cliff_depth(EditLevel *level, int32_t levels)
{
    if (levels < 1 || levels > MAP_HEIGHT_LIMIT)
        return false;
    level->cliff_depth = levels;
    update_sides(level);
    return true;
}

void copy_block(const EditLevel &level, int32_t x0, int32_t z0, int32_t x1, int32_t z1,
                EditBlock *block)
{
    const int32_t left = x0 < x1 ? x0 : x1, right = x0 < x1 ? x1 : x0;
    const int32_t top = z0 < z1 ? z0 : z1, bottom = z0 < z1 ? z1 : z0;
    block->columns = right - left + 1;
    block->rows = bottom - top + 1;
    block->square_count = 0;
    for (int i = 0; i < level.square_count; i++) {
        EditSquare square = level.squares[i];
        if (square.x < left || square.x > right || square.z < top || square.z > bottom)
            continue;
        square.x -= left;
        square.z -= top;
        block->squares[block->square_count++] = square;
    }
}

bool paste_block(EditLevel *level, const EditBlock &block, int32_t x, int32_t z)
{
    static EditLevel result;
    result = *level;
    for (int i = 0; i < block.square_count; i++) {
        EditSquare square = block.squares[i];
        square.x += x;
        square.z += z;
        if (!on_map(square.x, square.z))
            return false;
        if (find_square(result, square.x, square.z) < 0 && result.square_count >= MAP_SQUARE_LIMIT)
            return false;
        place(&result, square);
        if (square.content == CONTENT_START)
            clear_other_starts(&result, find_square(result, square.x, square.z));
    }
    if (actor_count(result) > MAP_ACTOR_LIMIT)
        return false;
    update_sides(&result);
    *level = result;
    return true;
}

void paste_covers(const EditLevel &level, const EditBlock &block, int32_t x, int32_t z,
                  int32_t *covered, int32_t *replaced)
{
    *covered = *replaced = 0;
    for (int i = 0; i < block.square_count; i++) {
        const EditSquare &square = block.squares[i];
        const int at = find_square(level, square.x + x, square.z + z);
        if (at < 0)
            continue;
        ++*covered;
        const EditSquare &there = level.squares[at];
        if (there.content != CONTENT_NOTHING &&
            (there.content != square.content || there.dir != square.dir))
            ++*replaced;
    }
}

namespace {

/* A direction turned a quarter turn clockwise on the grid: +z (0) to +x (64) and on. */
int32_t turned(int32_t dir)
{
    return (dir + 64) % 256;
}

} // namespace

void turn_block(EditBlock *block)
{
    for (int i = 0; i < block->square_count; i++) {
        EditSquare &square = block->squares[i];
        // Clockwise with +z up: the top row becomes the right column.
        const int32_t x = square.x;
        square.x = square.z;
        square.z = block->columns - 1 - x;
        if (directed(square.content))
            square.dir = turned(square.dir);
        // The +z side faces +x after the turn, -x faces +z, -z faces -x, +x faces -z.
        EditSquare before = square;
        for (int edge = 0; edge < EDIT_EDGES; edge++) {
            square.side[(edge + 3) % EDIT_EDGES] = before.side[edge];
            square.side_by_hand[(edge + 3) % EDIT_EDGES] = before.side_by_hand[edge];
        }
    }
    const int32_t columns = block->columns;
    block->columns = block->rows;
    block->rows = columns;
}

void mirror_block(EditBlock *block)
{
    for (int i = 0; i < block->square_count; i++) {
        EditSquare &square = block->squares[i];
        square.x = block->columns - 1 - square.x;
        if (directed(square.content))
            square.dir = (256 - square.dir) % 256;
        std::swap(square.side[1], square.side[3]);
        std::swap(square.side_by_hand[1], square.side_by_hand[3]);
    }
}

bool move_block(EditLevel *level, int32_t x0, int32_t z0, int32_t x1, int32_t z1, int32_t dx,
                int32_t dz)
{
    static EditBlock block;
    static EditLevel result;
    copy_block(*level, x0, z0, x1, z1, &block);
    result = *level;
    for (int i = 0; i < block.square_count; i++) {
        const int32_t left = x0 < x1 ? x0 : x1, top = z0 < z1 ? z0 : z1;
        remove_at(&result, find_square(result, block.squares[i].x + left, block.squares[i].z + top));
    }
    if (!paste_block(&result, block, (x0 < x1 ? x0 : x1) + dx, (z0 < z1 ? z0 : z1) + dz))
        return false;
    *level = result;
    return true;
}
