/* actor.h: the record of everything that stands on the floor, and the table that holds them. */
#pragma once

#include <allegro.h>
#include <cstdint>


enum { ACTOR_CAPACITY = 100 };

/* The type of an actor, one per kind (world/actor_kinds.cpp); the same number selects its 3D
   model. */
enum ActorType {
    ACTOR_PLAYER = 0,
    ACTOR_MIBO = 1,
    ACTOR_ZIPPER = 2,
    ACTOR_SWEET = 3,
    ACTOR_JAR = 4,
    ACTOR_MINE = 5,
    ACTOR_TELEPORT = 6,
    ACTOR_TYPE_COUNT        /* a new type goes before this */
};

struct Actor;
struct World;

/* A per-tick callback of the think or motion pass: (the world, elapsed ticks, the actor). */
typedef void (*ActorProc)(World &w, int32_t ticks, Actor *actor);

struct Actor {
    int32_t type;       /* ActorType */
    int32_t map_code;   /* content code of the square that created it (actor_kinds.h) */
    int32_t gone;       /* 1 once eaten, exploded or destroyed; the slot stays */
    int32_t dir;        /* direction from the map file, 1/256 turns */
    int32_t timer;      /* explosion countdown in ticks; 0 when not exploding */
    fixed x, y, z;      /* world position of the actor's base */
    fixed angle_x;      /* tumble of the falling player */
    fixed angle_y;      /* heading */
    fixed angle_z;      /* always 0 */
    ActorProc motion;
    ActorProc think;
    int32_t state;      /* 0 idle; > 0 sliding; < 0 zipper waiting; teleport: spin angle */
    int16_t armed;      /* zipper: 1 while it runs on without a stop */
    int32_t step_x;     /* unit step of the current slide, -1, 0 or 1 */
    int32_t step_z;
    fixed progress;     /* distance slid so far, 0..100 world units */
    fixed from_x;       /* where the current slide started */
    fixed from_z;
    int32_t refs;       /* squares stood on: 1 at rest, 2 while moving between two */
    int32_t locs[2];    /* serials of those squares; 0 is an empty slot */
};

struct ActorTable {
    Actor actors[ACTOR_CAPACITY];
    int32_t count;      /* records in use; removed actors keep their slot */
    int32_t live_known; /* 1: `live` names every actor the passes have anything to do for;
                           0: the passes look at every actor */
    uint64_t live[2];   /* bit i of word i / 64: actor i may count down or have a callback */
};
