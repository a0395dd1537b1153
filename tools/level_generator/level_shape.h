/* level_shape.h: the first two stages of a level: its squares' shape, and what stands on them. */
#pragma once

#include "generator_random.h"
#include "level_plan.h"

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
};

const SizeRules &size_rules(GeneratorSize size);
const char *idea_name(GeneratorIdea idea);

/* Reads an idea or size by name ("walk", "small" ...); false for an unknown one. */
bool parse_idea(const char *text, GeneratorIdea *idea);
bool parse_size(const char *text, GeneratorSize *size);

/* The shape: a grid of the size's extent, terraces of several heights laid over each other (the
   walk's are higher, so that a step down may be one way), cells left out as holes, and for the
   ideas with actors pits two levels under their floor to push things into. Never more than
   PLAN_MAX_SQUARES squares. */
void shape_plan(LevelPlan &plan, GeneratorIdea idea, const SizeRules &rules,
                GeneratorRandom &random);

/* Places the start, the sweets, the teleport and the idea's actors on squares of the shape, each
   on a square of its own: each sweet and then the teleport where the robot can walk from the
   one before (half the time one it cannot walk back from), so that the shape has a way; then
   the actors, mostly on that way: mibos and jars next to a square no higher (something to push
   them onto), zippers facing a lane of at least two squares no higher that crosses it, mines
   with a jar beside them for a chain. Returns false when the shape has no room for them. */
bool place_actors(LevelPlan &plan, GeneratorIdea idea, const SizeRules &rules,
                  GeneratorRandom &random);

/* Gives the plan a name of two words drawn for the idea, at most 38 characters. */
void name_plan(LevelPlan &plan, GeneratorIdea idea, GeneratorRandom &random);
