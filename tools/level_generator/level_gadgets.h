/* level_gadgets.h: pieces of a level built to a design rather than drawn at random: places
   where the way cannot go on without its actors. */
#pragma once

#include "generator_random.h"
#include "level_plan.h"
#include "level_shape.h"

/* Where a gate was built: the teleport behind it, and the square its corridor is entered by. */
struct GateSite {
    int32_t teleport_column, teleport_row;
    int32_t entry_column, entry_row;
};

/* Builds a blast gate round the teleport, somewhere on the plan's grid: the teleport stands at
   the end of a corridor, its one way in held by a mibo that cannot be pushed (the teleport
   behind it, no square beside it), and beside the mibo a jar or mine. A zipper waits two
   squares down a lane that runs into the jar, held by a second mibo; the robot pushes that
   mibo into a pocket, steps back out of the lane, and waits while the zipper runs into the jar
   and its blast takes the gate away. For the chain the lane's end is a jar and the mine stands
   beside the gate, so that the blast goes through both. Without the zipper or the jar (or mine)
   the teleport cannot be reached, so both matter; the way waits for the runner. Every square of
   the gate is marked fixed, for the placing and the thinning to leave as it is; the corridor's
   entry, `corridor` squares (4 to 6) behind the teleport, joins the square of the shape behind it, at its height or, with `drop_in`, three
   levels under it: then the robot cannot leave the gate for a sweet, and waits there. For the
   push, and for every idea in a corridor of 4, a mibo in the corridor is pushed twice, into
   the blast's reach. Returns false, the plan
   unchanged, when no place on the grid takes it within a few draws. */
bool build_gate(LevelPlan &plan, GeneratorIdea idea, bool drop_in, int32_t corridor,
                GeneratorRandom &random, GateSite *site);

/* Puts a side door on the route: a mibo on a straight stretch of road with a pit beside it and,
   on its other side, a square reached by a step round from the road behind. Pushed on along
   the road the mibo goes ahead of the robot until the road turns and blocks it there, a wrong
   way made of the push; pushed from the side square it drops into the pit and the road is
   free. The cells round the pit and the side square are emptied, so the mibo is not walked
   round. With `second_road`, where a mibo wedged in the turn would leave no way on (a trap,
   where the size allows none), a road of new squares goes round the stretch, from the road
   behind to the road beyond: the push along the road is then a wrong way that costs the walk
   back and round, and the level can still be won. Returns false, the plan unchanged, when the
   route has no stretch for it. */
enum { SIDE_DOOR_DETOUR = 4 };   /* commands the step round the mibo adds, turns included */
bool build_side_door(LevelPlan &plan, const PlanRoute &route, bool second_road,
                     GeneratorRandom &random);
