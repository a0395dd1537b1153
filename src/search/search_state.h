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
    /* What state_key_played keeps between the keys of the worlds put from one state: */
    bool known;             /* false: the memo holds the records of no world put from it yet */
    uint64_t look[2];       /* the actors whose memo may not hold their record in that state */
    int32_t put_sweets;     /* the sweets eaten in it */
    uint64_t fresh[2];      /* the actors hashed afresh each time: the robot and the teleports */
    uint64_t memo_low, memo_high;   /* the sum of the memo's hashes of the other actors */
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

/* put_state for world w last put from this same record (by either) and played on since: copies
   back only the actors that can have changed meanwhile, those the passes look at in w and the
   robot's (every actor after a sweet is eaten). Called by the search for the commands after
   the first it plays on each world from a state. */
int32_t put_state_again(World &w, const uint8_t *in);

/* The key of world w as it stands, memoised in *hasher: what decides what can still happen. Leaves out the clock,
   the camera (but for the swoop, whose end changes when the floor is probed), the drawn heading
   and poses, messages, a spinning teleport's angle and the stale fields of actors at rest. */
StateKey state_key(const World &w, StateHasher *hasher);

/* Tells the memo that the worlds keyed next with state_key_played are put from `record` (written
   by take_state), each played on by a command, until the next call. Called by the search for
   every state it expands. */
void state_key_begin_put(StateHasher *hasher, const uint8_t *record);

/* Where take_state writes the actors in a record: actor i is the `state_actor_words()` 32-bit
   words from word state_head_words() + i * state_actor_words() on. */
size_t state_head_words();
size_t state_actor_words();

/* state_key_begin_put for a record that differs from the one of the call before only in the
   actors of `changed` (bit i of word i / 64 for actor i; its head aside). A memo that holds the
   records of a world played on from that one is kept: the keys played on from this record
   compare those actors too, and no more. Called by the search for the states of a layer, read
   one after another. */
void state_key_begin_put_changed(StateHasher *hasher, const uint8_t *record,
                                 const uint64_t changed[2]);

/* state_key of world w put from the record of the last state_key_begin_put and played on since:
   the same key, with only the actors compared with the memo that can differ from that record or
   from the memo. An actor the passes do not look at is changed only by one that marks it for
   them (mark_live), but for a sweet eaten: after one every actor is compared. */
StateKey state_key_played(const World &w, StateHasher *hasher);
