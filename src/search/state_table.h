/* state_table.h: the set of states the search has seen, by key, in a bounded budget of memory. */
#pragma once

#include <cstdint>

#include "search/search_state.h"

/* A slot: 96 of a key's 128 bits, 12 bytes. */
struct StateSlot {
    uint32_t words[3];
};

/* Open addressing with linear probing; a zero slot is free. Grows at three quarters full, by
   half while small and by a quarter once large. One other thread may look keys up while the
   owner inserts (see state_table_share): a slot goes only from free to its key, word by word. */
struct StateTable {
    StateSlot *slots;
    uint64_t capacity;      /* slots; 0 before the first insert */
    uint64_t count;         /* keys held */
    StateSlot *shared;      /* the slots a reader was given, kept past a growth until it is done; */
    uint64_t shared_capacity;   /* their slots, 0 when they are not kept apart from `slots` */
};

enum StateInsert {
    STATE_NEW = 1,
    STATE_SEEN = 0,
    STATE_NO_ROOM = -1      /* growing would pass the memory allowed */
};

/* Adds `key` unless held. Growing the table may need the old and the new one at once (the old
   is given back as its keys move, unless a reader still looks there): it happens only when
   `other_bytes` (what the caller holds besides) plus both tables fit in `limit_bytes`.
   Returns a StateInsert. Called by the search for every state it reaches. */
StateInsert state_table_insert(StateTable *table, StateKey key, uint64_t other_bytes,
                               uint64_t limit_bytes);

/* Asks the processor to fetch the slot where `key` is looked for, so that an insert or a look
   made a little later finds it at hand: the table is far larger than the caches. Changes nothing. */
void state_table_prefetch(const StateTable &table, StateKey key);

/* True when `key` is held. Changes nothing. */
bool state_table_holds(const StateTable &table, StateKey key);

/* A view of the table as it stands for another thread to look keys up in with
   state_table_holds_shared while the owner goes on inserting, until state_table_unshare: a
   growth meanwhile leaves the view's slots in place (counted in the table's bytes). One view at
   a time. */
StateTable state_table_share(StateTable *table);

/* Ends the view state_table_share gave, freeing its slots if the table has grown since. Called
   once the reader is done. */
void state_table_unshare(StateTable *table);

/* True when `key` is in `view`, read while its owner may be inserting: a key being written may
   be missed, never one that is not there found. */
bool state_table_holds_shared(const StateTable &view, StateKey key);

/* Bytes the table holds. */
uint64_t state_table_bytes(const StateTable &table);

/* Empties the table, keeping its memory for the keys to come. */
void state_table_clear(StateTable *table);

/* Frees the table and empties it. */
void state_table_free(StateTable *table);
