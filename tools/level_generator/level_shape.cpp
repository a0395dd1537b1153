/* level_shape.cpp: the first two stages of a level: its squares' shape, and what stands on them. */
#include "level_shape.h"

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "level_gadgets.h"

namespace {

/* The proof's state limits grow with the size: a large level's way is long and its actors
   many, but a search that needs more than this is no level to keep. */
const SizeRules SIZES[SIZE_COUNT] = {
    {"small", 6, 9, 5, 7, 2, 4, 1, 2, 10, 25, 2, 0, 1, false, 40000, 1600, 3, 1, 6, 14, 80, 2, 4,
     1, 1, 4, true, 100, 0, false, 16, true},
    {"medium", 10, 14, 7, 10, 4, 5, 2, 3, 25, 60, 2, 3, 2, true, 200000, 300, 1, 3, 30, 55, 60, 3,
     4, 0, 2},
    {"large", 15, 20, 10, 12, 8, 10, 3, 4, 60, 120, 3, 3, 2, true, 400000, 200, 1, 12, 70, 115,
     40, 3, 2, 3, 2},
};

const char *const IDEA_NAMES[IDEA_COUNT] = {"walk", "push", "runner", "chain", "mix"};

struct Cell {
    int32_t column, row;
};

/* The present squares in grid order, then shuffled by the plan's stream. */
int32_t shuffled_cells(const LevelPlan &plan, GeneratorRandom &random, Cell *cells)
{
    int32_t count = 0;
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++)
            if (plan.squares[row][column].present)
                cells[count++] = Cell{column, row};
    for (int32_t i = count - 1; i > 0; i--) {
        const int32_t j = random_between(random, 0, i);
        const Cell kept = cells[i];
        cells[i] = cells[j];
        cells[j] = kept;
    }
    return count;
}

/* A square with nothing on it that is no part of a designed piece. */
bool free_square(const LevelPlan &plan, int32_t column, int32_t row)
{
    const PlanSquare *s = plan_present(plan, column, row);
    return s && s->content == CONTENT_NOTHING && !s->fixed;
}

/* A free square next to (column, row) that is no higher: where a push can send an actor. */
bool has_lower_neighbour(const LevelPlan &plan, int32_t column, int32_t row)
{
    const PlanSquare *s = plan_present(plan, column, row);
    for (int32_t dir = 0; dir < 256; dir += 64) {
        int32_t dc, dr;
        direction_step(dir, &dc, &dr);
        const PlanSquare *n = plan_present(plan, column + dc, row + dr);
        if (n && n->height <= s->height && n->content == CONTENT_NOTHING)
            return true;
    }
    return false;
}

/* The direction whose lane from (column, row) runs longest over squares no higher, each step;
   0 squares when none. */
int32_t longest_lane(const LevelPlan &plan, int32_t column, int32_t row, int32_t *best_dir)
{
    int32_t best = 0;
    *best_dir = DIR_PLUS_Z;
    for (int32_t dir = 0; dir < 256; dir += 64) {
        int32_t dc, dr, length = 0;
        direction_step(dir, &dc, &dr);
        int32_t c = column, r = row;
        while (true) {
            const PlanSquare *from = plan_present(plan, c, r);
            const PlanSquare *to = plan_present(plan, c + dc, r + dr);
            if (!to || to->height > from->height)
                break;
            c += dc;
            r += dr;
            length++;
        }
        if (length > best) {
            best = length;
            *best_dir = dir;
        }
    }
    return best;
}

/* The squares the robot can walk to from (column, row) on the bare shape: a step climbs at
   most two levels and drops any number. Actors are not looked at: they come later. With
   `parents`, each square reached gets the square it was reached from (row * PLAN_COLUMNS +
   column; -1 for the first). */
void reach(const LevelPlan &plan, int32_t column, int32_t row, bool reached[PLAN_ROWS][PLAN_COLUMNS],
           int32_t parents[PLAN_ROWS][PLAN_COLUMNS] = nullptr,
           int32_t distances[PLAN_ROWS][PLAN_COLUMNS] = nullptr)
{
    std::memset(reached, 0, sizeof(bool) * PLAN_ROWS * PLAN_COLUMNS);
    if (distances)
        distances[row][column] = 0;
    static Cell queue[PLAN_ROWS * PLAN_COLUMNS];
    int32_t head = 0, tail = 0;
    queue[tail++] = Cell{column, row};
    reached[row][column] = true;
    if (parents)
        parents[row][column] = -1;
    while (head < tail) {
        const Cell c = queue[head++];
        const PlanSquare *from = plan_present(plan, c.column, c.row);
        for (int32_t dir = 0; dir < 256; dir += 64) {
            int32_t dc, dr;
            direction_step(dir, &dc, &dr);
            const PlanSquare *to = plan_present(plan, c.column + dc, c.row + dr);
            if (!to || to->height > from->height + 2 || reached[c.row + dr][c.column + dc])
                continue;
            reached[c.row + dr][c.column + dc] = true;
            if (parents)
                parents[c.row + dr][c.column + dc] = c.row * PLAN_COLUMNS + c.column;
            if (distances)
                distances[c.row + dr][c.column + dc] = distances[c.row][c.column] + 1;
            queue[tail++] = Cell{c.column + dc, c.row + dr};
        }
    }
}

typedef PlanRoute Route;

/* The free squares among those reached. */
int32_t free_reached(const LevelPlan &plan, const bool reached[PLAN_ROWS][PLAN_COLUMNS])
{
    int32_t count = 0;
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++)
            count += reached[row][column] && free_square(plan, column, row);
    return count;
}

/* Marks in `route` the squares of a shortest walk from `from` to `to` (reachable), and adds its
   steps to the route's. */
void mark_route(const LevelPlan &plan, Cell from, Cell to, Route &route)
{
    static bool reached[PLAN_ROWS][PLAN_COLUMNS];
    static int32_t parents[PLAN_ROWS][PLAN_COLUMNS];
    reach(plan, from.column, from.row, reached, parents);
    if (!reached[to.row][to.column] || route.legs >= PLAN_ROUTE_LEGS)
        return;
    route.target_column[route.legs] = to.column;
    route.target_row[route.legs] = to.row;
    route.legs++;
    for (int32_t at = to.row * PLAN_COLUMNS + to.column; at >= 0;
         at = parents[at / PLAN_COLUMNS][at % PLAN_COLUMNS]) {
        const int32_t row = at / PLAN_COLUMNS, column = at % PLAN_COLUMNS;
        const int32_t parent = parents[row][column];
        route.on[row][column] = true;
        if (route.leg[row][column] == 0)
            route.leg[row][column] = route.legs;
        if (parent >= 0) {
            route.steps++;
            const int32_t dc = column - parent % PLAN_COLUMNS, dr = row - parent / PLAN_COLUMNS;
            route.entry[row][column] = dc > 0 ? DIR_PLUS_X : dc < 0 ? DIR_MINUS_X
                                     : dr > 0 ? DIR_PLUS_Z : DIR_MINUS_Z;
        }
    }
}

/* Whether a zipper at (column, row) facing `dir` runs over a square of the route. */
bool lane_crosses(const LevelPlan &plan, int32_t column, int32_t row, int32_t dir,
                  const Route &route)
{
    int32_t dc, dr;
    direction_step(dir, &dc, &dr);
    int32_t c = column, r = row;
    while (true) {
        const PlanSquare *from = plan_present(plan, c, r);
        const PlanSquare *to = plan_present(plan, c + dc, r + dr);
        if (!to || to->height > from->height)
            return false;
        c += dc;
        r += dr;
        if (route.on[r][c])
            return true;
    }
}

/* Puts one actor of `content` on the first of the `count` squares of `cells` that suits it.
   Returns false when none does. */
Cell last_placed;     /* the square place_one put its actor on */

/* Puts a mine on the lane of the zipper at `zipper` (none: column -1), at a free square of it
   with a free square beside the lane for its jar: the runner sets the chain off by itself.
   Returns false when the lane has no such square. */
bool lane_mine(LevelPlan &plan, Cell zipper)
{
    if (zipper.column < 0)
        return false;
    int32_t dc, dr;
    direction_step(plan.squares[zipper.row][zipper.column].dir, &dc, &dr);
    int32_t c = zipper.column, r = zipper.row;
    while (true) {
        const PlanSquare *from = plan_present(plan, c, r);
        const PlanSquare *to = plan_present(plan, c + dc, r + dr);
        if (!to || to->height > from->height)
            return false;
        c += dc;
        r += dr;
        // Not the square next to the zipper: it waits before it runs, and the chain should be
        // a little way off.
        if ((c - zipper.column) * dc + (r - zipper.row) * dr < 2 || !free_square(plan, c, r))
            continue;
        for (int32_t side : {-1, 1})
            if (free_square(plan, c + side * dr, r + side * dc)) {
                plan.squares[r][c].content = CONTENT_MINE;
                plan.squares[r + side * dc][c + side * dr].content = CONTENT_JAR;
                return true;
            }
    }
}

/* Whether a zipper stands next to (column, row) facing it: the first square of its lane. */
bool zipper_faces(const LevelPlan &plan, int32_t column, int32_t row)
{
    for (int32_t dir : {DIR_PLUS_Z, DIR_PLUS_X, DIR_MINUS_Z, DIR_MINUS_X}) {
        int32_t dc, dr;
        direction_step(dir, &dc, &dr);
        const PlanSquare *next = plan_present(plan, column - dc, row - dr);
        if (next && next->content == CONTENT_ZIPPER && next->dir == dir)
            return true;
    }
    return false;
}

/* Makes the route's square at `cell` a narrow place: its free squares to either side of the
   route go, so that what stands there must be dealt with, or a long way taken round; a
   zipper's lane stays, or the zipper would face the sky. */
void narrow(LevelPlan &plan, Cell cell, const Route &route)
{
    int32_t dc, dr;
    direction_step(route.entry[cell.row][cell.column], &dc, &dr);
    for (int32_t side : {-1, 1}) {
        const int32_t c = cell.column + side * dr, r = cell.row + side * dc;
        if (free_square(plan, c, r) && !route.on[r][c] && !zipper_faces(plan, c, r))
            plan.squares[r][c].present = false;
    }
}

bool place_one(LevelPlan &plan, int32_t content, const Cell *cells, int32_t count,
               GeneratorRandom &random, const Route &route, bool on_route)
{
    for (int32_t i = 0; i < count; i++) {
        const Cell c = cells[i];
        if (!free_square(plan, c.column, c.row))
            continue;
        // A zipper is wanted beside the route, its lane crossing it; the others on it.
        if (on_route && content != CONTENT_ZIPPER && !route.on[c.row][c.column])
            continue;
        if (on_route && (content == CONTENT_MIBO || content == CONTENT_JAR)) {
            // On the route it is pushed on along it: the square ahead must take it.
            int32_t dc, dr;
            direction_step(route.entry[c.row][c.column], &dc, &dr);
            const PlanSquare *ahead = plan_present(plan, c.column + dc, c.row + dr);
            if (!ahead || ahead->content != CONTENT_NOTHING ||
                ahead->height > plan.squares[c.row][c.column].height)
                continue;
            narrow(plan, c, route);
        }
        PlanSquare &s = plan.squares[c.row][c.column];
        int32_t dir = 64 * random_between(random, 0, 3);
        if ((content == CONTENT_MIBO || content == CONTENT_JAR) &&
            !has_lower_neighbour(plan, c.column, c.row))
            continue;
        if (content == CONTENT_ZIPPER && (longest_lane(plan, c.column, c.row, &dir) < 2 ||
                                          (on_route && !lane_crosses(plan, c.column, c.row, dir, route))))
            continue;
        if (content == CONTENT_MINE) {
            // A mine is a chain's end: a jar beside it on a free square, when there is one.
            int32_t dc, dr;
            direction_step(dir, &dc, &dr);
            if (!free_square(plan, c.column + dc, c.row + dr))
                continue;
            plan.squares[c.row + dr][c.column + dc].content = CONTENT_JAR;
        }
        last_placed = c;
        s.content = content;
        // Only the mibo's and the zipper's direction is read; the others' would draw a warning.
        s.dir = content == CONTENT_MIBO || content == CONTENT_ZIPPER ? dir : 0;
        return true;
    }
    return false;
}

/* Marks in `keep` up to `wanted` drops off the road that are wrong ways, each with the walk
   from its foot to the leg's target (see thin_plan). Returns how many it found. */
int32_t keep_wrong_ways(LevelPlan &plan, const Route &route, int32_t wanted,
                        bool keep[PLAN_ROWS][PLAN_COLUMNS])
{
    static bool reached[PLAN_ROWS][PLAN_COLUMNS];
    static int32_t parents[PLAN_ROWS][PLAN_COLUMNS], distances[PLAN_ROWS][PLAN_COLUMNS];
    int32_t found = 0;
    for (int32_t row = 0; row < plan.rows && found < wanted; row++)
        for (int32_t column = 0; column < plan.columns && found < wanted; column++) {
            if (!route.on[row][column] || route.leg[row][column] == 0)
                continue;
            const int32_t leg = route.leg[row][column] - 1;
            const int32_t target_column = route.target_column[leg], target_row = route.target_row[leg];
            const int32_t height = plan.squares[row][column].height;
            int32_t from_road = -1;
            for (int32_t dir = 0; dir < 256 && found < wanted; dir += 64) {
                int32_t dc, dr;
                direction_step(dir, &dc, &dr);
                const int32_t c = column + dc, r = row + dr;
                PlanSquare *foot = plan_at(plan, c, r);
                if (!foot || !foot->present || route.on[r][c] || keep[r][c] || foot->fixed ||
                    foot->content != CONTENT_NOTHING || height < 3)
                    continue;
                // A side square less than three under the road is lowered to make the drop, and
                // stays lowered only when the fall is a wrong way.
                const int32_t was = foot->height;
                if (height - was < 3)
                    foot->height = height - 3;
                if (from_road < 0) {
                    reach(plan, column, row, reached, nullptr, distances);
                    from_road = reached[target_row][target_column]
                                    ? distances[target_row][target_column] : 1 << 20;
                }
                reach(plan, c, r, reached, parents, distances);
                if (!reached[target_row][target_column] ||
                    1 + distances[target_row][target_column] - from_road < 5) {
                    foot->height = was;
                    continue;
                }
                for (int32_t at = target_row * PLAN_COLUMNS + target_column; at >= 0;
                     at = parents[at / PLAN_COLUMNS][at % PLAN_COLUMNS])
                    keep[at / PLAN_COLUMNS][at % PLAN_COLUMNS] = true;
                found++;
            }
        }
    return found;
}

} // namespace

const SizeRules &size_rules(GeneratorSize size)
{
    return SIZES[size];
}

SizeRules set_level_rules(GeneratorSize size, GeneratorIdea idea, int32_t level_index)
{
    SizeRules rules = size_rules(size);
    const int32_t step = level_index % SET_LEVELS;
    // From a fifth of the range to nine tenths: the first level of a set is no bare walk, the
    // last leaves the size's longest ways to the levels that need them.
    rules.aim_length = 20 + 70 * step / (SET_LEVELS - 1);
    if (idea != IDEA_WALK && rules.gated_min_moves > rules.min_moves)
        rules.min_moves = rules.gated_min_moves;
    if (idea != IDEA_WALK && rules.max_route > rules.min_route) {
        // The way's moves in a window of half the range, sliding up from its short end: the
        // length a player walks is most of what makes one level harder than another. (A
        // walk's sweets are spread, not measured out: its length is only aimed at.)
        const int32_t moves = rules.max_moves - rules.min_moves, window = moves / 2;
        rules.min_moves += (moves - window) * step / (SET_LEVELS - 1);
        rules.max_moves = rules.min_moves + window;
        // A window of two fifths of the range: its levels still differ from each other.
        const int32_t span = rules.max_route - rules.min_route, width = span * 2 / 5;
        rules.min_route += (span - width) * step / (SET_LEVELS - 1);
        rules.max_route = rules.min_route + width;
    }
    return rules;
}

const char *idea_name(GeneratorIdea idea)
{
    return IDEA_NAMES[idea];
}

bool parse_idea(const char *text, GeneratorIdea *idea)
{
    for (int32_t i = 0; i < IDEA_COUNT; i++)
        if (std::strcmp(text, IDEA_NAMES[i]) == 0) {
            *idea = (GeneratorIdea)i;
            return true;
        }
    return false;
}

bool parse_size(const char *text, GeneratorSize *size)
{
    for (int32_t i = 0; i < SIZE_COUNT; i++)
        if (std::strcmp(text, SIZES[i].name) == 0) {
            *size = (GeneratorSize)i;
            return true;
        }
    return false;
}

/* Cuts the grid to `form`: what the form leaves out is no square. The cuts leave every part
   joined, so that the place is one. */
void cut_form(LevelPlan &plan, int32_t form, GeneratorRandom &random)
{
    const int32_t columns = plan.columns, rows = plan.rows;
    auto cut = [&](int32_t column, int32_t row) {
        if (PlanSquare *square = plan_at(plan, column, row))
            square->present = false;
    };
    switch (form) {
    case FORM_YARD:
        // A ring two or three squares wide round a hollow.
        for (int32_t row = 3; row < rows - 3; row++)
            for (int32_t column = 3; column < columns - 3; column++)
                cut(column, row);
        break;
    case FORM_ISLANDS: {
        // A channel of two columns across the middle; one row of it stays, the bridge. The
        // far island is raised by three: the bridge at its height is a way down, none back,
        // and what is left behind on the high island is left for good.
        const int32_t channel = columns / 2 - 1, bridge = random_between(random, 1, rows - 2);
        const bool left_high = random_chance(random, 50);
        for (int32_t row = 0; row < rows; row++)
            for (int32_t column = 0; column < columns; column++) {
                const bool in_channel = column >= channel && column < channel + 2;
                if (in_channel && row != bridge)
                    cut(column, row);
                else if ((column < channel || (in_channel && row == bridge)) == left_high)
                    plan.squares[row][column].height += 3;
            }
        break;
    }
    case FORM_HILLSIDE: {
        // Bands of two or three columns, each a level over the one before: the terraces the
        // shape drew stand on a hill that rises across the place.
        const int32_t band = random_between(random, 2, 3);
        const bool rising = random_chance(random, 50);
        for (int32_t row = 0; row < rows; row++)
            for (int32_t column = 0; column < columns; column++)
                plan.squares[row][column].height +=
                    (rising ? column : columns - 1 - column) / band;
        break;
    }
    case FORM_L: {
        // A corner of half the columns and half the rows taken away.
        const bool right = random_chance(random, 50), far = random_chance(random, 50);
        for (int32_t row = 0; row < rows / 2; row++)
            for (int32_t column = 0; column < columns / 2; column++)
                cut(right ? columns - 1 - column : column, far ? rows - 1 - row : row);
        break;
    }
    case FORM_SWITCHBACKS:
        // Two walls of gaps across a third and two thirds of the way, the first from the near
        // edge and the second from the far, each stopping three short: the road runs in an S.
        for (int32_t k = 1; k <= 2; k++)
            for (int32_t row = 0; row < rows - 3; row++)
                cut(columns * k / 3, k == 1 ? row : rows - 1 - row);
        break;
    case FORM_SPIRAL: {
        // Rings counted in from the edge: three of road, then one of wall, with a gap in each
        // wall near a corner, the next wall's gap at the opposite side, so that the road winds
        // round to it. Each lane in is a step over the one outside it: the road winds up.
        const bool clockwise = random_chance(random, 50);
        for (int32_t row = 0; row < rows; row++)
            for (int32_t column = 0; column < columns; column++) {
                const int32_t ring = std::min(std::min(column, row),
                                              std::min(columns - 1 - column, rows - 1 - row));
                plan.squares[row][column].height += ring / 4;
                if (ring % 4 != 3)
                    continue;
                // The gap: on the near edge of the wall for even walls, the far edge for odd,
                // one square in from the corner.
                const bool near = (ring / 4) % 2 == 0;
                const int32_t gap_row = near ? ring : rows - 1 - ring;
                const int32_t gap_column = clockwise == near ? columns - 2 - ring : ring + 1;
                if (row != gap_row || column != gap_column)
                    cut(column, row);
            }
        break;
    }
    case FORM_TOWERS: {
        // Two blocks of three by three at either end standing three levels over the highest
        // square, a bridge one square wide between them at their height with air either side,
        // and down from the first a stair of two steps to the ground: the towers are climbed
        // once, and left by a drop off any edge.
        int32_t highest = 0;
        for (int32_t row = 0; row < rows; row++)
            for (int32_t column = 0; column < columns; column++)
                highest = std::max(highest, plan.squares[row][column].height);
        const int32_t top = highest + 3;
        const int32_t middle = random_between(random, 1, std::max(1, rows - 4));
        for (int32_t row = middle - 1; row <= middle + 1; row++)
            for (int32_t column = 0; column < columns; column++) {
                PlanSquare &square = plan.squares[row][column];
                if (column < 3 || column >= columns - 3 || row == middle)
                    square.height = top;
                else
                    square.present = false;
            }
        for (int32_t step = 1; step <= 2; step++)
            if (PlanSquare *square = plan_at(plan, 1, middle + 1 + step))
                *square = PlanSquare{true, top - 2 * step, CONTENT_NOTHING, 0, false};
        break;
    }
    default:
        break;
    }
}

void shape_plan(LevelPlan &plan, GeneratorIdea idea, const SizeRules &rules,
                GeneratorRandom &random)
{
    const int32_t number = plan.number;
    plan_clear(plan, random_between(random, rules.min_columns, rules.max_columns),
               random_between(random, rules.min_rows, rules.max_rows));
    plan.number = number;
    plan.minutes = rules.minutes;
    const bool walk = idea == IDEA_WALK;
    // Pits lie at height 0, the floor as far above as the rules set where actors are pushed.
    const int32_t floor = walk ? random_between(random, 0, 1) : rules.pit_depth;
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++)
            plan.squares[row][column] = PlanSquare{true, floor, CONTENT_NOTHING, 0, false};

    // Terraces: the walk's rise up to six levels over the floor, so that some drops cannot be
    // climbed back; the others' stay low, a push needing squares no higher.
    const int32_t area = plan.columns * plan.rows;
    const int32_t terraces = area / (walk ? 8 : 14) + 1;
    for (int32_t t = 0; t < terraces; t++) {
        const int32_t width = random_between(random, 1, plan.columns / 2 > 2 ? plan.columns / 2 : 2);
        const int32_t depth = random_between(random, 1, plan.rows / 2 > 2 ? plan.rows / 2 : 2);
        const int32_t column = random_between(random, 0, plan.columns - width);
        const int32_t row = random_between(random, 0, plan.rows - depth);
        const int32_t height = floor + (walk ? random_between(random, 0, 6)
                                             : random_between(random, 0, rules.terrace_rise));
        for (int32_t r = row; r < row + depth; r++)
            for (int32_t c = column; c < column + width; c++)
                plan.squares[r][c].height = height;
    }
    cut_form(plan, rules.form, random);
    // Holes, and for the actors' ideas pits under the floor.
    const int32_t holes = area * (walk ? 12 : 8) / 100;
    for (int32_t h = 0; h < holes; h++)
        plan.squares[random_between(random, 0, plan.rows - 1)]
                    [random_between(random, 0, plan.columns - 1)].present = false;
    if (!walk) {
        const int32_t pits = area / 12 + 1;
        for (int32_t p = 0; p < pits; p++) {
            PlanSquare &s = plan.squares[random_between(random, 0, plan.rows - 1)]
                                        [random_between(random, 0, plan.columns - 1)];
            s.present = true;
            s.height = 0;
        }
    }
    while (plan_square_count(plan) > PLAN_MAX_SQUARES)
        plan.squares[random_between(random, 0, plan.rows - 1)]
                    [random_between(random, 0, plan.columns - 1)].present = false;
}

void face_the_view(LevelPlan &plan)
{
    enum { VIEW_DEPTH = 8 };
    int32_t start_row = -1, start_column = -1;
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++)
            if (plan.squares[row][column].present &&
                plan.squares[row][column].content == CONTENT_START)
                start_row = row, start_column = column;
    if (start_row < 0)
        return;
    PlanSquare &start = plan.squares[start_row][start_column];
    const int32_t drawn = start.dir;
    // Forward and to the side, in columns (x) and rows (z), for each heading.
    const struct { int32_t dir, forward_x, forward_z; } headings[] = {
        {DIR_PLUS_Z, 0, 1}, {DIR_PLUS_X, 1, 0}, {DIR_MINUS_Z, 0, -1}, {DIR_MINUS_X, -1, 0}};
    int64_t best = -1;
    for (const auto &h : headings) {
        int32_t seen = 0;
        bool target = false, ahead = false;
        for (int32_t f = 1; f <= VIEW_DEPTH; f++)
            for (int32_t side = -f; side <= f; side++) {
                const int32_t column = start_column + f * h.forward_x - side * h.forward_z;
                const int32_t row = start_row + f * h.forward_z + side * h.forward_x;
                if (column < 0 || row < 0 || column >= plan.columns || row >= plan.rows ||
                    !plan.squares[row][column].present)
                    continue;
                const int32_t content = plan.squares[row][column].content;
                seen++;
                ahead = ahead || (f == 1 && side == 0);
                target = target || content == CONTENT_TELEPORT || content == CONTENT_SWEET;
            }
        const int64_t worth = (int64_t)ahead << 40 | (int64_t)target << 32 | seen;
        if (worth > best || (worth == best && h.dir == drawn)) {
            best = worth;
            start.dir = h.dir;
        }
    }
}

/* Levels the landmark rises over the tallest square: a level is a tenth of a square's width,
   so it stands a square and a half over the place, with its faces down to the ground. */
const int32_t LANDMARK_RISE = 15;

bool raise_landmark(LevelPlan &plan, const SetFootprints *set)
{
    int32_t start_row = -1, start_column = -1;
    int32_t tallest = 0;
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++) {
            const PlanSquare &s = plan.squares[row][column];
            if (!s.present)
                continue;
            tallest = s.height > tallest ? s.height : tallest;
            if (s.content == CONTENT_START)
                start_row = row, start_column = column;
        }
    if (start_row < 0 || plan_square_count(plan) >= PLAN_MAX_SQUARES)
        return false;
    int32_t forward_x, forward_z;
    direction_step(plan.squares[start_row][start_column].dir, &forward_x, &forward_z);
    // In the start's view, nearest six squares ahead and straight on, standing alone: no
    // square beside it, so that the robot never reaches it nor falls past it otherwise.
    // Nor where a level before it in the set has a square: the two would share one more.
    auto free_cell = [&](int32_t column, int32_t row) {
        if (column < 0 || row < 0 || column >= PLAN_COLUMNS || row >= PLAN_ROWS ||
            plan.squares[row][column].present)
            return false;
        for (int32_t level = 0; set && level < set->count; level++)
            if (set->on[level][row][column])
                return false;
        return true;
    };
    int32_t best = -1, best_column = 0, best_row = 0;
    for (int32_t f = 3; f <= 8; f++)
        for (int32_t side = -f; side <= f; side++) {
            const int32_t column = start_column + f * forward_x - side * forward_z;
            const int32_t row = start_row + f * forward_z + side * forward_x;
            if (!free_cell(column, row))
                continue;
            bool alone = true;
            for (int32_t dir : {DIR_PLUS_Z, DIR_PLUS_X, DIR_MINUS_Z, DIR_MINUS_X}) {
                int32_t dc, dr;
                direction_step(dir, &dc, &dr);
                alone = alone && !plan_present(plan, column + dc, row + dr);
            }
            const int32_t worth = 1000 - 16 * std::abs(f - 6) - std::abs(side);
            if (alone && worth > best) {
                best = worth;
                best_column = column;
                best_row = row;
            }
        }
    if (best < 0)
        return false;
    plan.columns = best_column + 1 > plan.columns ? best_column + 1 : plan.columns;
    plan.rows = best_row + 1 > plan.rows ? best_row + 1 : plan.rows;
    plan.squares[best_row][best_column] = PlanSquare{true, tallest + LANDMARK_RISE, CONTENT_NOTHING, 0, true};
    return true;
}

bool place_actors(LevelPlan &plan, GeneratorIdea idea, const SizeRules &rules,
                  GeneratorRandom &random, PlanRoute *placed_route)
{
    static Cell cells[PLAN_ROWS * PLAN_COLUMNS];
    static Route own_route;
    Route &route = placed_route ? *placed_route : own_route;
    static bool reached[PLAN_ROWS][PLAN_COLUMNS], back[PLAN_ROWS][PLAN_COLUMNS];
    static int32_t distances[PLAN_ROWS][PLAN_COLUMNS];
    const int32_t count = shuffled_cells(plan, random, cells);
    const int32_t fewer = idea == IDEA_WALK ? 0 : rules.fewer_sweets;
    const int32_t sweets = random_between(random, rules.min_sweets - fewer,
                                          rules.max_sweets - fewer);
    if (count < sweets + 2 + 2 * rules.max_actors)
        return false;
    std::memset(&route, 0, sizeof route);
    // With actors the teleport stands behind a gate they open: the way cannot do without them.
    GateSite gate{-1, -1, -1, -1};
    const bool gated = idea != IDEA_WALK && rules.gate_corridor > 0;
    if (gated && !build_gate(plan, idea, rules.traps_allowed, rules.gate_corridor, random, &gate))
        return false;
    int32_t first = 0;
    while (first < count && !free_square(plan, cells[first].column, cells[first].row))
        first++;
    if (first == count)
        return false;
    Cell at = cells[first];
    PlanSquare &start = plan.squares[at.row][at.column];
    start.content = CONTENT_START;
    start.dir = 64 * random_between(random, 0, 3);
    // With actors the route's length is drawn first and each leg walks its share of it: the
    // way then has the size's length by construction, and no search is spent on a way too
    // short or too long.
    const bool measured = idea != IDEA_WALK && rules.max_route > 0;
    const int32_t route_steps = measured ? random_between(random, rules.min_route, rules.max_route)
                                         : 0;
    // The sweets and then the teleport, each where the robot can walk from the one before, so
    // that a way is there before the actors come; half the time one it cannot walk back from,
    // so that the way takes a drop with no return.
    for (int32_t k = 0; k <= sweets; k++) {
        reach(plan, at.column, at.row, reached, nullptr, distances);
        const int32_t leg = (route_steps - route.steps) / (sweets + 1 - k);
        const bool one_way = random_chance(random, 50);
        int32_t chosen = -1;
        for (bool want_one_way : {one_way, false}) {
            // The farthest of the first `spread` squares that suit, along columns and rows; with
            // a measured route, the one whose walk is nearest the leg's share.
            int32_t suited = 0, farthest = -1, nearest = 1 << 20;
            for (int32_t i = 1; i < count && (measured || suited < rules.spread); i++) {
                const Cell c = cells[i];
                if (!reached[c.row][c.column] || !free_square(plan, c.column, c.row))
                    continue;
                // From it the robot must reach squares for the sweets after it and the
                // teleport, or the placing fails later for want of them.
                reach(plan, c.column, c.row, back);
                if (want_one_way && back[at.row][at.column])
                    continue;
                if (gated && !back[gate.teleport_row][gate.teleport_column])
                    continue;
                if (free_reached(plan, back) - 1 < sweets - k)
                    continue;
                suited++;
                if (measured) {
                    const int32_t off = std::abs(distances[c.row][c.column] - leg);
                    if (off < nearest) {
                        nearest = off;
                        chosen = i;
                    }
                    continue;
                }
                const int32_t distance = std::abs(c.column - at.column) + std::abs(c.row - at.row);
                if (distance > farthest) {
                    farthest = distance;
                    chosen = i;
                }
            }
            if (chosen >= 0)
                break;
        }
        if (gated && k == sweets) {
            if (!reached[gate.teleport_row][gate.teleport_column])
                return false;
            mark_route(plan, at, Cell{gate.teleport_column, gate.teleport_row}, route);
            break;
        }
        if (chosen < 0)
            return false;
        const Cell next = cells[chosen];
        mark_route(plan, at, next, route);
        plan.squares[next.row][next.column].content = k < sweets ? CONTENT_SWEET : CONTENT_TELEPORT;
        at = next;
    }
    if (idea == IDEA_WALK)
        return true;
    // A route far from its length has no way of the size's: no search is spent on it.
    if (measured && (route.steps < rules.min_route || route.steps > rules.max_route))
        return false;
    // The gate's actors are the level's; without one they are drawn, a chain wanting its
    // runner and its mine at least.
    const int32_t fewest = idea == IDEA_CHAIN && rules.min_actors < 2 ? 2 : rules.min_actors;
    const int32_t actors = gated ? 0 : random_between(random, fewest, rules.max_actors);
    Cell zipper{-1, -1};
    for (int32_t i = 0; i < actors; i++) {
        int32_t content = CONTENT_MIBO;
        switch (idea) {
        case IDEA_PUSH: content = random_chance(random, 60) ? CONTENT_MIBO : CONTENT_JAR; break;
        case IDEA_RUNNER: content = i == 0 || random_chance(random, 50) ? CONTENT_ZIPPER
                                                                       : CONTENT_MIBO; break;
        case IDEA_CHAIN: content = i == 0 ? CONTENT_ZIPPER : i == 1 ? CONTENT_MINE
                                 : random_chance(random, 50) ? CONTENT_JAR : CONTENT_MINE; break;
        default: {
            const int32_t kinds[4] = {CONTENT_MIBO, CONTENT_JAR, CONTENT_ZIPPER, CONTENT_MINE};
            content = kinds[random_between(random, 0, 3)];
        }
        }
        if (content == CONTENT_MINE && lane_mine(plan, zipper))
            continue;
        // Mostly on the route (a zipper crossing it), from a random place in the shuffled
        // squares; anywhere when the route has no room for it.
        const bool on_route = random_chance(random, 75);
        const int32_t from = random_between(random, 1, count - 1);
        bool placed = false;
        for (bool wanted : {on_route, false}) {
            placed = placed || place_one(plan, content, cells + from, count - from, random, route, wanted) ||
                     place_one(plan, content, cells + 1, from - 1, random, route, wanted);
        }
        if (!placed)
            return false;
        if (content == CONTENT_ZIPPER)
            zipper = last_placed;
    }
    return true;
}

void name_plan(LevelPlan &plan, GeneratorIdea idea, int32_t first_word, GeneratorRandom &random)
{
    static const char *const FIRST[NAME_FIRST_WORDS] = {"Amber", "Quiet", "Windy", "Lower", "Broken", "Silver",
                                        "Crooked", "Hollow", "Northern", "Tall", "Rusty", "Narrow",
                                        "Copper", "Misty", "Sunken", "Old"};
    static const char *const SECOND[IDEA_COUNT][6] = {
        {"Ledges", "Terraces", "Steps", "Heights", "Stairs", "Rooftops"},
        {"Pits", "Yard", "Cellar", "Depot", "Sidings", "Store"},
        {"Lanes", "Runway", "Crossing", "Tracks", "Rails", "Causeway"},
        {"Fuses", "Sparks", "Powder", "Chain", "Blasts", "Kegs"},
        {"Works", "Mill", "Quarter", "Market", "Foundry", "Docks"}};
    std::snprintf(plan.name, sizeof plan.name, "%s %s",
                  FIRST[first_word % NAME_FIRST_WORDS], SECOND[idea][random_between(random, 0, 5)]);
}

int32_t thin_plan(LevelPlan &plan, const PlanRoute &route, const SizeRules &rules,
                  GeneratorRandom &random, int32_t *wrong_ways)
{
    bool keep[PLAN_ROWS][PLAN_COLUMNS] = {};
    auto keep_at = [&](int32_t column, int32_t row) {
        if (plan_present(plan, column, row))
            keep[row][column] = true;
    };
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++) {
            const PlanSquare &s = plan.squares[row][column];
            if (!s.present)
                continue;
            if (route.on[row][column] || s.content != CONTENT_NOTHING)
                keep[row][column] = true;
            const bool actor = s.content == CONTENT_MIBO || s.content == CONTENT_JAR ||
                               s.content == CONTENT_MINE || s.content == CONTENT_ZIPPER;
            if (actor)
                for (int32_t dir = 0; dir < 256; dir += 64) {
                    int32_t dc, dr;
                    direction_step(dir, &dc, &dr);
                    keep_at(column + dc, row + dr);
                }
            if ((s.content == CONTENT_MIBO || s.content == CONTENT_JAR) && route.on[row][column]) {
                // Pushed on along the road it goes ahead of the robot to where the road
                // turns: the square straight on from there stays, for it to leave the road.
                int32_t dc, dr;
                direction_step(route.entry[row][column], &dc, &dr);
                int32_t c = column + dc, r = row + dr;
                while (plan_present(plan, c, r) && route.on[r][c] &&
                       plan.squares[r][c].height <= plan.squares[r - dr][c - dc].height) {
                    c += dc;
                    r += dr;
                }
                const PlanSquare *off = plan_present(plan, c, r);
                if (off && !route.on[r][c] && off->height <= plan.squares[r - dr][c - dc].height)
                    keep[r][c] = true;
            }
            if (s.content == CONTENT_ZIPPER) {
                int32_t dc, dr;
                direction_step(s.dir, &dc, &dr);
                for (int32_t c = column, r = row;;) {
                    const PlanSquare *from = plan_present(plan, c, r);
                    const PlanSquare *to = plan_present(plan, c + dc, r + dr);
                    if (!to || to->height > from->height)
                        break;
                    c += dc;
                    r += dr;
                    keep[r][c] = true;
                }
            }
        }
    const int32_t made = keep_wrong_ways(plan, route, rules.min_wrong_ways + 1, keep);
    if (wrong_ways)
        *wrong_ways = made;
    // The sides of the road: some stay, for the wrong ways and the room to push aside; a pit
    // beside it always, being where a push puts an actor out of the way.
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++) {
            if (!route.on[row][column])
                continue;
            for (int32_t dir = 0; dir < 256; dir += 64) {
                int32_t dc, dr;
                direction_step(dir, &dc, &dr);
                const PlanSquare *side = plan_present(plan, column + dc, row + dr);
                if (!side || keep[row + dr][column + dc])
                    continue;
                if (side->height == 0 || random_chance(random, rules.side_share))
                    keep[row + dr][column + dc] = true;
            }
        }
    int32_t removed = 0;
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++)
            if (plan.squares[row][column].present && !keep[row][column]) {
                plan.squares[row][column].present = false;
                removed++;
            }
    return removed;
}
