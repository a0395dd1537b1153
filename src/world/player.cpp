/* player.cpp: the robot's commands, its hop from square to square, its fall, and the game update. */
#include "world/player.h"

#include <cstdint>

#include "base/datafile.h"
#include "base/timer.h"
#include "render/display_options.h"
#include "ui/message_line.h"
#include "world/actor_behaviours.h"
#include "world/actor_table.h"
#include "world/command_queue.h"
#include "world/level_map.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/tile_grid.h"
#include "world/world_assert.h"
#include "world/world_cues.h"

PlayerMotion player_motion;
int32_t hero_index;
int32_t crouch;
int32_t stretch;
fixed rot_y;
int32_t falling;
int32_t intro;
int32_t tumble;
float camera_y;
int32_t moves;
void (*command_taken_hook)() = nullptr;

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

void start_step(int code)
{
    PlayerMotion &p = player_motion;
    int s = code == MOVE_BACKWARD ? -1 : 1;
    fixed a = p.player_rot_y;
    if (code == MOVE_STRAFE_LEFT)
        a += itofix(64);
    else if (code == MOVE_STRAFE_RIGHT)
        a -= itofix(64);

    fixed tx = p.x - s * fixmul(fixsin(a), itofix(100));
    fixed tz = p.z + s * fixmul(fixcos(a), itofix(100));
    if (!can_move_to(p.x, p.z, tx, tz))
        return;
    p.step_x = fixmul(-s * fixsin(a), itofix(10));
    p.step_z = fixmul(s * fixcos(a), itofix(10));

    int other = actor_at(tx, tz);
    if (other != -1 && !bump_actor(other, p.step_x, p.step_z)) {
        world_cue(DAT_SAMPLE_BLOCKED);
        p.step_x = 0;
        p.step_z = 0;
        return;
    }

    world_cue(DAT_SAMPLE_STEP);
    p.playerL[0] = (int32_t)(fixtoi(tx) / 100.0);
    p.playerL[1] = (int32_t)(fixtoi(tz) / 100.0);
    p.jump_ctr = STEP_WIND_UP;
    p.from_floor_y = p.floor_y;
    p.hopping = 1;
    p.from_x = p.x;
    p.from_z = p.z;
    // Stepping off the grid reserves nothing: the robot keeps only the square it leaves.
    int target = tile_serial_at(tx, tz);
    if (target != -1)
        world_assert(add_location(hero_index, target) == 2, "player");
}

void start_jump()
{
    PlayerMotion &p = player_motion;
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
    int own = tile_serial_at(p.x, p.z);
    if (own != -1)
        world_assert(add_location(hero_index, own) == 2, "player");
}

void count_pose()
{
    PlayerMotion &p = player_motion;
    if (p.jump_ctr > FLIGHT_TICKS) {
        crouch = 1;
        stretch = 0;
        p.jump_ctr--;
    }
    if (p.jump_ctr > LANDING_END && p.jump_ctr <= 0) {
        crouch = 1;
        stretch = 0;
        p.jump_ctr--;
    }
    if (p.jump_ctr <= LANDING_END) {
        crouch = 0;
        stretch = 0;
    }
}

void land()
{
    PlayerMotion &p = player_motion;
    p.from_floor_y = p.floor_y;
    p.loc_y = p.floor_y;
    p.base_y = p.loc_y;
    // After a step this releases the square left; after a jump the second hold of its own.
    if (tile_serial_at(p.x, p.z) != -1)
        world_assert(remove_location(hero_index, tile_serial_at(p.from_x, p.from_z)) == 1, "player");
    if (level_state.teleport_entered) {
        show_message("Level completed: press Space", 9999);
        level_state.level_completed = 1;
        world_cue(DAT_SAMPLE_COMPLETED);
    }
}

void fly(int32_t ticks)
{
    PlayerMotion &p = player_motion;
    crouch = 0;
    stretch = 1;
    if (ticks > p.jump_ctr)
        ticks = p.jump_ctr;
    p.x += p.step_x * ticks;
    p.z += p.step_z * ticks;
    p.jump_ctr -= ticks;
    if (p.jump_ctr == 0) {
        land();
        return;
    }
    // Wide arithmetic: a drop between far-apart heights would overflow 32 bits times ten.
    int64_t climb = (int64_t)(FLIGHT_TICKS - p.jump_ctr) * ((int64_t)p.floor_y - p.from_floor_y);
    p.base_y = p.from_floor_y + (fixed)(climb / FLIGHT_TICKS);
    p.loc_y = p.base_y;
    if (p.hopping) {
        fixed arc = fixdiv(itofix(p.jump_ctr * 128), itofix(FLIGHT_TICKS));
        p.loc_y -= fixmul(fixsin(arc), itofix(10));
    }
}

/* Moves the robot for this update; returns 1 when one of the branches ran (the camera then
   follows the floor under the robot). */
int move_robot(int32_t ticks)
{
    PlayerMotion &p = player_motion;
    if (level_state.level_completed) {
        // Rising and spinning inside the teleport.
        p.loc_y = wrapping_add(p.loc_y, -itofix(ticks));
        p.base_y = p.loc_y;
        p.player_rot_y = wrapping_add(p.player_rot_y, itofix(ticks));
        return 1;
    }
    if (p.jump_ctr >= 1 && p.jump_ctr <= FLIGHT_TICKS) {
        fly(ticks);
        return 1;
    }
    if (!intro && !falling) {
        p.from_floor_y = p.floor_y;
        p.loc_y = p.floor_y;
        p.base_y = p.loc_y;
        return 1;
    }
    return 0;
}

void swoop(int32_t ticks)
{
    // The rise is reckoned in float: 2 * ticks overflows an int past a billion ticks (a frame
    // after a long stall, or a driver's large step), and below 2^23 ticks the float product is
    // the int one exactly, so normal frames swoop as they always did.
    const float rise = 2.0f * (float)ticks;
    display_options.camera_pitch += rise * 1.35f / -560.0f;
    camera_y += rise;
    if (camera_y >= display_options.camera_height) {
        camera_y = display_options.camera_height;
        intro = 0;
        display_options.camera_pitch = 0.2f;
    }
}

void fall_or_pose(int32_t ticks)
{
    PlayerMotion &p = player_motion;
    if (!falling) {
        set_actor_pose(hero_index, p.x, p.loc_y, p.z, 0, itofix(64) - rot_y);
        return;
    }
    if (p.loc_y <= itofix(FALL_DEPTH)) {
        // A fall from the highest square (y -10000) ends within FALL_TICK_LIMIT ticks, so a
        // longer update falls no further, and 3 ticks in fixed point stay within its range.
        if (ticks > FALL_TICK_LIMIT)
            ticks = FALL_TICK_LIMIT;
        p.loc_y += itofix(3 * ticks);
        camera_y = fixtof(p.loc_y) + display_options.camera_height;
        tumble += 2 * ticks;
        if (tumble > 256)
            tumble -= 256;
        set_actor_pose(hero_index, p.x, p.loc_y, p.z, itofix(tumble), itofix(64 - tumble));
    } else {
        // Repeated on every update from now on; the pose is left where the fall ended.
        show_message("Game Over", 100);
        level_state.level_lost = 1;
    }
}

} // namespace

void player_command()
{
    PlayerMotion &p = player_motion;
    if (p.jump_ctr >= 1 || level_state.level_completed || level_state.level_lost || falling)
        return;
    int code = command_queue_pop();
    if (!is_move_code(code))
        return;     // none waiting, or not a move code: taken and dropped
    if (command_taken_hook)
        command_taken_hook();
    switch (code) {
    case MOVE_TURN_LEFT:
        world_cue(DAT_SAMPLE_CLICK);
        p.player_rot_y += itofix(64);
        return;
    case MOVE_TURN_RIGHT:
        world_cue(DAT_SAMPLE_CLICK);
        p.player_rot_y -= itofix(64);
        return;
    case MOVE_JUMP:
        start_jump();
        return;
    default:
        start_step(code);   // forward, back or a strafe step
        return;
    }
}

void smooth_heading(int32_t ticks)
{
    // Past 32767 ftofix saturates but reports it through the library's errno, which a headless
    // world has not got; a turn of that many 1/256 turns reaches its target in any case.
    const double step = (intro ? 0.4 : 2.0) * ticks;
    fixed d = step > 32767.0 ? (fixed)0x7FFFFFFF : ftofix(step);
    fixed target = player_motion.player_rot_y;
    if (rot_y < target)
        rot_y = target - rot_y < d ? target : rot_y + d;
    else if (rot_y > target)
        rot_y = rot_y - target < d ? target : rot_y - d;
}

void update_player(int32_t ticks)
{
    moves++;
    count_down_messages(ticks);
    if (get_level_time() < 1)
        time_up();
    run_think_pass(ticks);
    run_motion_pass(ticks);
    smooth_heading(ticks);
    count_pose();
    if (move_robot(ticks))
        camera_y = fixtof(player_motion.base_y) + display_options.camera_height;
    if (intro)
        swoop(ticks);
    fall_or_pose(ticks);
}

void probe_floor()
{
    if (intro)
        return;
    PlayerMotion &p = player_motion;
    if (p.jump_ctr == 0)
        falling = 1;
    // Of several squares on one cell the last in the list decides, as a pass over all would.
    if (const MapTile *tile = last_tile_on(p.playerL[0], p.playerL[1])) {
        p.floor_y = itofix(-10 * tile->height);
        if (p.jump_ctr == 0)
            falling = 0;
    }
}
