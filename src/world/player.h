/* player.h: the robot's commands, its hop from square to square, its fall, and the game update. */
#pragma once

#include <cstdint>

/* Takes at most one move code from the command queue, when the robot is at rest (or landing) and
   the level is neither won nor lost nor the robot falling, and starts a turn, step, strafe step or
   jump. A step into an occupied square asks the actor whether it gives way. Called once per frame
   by the play loop, after the in-game keys and before update_player. */
void player_command();

/* Called by player_command once it has taken a move code and just before it starts the turn,
   step, strafe step or jump, so the world can be kept as it stood before the command; none by
   default. The game's undo history sets it while a level is played; the world itself never reads
   the keyboard or draws. */
extern void (*command_taken_hook)();

/* Advances the game by `ticks` (0 or more): message timers, the time-up rule, the actors' think
   and motion passes, the shown heading, the hop, the win in the teleport, the camera swoop, the
   fall, and finally the robot's pose in its actor record. Called once per frame by the play loop
   with the ticks elapsed since the previous call. */
void update_player(int32_t ticks);

/* Turns the shown heading rot_y toward player_rot_y by 2 (0.4 during the swoop) 1/256 turns a
   tick, never past it. Part of update_player. */
void smooth_heading(int32_t ticks);

/* Finds the floor height of the robot's logical square and, right after a hop has landed on no
   square, starts the fall. Skipped during the swoop. Called once per frame by the frame
   composition after the world is drawn, before the frame's player_command and update_player. */
void probe_floor();
