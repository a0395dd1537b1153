/* world_driver.cpp: runs the world without a screen, keyboard or timer, frame by frame. */
#include "world/world_driver.h"

#include <cstring>

#include "base/timer.h"
#include "world/command_queue.h"
#include "world/level_rules.h"
#include "world/player.h"
#include "world/player_motion.h"

namespace {

const char *started_text = nullptr;     /* map text of the running level; none for a file */
int started_file_level = 0;

} // namespace

void driver_start_text(const char *map_text)
{
    started_text = map_text;
    start_level_from_text(map_text, std::strlen(map_text));
}

void driver_start_level(int level)
{
    started_text = nullptr;
    started_file_level = level;
    current_level = level;
    start_level();
}

void driver_restart()
{
    if (started_text)
        start_level_from_text(started_text, std::strlen(started_text));
    else
        driver_start_level(started_file_level);
}

void driver_push(int code)
{
    command_queue_push(code);
}

void driver_frame(int32_t ticks)
{
    advance_clock(ticks);
    probe_floor();
    player_command();
    update_player(ticks);
}

void driver_run(int frames, int32_t ticks)
{
    for (int i = 0; i < frames; i++)
        driver_frame(ticks);
}

int driver_settle(int32_t ticks, int frame_limit)
{
    int frames = 0;
    while (frames < frame_limit) {
        const PlayerMotion &p = player_motion;
        bool queue_empty = command_queue.read_index == command_queue.write_index;
        if (!intro && p.jump_ctr <= -5 && queue_empty && rot_y == p.player_rot_y &&
            p.loc_y == p.floor_y)
            break;
        driver_frame(ticks);
        frames++;
    }
    return frames;
}
