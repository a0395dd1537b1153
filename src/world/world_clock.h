/* world_clock.h: the level clock and the ring of move codes, the world's two inputs besides ticks. */
#pragma once

#include "world/world.h"

/* Runs the level clock down by `ticks` (0 or more) while the level is neither won nor lost: it
   freezes at the moment of winning or losing, so the HUD keeps the time the level ended with.
   The world's owner calls it once a frame with the frame's ticks, before update_player. */
void run_level_clock(World &w, int ticks);

/* The level clock, a clock run below zero reading as 0. Read by the HUD and the time-up rule. */
int level_clock_left(const World &w);

/* Empties the command queue. Called at each level start. */
void command_queue_reset(World &w);

/* Appends a move code (never 0). Returns 1, or 0 when the queue already holds its 199 codes:
   then the code is dropped and the pending ones stay. Called by the in-game key handler. */
int command_queue_push(World &w, int code);

/* Removes and returns the oldest move code, or 0 when the queue is empty. Called by the
   player's command handling, one code per call. */
int command_queue_pop(World &w);
