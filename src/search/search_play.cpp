/* search_play.cpp: how the search plays one command on the world, and what it reads of the outcome. */
#include "search/search_play.h"

#include "base/timer.h"
#include "render/display_options.h"
#include "world/actor.h"
#include "world/command_queue.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/tile_grid.h"
#include "world/world_cues.h"
#include "world/world_driver.h"

const int32_t action_codes[SEARCH_ACTIONS] = {
    SEARCH_WAIT, MOVE_FORWARD, MOVE_TURN_LEFT, MOVE_TURN_RIGHT, MOVE_BACKWARD,
    MOVE_STRAFE_LEFT, MOVE_STRAFE_RIGHT, MOVE_JUMP
};

namespace {

enum {
    COMMAND_FRAME_LIMIT = 400,  /* a command that has not given the robot back by then went wrong */
    START_FRAME_LIMIT = 100000  /* a swoop that has not ended by then never will */
};

/* The world of whoever runs the search, put back after each slice. */
struct CallerWorld {
    WorldSnapshot world;
    int tick_counter;
    CueLog cues;
    bool sound_off;
    float camera_height;
};

CallerWorld caller;

} // namespace

float search_camera_height = program_start_options.camera_height;

void save_caller()
{
    take_snapshot(&caller.world);
    caller.tick_counter = tick_counter.load(std::memory_order_relaxed);
    caller.cues = cue_log;
    caller.sound_off = display_options.sound_off;
    display_options.sound_off = true;
    caller.camera_height = display_options.camera_height;
    display_options.camera_height = search_camera_height;
}

void enter_world(const WorldSnapshot *start)
{
    save_caller();
    restore_snapshot(start);
    index_tiles();
}

void leave_level()
{
    restore_snapshot(&caller.world);
    index_tiles();
    tick_counter.store(caller.tick_counter, std::memory_order_relaxed);
    cue_log = caller.cues;
    display_options.sound_off = caller.sound_off;
    display_options.camera_height = caller.camera_height;
}

bool robot_ready()
{
    return player_motion.jump_ctr < 1;
}

bool level_over()
{
    return level_state.level_completed || level_state.level_lost || falling;
}

bool over_no_square()
{
    return tile_serial_at(itofix(100 * player_motion.playerL[0]),
                          itofix(100 * player_motion.playerL[1])) == -1;
}

bool hopeless()
{
    if (level_state.level_lost || falling || get_level_time() < 1)
        return true;
    return over_no_square() || spoiled();
}

bool spoiled()
{
    int sweets_left = 0;
    bool teleport = false;
    for (int i = 0; i < actor_table.count; i++) {
        const Actor &a = actor_table.actors[i];
        if (a.gone || a.timer > 0)
            continue;
        if (a.type == ACTOR_SWEET)
            sweets_left++;
        if (a.type == ACTOR_TELEPORT)
            teleport = true;
    }
    if (!teleport)
        return true;
    return level_state.sweets_eaten + sweets_left < level_state.sweets_total;
}

int32_t wait_frames(int32_t ticks_per_frame)
{
    return ticks_per_frame >= 10 ? 1 : (10 + ticks_per_frame - 1) / ticks_per_frame;
}

int32_t run_command(int32_t code, int32_t ticks_per_frame, bool *cut)
{
    const int32_t frame_limit = code == SEARCH_WAIT ? wait_frames(ticks_per_frame) :
                                                      (int32_t)COMMAND_FRAME_LIMIT;
    if (code != SEARCH_WAIT)
        driver_push(code);
    int32_t frames = 0;
    int32_t blasts = cue_log.plays[DAT_SAMPLE_EXPLOSION];
    for (;;) {
        driver_frame(ticks_per_frame);
        frames++;
        if (cut) {
            if (frames == 1 && !robot_ready() && over_no_square()) {
                *cut = true;
                break;
            }
            if (cue_log.plays[DAT_SAMPLE_EXPLOSION] != blasts) {
                blasts = cue_log.plays[DAT_SAMPLE_EXPLOSION];
                if (!level_state.teleport_entered && spoiled()) {
                    *cut = true;
                    break;
                }
            }
        }
        if (frames >= frame_limit)
            break;
        // A wait runs its frames whatever happens; what ends it early ends the level too.
        if (code == SEARCH_WAIT ? cut && level_over() : robot_ready() || level_over())
            break;
    }
    return frames;
}

int32_t run_start_delay(int32_t ticks_per_frame, int32_t delay_ticks)
{
    int32_t frames = 0;
    while (intro && !level_over() && frames < START_FRAME_LIMIT) {
        driver_frame(ticks_per_frame);
        frames++;
    }
    for (int32_t ticks = 0; ticks < delay_ticks && !level_over(); ticks += ticks_per_frame) {
        driver_frame(ticks_per_frame);
        frames++;
    }
    return frames;
}
