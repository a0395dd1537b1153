/* state_layer.cpp: one depth of the search's states, each kept as its difference from the level's start. */
#include "state_layer.h"

#include <cstdlib>
#include <cstring>

namespace {

enum { RUN_LIMIT = 0xffff, FIRST_CAPACITY = 1 << 16 };

/* The most bytes a record of `words` words can take: a run header of 4 bytes at worst for
   every second word, and the words themselves. */
uint64_t worst_case(size_t words)
{
    return 4 * (uint64_t)words + 4 * ((uint64_t)words / 2 + 2);
}

void put16(uint8_t *at, uint32_t v)
{
    at[0] = (uint8_t)v;
    at[1] = (uint8_t)(v >> 8);
}

uint32_t get16(const uint8_t *at)
{
    return (uint32_t)at[0] | (uint32_t)at[1] << 8;
}

} // namespace

bool layer_append(StateLayer *layer, const uint32_t *record, const uint32_t *base, size_t words,
                  uint64_t other_bytes, uint64_t limit_bytes)
{
    uint64_t need = layer->size + worst_case(words);
    if (need > layer->capacity) {
        uint64_t capacity = layer->capacity ? layer->capacity : FIRST_CAPACITY;
        while (capacity < need)
            capacity *= 2;
        if (other_bytes + capacity > limit_bytes)
            return false;
        uint8_t *bytes = (uint8_t *)std::realloc(layer->bytes, capacity);
        if (!bytes)
            return false;
        layer->bytes = bytes;
        layer->capacity = capacity;
    }
    // Runs of (words alike, words that differ), each count in 16 bits, then the differing words.
    uint8_t *out = layer->bytes + layer->size;
    size_t i = 0;
    while (i < words) {
        size_t skip = 0;
        while (i < words && record[i] == base[i] && skip < RUN_LIMIT)
            i++, skip++;
        size_t start = i, run = 0;
        while (i < words && record[i] != base[i] && run < RUN_LIMIT)
            i++, run++;
        put16(out, (uint32_t)skip);
        put16(out + 2, (uint32_t)run);
        std::memcpy(out + 4, record + start, run * 4);
        out += 4 + run * 4;
    }
    layer->size = (uint64_t)(out - layer->bytes);
    layer->count++;
    return true;
}

uint64_t layer_read(const StateLayer &layer, uint64_t offset, const uint32_t *base, size_t words,
                    uint32_t *out)
{
    std::memcpy(out, base, words * 4);
    const uint8_t *in = layer.bytes + offset;
    size_t i = 0;
    while (i < words) {
        size_t skip = get16(in), run = get16(in + 2);
        i += skip;
        std::memcpy(out + i, in + 4, run * 4);
        i += run;
        in += 4 + run * 4;
    }
    return (uint64_t)(in - layer.bytes);
}

void layer_clear(StateLayer *layer)
{
    layer->size = 0;
    layer->count = 0;
}

void layer_free(StateLayer *layer)
{
    std::free(layer->bytes);
    *layer = StateLayer{nullptr, 0, 0, 0};
}
