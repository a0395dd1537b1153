/* actor_behaviours.cpp: what each kind of actor does: pushes, slides, the zipper, explosions. */
#include "world/actor_behaviours.h"

#include <cstdint>

#include "base/datafile.h"
#include "world/actor_table.h"
#include "world/level_rules.h"
#include "world/tile_grid.h"
#include "world/world_assert.h"
#include "world/world_cues.h"

namespace {

enum {
    EXPLOSION_TICKS = 80,
    ZIPPER_WAIT_TICKS = 30,
    SQUARE = 100,           /* world units from one square centre to the next */
    SLIDE_SPEED = 10        /* world units a tick, the same as the player's hop */
};

int index_of(World &w, const Actor *actor)
{
    return (int)(actor - w.actors.actors);
}

} // namespace

int bump_actor(World &w, int index, fixed step_x, fixed step_z)
{
    Actor *actor = &w.actors.actors[index];
    if (actor->gone)
        return 1;
    switch (actor->type) {
    case ACTOR_MINE:
        // The chain reaches the player's own square too; he dies, but his step still goes ahead.
        explode_at(w, actor->x, actor->z);
        return 1;
    case ACTOR_SWEET:
        actor->gone = 1;
        sweet_eaten(w);
        return 1;
    case ACTOR_TELEPORT:
        return try_teleport(w);
    default:
        break;
    }

    fixed sx = sign_fixed(step_x);
    fixed sz = sign_fixed(step_z);
    fixed target_x = actor->x + sx * SQUARE;
    fixed target_z = actor->z + sz * SQUARE;
    if (!can_slide_to(w, actor->x, actor->z, target_x, target_z))
        return 0;
    if (actor_at(w, target_x, target_z) != -1)
        return 0;
    int unit_x = fixtoi(sx);
    int unit_z = fixtoi(sz);
    if (actor->type == ACTOR_ZIPPER && (unit_x * actor->step_x == -1 || unit_z * actor->step_z == -1))
        return 0;
    if (actor->state != 0)
        return 0;

    world_cue(w, DAT_SAMPLE_PUSH);
    mark_live(w, index);
    actor->motion = slide_step;
    actor->step_x = unit_x;
    actor->step_z = unit_z;
    actor->progress = 0;
    actor->from_x = actor->x;
    actor->from_z = actor->z;
    actor->state = 1;
    world_assert(add_location(w, index, tile_serial_at(w, target_x, target_z)) == 2, "actors");
    return 1;
}

void slide_step(World &w, int32_t ticks, Actor *actor)
{
    // Summed wide: a long stall of the game must not wrap the distance round.
    int64_t progress = (int64_t)actor->progress + (int64_t)itofix(SLIDE_SPEED) * ticks;
    actor->progress = progress < itofix(SQUARE) ? (fixed)progress : itofix(SQUARE);
    if (actor->progress >= itofix(SQUARE)) {
        actor->progress = itofix(SQUARE);
        actor->state = 0;
        world_assert(remove_location(w, index_of(w, actor), tile_serial_at(w, actor->from_x, actor->from_z)) == 1,
                     "actors");
    }
    // The height stays: an actor that slides down onto a lower square keeps its old y.
    actor->x = actor->from_x + actor->step_x * actor->progress;
    actor->z = actor->from_z + actor->step_z * actor->progress;
    if (actor->state == 0)
        reset_behaviour(actor);
}

void spin_step(World &w, int32_t ticks, Actor *actor)
{
    actor->state += ticks;
    if (actor->state > 256)
        actor->state -= 256;
    actor->angle_y = itofix(actor->state);
}

void zipper_think(World &w, int32_t ticks, Actor *zipper)
{
    if (zipper->state == 0) {
        fixed target_x = zipper->x + itofix(SQUARE) * zipper->step_x;
        fixed target_z = zipper->z + itofix(SQUARE) * zipper->step_z;
        // can_slide_to and actor_at, with the square ahead found once: an idle zipper looks
        // every update.
        const MapTile *target = tile_at(w, target_x, target_z);
        const MapTile *origin = target ? tile_at(w, zipper->x, zipper->z) : nullptr;
        if (!origin || target->height > origin->height) {
            zipper->armed = 0;
            return;
        }
        int other = actor_on_serial(w, target->serial);
        if (other != -1) {
            if (!zipper->armed)
                return;
            switch (w.actors.actors[other].type) {
            case ACTOR_PLAYER:
                blast_actor(w, other, target_x, target_z);
                player_dies(w);
                break;      // and runs on into his square
            case ACTOR_JAR:
            case ACTOR_MINE:
                explode_at(w, target_x, target_z);
                zipper->gone = 1;
                return;
            default:        // mibo, zipper, sweet, teleport
                zipper->armed = 0;
                return;
            }
        }
        zipper->state = zipper->armed ? 1 : -1;
        zipper->progress = 0;
        zipper->from_x = zipper->x;
        zipper->from_z = zipper->z;
        world_assert(add_location(w, index_of(w, zipper), target->serial) == 2, "actors");
    }
    if (zipper->state < 0) {
        zipper->state -= ticks;
        if (zipper->state < -ZIPPER_WAIT_TICKS) {
            zipper->state = 1;
            zipper->armed = 1;
        }
    }
    if (zipper->state > 0) {
        zipper->motion = slide_step;
        zipper->think = nullptr;
    }
}

void scorch_square(World &w, fixed x, fixed z)
{
    world_cue(w, DAT_SAMPLE_EXPLOSION);
    if (MapTile *tile = tile_at(w, x, z))
        tile->texture = 1;
}

void blast_actor(World &w, int index, fixed x, fixed z)
{
    w.actors.actors[index].timer = EXPLOSION_TICKS;
    mark_live(w, index);
    scorch_square(w, x, z);
}

void explode_at(World &w, fixed x, fixed z)
{
    int index = actor_at(w, x, z);
    if (index == -1)
        return;
    if (w.actors.actors[index].timer > 0)
        return;
    blast_actor(w, index, x, z);
    switch (w.actors.actors[index].type) {
    case ACTOR_PLAYER:
        player_dies(w);
        break;
    case ACTOR_SWEET:
        sweet_lost(w);
        break;
    case ACTOR_JAR:
    case ACTOR_MINE: {
        // Every blasted actor already has its timer, so the chain cannot come back to it.
        const fixed square = itofix(SQUARE);
        explode_at(w, x - square, z);
        explode_at(w, x + square, z);
        explode_at(w, x, z - square);
        explode_at(w, x, z + square);
        break;
    }
    default:
        break;
    }
}
