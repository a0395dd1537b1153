/* state_table.h: the set of states the search has seen, by 128-bit key, in a bounded budget of memory. */
#pragma once

#include <cstdint>

#include "search/search_state.h"

/* Open addressing with linear probing over a power-of-two table; a zero key marks a free slot.
   Grows at seven tenths full. */
struct StateTable {
    StateKey *slots;
    uint64_t capacity;      /* slots; 0 before the first insert */
    uint64_t count;         /* keys held */
};

enum StateInsert {
    STATE_NEW = 1,
    STATE_SEEN = 0,
    STATE_NO_ROOM = -1      /* growing would pass the memory allowed */
};

/* Adds `key` unless held. Growing the table needs the old and the new one at once: it happens
   only when `other_bytes` (what the caller holds besides) plus both tables fit in `limit_bytes`.
   Returns a StateInsert. Called by the search for every state it reaches. */
StateInsert state_table_insert(StateTable *table, StateKey key, uint64_t other_bytes,
                               uint64_t limit_bytes);

/* True when `key` is held. Changes nothing. */
bool state_table_holds(const StateTable &table, StateKey key);

/* Makes *to a copy of `from`, which another thread may then ask while `from` grows on. Returns
   false, *to empty, when there is no memory for it. */
bool state_table_copy(const StateTable &from, StateTable *to);

/* Bytes the table holds. */
uint64_t state_table_bytes(const StateTable &table);

/* Frees the table and empties it. */
void state_table_free(StateTable *table);
