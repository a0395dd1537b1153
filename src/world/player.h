/* player.h: the robot's commands, its hop from square to square, its fall, and the game update. */
#pragma once

#include <cstdint>

#include "world/actor_table.h"
#include "world/world.h"

/* Takes at most one move code from the command queue, when the robot is at rest (or landing) and
   the level is neither won nor lost nor the robot falling, and starts a turn, step, strafe step or
   jump. A step into an occupied square asks the actor whether it gives way. Called once per frame
   by the play loop, after the in-game keys and before update_player. */
void player_command(World &w);

/* True when player_command would take a move code now: the robot is ready and the oldest code
   waiting is a move. Lets the owner of the world keep it as it stood before the command (for
   undo) and count the command; the world itself never reads the keyboard or draws. */
bool command_ready(const World &w);

/* Advances the game by `ticks` (0 or more): message timers, the time-up rule, the actors' think
   and motion passes, the shown heading, the hop, the win in the teleport, the camera swoop, the
   fall, and finally the robot's pose in its actor record. Called once per frame by the play loop
   with the ticks elapsed since the previous call. */
void update_player(World &w, int32_t ticks);

/* update_player with only the actor passes `passes` names (see settled_passes), for an update in
   which the ones left out would change nothing: the same world as update_player's, sooner. */
void update_player_passes(World &w, int32_t ticks, ActorPasses passes);

/* Turns the shown heading rot_y toward player_rot_y by 2 (0.4 during the swoop) 1/256 turns a
   tick, never past it. Part of update_player. */
void smooth_heading(World &w, int32_t ticks);

/* Finds the floor height of the robot's logical square and, right after a hop has landed on no
   square, starts the fall. Skipped during the swoop. Called once per frame after the world is
   drawn, before the frame's player_command and update_player. */
void probe_floor(World &w);
