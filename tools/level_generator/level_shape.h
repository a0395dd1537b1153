/* level_shape.h: the first two stages of a level: its squares' shape, and what stands on them. */
#pragma once

#include "generator_random.h"
#include "level_plan.h"
#include "set_apart.h"

enum GeneratorIdea { IDEA_WALK, IDEA_PUSH, IDEA_RUNNER, IDEA_CHAIN, IDEA_MIX, IDEA_COUNT };
enum GeneratorSize { SIZE_SMALL, SIZE_MEDIUM, SIZE_LARGE, SIZE_COUNT };

/* What a size sets: the grid, the sweets, the other actors and the shortest way's length, and
   what the campaign asks of a level of that place. */
struct SizeRules {
    const char *name;
    int32_t min_columns, max_columns, min_rows, max_rows;
    int32_t min_sweets, max_sweets;
    int32_t min_actors, max_actors;     /* mibos, jars, mines and zippers, for the ideas with them */
    int32_t min_moves, max_moves;       /* move commands of the shortest way, waits apart */
    int32_t minutes;                    /* the time limit */
    int32_t min_decisions;
    int32_t min_wrong_ways;
    bool traps_allowed;                 /* a silent mistake may be left on the way */
    int64_t state_limit;                /* the proof's search gives up past this many states */
    int32_t attempts;                   /* shapes tried for one level at most */
    int32_t keep_after;                 /* passing levels compared before the best is kept */
    int32_t spread = 1;                 /* each sweet is the farthest of this many squares it
                                           could go on: the larger, the longer the way */
    /* For the ideas with actors: the steps the route through the sweets to the teleport walks
       on the bare shape, drawn in this range (0: the walk's spread instead), and the share in
       percent of the route's side squares kept when the shape is thinned to the route. */
    int32_t min_route = 0, max_route = 0;
    int32_t side_share = 100;
    /* How far the pits lie under the floor for the ideas with actors: 2 lets the robot climb
       out, 3 makes each pit beside the road a drop with no return, a decision to get right. */
    int32_t pit_depth = 2;
    /* How high the terraces rise over the floor for the ideas with actors: 2 keeps most
       squares within a climb, more gives one-way drops and with them wrong ways. */
    int32_t terrace_rise = 2;
    /* Sweets fewer than the range above with actors: each sweet eaten or not doubles the
       positions a search holds, and the actors make the way long enough. */
    int32_t fewer_sweets = 0;
    /* Actors that must matter, for a level with actors: the way cannot do without them. */
    int32_t actors_matter = 1;
    /* Squares from the gate's entry to the teleport, 4 to 6 (see build_gate); 0 for no gate:
       the actors are drawn onto the road instead. */
    int32_t gate_corridor = 6;
    /* Whether its levels are held to puzzle_passes: every size's are (a test reads a way
       that is no puzzle with it off). */
    bool puzzles = true;
    /* The way's length the score prefers, in percent of the moves' range from its shortest:
       100 the longest; a set's levels aim from short to long (set_level_rules). */
    int32_t aim_length = 100;
    /* The form of the shape (ShapeForm): the open field, or a place cut out of it. */
    int32_t form = 0;
    /* Whether a set's levels keep apart (set_apart): a small level's few squares all lie in
       one corner of the panel, where ten cannot keep apart. */
    bool keep_apart = true;
    /* The fewest moves of a way through the gate, for the ideas with actors: its corridor alone
       takes a small level's shortest ways (0: the size's fewest). */
    int32_t gated_min_moves = 0;
    /* Whether a push level has a side door (build_side_door); where traps are not allowed,
       with a second road round it. */
    bool side_door = true;
};

/* The forms a shape is cut to before its holes: a field of terraces; a yard, a ring of squares
   round a hollow; two islands, the one a drop of three over the other, joined by one bridge
   that is a way down and none back; an L, a corner taken away; switchbacks, two walls of gaps
   from opposite edges that turn the road back and forth; a hillside, bands of columns each a
   step over the one before, climbed from one end to the other; a spiral, a road three squares
   wide that winds inward between walls of gaps, a step up at each turn inward; and towers,
   two blocks standing a drop of three over the place, joined by a bridge at their height and
   climbed by a stair at one. */
enum ShapeForm { FORM_FIELD, FORM_YARD, FORM_ISLANDS, FORM_L, FORM_SWITCHBACKS, FORM_HILLSIDE,
                 FORM_SPIRAL, FORM_TOWERS, SHAPE_FORMS };

enum { SET_LEVELS = 10 };   /* a set rises over this many levels, then begins again */

/* The rules of level `level_index` (from 0) of a set of the size: its levels rise over
   SET_LEVELS from the short end of the size's way to the long: the score aims at a length
   that rises, and for an idea with actors the way's moves are held to a window of half the
   size's range that slides up a level at a time, its route drawn in such a window too. */
SizeRules set_level_rules(GeneratorSize size, GeneratorIdea idea, int32_t level_index);

/* The route the sweets and the teleport were placed along: the squares of a shortest walk
   from each to the next on the bare shape, the direction it enters each by, and its steps. */
enum { PLAN_ROUTE_LEGS = 16 };   /* legs of a route at most: the sweets and the teleport */

struct PlanRoute {
    bool on[PLAN_ROWS][PLAN_COLUMNS];
    int32_t entry[PLAN_ROWS][PLAN_COLUMNS];
    int32_t steps;
    int32_t legs;                               /* the targets walked to, in order */
    int32_t target_column[PLAN_ROUTE_LEGS], target_row[PLAN_ROUTE_LEGS];
    int32_t leg[PLAN_ROWS][PLAN_COLUMNS];       /* 1 + the leg a square was first walked on; 0 off */
};

const SizeRules &size_rules(GeneratorSize size);
const char *idea_name(GeneratorIdea idea);

/* Reads an idea or size by name ("walk", "small" ...); false for an unknown one. */
bool parse_idea(const char *text, GeneratorIdea *idea);
bool parse_size(const char *text, GeneratorSize *size);

/* The shape: a grid of the size's extent, terraces of several heights laid over each other (the
   walk's are higher, so that a step down may be one way), cut to the rules' form, cells left
   out as holes, and for the
   ideas with actors pits two levels under their floor to push things into. Never more than
   PLAN_MAX_SQUARES squares. */
void shape_plan(LevelPlan &plan, GeneratorIdea idea, const SizeRules &rules,
                GeneratorRandom &random);

/* Places the start, the sweets, the teleport and the idea's actors on squares of the shape, each
   on a square of its own: each sweet and then the teleport where the robot can walk from the
   one before (half the time one it cannot walk back from), so that the shape has a way; then
   the actors, mostly on that way: mibos and jars next to a square no higher (something to push
   them onto), zippers facing a lane of at least two squares no higher that crosses it, mines
   with a jar beside them for a chain. With actors and a route range in the rules, the legs
   are chosen so that the route walks a length drawn from that range. Returns false when the
   shape has no room for them or the route is out of its range. Fills *route when given. */
bool place_actors(LevelPlan &plan, GeneratorIdea idea, const SizeRules &rules,
                  GeneratorRandom &random, PlanRoute *route = nullptr);

/* Thins the shape to its road: keeps the route's squares, those with something on them, each
   actor's neighbours (where it is pushed to or runs), for a mibo or jar on the road the square
   straight on from where the road turns ahead of it (where a push along the road leaves it
   off the road), the lanes of the zippers, and of the
   other squares beside the route the rules' side share, drawn from the stream; takes away
   the rest. A smaller map is searched and analysed in a fraction of the states, and its way
   cannot go round the actors placed on the road. Drops of three levels or more off the road
   onto squares from which the leg's target is still reached, but by a walk five steps longer,
   stay with that walk, up to one more than the rules' wrong ways: a wrong way a player can
   take and come back from; *wrong_ways, when given, is their count. Returns the squares taken
   away. */
int32_t thin_plan(LevelPlan &plan, const PlanRoute &route, const SizeRules &rules,
                  GeneratorRandom &random, int32_t *wrong_ways = nullptr);

/* Turns the start to the heading whose view shows the level: the square ahead there, then the
   teleport or a sweet among the squares in a quarter turn's cone within 8 squares ahead, then
   the most of those squares; the heading drawn stays on a tie. A start facing the sky or the
   map's edge shows the player nothing of the way. Called once the shape is final. */
void face_the_view(LevelPlan &plan);

/* Raises a landmark, a tower a square and a half over the level's tallest square, in the
   start's view: on a cell with no square and none beside it, and none in a level of `set`
   (when given), nearest six squares ahead and straight on. The robot can never reach it, so
   the level is played as it was; it shows where the way looks out from. Returns false, the
   plan as it was, when the view has no such cell or the plan holds PLAN_MAX_SQUARES. Called
   once the level is final. */
bool raise_landmark(LevelPlan &plan, const SetFootprints *set = nullptr);

enum { NAME_FIRST_WORDS = 16 };

/* Gives the plan a name of two words, at most 38 characters: first word number `first_word`
   (0 to NAME_FIRST_WORDS - 1), then one drawn for the idea. */
void name_plan(LevelPlan &plan, GeneratorIdea idea, int32_t first_word, GeneratorRandom &random);
