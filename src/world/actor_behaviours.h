/* actor_behaviours.h: what each kind of actor does: pushes, slides, the zipper, explosions. */
#pragma once

#include "world/actor.h"
#include "world/world.h"

/* The player, stepping by (step_x, step_z) per tick, walks into actor `index`. Eats a sweet,
   sets off a mine, asks the teleport, or pushes a mibo, zipper or jar one square ahead. Returns 1
   when the player may enter the actor's square, 0 when he is blocked. Called by player_command. */
int bump_actor(World &w, int index, fixed step_x, fixed step_z);

/* Sets off the actor on the square at world point (x, z), if any and not already exploding; a
   jar or mine sets off its four neighbours in the order -x, +x, -z, +z, each to completion. Kills
   the player and loses a sweet when they are caught. */
void explode_at(World &w, fixed x, fixed z);

/* Starts the 80-tick explosion of actor `index` and scorches the square at (x, z). */
void blast_actor(World &w, int index, fixed x, fixed z);

/* Plays the explosion cue and gives the square under (x, z), if any, the scorched texture 1. */
void scorch_square(World &w, fixed x, fixed z);

/* Motion callback of a sliding actor: 10 units a tick toward the next square; releases the
   square left and becomes idle on arrival. */
void slide_step(World &w, int32_t ticks, Actor *actor);

/* Motion callback of the active teleport: turns one 1/256 turn a tick. */
void spin_step(World &w, int32_t ticks, Actor *actor);

/* Think callback of an idle zipper: reserves the next square in its direction, waits about 30
   ticks, then runs on square after square, killing the player and setting off jars and mines in
   its way. */
void zipper_think(World &w, int32_t ticks, Actor *actor);
