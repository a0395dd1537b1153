/* world_snapshot.h: the whole state of a running level as one plain record, to copy and restore. */
#pragma once

#include <cstdint>

#include "ui/message_line.h"
#include "world/actor.h"
#include "world/command_queue.h"
#include "world/level_map.h"
#include "world/level_state.h"
#include "world/player_motion.h"

/* Everything the world's rules read or write while a level runs. Restoring a snapshot and feeding
   the same move codes and ticks replays the level exactly. */
struct WorldSnapshot {
    LevelMap map;
    ActorTable actors;
    PlayerMotion motion;
    int32_t hero_index;
    int32_t crouch;
    int32_t stretch;
    fixed rot_y;
    int32_t falling;
    int32_t intro;
    int32_t tumble;
    float camera_y;
    float camera_pitch;         /* the one display option the world writes */
    int32_t moves;
    LevelState level;
    int level_time;             /* the level clock, ticks */
    MessageLine message;
    int title_timer;
    CommandQueue queue;
};

/* Copies the world into *snapshot. */
void take_snapshot(WorldSnapshot *snapshot);

/* Puts the world back as *snapshot holds it. */
void restore_snapshot(const WorldSnapshot *snapshot);
