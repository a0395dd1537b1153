/* search_state.h: the part of the running world a command can change, as a record the search keeps. */
#pragma once

#include <cstddef>
#include <cstdint>

/* A 128-bit name of a state: two states with one key play on alike. */
struct StateKey {
    uint64_t low, high;
};

/* Bytes of one state record of the level being searched: a fixed head and its actors, a whole
   number of 32-bit words. Valid once the level is loaded. */
size_t state_record_size();

/* Writes the world into `out` (state_record_size bytes) with `frame`, the frames run since the
   level's start. The squares are left out: the rules only ever scorch their texture, which no
   rule reads. Called by the search for every new state. */
void take_state(uint8_t *out, int32_t frame);

/* Puts a record written by take_state back into the world; returns its frame. */
int32_t put_state(const uint8_t *in);

/* The key of the world as it stands: what decides what can still happen. Leaves out the clock,
   the camera (but for the swoop, whose end changes when the floor is probed), the drawn heading
   and poses, messages, a spinning teleport's angle and the stale fields of actors at rest. */
StateKey state_key();
