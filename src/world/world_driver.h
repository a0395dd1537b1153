/* world_driver.h: runs the world without a screen, keyboard or timer, frame by frame as the play
   loop does. Used by the tests and the level checker. */
#pragma once

#include <cstdint>

#include "world/actor_table.h"
#include "world/world.h"

/* Starts a level from map text (kept alive by the caller for driver_restart) the way start_level
   does. The world needs nothing of the library at run time but its fixed-point tables, so no
   display, keyboard or timer has to be installed. */
void driver_start_text(World &w, const char *map_text);

/* Starts level `level` from its file "maps//mapNN.txt" in the working directory. */
void driver_start_level(World &w, int level);

/* Starts the current level again, as the restart key does: from the same text or file. */
void driver_restart(World &w);

/* Queues one move code, as the in-game keys do. */
void driver_push(World &w, int code);

/* Runs one frame of play with `ticks` elapsed since the previous one: first the level clock
   runs down by ticks (stopping once the level is won or lost), then probe_floor, player_command and update_player(ticks). */
void driver_frame(World &w, int32_t ticks);

/* driver_frame with only the actor passes `passes` names (update_player_passes). */
void driver_frame_passes(World &w, int32_t ticks, ActorPasses passes);

/* Runs `frames` frames of `ticks` each. */
void driver_run(World &w, int frames, int32_t ticks);

/* Runs frames of `ticks` until the camera swoop is over, no code is waiting and the robot stands
   at rest on its floor with the shown heading come round, or until `frame_limit` frames have run.
   Returns the frames run. */
int driver_settle(World &w, int32_t ticks, int frame_limit);
