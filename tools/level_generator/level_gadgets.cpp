/* level_gadgets.cpp: pieces of a level built to a design rather than drawn at random. */
#include "level_gadgets.h"

#include <cstring>

#include "route_tour.h"

namespace {

/* Draws of a place and heading for the gate before the grid is taken to have no room. */
const int32_t GATE_DRAWS = 40;

/* The depth of the push's pit under the gate. */
const int32_t GATE_PIT_DEPTH = 1;

/* A square of the gate, `forward` squares on toward the teleport from it and `side` squares to
   its side, and what it holds: present or not, and its content. A push level's gate has a pit
   beside the zipper (GATE_PIT) walled round (GATE_PIT_WALL) where the others' has a wall
   (GATE_NO_PIT). */
enum GatePieceUse { GATE_ALWAYS, GATE_NO_PIT, GATE_PIT, GATE_PIT_WALL };

struct GatePiece {
    int32_t forward, side;
    bool present;
    int32_t content;
    GatePieceUse use = GATE_ALWAYS;
};

/* The gate, the teleport at (0, 0), its corridor entered from behind (forward < 0). The lane runs
   forward at side 1: zipper, holding mibo, a free square, then the jar beside the gate. */
const GatePiece GATE[] = {
    {0, 0, true, CONTENT_TELEPORT},
    {-1, 0, true, CONTENT_MIBO},        /* the gate: the teleport ahead, a wall and the jar aside */
    {-1, 1, true, CONTENT_JAR},         /* what the zipper (or the chain) sets off beside it */
    {-2, 0, true, CONTENT_NOTHING},     /* where the robot waits for the blast */
    {-2, 1, true, CONTENT_NOTHING},     /* the lane's last square: for the chain a jar */
    {-3, 0, true, CONTENT_NOTHING},     /* where the holding mibo is pushed from */
    {-3, 1, true, CONTENT_MIBO},        /* holds the zipper */
    {-3, 2, true, CONTENT_NOTHING},     /* the pocket it is pushed into */
    {-4, 0, true, CONTENT_NOTHING},     /* for the push a mibo, to be pushed twice into the blast */
    {-4, 1, true, CONTENT_ZIPPER},
    {-5, 0, true, CONTENT_NOTHING},
    {-6, 0, true, CONTENT_NOTHING},     /* the entry, joined to the shape behind it */
    // Walls: the teleport and the gate have one way in, the jar cannot be pushed, the zipper
    // cannot be pushed out of its lane, the pocket is a dead end and the corridor a corridor
    // left only by its entry.
    {1, 0, false, 0},   {0, 1, false, 0},   {0, -1, false, 0},  {-1, -1, false, 0},
    {-1, 2, false, 0},  {-2, -1, false, 0}, {-2, 2, false, 0},  {-3, -1, false, 0},
    {-3, 3, false, 0},  {-4, -1, false, 0}, {-4, 2, false, 0, GATE_NO_PIT}, {-5, -1, false, 0},
    {-5, 1, false, 0},  {-6, -1, false, 0}, {-6, 1, false, 0},
    // The push's pit: the zipper pushed into it (by a step aside where the robot stands after
    // its first push) is stuck below its lane, and the blast that opens the gate never comes,
    // a wrong way of the push even where no side door fits.
    {-4, 2, true, CONTENT_NOTHING, GATE_PIT}, {-4, 3, false, 0, GATE_PIT_WALL},
    {-5, 2, false, 0, GATE_PIT_WALL},
};

/* The gate's content at (forward, side) for the idea: the chain's lane ends in a jar beside the
   mine; with `pushed_twice` (the push's, and any in a short corridor) beside a second jar, with
   a mibo in the corridor that must be pushed twice, into the blast's reach, for the way to be
   clear after it. */
int32_t gate_content(const GatePiece &p, GeneratorIdea idea, bool pushed_twice,
                     GeneratorRandom &random)
{
    const bool chained = idea == IDEA_CHAIN || pushed_twice;
    if (p.forward == -1 && p.side == 1)
        return idea == IDEA_CHAIN ? CONTENT_MINE
             : idea == IDEA_MIX && random_chance(random, 50) ? CONTENT_MINE : CONTENT_JAR;
    if (p.forward == -2 && p.side == 1 && chained)
        return CONTENT_JAR;
    if (p.forward == -4 && p.side == 0 && pushed_twice)
        return CONTENT_MIBO;
    return p.content;
}

/* The squares the robot can walk to from the start: a step climbs at most two levels and drops
   any number; the squares of `cut` are taken as missing. */
void reach_from_start(const LevelPlan &plan, const bool cut[PLAN_ROWS][PLAN_COLUMNS],
                      bool reached[PLAN_ROWS][PLAN_COLUMNS])
{
    std::memset(reached, 0, sizeof(bool) * PLAN_ROWS * PLAN_COLUMNS);
    int32_t queue[PLAN_ROWS * PLAN_COLUMNS], head = 0, tail = 0;
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++)
            if (plan.squares[row][column].present &&
                plan.squares[row][column].content == CONTENT_START) {
                reached[row][column] = true;
                queue[tail++] = row * PLAN_COLUMNS + column;
            }
    while (head < tail) {
        const int32_t column = queue[head] % PLAN_COLUMNS, row = queue[head++] / PLAN_COLUMNS;
        for (int32_t dir = 0; dir < 256; dir += 64) {
            int32_t dc, dr;
            direction_step(dir, &dc, &dr);
            const int32_t c = column + dc, r = row + dr;
            const PlanSquare *to = plan_present(plan, c, r);
            if (!to || cut[r][c] || reached[r][c] ||
                to->height > plan.squares[row][column].height + 2)
                continue;
            reached[r][c] = true;
            queue[tail++] = r * PLAN_COLUMNS + c;
        }
    }
}

/* Whether the teleport is among the squares reached. */
bool teleport_reached(const LevelPlan &plan, const bool reached[PLAN_ROWS][PLAN_COLUMNS])
{
    for (int32_t row = 0; row < plan.rows; row++)
        for (int32_t column = 0; column < plan.columns; column++)
            if (reached[row][column] && plan.squares[row][column].content == CONTENT_TELEPORT)
                return true;
    return false;
}

/* Lays a second road round a side door: new squares, on cells with none, from a square the robot
   reaches without passing the door's stretch (`cut`, the mibo's square to where the road
   turns) to one beyond it from which the teleport is reached. A mibo wedged in the turn then
   costs the walk back and round, a wrong way, and no trap: the level can still be won. The
   cells of `keep_clear` (round the pit, the side square and the stretch) and the walls of
   designed pieces take no square.
   The road is the shortest such; its squares stand at the height of the square it leaves, and
   it ends where that is a climb of two at most. Returns false, the plan then holding part of a
   road, when none is found. */
bool build_second_road(LevelPlan &plan, const bool cut[PLAN_ROWS][PLAN_COLUMNS],
                       const bool keep_clear[PLAN_ROWS][PLAN_COLUMNS])
{
    static bool before[PLAN_ROWS][PLAN_COLUMNS];
    reach_from_start(plan, cut, before);
    if (teleport_reached(plan, before))
        return true;
    // Breadth first over the empty cells, from every square reached, fixed pieces apart.
    int32_t from[PLAN_ROWS][PLAN_COLUMNS], height[PLAN_ROWS][PLAN_COLUMNS];
    int32_t queue[PLAN_ROWS * PLAN_COLUMNS], head = 0, tail = 0;
    for (int32_t row = 0; row < PLAN_ROWS; row++)
        for (int32_t column = 0; column < PLAN_COLUMNS; column++) {
            from[row][column] = -2;
            const PlanSquare &s = plan.squares[row][column];
            if (row < plan.rows && column < plan.columns && before[row][column] && !s.fixed) {
                from[row][column] = -1;
                height[row][column] = s.height;
                queue[tail++] = row * PLAN_COLUMNS + column;
            }
        }
    while (head < tail) {
        const int32_t column = queue[head] % PLAN_COLUMNS, row = queue[head++] / PLAN_COLUMNS;
        const bool laid = !plan.squares[row][column].present ||
                          row >= plan.rows || column >= plan.columns;
        for (int32_t dir = 0; dir < 256; dir += 64) {
            int32_t dc, dr;
            direction_step(dir, &dc, &dr);
            const int32_t c = column + dc, r = row + dr;
            if (c < 0 || r < 0 || c >= PLAN_COLUMNS || r >= PLAN_ROWS || from[r][c] != -2 ||
                cut[r][c])
                continue;
            const PlanSquare *to = plan_present(plan, c, r);
            if (to && laid && !to->fixed && !before[r][c] &&
                to->height <= height[row][column] + 2) {
                // Beyond the door: the road laid back from here.
                for (int32_t lc = column, lr = row, at; (at = from[lr][lc]) >= 0;
                     lc = at % PLAN_COLUMNS, lr = at / PLAN_COLUMNS) {
                    plan.squares[lr][lc] =
                        PlanSquare{true, height[lr][lc], CONTENT_NOTHING, 0, true};
                    plan.columns = lc + 1 > plan.columns ? lc + 1 : plan.columns;
                    plan.rows = lr + 1 > plan.rows ? lr + 1 : plan.rows;
                }
                static bool after[PLAN_ROWS][PLAN_COLUMNS];
                reach_from_start(plan, cut, after);
                return teleport_reached(plan, after);
            }
            // A designed piece's walls stay walls.
            if (to || keep_clear[r][c] || plan.squares[r][c].fixed)
                continue;
            from[r][c] = row * PLAN_COLUMNS + column;
            height[r][c] = height[row][column];
            queue[tail++] = r * PLAN_COLUMNS + c;
        }
    }
    return false;
}

} // namespace

bool build_gate(LevelPlan &plan, GeneratorIdea idea, bool drop_in, int32_t corridor,
                GeneratorRandom &random, GateSite *site)
{
    // A small level has no room for a wrong way off its road; with a mibo to push twice in
    // its short corridor, the gate itself holds one (found in each of forty small levels of
    // every idea; without the mibo, nine seeds of three ideas made no level).
    const bool pushed_twice = idea == IDEA_PUSH || corridor <= 4;
    // The corridor is entered `corridor` squares behind the teleport: pieces farther back are
    // left to the shape.
    // A push level's pit is dug where the gate stands high enough for it, walled round even
    // past the corridor's entry; elsewhere the wall.
    auto used = [&](const GatePiece &p, bool pit) {
        return p.forward >= -corridor - (p.use == GATE_PIT_WALL) &&
               (p.use == GATE_ALWAYS || (p.use == GATE_NO_PIT) != pit);
    };
    for (int32_t draw = 0; draw < GATE_DRAWS; draw++) {
        const int32_t dir = 64 * random_between(random, 0, 3);
        const int32_t mirror = random_chance(random, 50) ? 1 : -1;
        const int32_t column = random_between(random, 0, plan.columns - 1);
        const int32_t row = random_between(random, 0, plan.rows - 1);
        int32_t fc, fr;
        direction_step(dir, &fc, &fr);
        const int32_t sc = -fr * mirror, sr = fc * mirror;
        auto column_of = [&](const GatePiece &p) { return column + p.forward * fc + p.side * sc; };
        auto row_of = [&](const GatePiece &p) { return row + p.forward * fr + p.side * sr; };
        // The square behind the entry joins the gate to the shape.
        const GatePiece entry = {-corridor, 0, true, 0}, behind = {-corridor - 1, 0, true, 0};
        const PlanSquare *joint = plan_present(plan, column_of(behind), row_of(behind));
        if (!joint || joint->fixed || (drop_in && joint->height < 3))
            continue;
        // Dropped into, the gate is the way's end: the robot cannot go back for a sweet, and
        // must wait for the blast there.
        const int32_t height = drop_in ? joint->height - 3 : joint->height;
        // A zipper in the pit is a mistake no one announces: only where traps may be left, and
        // there the gate stands high enough for it.
        const bool pit = idea == IDEA_PUSH && drop_in;
        if (pit && height < GATE_PIT_DEPTH)
            continue;
        bool fits = true;
        for (const GatePiece &p : GATE)
            fits = fits && (!used(p, pit) || !p.present || plan_at(plan, column_of(p), row_of(p)));
        if (!fits)
            continue;
        for (const GatePiece &p : GATE) {
            PlanSquare *s = plan_at(plan, column_of(p), row_of(p));
            if (!s || !used(p, pit))
                continue;
            const int32_t depth = p.use == GATE_PIT ? GATE_PIT_DEPTH : 0;
            *s = PlanSquare{p.present, height - depth,
                            gate_content(p, idea, pushed_twice, random), 0, true};
            if (s->content == CONTENT_ZIPPER)
                s->dir = dir;
        }
        site->teleport_column = column;
        site->teleport_row = row;
        site->entry_column = column_of(entry);
        site->entry_row = row_of(entry);
        return true;
    }
    return false;
}

bool build_side_door(LevelPlan &plan, const PlanRoute &route, bool second_road,
                     GeneratorRandom &random)
{
    static LevelPlan before;
    // The road's squares in grid order, tried from a place the stream picks, the pit on
    // either side.
    const int32_t cells = plan.rows * plan.columns;
    const int32_t first = random_between(random, 0, cells - 1);
    const int32_t first_mirror = random_chance(random, 50) ? 1 : -1;
    for (int32_t k = 0; k < 2 * cells; k++) {
        const int32_t mirror = k < cells ? first_mirror : -first_mirror;
        const int32_t row = (first + k) % cells / plan.columns;
        const int32_t column = (first + k) % cells % plan.columns;
        const PlanSquare *road = plan_present(plan, column, row);
        if (!road || !route.on[row][column] || road->fixed || road->content != CONTENT_NOTHING)
            continue;
        // The road runs straight through: in from behind, on ahead, both along `forward`.
        const int32_t forward = route.entry[row][column];
        int32_t fc, fr;
        direction_step(forward, &fc, &fr);
        const int32_t sc = -fr * mirror, sr = fc * mirror;
        const int32_t bc = column - fc, br = row - fr, ac = column + fc, ar = row + fr;
        const PlanSquare *behind = plan_present(plan, bc, br);
        const PlanSquare *ahead = plan_present(plan, ac, ar);
        if (!behind || !ahead || !route.on[br][bc] || !route.on[ar][ac] ||
            route.entry[ar][ac] != forward || ahead->height > road->height)
            continue;
        // The pit at one side, the detour at the other, and round them the cells that must be
        // empty (none of the road, nothing on them) so that the mibo cannot be walked round.
        struct Piece {
            int32_t forward, side;
            bool present;
            int32_t height;
        };
        const Piece pieces[] = {
            {0, 1, true, road->height - 2},     /* the pit the mibo is pushed into */
            {0, -1, true, road->height},        /* where the robot pushes it from */
            {-1, -1, true, behind->height},     /* the step round to there */
            {0, 2, false, 0}, {1, 1, false, 0}, {0, -2, false, 0}, {1, -1, false, 0},
        };
        // A piece may lie past the shape's grid, within the map panel: the grid grows to it.
        auto cell = [&](const Piece &p) -> PlanSquare * {
            const int32_t c = column + p.forward * fc + p.side * sc;
            const int32_t r = row + p.forward * fr + p.side * sr;
            return c < 0 || r < 0 || c >= PLAN_COLUMNS || r >= PLAN_ROWS ? nullptr
                                                                        : &plan.squares[r][c];
        };
        bool fits = true;
        for (const Piece &p : pieces) {
            const PlanSquare *s = cell(p);
            const int32_t at = s ? (int32_t)(s - &plan.squares[0][0]) : 0;
            fits = fits && (s ? !(s->present && (route.on[at / PLAN_COLUMNS][at % PLAN_COLUMNS] ||
                                                 s->fixed || s->content != CONTENT_NOTHING))
                              : !p.present);
        }
        if (!fits)
            continue;
        before = plan;
        for (const Piece &p : pieces) {
            PlanSquare *s = cell(p);
            if (!s)
                continue;
            *s = PlanSquare{p.present, p.height, CONTENT_NOTHING, 0, true};
            const int32_t at = (int32_t)(s - &plan.squares[0][0]);
            if (p.present && at % PLAN_COLUMNS >= plan.columns)
                plan.columns = at % PLAN_COLUMNS + 1;
            if (p.present && at / PLAN_COLUMNS >= plan.rows)
                plan.rows = at / PLAN_COLUMNS + 1;
        }
        // Pushed on, the mibo slides ahead of the robot to the end of the straight: a free
        // square straight on from there would take it off the road, and is taken away.
        int32_t ec = ac, er = ar;
        while (plan_present(plan, ec + fc, er + fr) && route.on[er + fr][ec + fc] &&
               route.entry[er + fr][ec + fc] == forward)
            ec += fc, er += fr;
        PlanSquare *off = plan_at(plan, ec + fc, er + fr);
        if (off && off->present && !route.on[er + fr][ec + fc] && !off->fixed &&
            off->content == CONTENT_NOTHING)
            off->present = false;
        PlanSquare &door = plan.squares[row][column];
        door.content = CONTENT_MIBO;
        door.fixed = true;
        if (!second_road)
            return true;
        // The stretch the mibo slides along, and round it the cells the second road keeps off:
        // it must not join the stretch, nor give the wedged mibo a square to go on to.
        static bool cut[PLAN_ROWS][PLAN_COLUMNS], keep_clear[PLAN_ROWS][PLAN_COLUMNS];
        std::memset(cut, 0, sizeof cut);
        std::memset(keep_clear, 0, sizeof keep_clear);
        for (int32_t c = column, r = row;; c += fc, r += fr) {
            cut[r][c] = true;
            for (int32_t dir = 0; dir < 256; dir += 64) {
                int32_t dc, dr;
                direction_step(dir, &dc, &dr);
                if (c + dc >= 0 && r + dr >= 0 && c + dc < PLAN_COLUMNS && r + dr < PLAN_ROWS)
                    keep_clear[r + dr][c + dc] = true;
            }
            if (c == ec && r == er)
                break;
        }
        // The road round must be the longer, the door's step round included: where the robot
        // walks round as soon as through, the door is no use and no push a wrong way.
        static LevelPlan round;
        if (build_second_road(plan, cut, keep_clear)) {
            round = plan;
            for (int32_t c = column, r = row; !(c == ec + fc && r == er + fr); c += fc, r += fr)
                round.squares[r][c].present = false;
            const int32_t through = shortest_tour(plan);
            if (through >= 0 && shortest_tour(round) > through + SIDE_DOOR_DETOUR)
                return true;
        }
        plan = before;
    }
    return false;
}
