/* state_layer.cpp: one depth of the search's states, each kept as its difference from the one before. */
#include "search/state_layer.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

#include "search/mapped_block.h"

namespace {

enum { RUN_LIMIT = 0xffff, FIRST_CAPACITY = 1 << 16 };

void put16(uint8_t *at, uint32_t v)
{
    at[0] = (uint8_t)v;
    at[1] = (uint8_t)(v >> 8);
}

uint32_t get16(const uint8_t *at)
{
    return (uint32_t)at[0] | (uint32_t)at[1] << 8;
}

/* True when `n` words at a and b are alike, n a multiple of 2, compared in line eight bytes at a
   time: a call of memcmp for so few costs more than the comparison. */
template <size_t N>
inline bool alike_words(const uint32_t *a, const uint32_t *b)
{
    uint64_t differ = 0;
    for (size_t k = 0; k < N; k += 2) {
        uint64_t x, y;
        std::memcpy(&x, a + k, 8);
        std::memcpy(&y, b + k, 8);
        differ |= x ^ y;
    }
    return differ == 0;
}

/* Words from `i` on that equal the last record's, up to `words`. Compares sixteen and then
   four at a time first: most of a record is alike. */
size_t alike_from(const uint32_t *record, const uint32_t *last, size_t i, size_t words)
{
    while (i + 16 <= words && alike_words<16>(record + i, last + i))
        i += 16;
    while (i + 4 <= words && alike_words<4>(record + i, last + i))
        i += 4;
    while (i < words && record[i] == last[i])
        i++;
    return i;
}

} // namespace

size_t encode_runs(const uint32_t *record, const uint32_t *reference, size_t words, uint8_t *out,
                   uint32_t *update)
{
    // Runs of (words alike, words that differ), each count in 16 bits, then the differing words.
    uint8_t *at = out;
    size_t i = 0;
    while (i < words) {
        size_t from = i;
        i = alike_from(record, reference, i, words);
        size_t skip = i - from;
        while (skip > RUN_LIMIT) {
            put16(at, RUN_LIMIT);
            put16(at + 2, 0);
            at += 4;
            skip -= RUN_LIMIT;
        }
        size_t start = i, run = 0;
        while (i < words && record[i] != reference[i] && run < RUN_LIMIT)
            i++, run++;
        put16(at, (uint32_t)skip);
        put16(at + 2, (uint32_t)run);
        std::memcpy(at + 4, record + start, run * 4);
        if (update)
            std::memcpy(update + start, record + start, run * 4);
        at += 4 + run * 4;
    }
    return (size_t)(at - out);
}

size_t decode_runs(const uint8_t *in, size_t words, uint32_t *record)
{
    const uint8_t *at = in;
    size_t i = 0;
    while (i < words) {
        size_t skip = get16(at), run = get16(at + 2);
        i += skip;
        std::memcpy(record + i, at + 4, run * 4);
        i += run;
        at += 4 + run * 4;
    }
    return (size_t)(at - in);
}

uint64_t runs_worst_case(size_t words)
{
    return 4 * (uint64_t)words + 4 * ((uint64_t)words / 2 + 2);
}

bool layer_begin(StateLayer *layer, const uint32_t *base, size_t words)
{
    if (layer->words != words) {
        std::free(layer->last);
        layer->last = (uint32_t *)std::malloc(words * sizeof(uint32_t));
        layer->words = layer->last ? words : 0;
        if (!layer->last)
            return false;
    }
    std::memcpy(layer->last, base, words * sizeof(uint32_t));
    layer->size = 0;
    layer->count = 0;
    layer->given_back = 0;
    return true;
}

namespace {

/* Makes room for `bytes` more, growing only while `other_bytes` and the grown layer fit in
   `limit_bytes`. The bytes are mapped from the system by themselves and grown in place by the
   page tables: a reallocation held the old and the new copy at once, and a layer given back to
   the allocator stayed resident beside whatever its owner held next. */
bool room_for(StateLayer *layer, uint64_t bytes, uint64_t other_bytes, uint64_t limit_bytes)
{
    uint64_t need = layer->size + bytes;
    if (need <= layer->capacity)
        return true;
    uint64_t capacity = layer->capacity ? layer->capacity : (uint64_t)FIRST_CAPACITY;
    while (capacity < need)
        capacity *= 2;
    if (other_bytes + capacity + layer->words * sizeof(uint32_t) > limit_bytes)
        return false;
    void *grown = resize_block(layer->bytes, layer->capacity, capacity);
    if (!grown)
        return false;
    layer->bytes = (uint8_t *)grown;
    layer->capacity = capacity;
    return true;
}

} // namespace

bool layer_append(StateLayer *layer, const uint32_t *record, uint64_t other_bytes,
                  uint64_t limit_bytes)
{
    if (!room_for(layer, runs_worst_case(layer->words), other_bytes, limit_bytes))
        return false;
    layer->size += encode_runs(record, layer->last, layer->words, layer->bytes + layer->size,
                               layer->last);
    layer->reached = layer->size > layer->reached ? layer->size : layer->reached;
    layer->count++;
    return true;
}

bool layer_append_runs(StateLayer *layer, const uint8_t *runs, size_t bytes, uint64_t other_bytes,
                       uint64_t limit_bytes)
{
    if (!room_for(layer, bytes, other_bytes, limit_bytes))
        return false;
    std::memcpy(layer->bytes + layer->size, runs, bytes);
    decode_runs(runs, layer->words, layer->last);
    layer->size += bytes;
    layer->reached = layer->size > layer->reached ? layer->size : layer->reached;
    layer->count++;
    return true;
}

uint64_t layer_read(const StateLayer &layer, uint64_t offset, uint32_t *record)
{
    return offset + decode_runs(layer.bytes + offset, layer.words, record);
}

uint64_t layer_read_marking(const StateLayer &layer, uint64_t offset, uint32_t *record,
                            size_t first, size_t stride, uint64_t marks[2])
{
    const uint8_t *in = layer.bytes + offset, *at = in;
    size_t i = 0;
    while (i < layer.words) {
        size_t skip = get16(at), run = get16(at + 2);
        i += skip;
        std::memcpy(record + i, at + 4, run * 4);
        if (run > 0 && i + run > first) {
            size_t block = (i > first ? i - first : 0) / stride;
            const size_t last = (i + run - 1 - first) / stride;
            for (; block <= last && block < 128; block++)
                marks[block >> 6] |= (uint64_t)1 << (block & 63);
        }
        i += run;
        at += 4 + run * 4;
    }
    return offset + (uint64_t)(at - in);
}

void layer_give_back(StateLayer *layer, uint64_t offset)
{
    // The block is mapped by itself, so its start is a page's; a page not wholly before
    // `offset` is kept. A few pages at a time would cost more calls than they save.
    const uint64_t page = 4096, least = 2 * 1024 * 1024;
    const uint64_t end = (offset < layer->capacity ? offset : layer->capacity) / page * page;
    if (end >= layer->given_back + least || (end == layer->capacity && end > layer->given_back)) {
        madvise(layer->bytes + layer->given_back, end - layer->given_back, MADV_DONTNEED);
        layer->given_back = end;
        if (end >= layer->reached)
            layer->reached = 0;
    }
}

void layer_give_back_all(StateLayer *layer)
{
    // Beyond its size it holds what a larger use of the block before wrote and a helper read.
    layer_give_back(layer, layer->reached > layer->size ? layer->reached : layer->size);
}

uint64_t layer_bytes(const StateLayer &layer)
{
    return layer.capacity + layer.words * sizeof(uint32_t);
}

void layer_free(StateLayer *layer)
{
    free_block(layer->bytes, layer->capacity);
    std::free(layer->last);
    *layer = StateLayer{};
}
