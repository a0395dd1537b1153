/* search_state.h: the part of the running world a command can change, as a record the search keeps. */
#pragma once

#include <cstddef>
#include <cstdint>

#include "world/world.h"

/* A 128-bit name of a state: two states with one key play on alike. */
struct StateKey {
    uint64_t low, high;
};

/* The hash of an actor's part of a key, by its hash and the record it was taken of. */
struct ActorMemo {
    Actor seen;
    uint64_t low, high;
    bool held;
};

/* A pure memo of the hashes state_key takes of the actors that are neither the robot nor a
   teleport (whose records change with what they draw, and are hashed afresh each time): one to
   each thread that keys states, as it is written while keys are taken. Zeroed, it is empty. */
struct StateHasher {
    ActorMemo memos[ACTOR_CAPACITY];
};

/* Bytes of one state record of world w: a fixed head and its actors, a whole number of 32-bit
   words. Valid once the level is loaded. */
size_t state_record_size(const World &w);

/* Writes world w into `out` (state_record_size bytes) with `frame`, the frames run since the
   level's start. The squares are left out: the rules only ever scorch their texture, which no
   rule reads. Called by the search for every new state. */
void take_state(const World &w, uint8_t *out, int32_t frame);

/* Puts a record written by take_state back into world w, the passes of its frames to
   come limited to the actors that were live in it (limit_passes_to); returns its frame. */
int32_t put_state(World &w, const uint8_t *in);

/* The key of world w as it stands, memoised in *hasher: what decides what can still happen. Leaves out the clock,
   the camera (but for the swoop, whose end changes when the floor is probed), the drawn heading
   and poses, messages, a spinning teleport's angle and the stale fields of actors at rest. */
StateKey state_key(const World &w, StateHasher *hasher);
