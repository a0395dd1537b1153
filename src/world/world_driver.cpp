/* world_driver.cpp: runs the world without a screen, keyboard or timer, frame by frame. */
#include "world/world_driver.h"

#include <cstring>

#include "world/level_rules.h"
#include "world/player.h"
#include "world/player_motion.h"
#include "world/world_clock.h"

void driver_start_text(World &w, const char *map_text)
{
    w.source_text = map_text;
    start_level_from_text(w, map_text, std::strlen(map_text));
}

void driver_start_level(World &w, int level)
{
    w.source_text = nullptr;
    w.source_level = level;
    start_level(w, level);
}

void driver_restart(World &w)
{
    if (w.source_text)
        start_level_from_text(w, w.source_text, std::strlen(w.source_text));
    else
        driver_start_level(w, w.source_level);
}

void driver_push(World &w, int code)
{
    command_queue_push(w, code);
}

void driver_frame(World &w, int32_t ticks)
{
    driver_frame_passes(w, ticks, PASSES_BOTH);
}

void driver_frame_passes(World &w, int32_t ticks, ActorPasses passes)
{
    run_level_clock(w, ticks);
    probe_floor(w);
    player_command(w);
    update_player_passes(w, ticks, passes);
}

void driver_run(World &w, int frames, int32_t ticks)
{
    for (int i = 0; i < frames; i++)
        driver_frame(w, ticks);
}

int driver_settle(World &w, int32_t ticks, int frame_limit)
{
    int frames = 0;
    while (frames < frame_limit) {
        const PlayerMotion &p = w.motion;
        bool queue_empty = w.queue.read_index == w.queue.write_index;
        if (!w.intro && p.jump_ctr <= -5 && queue_empty && w.rot_y == p.player_rot_y &&
            p.loc_y == p.floor_y)
            break;
        driver_frame(w, ticks);
        frames++;
    }
    return frames;
}
