/* search_play.cpp: how the search plays one command on the world, and what it reads of the outcome. */
#include "search/search_play.h"

#include "base/datafile.h"
#include "world/actor.h"
#include "world/level_state.h"
#include "world/player.h"
#include "world/player_motion.h"
#include "world/tile_grid.h"
#include "world/world_clock.h"
#include "world/world_cues.h"
#include "world/world_driver.h"

const int32_t action_codes[SEARCH_ACTIONS] = {
    SEARCH_WAIT, MOVE_FORWARD, MOVE_TURN_LEFT, MOVE_TURN_RIGHT, MOVE_BACKWARD,
    MOVE_STRAFE_LEFT, MOVE_STRAFE_RIGHT, MOVE_JUMP
};

namespace {

enum {
    COMMAND_FRAME_LIMIT = 400,  /* a command that has not given the robot back by then went wrong */
    START_FRAME_LIMIT = 100000, /* a swoop that has not ended by then never will */
    SLIDE_SPEED_PER_TICK = 10,  /* world units a sliding actor moves in a tick, */
    SLIDE_LENGTH = 100          /* and from one square to the next */
};

} // namespace

bool robot_ready(const World &w)
{
    return w.motion.jump_ctr < 1;
}

bool level_over(const World &w)
{
    return w.level.level_completed || w.level.level_lost || w.falling;
}

bool over_no_square(const World &w)
{
    return tile_serial_at(w, itofix(100 * w.motion.playerL[0]),
                          itofix(100 * w.motion.playerL[1])) == -1;
}

bool hopeless(const World &w)
{
    if (w.level.level_lost || w.falling || level_clock_left(w) < 1)
        return true;
    return over_no_square(w) || spoiled(w);
}

bool hopeless_since(const World &w, int32_t blasts_before)
{
    if (w.level.level_lost || w.falling || level_clock_left(w) < 1 || over_no_square(w))
        return true;
    return w.cues.plays[DAT_SAMPLE_EXPLOSION] != blasts_before && spoiled(w);
}

bool spoiled(const World &w)
{
    int sweets_left = 0;
    bool teleport = false;
    for (int i = 0; i < w.actors.count; i++) {
        const Actor &a = w.actors.actors[i];
        if (a.gone || a.timer > 0)
            continue;
        if (a.type == ACTOR_SWEET)
            sweets_left++;
        if (a.type == ACTOR_TELEPORT)
            teleport = true;
    }
    if (!teleport)
        return true;
    return w.level.sweets_eaten + sweets_left < w.level.sweets_total;
}

int32_t wait_frames(int32_t ticks_per_frame)
{
    return ticks_per_frame >= 10 ? 1 : (10 + ticks_per_frame - 1) / ticks_per_frame;
}

int32_t run_command(World &w, int32_t code, int32_t ticks_per_frame, bool *cut)
{
    const int32_t frame_limit = code == SEARCH_WAIT ? wait_frames(ticks_per_frame) :
                                                      (int32_t)COMMAND_FRAME_LIMIT;
    if (code != SEARCH_WAIT)
        driver_push(w, code);
    int32_t frames = 0;
    int32_t blasts = w.cues.plays[DAT_SAMPLE_EXPLOSION];
    // Most frames of a command are a hop or a wait in which nothing but the robot moves: every
    // idle zipper finds its way barred as it did the frame before. Those run without the actors'
    // think pass, the costliest part of a frame, once two frames in a row have begun with the
    // actors settled and the robot taking no command (so that the think pass of the first saw
    // what the second's would: the robot's squares change only as it takes a command or lands,
    // after which jump_ctr is 0). The frame after one run so needs no new look at the actors.
    // That holds while a slide lasts more than one frame: one begun and ended in a frame leaves
    // the actors settled where the think pass saw them elsewhere, as a running zipper is at
    // every frame's start at 10 ticks a frame and more.
    const bool slides_span_frames = ticks_per_frame * SLIDE_SPEED_PER_TICK < SLIDE_LENGTH;
    bool settled_before = false;        // the frame before began settled, with no command taken
    ActorPasses carried = PASSES_BOTH;  // the passes of the frame before, when it left some out
    for (;;) {
        ActorPasses passes = PASSES_BOTH;
        if (command_ready(w) || w.motion.jump_ctr == 0) {
            settled_before = false;
        } else if (carried != PASSES_BOTH) {
            passes = carried;
        } else {
            const ActorPasses settled = settled_passes(w);
            if (settled_before)
                passes = settled;
            settled_before = slides_span_frames && settled != PASSES_BOTH;
        }
        driver_frame_passes(w, ticks_per_frame, passes);
        carried = passes;
        frames++;
        if (cut) {
            if (frames == 1 && !robot_ready(w) && over_no_square(w)) {
                *cut = true;
                break;
            }
            if (w.cues.plays[DAT_SAMPLE_EXPLOSION] != blasts) {
                blasts = w.cues.plays[DAT_SAMPLE_EXPLOSION];
                if (!w.level.teleport_entered && spoiled(w)) {
                    *cut = true;
                    break;
                }
            }
        }
        if (frames >= frame_limit)
            break;
        // A wait runs its frames whatever happens; what ends it early ends the level too.
        if (code == SEARCH_WAIT ? cut && level_over(w) : robot_ready(w) || level_over(w))
            break;
    }
    return frames;
}

int32_t run_start_delay(World &w, int32_t ticks_per_frame, int32_t delay_ticks)
{
    int32_t frames = 0;
    while (w.intro && !level_over(w) && frames < START_FRAME_LIMIT) {
        driver_frame(w, ticks_per_frame);
        frames++;
    }
    for (int32_t ticks = 0; ticks < delay_ticks && !level_over(w); ticks += ticks_per_frame) {
        driver_frame(w, ticks_per_frame);
        frames++;
    }
    return frames;
}

int32_t run_think(World &w, int32_t ticks_per_frame, int32_t think_ticks)
{
    int32_t frames = 0;
    for (int32_t ticks = 0; ticks < think_ticks && !level_over(w); ticks += ticks_per_frame) {
        driver_frame(w, ticks_per_frame);
        frames++;
    }
    return frames;
}
