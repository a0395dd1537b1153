/* level_rules.h: starting a level and the outcomes that win, lose or spoil it. */
#pragma once

#include <cstddef>

#include "world/world.h"

/* Starts (or restarts) level `level` in w: empties the command queue, clears the flags, the
   message line and the actor table, loads "maps//map%02d.txt" (a missing or empty map ends the
   program with "Can't load the map\n"), places the player with the camera swoop and shows the
   level title. Called by the play loop and the in-game restart keys. */
void start_level(World &w, int level);

/* start_level with the map taken from `text` (`length` bytes) instead of the level's file. Used
   by the test driver and the level checker. */
void start_level_from_text(World &w, const char *text, size_t length);

/* The player is blown up or run over: message and level_lost. Called by the behaviours. */
void player_dies(World &w);

/* A sweet is eaten: message, count and cue; the last one activates the teleport. */
void sweet_eaten(World &w);

/* A sweet is destroyed: the level can no longer be won. Only the message changes. */
void sweet_lost(World &w);

/* The player steps toward the teleport: returns teleport_active and, when active, notes the
   entry (the level is completed when that hop lands); otherwise tells what is missing. */
int try_teleport(World &w);

/* The level clock is at 0: message and level_lost. Called on every update while it stays there. */
void time_up(World &w);
