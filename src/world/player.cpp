/* player.cpp: the robot's commands, its hop from square to square, its fall, and the game update. */
#include "world/player.h"

#include <cstdint>

#include "base/datafile.h"
#include "base/translation.h"
#include "world/actor_behaviours.h"
#include "world/actor_table.h"
#include "world/level_map.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/tile_grid.h"
#include "world/world_assert.h"
#include "world/world.h"
#include "world/world_clock.h"
#include "world/world_cues.h"
#include "world/world_messages.h"

namespace {

/* Sums that wrap round instead of overflowing: the robot rising in the teleport keeps climbing
   and turning for as long as the player waits, and an angle wrapped by 2^32 raw units is the same
   angle. */
fixed wrapping_add(fixed a, fixed b)
{
    return (fixed)((uint32_t)a + (uint32_t)b);
}

enum {
    STEP_WIND_UP = 12,      /* jump_ctr at the start of a step: one crouched update, then flight */
    JUMP_WIND_UP = 13,      /* a jump crouches for two */
    FLIGHT_TICKS = 10,
    LANDING_END = -5,       /* jump_ctr at rest */
    FALL_DEPTH = 250,       /* world y below which a falling robot is lost */
    FALL_TICK_LIMIT = 4000  /* ticks of one update a fall runs at most: 3 a tick from y -10000 */
};

bool is_move_code(int code)
{
    switch (code) {
    case MOVE_TURN_LEFT:
    case MOVE_TURN_RIGHT:
    case MOVE_JUMP:
    case MOVE_FORWARD:
    case MOVE_BACKWARD:
    case MOVE_STRAFE_LEFT:
    case MOVE_STRAFE_RIGHT:
        return true;
    default:
        return false;
    }
}

void start_step(World &w, int code)
{
    PlayerMotion &p = w.motion;
    int s = code == MOVE_BACKWARD ? -1 : 1;
    fixed a = p.player_rot_y;
    if (code == MOVE_STRAFE_LEFT)
        a += itofix(64);
    else if (code == MOVE_STRAFE_RIGHT)
        a -= itofix(64);

    fixed tx = p.x - s * fixmul(fixsin(a), itofix(100));
    fixed tz = p.z + s * fixmul(fixcos(a), itofix(100));
    if (!can_move_to(w, p.x, p.z, tx, tz))
        return;
    p.step_x = fixmul(-s * fixsin(a), itofix(10));
    p.step_z = fixmul(s * fixcos(a), itofix(10));

    int other = actor_at(w, tx, tz);
    if (other != -1 && !bump_actor(w, other, p.step_x, p.step_z)) {
        world_cue(w, DAT_SAMPLE_BLOCKED);
        p.step_x = 0;
        p.step_z = 0;
        return;
    }

    world_cue(w, DAT_SAMPLE_STEP);
    p.playerL[0] = (int32_t)(fixtoi(tx) / 100.0);
    p.playerL[1] = (int32_t)(fixtoi(tz) / 100.0);
    p.jump_ctr = STEP_WIND_UP;
    p.from_floor_y = p.floor_y;
    p.hopping = 1;
    p.from_x = p.x;
    p.from_z = p.z;
    // Stepping off the grid reserves nothing: the robot keeps only the square it leaves.
    int target = tile_serial_at(w, tx, tz);
    if (target != -1)
        world_assert(add_location(w, w.hero_index, target) == 2, "player");
}

void start_jump(World &w)
{
    PlayerMotion &p = w.motion;
    p.jump_ctr = JUMP_WIND_UP;
    p.step_x = 0;
    p.step_z = 0;
    p.hopping = 1;
    p.from_floor_y = p.floor_y;
    p.from_x = p.x;
    p.from_z = p.z;
    // The robot holds its own square twice until it lands. Over no square (a step off the grid
    // during the swoop, before any fall can start) it holds nothing new, as for a step, so that
    // the landing, which releases only over a square, leaves the count as it was.
    int own = tile_serial_at(w, p.x, p.z);
    if (own != -1)
        world_assert(add_location(w, w.hero_index, own) == 2, "player");
}

void count_pose(World &w)
{
    PlayerMotion &p = w.motion;
    if (p.jump_ctr > FLIGHT_TICKS) {
        w.crouch = 1;
        w.stretch = 0;
        p.jump_ctr--;
    }
    if (p.jump_ctr > LANDING_END && p.jump_ctr <= 0) {
        w.crouch = 1;
        w.stretch = 0;
        p.jump_ctr--;
    }
    if (p.jump_ctr <= LANDING_END) {
        w.crouch = 0;
        w.stretch = 0;
    }
}

void land(World &w)
{
    PlayerMotion &p = w.motion;
    p.from_floor_y = p.floor_y;
    p.loc_y = p.floor_y;
    p.base_y = p.loc_y;
    // After a step this releases the square left; after a jump the second hold of its own.
    if (tile_serial_at(w, p.x, p.z) != -1)
        world_assert(remove_location(w, w.hero_index, tile_serial_at(w, p.from_x, p.from_z)) == 1, "player");
    if (w.level.teleport_entered) {
        show_message(w, N_("Level completed: press Space"), 9999);
        w.level.level_completed = 1;
        world_cue(w, DAT_SAMPLE_COMPLETED);
    }
}

/* The hop's lift over the floor with `jump_ctr` flight ticks left. */
fixed hop_lift_of(int32_t jump_ctr)
{
    fixed arc = fixdiv(itofix(jump_ctr * 128), itofix(FLIGHT_TICKS));
    return fixmul(fixsin(arc), itofix(10));
}

/* hop_lift_of, kept for the flight's ticks: a search reckons it in floating point for nearly
   every frame it plays, and the table holds the very values. */
fixed hop_lift(int32_t jump_ctr)
{
    static const struct Lifts {
        fixed by_tick[FLIGHT_TICKS + 1];
        Lifts()
        {
            for (int32_t t = 0; t <= FLIGHT_TICKS; t++)
                by_tick[t] = hop_lift_of(t);
        }
    } lifts;
    return jump_ctr >= 0 && jump_ctr <= FLIGHT_TICKS ? lifts.by_tick[jump_ctr] : hop_lift_of(jump_ctr);
}

void fly(World &w, int32_t ticks)
{
    PlayerMotion &p = w.motion;
    w.crouch = 0;
    w.stretch = 1;
    if (ticks > p.jump_ctr)
        ticks = p.jump_ctr;
    p.x += p.step_x * ticks;
    p.z += p.step_z * ticks;
    p.jump_ctr -= ticks;
    if (p.jump_ctr == 0) {
        land(w);
        return;
    }
    // Wide arithmetic: a drop between far-apart heights would overflow 32 bits times ten.
    int64_t climb = (int64_t)(FLIGHT_TICKS - p.jump_ctr) * ((int64_t)p.floor_y - p.from_floor_y);
    p.base_y = p.from_floor_y + (fixed)(climb / FLIGHT_TICKS);
    p.loc_y = p.base_y;
    if (p.hopping)
        p.loc_y -= hop_lift(p.jump_ctr);
}

/* Moves the robot for this update; returns 1 when one of the branches ran (the camera then
   follows the floor under the robot). */
int move_robot(World &w, int32_t ticks)
{
    PlayerMotion &p = w.motion;
    if (w.level.level_completed) {
        // Rising and spinning inside the teleport.
        p.loc_y = wrapping_add(p.loc_y, -itofix(ticks));
        p.base_y = p.loc_y;
        p.player_rot_y = wrapping_add(p.player_rot_y, itofix(ticks));
        return 1;
    }
    if (p.jump_ctr >= 1 && p.jump_ctr <= FLIGHT_TICKS) {
        fly(w, ticks);
        return 1;
    }
    if (!w.intro && !w.falling) {
        p.from_floor_y = p.floor_y;
        p.loc_y = p.floor_y;
        p.base_y = p.loc_y;
        return 1;
    }
    return 0;
}

void swoop(World &w, int32_t ticks)
{
    // The rise is reckoned in float: 2 * ticks overflows an int past a billion ticks (a frame
    // after a long stall, or a driver's large step), and below 2^23 ticks the float product is
    // the int one exactly, so normal frames swoop as they always did.
    const float rise = 2.0f * (float)ticks;
    w.camera_pitch += rise * 1.35f / -560.0f;
    w.camera_y += rise;
    if (w.camera_y >= w.camera_height) {
        w.camera_y = w.camera_height;
        w.intro = 0;
        w.camera_pitch = 0.2f;
    }
}

void fall_or_pose(World &w, int32_t ticks)
{
    PlayerMotion &p = w.motion;
    if (!w.falling) {
        set_actor_pose(w, w.hero_index, p.x, p.loc_y, p.z, 0, itofix(64) - w.rot_y);
        return;
    }
    if (p.loc_y <= itofix(FALL_DEPTH)) {
        // A fall from the highest square (y -10000) ends within FALL_TICK_LIMIT ticks, so a
        // longer update falls no further, and 3 ticks in fixed point stay within its range.
        if (ticks > FALL_TICK_LIMIT)
            ticks = FALL_TICK_LIMIT;
        p.loc_y += itofix(3 * ticks);
        w.camera_y = fixtof(p.loc_y) + w.camera_height;
        w.tumble += 2 * ticks;
        if (w.tumble > 256)
            w.tumble -= 256;
        set_actor_pose(w, w.hero_index, p.x, p.loc_y, p.z, itofix(w.tumble), itofix(64 - w.tumble));
    } else {
        // Repeated on every update from now on; the pose is left where the fall ended.
        show_message(w, N_("Game Over"), 100);
        w.level.level_lost = 1;
    }
}

} // namespace

bool command_ready(const World &w)
{
    const PlayerMotion &p = w.motion;
    if (p.jump_ctr >= 1 || w.level.level_completed || w.level.level_lost || w.falling)
        return false;
    const CommandQueue &q = w.queue;
    return q.read_index != q.write_index && is_move_code(q.slots[q.read_index]);
}

void player_command(World &w)
{
    PlayerMotion &p = w.motion;
    if (p.jump_ctr >= 1 || w.level.level_completed || w.level.level_lost || w.falling)
        return;
    int code = command_queue_pop(w);
    if (!is_move_code(code))
        return;     // none waiting, or not a move code: taken and dropped
    switch (code) {
    case MOVE_TURN_LEFT:
        world_cue(w, DAT_SAMPLE_CLICK);
        p.player_rot_y += itofix(64);
        return;
    case MOVE_TURN_RIGHT:
        world_cue(w, DAT_SAMPLE_CLICK);
        p.player_rot_y -= itofix(64);
        return;
    case MOVE_JUMP:
        start_jump(w);
        return;
    default:
        start_step(w, code);   // forward, back or a strafe step
        return;
    }
}

namespace {

/* How far the shown heading turns in an update of `ticks`. */
fixed heading_step_of(bool swooping, int32_t ticks)
{
    const double step = (swooping ? 0.4 : 2.0) * ticks;
    return step > 32767.0 ? (fixed)0x7FFFFFFF : ftofix(step);
}

/* heading_step_of, kept for the updates of a few ticks that play runs: the same values without
   their floating point, which a search would reckon for most frames after a turn. */
fixed heading_step(bool swooping, int32_t ticks)
{
    enum { KEPT_TICKS = 64 };
    static const struct Steps {
        fixed by_ticks[2][KEPT_TICKS];
        Steps()
        {
            for (int32_t t = 0; t < KEPT_TICKS; t++) {
                by_ticks[0][t] = heading_step_of(false, t);
                by_ticks[1][t] = heading_step_of(true, t);
            }
        }
    } steps;
    return ticks >= 0 && ticks < KEPT_TICKS ? steps.by_ticks[swooping][ticks] :
                                              heading_step_of(swooping, ticks);
}

} // namespace

void smooth_heading(World &w, int32_t ticks)
{
    if (w.rot_y == w.motion.player_rot_y)
        return;     // come round: most frames, and the step's arithmetic in double costs
    // Past 32767 ftofix saturates but reports it through the library's errno, which a headless
    // world has not got; a turn of that many 1/256 turns reaches its target in any case.
    const fixed d = heading_step(w.intro != 0, ticks);
    fixed target = w.motion.player_rot_y;
    if (w.rot_y < target)
        w.rot_y = target - w.rot_y < d ? target : w.rot_y + d;
    else if (w.rot_y > target)
        w.rot_y = w.rot_y - target < d ? target : w.rot_y - d;
}

void update_player(World &w, int32_t ticks)
{
    update_player_passes(w, ticks, PASSES_BOTH);
}

void update_player_passes(World &w, int32_t ticks, ActorPasses passes)
{
    w.moves++;
    count_down_messages(w, ticks);
    if (level_clock_left(w) < 1)
        time_up(w);
    if (passes == PASSES_BOTH)
        run_think_pass(w, ticks);
    if (passes != PASSES_NONE)
        run_motion_pass(w, ticks);
    smooth_heading(w, ticks);
    count_pose(w);
    if (move_robot(w, ticks))
        w.camera_y = fixtof(w.motion.base_y) + w.camera_height;
    if (w.intro)
        swoop(w, ticks);
    fall_or_pose(w, ticks);
}

void probe_floor(World &w)
{
    if (w.intro)
        return;
    PlayerMotion &p = w.motion;
    if (p.jump_ctr == 0)
        w.falling = 1;
    // Of several squares on one cell the last in the list decides, as a pass over all would.
    if (const MapTile *tile = last_tile_on(w, p.playerL[0], p.playerL[1])) {
        p.floor_y = itofix(-10 * tile->height);
        if (p.jump_ctr == 0)
            w.falling = 0;
    }
}
