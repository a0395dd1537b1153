/* actor_table.cpp: creating actors, their squares, finding them, and the two per-tick passes. */
#include "world/actor_table.h"

#include "base/fatal.h"
#include "world/actor_behaviours.h"
#include "world/tile_grid.h"
#include "world/world_assert.h"

int create_actor(World &w, fixed x, fixed y, fixed z, int32_t type, int32_t dir, int32_t map_code)
{
    check(w.actors.count < ACTOR_CAPACITY, "Too many actors");
    int index = w.actors.count;
    Actor *actor = &w.actors.actors[index];
    actor->type = type;
    actor->map_code = map_code;
    actor->dir = dir;
    set_actor_pose(w, index, x, y, z, 0, itofix(dir));
    actor->angle_z = 0;
    actor->gone = 0;
    actor->timer = 0;
    actor->armed = 0;
    actor->refs = 0;
    actor->locs[0] = 0;
    actor->locs[1] = 0;
    reset_behaviour(actor);
    mark_live(w, index);
    world_assert(add_location(w, index, tile_serial_at(w, x, z)) == 1, "actors");
    w.actors.count++;
    return index;
}

void clear_actors(World &w)
{
    w.actors.count = 0;
    w.actors.live_known = 0;
    w.actors.live[0] = w.actors.live[1] = 0;
}

namespace {

static_assert(ACTOR_CAPACITY <= 128, "the live actors are two words of bits");

/* Whether the passes have anything to do for the actor. */
inline bool is_live(const Actor &actor)
{
    return (actor.timer > 0) | ((actor.gone == 0) & ((actor.think != nullptr) | (actor.motion != nullptr)));
}

/* The index of the first actor from `from` on that the passes must look at, or count. */
inline int next_live(const World &w, int from)
{
    const ActorTable &t = w.actors;
    if (!t.live_known)
        return from;
    // The two words written out: a pass asks once for every actor it looks at, every frame.
    if (from < 64) {
        const uint64_t bits = t.live[0] & (~(uint64_t)0 << from);
        if (bits)
            return __builtin_ctzll(bits);
        from = 64;
    }
    if (from < 128) {
        const uint64_t bits = t.live[1] & (~(uint64_t)0 << (from - 64));
        if (bits)
            return 64 + __builtin_ctzll(bits);
    }
    return t.count;
}

} // namespace

void mark_live(World &w, int index)
{
    w.actors.live[index >> 6] |= (uint64_t)1 << (index & 63);
}

void find_live_actors(const World &w, uint64_t live[2])
{
    live[0] = live[1] = 0;
    for (int i = 0; i < w.actors.count; i++)
        live[i >> 6] |= (uint64_t)is_live(w.actors.actors[i]) << (i & 63);
}

void limit_passes_to(World &w, const uint64_t live[2])
{
    w.actors.live[0] = live[0];
    w.actors.live[1] = live[1];
    w.actors.live_known = 1;
}

void reset_behaviour(Actor *actor)
{
    actor->motion = nullptr;
    actor->think = nullptr;
    if (actor->type == ACTOR_ZIPPER) {
        actor->think = zipper_think;
        actor->step_x = 0;
        actor->step_z = 0;
        switch (actor->dir) {
        case 0:   actor->step_z = 1; break;
        case 64:  actor->step_x = 1; break;
        case 128: actor->step_z = -1; break;
        case 192: actor->step_x = -1; break;
        default:  break;    // a zipper without a grid direction stands still for good
        }
    }
    actor->state = 0;
}

void set_actor_pose(World &w, int index, fixed x, fixed y, fixed z, fixed angle_x, fixed angle_y)
{
    Actor *actor = &w.actors.actors[index];
    actor->x = x;
    actor->y = y;
    actor->z = z;
    actor->angle_x = angle_x;
    actor->angle_y = angle_y;
}

void set_motion_for_type(World &w, int32_t type)
{
    for (int i = 0; i < w.actors.count; i++) {
        if (w.actors.actors[i].type == type) {
            w.actors.actors[i].motion = spin_step;
            mark_live(w, i);
        }
    }
}

int add_location(World &w, int index, int32_t serial)
{
    Actor *actor = &w.actors.actors[index];
    if (actor->locs[0] != 0)
        actor->locs[1] = serial;
    else
        actor->locs[0] = serial;
    return ++actor->refs;
}

int remove_location(World &w, int index, int32_t serial)
{
    Actor *actor = &w.actors.actors[index];
    actor->refs--;
    if (actor->locs[0] == serial) {
        actor->locs[0] = actor->locs[1];
        actor->locs[1] = 0;
    }
    if (actor->locs[1] == serial)
        actor->locs[1] = 0;
    return actor->refs;
}

int actor_at(const World &w, fixed x, fixed z)
{
    int serial = tile_serial_at(w, x, z);
    if (serial == -1)
        return -1;
    return actor_on_serial(w, serial);
}

int actor_on_serial(const World &w, int32_t serial)
{
    for (int i = 0; i < w.actors.count; i++) {
        const Actor *actor = &w.actors.actors[i];
        if (!actor->gone && (actor->locs[0] == serial || actor->locs[1] == serial))
            return i;
    }
    return -1;
}

ActorPasses settled_passes(const World &w)
{
    bool motions = false;
    // Only the actors the passes look at: any other has no countdown and no callback, so it
    // cannot ask for a pass. The search asks this at most frames of a hop, and most actors of a
    // level stand still for good.
    for (int i = next_live(w, 0); i < w.actors.count; i = next_live(w, i + 1)) {
        const Actor *actor = &w.actors.actors[i];
        if (actor->timer > 0)
            return PASSES_BOTH;     // counted down gone or not
        if (actor->gone)
            continue;
        if (actor->think && (actor->think != zipper_think || actor->state != 0))
            return PASSES_BOTH;
        if (actor->motion) {
            if (actor->motion != spin_step)
                return PASSES_BOTH;
            motions = true;
        }
    }
    return motions ? PASSES_MOTION : PASSES_NONE;
}

void run_think_pass(World &w, int32_t ticks)
{
    // The next live actor is found afresh after each: a think may set a later one counting down.
    for (int i = next_live(w, 0); i < w.actors.count; i = next_live(w, i + 1)) {
        Actor *actor = &w.actors.actors[i];
        if (actor->timer > 0) {
            actor->timer -= ticks;
            if (actor->timer < 1)
                actor->gone = 1;
        }
        if (!actor->gone && actor->think)
            actor->think(w, ticks, actor);
    }
}

void run_motion_pass(World &w, int32_t ticks)
{
    for (int i = next_live(w, 0); i < w.actors.count; i = next_live(w, i + 1)) {
        Actor *actor = &w.actors.actors[i];
        if (!actor->gone && actor->motion)
            actor->motion(w, ticks, actor);
    }
}

fixed sign_fixed(int32_t v)
{
    if (v < 0)
        return -itofix(1);
    return v > 0 ? itofix(1) : 0;
}
