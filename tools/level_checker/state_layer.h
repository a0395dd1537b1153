/* state_layer.h: one depth of the search's states, each kept as its difference from the level's start. */
#pragma once

#include <cstddef>
#include <cstdint>

/* States appended in order and read back in order. A state is a record of `words` 32-bit words;
   it is stored as the runs of words that differ from a base record (the level's start), so an
   actor that has not moved costs nothing. */
struct StateLayer {
    uint8_t *bytes;
    uint64_t size;          /* bytes in use */
    uint64_t capacity;      /* bytes held */
    int64_t count;          /* states appended */
};

/* Appends `record`, stored against `base`. Grows the layer only while `other_bytes` (what the
   caller holds besides) and the grown layer fit in `limit_bytes`; returns false, appending
   nothing, when they would not. */
bool layer_append(StateLayer *layer, const uint32_t *record, const uint32_t *base, size_t words,
                  uint64_t other_bytes, uint64_t limit_bytes);

/* Reads the state stored at byte `offset` into `out` and returns the offset of the next one. */
uint64_t layer_read(const StateLayer &layer, uint64_t offset, const uint32_t *base, size_t words,
                    uint32_t *out);

/* Empties the layer, keeping its memory for the next depth. */
void layer_clear(StateLayer *layer);

/* Frees the layer's memory and empties it. */
void layer_free(StateLayer *layer);
