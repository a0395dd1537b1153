/* actor_table.h: creating actors, their squares, finding them, and the two per-tick passes. */
#pragma once

#include "world/actor.h"
#include "world/world.h"

/* Appends an actor of `type` at world (x, y, z) facing `dir` on the square under (x, z) and returns
   its index. The 101st actor of a level ends the program with "Too many actors". Called by the
   map loader, in map order. */
int create_actor(World &w, fixed x, fixed y, fixed z, int32_t type, int32_t dir, int32_t map_code);

/* Empties the table. Called at each level start, before the map is loaded. */
void clear_actors(World &w);

/* Gives the actor its idle callbacks and state 0; a zipper gets back zipper_think and the unit
   step of its own dir. Called at creation and when a slide ends. */
void reset_behaviour(Actor *actor);

/* Writes the actor's position and two angles. The player's update calls it every update. */
void set_actor_pose(World &w, int index, fixed x, fixed y, fixed z, fixed angle_x, fixed angle_y);

/* Gives every actor of `type`, gone or not, the motion callback spin_step. Used when the
   teleport becomes active. */
void set_motion_for_type(World &w, int32_t type);

/* Records that actor `index` stands on square `serial` (second slot when the first is taken);
   returns refs afterwards. */
int add_location(World &w, int index, int32_t serial);

/* Releases square `serial` of actor `index`; refs drops by one even when the serial was not held.
   Returns refs afterwards. */
int remove_location(World &w, int index, int32_t serial);

/* Index of the first actor, not gone, that stands on the square under (x, z); -1 when none. A
   moving actor is found on both of its squares, an exploding one until it is gone. */
int actor_at(const World &w, fixed x, fixed z);

/* actor_at for the square of serial `serial`, for a caller that has found the square already. */
int actor_on_serial(const World &w, int32_t serial);

/* Which of the two passes below an update has to run, as the actors stand. */
enum ActorPasses {
    PASSES_BOTH = 0,
    PASSES_MOTION = 1,      /* the think pass only repeats what the last one did */
    PASSES_NONE = 2         /* and no actor has a motion callback either */
};

/* The passes an update needs when the think pass that last ran left the actors as they stand and
   nothing has moved since, neither the robot's squares nor any other actor's: PASSES_BOTH while
   an explosion counts down (even of an actor gone), an actor thinks that is not a zipper at rest,
   or one has a motion callback other than a teleport's spin; else an idle zipper only finds its
   way barred again, as it did the update before, and no think callback changes anything. Lets
   a search leave out frame work that cannot change the world. */
ActorPasses settled_passes(const World &w);

/* Fills `live` (ACTOR_CAPACITY bits, actor i at bit i % 64 of word i / 64) with the actors the
   passes below have anything to do for as the world stands: a countdown, or a callback on an
   actor not gone. */
void find_live_actors(const World &w, uint64_t live[2]);

/* Makes the passes look only at the actors of `live` (from find_live_actors) from now on, and at
   any actor later given a countdown or a callback, until the level is loaded again. An actor
   that no longer needs them stays in, which only costs a look. The search does this on each
   world it puts a state into, where the passes are much of the work of a frame and most actors
   stand still for good. Code that writes those fields itself must not, or must call it again. */
void limit_passes_to(World &w, const uint64_t live[2]);

/* Marks actor `index` as one the passes must look at: called by whatever gives an actor a
   countdown or a callback. */
void mark_live(World &w, int index);

/* Runs the explosion countdowns and the think callbacks, in table order. Once per game update,
   before run_motion_pass. */
void run_think_pass(World &w, int32_t ticks);

/* Runs the motion callbacks of the actors not gone, in table order. Once per game update. */
void run_motion_pass(World &w, int32_t ticks);

/* -1.0, 0 or 1.0 as fixed, by the sign of v. */
fixed sign_fixed(int32_t v);
