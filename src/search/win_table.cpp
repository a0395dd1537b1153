/* win_table.cpp: every position reachable from a level's start, each with the fewest commands that
   win from it, explored once so that the hint can answer by looking up. */
#include "search/win_table.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>

#include <sys/mman.h>

#include "search/level_search.h"
#include "search/search_play.h"
#include "search/state_layer.h"
#include "world/level_state.h"
#include "world/world_clock.h"

namespace {

/* What a command from a position leads to: another position (its serial), or one of these. */
const uint32_t EDGE_NONE = 0xFFFFFFFEu;     /* lost, spoilt, or the robot not at rest */
const uint32_t EDGE_WIN = 0xFFFFFFFFu;      /* the level is completed */
const uint16_t NO_WAY = 0xFFFF;
const int64_t STOP_EVERY = 256;             /* positions expanded between looks at `stop` */
const uint64_t LAYER_KEPT = 256 << 10;      /* bytes a layer keeps however narrow the next */

/* Serials fit in the index's low 24 bits (its top 8 hold a piece of the key, so that most
   probes that miss never read a key) and in a way's low 29 bits. */
const int SERIAL_BITS = 24;
const uint32_t SERIAL_MASK = (1u << SERIAL_BITS) - 1;
const int64_t POSITIONS_MOST = SERIAL_MASK - 1;
const uint64_t FIRST_SLOTS = 1 << 12;

/* Keys by serial in chunks, so that growing never copies them. */
const int KEY_CHUNK_BITS = 14;
const int64_t KEY_CHUNK = (int64_t)1 << KEY_CHUNK_BITS;
const int64_t FIRST_KEYS = 1 << 10;

/* The links of each position (where each command leads) in a byte stream of chunks, a record a
   position: two bits an action (none, win, itself, another position), then each other position
   as a variable-length difference. Records are grouped in blocks of BLOCK positions that never
   straddle a chunk, so that a block can be read from its start by itself. */
const int BLOCK_BITS = 6;
const int64_t BLOCK = (int64_t)1 << BLOCK_BITS;
const int LINK_CHUNK_BITS = 18;
const uint64_t LINK_CHUNK = (uint64_t)1 << LINK_CHUNK_BITS;
const uint64_t RECORD_MOST = 2 + SEARCH_ACTIONS * 5;
const uint64_t BLOCK_BYTES_MOST = BLOCK * RECORD_MOST;
enum LinkKind { LINK_NONE = 0, LINK_WIN = 1, LINK_SELF = 2, LINK_OTHER = 3 };

/* Where a block of link records starts, and what its links reach. */
struct LinkBlock {
    uint64_t start;             /* the first record's offset, and above bit 32 the highest
                                   serial the records before it name */
    uint64_t reach;             /* a bit for each region (serial / REGION, modulo 64) that a
                                   link of the block leads into */
};
const int REGION_BITS = 13;

/* A key as held: 96 of its 128 bits (the low half and the top of the high), a quarter less
   memory for the largest part of the table. Two of a level's positions, or one of it and
   one asked about, that agree in 96 bits of a hash are less likely than one in 10^15 on a
   level of a million positions. */
struct HeldKey {
    uint32_t words[3];
};

/* A way step: the first action in the top 3 bits, the position it leads to below. */
const int WAY_ACTION_SHIFT = 29;
const uint32_t WAY_NEXT_MASK = (1u << WAY_ACTION_SHIFT) - 1;
const uint32_t WAY_WIN = WAY_NEXT_MASK;

} // namespace

struct WinTable {
    HeldKey **keys;             /* by serial: chunks of KEY_CHUNK (the first grows to one) */
    int64_t key_chunks, key_capacity;
    uint32_t *index;            /* open addressing, at most three quarters full: 0 for a free
                                   slot, else the serial + 1 and a piece of the key on top */
    uint64_t slots;
    uint8_t **links;            /* the link records while building; freed once labelled */
    int64_t link_chunks;
    uint64_t link_end;          /* offset of the next byte to write, across the chunks */
    LinkBlock *blocks;          /* by block, while building */
    int64_t block_capacity;
    uint32_t link_highest;      /* the highest serial the records written so far name */
    uint16_t *commands;         /* by serial: the fewest commands that win, NO_WAY for none */
    int64_t command_capacity;
    uint32_t *ways;             /* by rank among the positions that can be won: a way step */
    uint32_t *ranks;            /* by block: the positions before it that can be won */
    int64_t positions;
    uint64_t held;              /* bytes of all the above */
    WinTableFigures figures;
};

namespace {

/* Memory the table holds, counted as it is taken and given back so that every growth can be
   held to the limit before it happens. Large blocks are mapped from the system by themselves:
   the allocator would keep what is given back for its own reuse, and the process would keep
   the peak of a build resident for as long as the table lives. */
const uint64_t MAPPED_FROM = 64 << 10;

void *take(WinTable &t, uint64_t bytes, uint64_t other, uint64_t limit)
{
    if (other + t.held + bytes > limit)
        return nullptr;
    void *p;
    if (bytes >= MAPPED_FROM) {
        p = mmap(nullptr, (size_t)bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            p = nullptr;
    } else {
        p = std::malloc((size_t)bytes ? (size_t)bytes : 1);
    }
    if (p) {
        t.held += bytes;
        t.figures.peak_memory = std::max(t.figures.peak_memory, (int64_t)(other + t.held));
    }
    return p;
}

void give(WinTable &t, void *p, uint64_t bytes)
{
    if (!p)
        return;
    if (bytes >= MAPPED_FROM)
        munmap(p, (size_t)bytes);
    else
        std::free(p);
    t.held -= bytes;
}

/* Grows a small array (a directory, a table by block, a book's labels) from `count` to `more`
   items of `size`: copied, which costs little at their size. */
bool regrow(WinTable &t, void **array, uint64_t count, uint64_t more, uint64_t size,
            uint64_t other, uint64_t limit)
{
    void *p = take(t, more * size, other, limit);
    if (!p)
        return false;
    if (count)
        std::memcpy(p, *array, (size_t)(count * size));
    give(t, *array, count * size);
    *array = p;
    return true;
}

void drop_index(WinTable &t)
{
    give(t, t.index, t.slots * sizeof(uint32_t));
    t.index = nullptr;
    t.slots = 0;
}

void drop_links(WinTable &t)
{
    for (int64_t i = 0; i < t.link_chunks; i++)
        give(t, t.links[i], LINK_CHUNK);
    give(t, t.links, (uint64_t)t.link_chunks * sizeof(uint8_t *));
    give(t, t.blocks, (uint64_t)t.block_capacity * sizeof(LinkBlock));
    t.links = nullptr;
    t.blocks = nullptr;
    t.link_chunks = t.block_capacity = 0;
    t.link_end = 0;
    t.link_highest = 0;
}

void drop(WinTable &t)
{
    drop_index(t);
    drop_links(t);
    for (int64_t i = 0; i < t.key_chunks; i++)
        give(t, t.keys[i], (uint64_t)std::min(KEY_CHUNK, t.key_capacity) * sizeof(HeldKey));
    give(t, t.keys, (uint64_t)t.key_chunks * sizeof(HeldKey *));
    give(t, t.commands, (uint64_t)t.command_capacity * sizeof(uint16_t));
    give(t, t.ways, (uint64_t)t.figures.winnable * sizeof(uint32_t));
    give(t, t.ranks, (uint64_t)((t.positions + BLOCK - 1) / BLOCK) * sizeof(uint32_t));
    t.keys = nullptr;
    t.commands = nullptr;
    t.ways = t.ranks = nullptr;
    t.key_chunks = t.key_capacity = t.command_capacity = 0;
    t.positions = 0;
    t.held = 0;
}

const HeldKey &key_at(const WinTable &t, int64_t serial)
{
    return t.keys[serial >> KEY_CHUNK_BITS][serial & (KEY_CHUNK - 1)];
}

HeldKey held_key(StateKey key)
{
    return HeldKey{{(uint32_t)key.low, (uint32_t)(key.low >> 32), (uint32_t)(key.high >> 32)}};
}

bool same(const HeldKey &a, const HeldKey &b)
{
    return a.words[0] == b.words[0] && a.words[1] == b.words[1] && a.words[2] == b.words[2];
}

uint32_t key_piece(const HeldKey &key)
{
    return key.words[2] >> 24 << SERIAL_BITS;
}

/* The index slot of `key`: its own, or the free one where it would go. */
uint64_t slot_of(const WinTable &t, const HeldKey &key)
{
    const uint64_t low = (uint64_t)key.words[0] | (uint64_t)key.words[1] << 32;
    uint64_t i = (uint64_t)(((unsigned __int128)low * t.slots) >> 64);
    const uint32_t piece = key_piece(key);
    for (;;) {
        const uint32_t s = t.index[i];
        if (s == 0)
            return i;
        if ((s & ~SERIAL_MASK) == piece && same(key_at(t, (int64_t)(s & SERIAL_MASK) - 1), key))
            return i;
        if (++i == t.slots)
            i = 0;
    }
}

void put_in_index(WinTable &t, int64_t serial)
{
    const HeldKey &key = key_at(t, serial);
    t.index[slot_of(t, key)] = key_piece(key) | (uint32_t)(serial + 1);
}

/* An index of `slots` slots over the positions held. The old one is given back first: the keys
   are all in their own array, so two indexes are never held at once. */
bool make_index(WinTable &t, uint64_t slots, uint64_t other, uint64_t limit)
{
    drop_index(t);
    t.index = (uint32_t *)take(t, slots * sizeof(uint32_t), other, limit);
    if (!t.index)
        return false;
    std::memset(t.index, 0, (size_t)slots * sizeof(uint32_t));
    t.slots = slots;
    for (int64_t p = 0; p < t.positions; p++)
        put_in_index(t, p);
    return true;
}

/* The serial of `key`, or -1. */
int64_t find(const WinTable &t, StateKey key)
{
    if (!t.index)
        return -1;
    const uint32_t s = t.index[slot_of(t, held_key(key))];
    return s == 0 ? -1 : (int64_t)(s & SERIAL_MASK) - 1;
}

/* Adds `key` as the next serial, within `limit` bytes besides `other` (the layers). Returns
   false, adding nothing, when it does not fit. */
bool add_position(WinTable &t, StateKey key, uint64_t other, uint64_t limit)
{
    if (t.positions >= POSITIONS_MOST)
        return false;
    if ((uint64_t)(t.positions + 1) * 4 > t.slots * 3) {
        const uint64_t slots = t.slots ? t.slots + t.slots / 2 : FIRST_SLOTS;
        if (!make_index(t, slots, other, limit))
            return false;
    }
    if (t.positions == t.key_capacity) {
        // The first chunk grows by copies up to a whole one, so that a small level holds
        // little; from then on chunks are added and the keys never move.
        if (t.key_chunks == 1 && t.key_capacity < KEY_CHUNK) {
            if (!regrow(t, (void **)&t.keys[0], (uint64_t)t.key_capacity,
                        (uint64_t)t.key_capacity * 2, sizeof(HeldKey), other, limit))
                return false;
            t.key_capacity *= 2;
        } else {
            const int64_t keys = t.key_chunks ? KEY_CHUNK : FIRST_KEYS;
            if (!regrow(t, (void **)&t.keys, (uint64_t)t.key_chunks, (uint64_t)t.key_chunks + 1,
                        sizeof(HeldKey *), other, limit))
                return false;
            HeldKey *chunk = (HeldKey *)take(t, (uint64_t)keys * sizeof(HeldKey), other, limit);
            if (!chunk)
                return false;
            t.keys[t.key_chunks++] = chunk;
            t.key_capacity += keys;
        }
    }
    const int64_t serial = t.positions++;
    t.keys[serial >> KEY_CHUNK_BITS][serial & (KEY_CHUNK - 1)] = held_key(key);
    put_in_index(t, serial);
    return true;
}

/* Room for position p's record: at a block's start, a block table entry and a chunk with room
   for the whole block. */
bool make_link_room(WinTable &t, int64_t p, uint64_t other, uint64_t limit)
{
    if (p % BLOCK != 0)
        return true;
    const int64_t block = p / BLOCK;
    if (block == t.block_capacity) {
        const int64_t more = t.block_capacity ? 2 * t.block_capacity : 64;
        if (!regrow(t, (void **)&t.blocks, (uint64_t)t.block_capacity, (uint64_t)more,
                    sizeof(LinkBlock), other, limit))
            return false;
        t.block_capacity = more;
    }
    if (t.link_end + 2 * BLOCK_BYTES_MOST + LINK_CHUNK > UINT32_MAX)
        return false;           // past what a block's offset holds
    if (t.link_end + BLOCK_BYTES_MOST > (uint64_t)t.link_chunks * LINK_CHUNK) {
        if (!regrow(t, (void **)&t.links, (uint64_t)t.link_chunks, (uint64_t)t.link_chunks + 1,
                    sizeof(uint8_t *), other, limit))
            return false;
        uint8_t *chunk = (uint8_t *)take(t, LINK_CHUNK, other, limit);
        if (!chunk)
            return false;
        t.links[t.link_chunks++] = chunk;
        t.link_end = (uint64_t)(t.link_chunks - 1) * LINK_CHUNK;
    }
    t.blocks[block] = LinkBlock{t.link_end | (uint64_t)t.link_highest << 32, 0};
    return true;
}

/* A position's link to `e` as a difference: from the position itself (a step back or aside) or
   from the serial after the highest named so far (a position found from here is the next new
   one), whichever is shorter; the lowest bit says which. */
uint64_t link_code(uint32_t e, int64_t p, uint32_t highest)
{
    const int64_t d[2] = {(int64_t)e - p, (int64_t)e - ((int64_t)highest + 1)};
    uint64_t best = UINT64_MAX;
    for (int from = 0; from < 2; from++) {
        const uint64_t zigzag = d[from] < 0 ? (uint64_t)(-d[from]) * 2 - 1 : (uint64_t)d[from] * 2;
        best = std::min(best, zigzag * 2 + (uint64_t)from);
    }
    return best;
}

/* Writes position p's record of its SEARCH_ACTIONS links (room made by make_link_room). */
void write_links(WinTable &t, int64_t p, const uint32_t *edges)
{
    uint8_t *out = t.links[t.link_end >> LINK_CHUNK_BITS] + (t.link_end & (LINK_CHUNK - 1));
    uint8_t *const begin = out;
    uint32_t kinds = 0;
    for (int a = 0; a < SEARCH_ACTIONS; a++) {
        const uint32_t e = edges[a];
        const uint32_t kind = e == EDGE_NONE ? LINK_NONE : e == EDGE_WIN ? LINK_WIN :
                              e == (uint32_t)p ? LINK_SELF : LINK_OTHER;
        kinds |= kind << (2 * a);
    }
    *out++ = (uint8_t)kinds;
    *out++ = (uint8_t)(kinds >> 8);
    for (int a = 0; a < SEARCH_ACTIONS; a++) {
        if ((kinds >> (2 * a) & 3) != LINK_OTHER)
            continue;
        t.blocks[p / BLOCK].reach |= (uint64_t)1 << (edges[a] >> REGION_BITS & 63);
        uint64_t code = link_code(edges[a], p, t.link_highest);
        while (code >= 0x80) {
            *out++ = (uint8_t)(code | 0x80);
            code >>= 7;
        }
        *out++ = (uint8_t)code;
        t.link_highest = std::max(t.link_highest, edges[a]);
    }
    t.link_end += (uint64_t)(out - begin);
}

/* Reads the links of the positions of `block` (up to BLOCK of them) into `edges`, SEARCH_ACTIONS
   a position. Returns the positions read. */
int64_t read_block(const WinTable &t, int64_t block, uint32_t *edges)
{
    const uint64_t offset = t.blocks[block].start & 0xFFFFFFFFu;
    uint32_t highest = (uint32_t)(t.blocks[block].start >> 32);
    const uint8_t *in = t.links[offset >> LINK_CHUNK_BITS] + (offset & (LINK_CHUNK - 1));
    const int64_t first = block * BLOCK;
    const int64_t count = std::min(BLOCK, t.positions - first);
    for (int64_t i = 0; i < count; i++) {
        const int64_t p = first + i;
        const uint32_t kinds = (uint32_t)in[0] | (uint32_t)in[1] << 8;
        in += 2;
        uint32_t *out = edges + i * SEARCH_ACTIONS;
        for (int a = 0; a < SEARCH_ACTIONS; a++) {
            const uint32_t kind = kinds >> (2 * a) & 3;
            if (kind != LINK_OTHER) {
                out[a] = kind == LINK_NONE ? EDGE_NONE : kind == LINK_WIN ? EDGE_WIN : (uint32_t)p;
                continue;
            }
            uint64_t code = *in++;
            if (code >= 0x80) {
                code &= 0x7F;
                for (int shift = 7;; shift += 7) {
                    const uint8_t byte = *in++;
                    code |= (uint64_t)(byte & 0x7F) << shift;
                    if (byte < 0x80)
                        break;
                }
            }
            const uint64_t zigzag = code >> 1;
            const int64_t d = (int64_t)(zigzag >> 1) ^ -(int64_t)(zigzag & 1);
            const uint32_t e = (uint32_t)((code & 1 ? (int64_t)highest + 1 : p) + d);
            out[a] = e;
            highest = std::max(highest, e);
        }
    }
    return count;
}

/* The fewest commands that win from p as its links give it, from what is known of the others. */
uint32_t relaxed(const WinTable &t, const uint32_t *edges)
{
    uint32_t best = NO_WAY;
    for (int a = 0; a < SEARCH_ACTIONS; a++) {
        const uint32_t e = edges[a];
        const uint32_t v = e == EDGE_WIN ? 1 : e == EDGE_NONE || t.commands[e] == NO_WAY ?
                                               (uint32_t)NO_WAY : t.commands[e] + 1u;
        best = std::min(best, v);
    }
    return best;
}

/* When the labels of each region last changed, and each block was last swept: a block none of
   whose regions changed since is left out, its labels already the best its links give. */
struct SweepMarks {
    uint32_t changed[64];
    uint32_t *swept;            /* by block, 0 before the first sweep */
    uint32_t now;
};

/* One sweep over every position, lowering each one's commands to one more than its best link's.
   Returns whether any changed. */
bool sweep(WinTable &t, bool forward, SweepMarks &marks, uint32_t *edges)
{
    const int64_t blocks = (t.positions + BLOCK - 1) / BLOCK;
    bool changed = false;
    for (int64_t b = 0; b < blocks; b++) {
        const int64_t block = forward ? b : blocks - 1 - b;
        const uint32_t swept = marks.swept[block];
        if (swept != 0) {
            bool stale = false;
            for (uint64_t reach = t.blocks[block].reach; reach && !stale; reach &= reach - 1)
                stale = marks.changed[__builtin_ctzll(reach)] >= swept;
            if (!stale)
                continue;
        }
        const uint32_t now = ++marks.now;
        const int64_t count = read_block(t, block, edges);
        for (int64_t j = 0; j < count; j++) {
            const int64_t i = forward ? j : count - 1 - j;
            const int64_t p = block * BLOCK + i;
            const uint32_t v = relaxed(t, edges + i * SEARCH_ACTIONS);
            if (v < t.commands[p]) {
                t.commands[p] = (uint16_t)v;
                marks.changed[p >> REGION_BITS & 63] = now;
                changed = true;
            }
        }
        marks.swept[block] = now;
    }
    return changed;
}

/* Labels every position with the fewest commands that win from it, then keeps for each one that
   can be won its first command and where it leads, and gives the links back. Sweeps alternately
   down and up the serials, each from what the last left, until nothing changes: most links lead
   one step deeper (to higher serials), so that a sweep down carries a label along them all at
   once, and the few back a sweep up; a sweep leaves out the blocks whose links lead only into
   regions that have not changed since it last went over them. No list of each position's
   predecessors is held. What it takes must fit in `limit` bytes too. */
bool label(WinTable &t, uint64_t limit)
{
    const int64_t n = t.positions;
    t.commands = (uint16_t *)take(t, (uint64_t)n * sizeof(uint16_t), 0, limit);
    if (!t.commands)
        return false;
    t.command_capacity = n;
    for (int64_t p = 0; p < n; p++)
        t.commands[p] = NO_WAY;
    static_assert(BLOCK * SEARCH_ACTIONS * sizeof(uint32_t) <= 4096, "a block's links on the stack");
    uint32_t edges[BLOCK * SEARCH_ACTIONS];
    const int64_t blocks = (n + BLOCK - 1) / BLOCK;
    SweepMarks marks{};
    marks.swept = (uint32_t *)take(t, (uint64_t)blocks * sizeof(uint32_t), 0, limit);
    if (!marks.swept)
        return false;
    std::memset(marks.swept, 0, (size_t)blocks * sizeof(uint32_t));
    for (bool forward = false; sweep(t, forward, marks, edges); forward = !forward) {
    }
    give(t, marks.swept, (uint64_t)blocks * sizeof(uint32_t));
    int64_t winnable = 0;
    for (int64_t p = 0; p < n; p++)
        winnable += t.commands[p] != NO_WAY;
    t.ranks = (uint32_t *)take(t, (uint64_t)blocks * sizeof(uint32_t), 0, limit);
    t.ways = (uint32_t *)take(t, (uint64_t)winnable * sizeof(uint32_t), 0, limit);
    if (!t.ranks || !t.ways) {
        give(t, t.ranks, (uint64_t)blocks * sizeof(uint32_t));
        give(t, t.ways, (uint64_t)winnable * sizeof(uint32_t));
        t.ranks = t.ways = nullptr;
        return false;
    }
    t.figures.winnable = winnable;
    // The first command, in the order of action_codes, of a shortest way from each.
    uint32_t rank = 0;
    for (int64_t b = 0; b < blocks; b++) {
        t.ranks[b] = rank;
        const int64_t count = read_block(t, b, edges);
        for (int64_t i = 0; i < count; i++) {
            const int64_t p = b * BLOCK + i;
            if (t.commands[p] == NO_WAY)
                continue;
            uint32_t step = 0;
            for (int32_t a = 0; a < SEARCH_ACTIONS; a++) {
                const uint32_t e = edges[i * SEARCH_ACTIONS + a];
                if (e == EDGE_WIN ? t.commands[p] == 1 :
                    e < EDGE_NONE && t.commands[e] != NO_WAY && t.commands[e] + 1 == t.commands[p]) {
                    step = (uint32_t)a << WAY_ACTION_SHIFT | (e == EDGE_WIN ? WAY_WIN : e);
                    break;
                }
            }
            t.ways[rank++] = step;
        }
    }
    drop_links(t);
    // A small level's keys are fitted to their count: doubling left up to half unused.
    if (t.key_chunks == 1 && t.key_capacity > n) {
        HeldKey *keys = (HeldKey *)take(t, (uint64_t)n * sizeof(HeldKey), 0, limit);
        if (!keys)
            return false;
        std::memcpy(keys, t.keys[0], (size_t)n * sizeof(HeldKey));
        give(t, t.keys[0], (uint64_t)t.key_capacity * sizeof(HeldKey));
        t.keys[0] = keys;
        t.key_capacity = n;
    }
    // And an index much larger than the count needs (the first one's size) is made again.
    const uint64_t slots = (uint64_t)n + (uint64_t)n / 3 + 1;
    return t.slots <= slots + slots / 4 || make_index(t, slots, 0, limit);
}

/* The way step of position p, which can be won (a complete table). */
uint32_t way_step(const WinTable &t, int64_t p)
{
    const int64_t block = p / BLOCK;
    uint32_t rank = t.ranks[block];
    for (int64_t q = block * BLOCK; q < p; q++)
        rank += t.commands[q] != NO_WAY;
    return t.ways[rank];
}

int64_t serial_of(const WinTable &t, StateKey key)
{
    if (t.figures.outcome != WIN_TABLE_COMPLETE && t.figures.outcome != WIN_TABLE_ONE_WAY)
        return -1;
    return find(t, key);
}

} // namespace

WinTable *win_table_create()
{
    WinTable *t = new (std::nothrow) WinTable();
    if (t)
        t->figures.outcome = WIN_TABLE_EMPTY;
    return t;
}

void win_table_destroy(WinTable *table)
{
    if (!table)
        return;
    drop(*table);
    delete table;
}

WinTableOutcome win_table_build(WinTable &t, const World &from, int32_t ticks_per_frame,
                                int64_t memory_limit, const std::atomic<bool> &stop)
{
    const auto started = std::chrono::steady_clock::now();
    drop(t);
    t.figures = WinTableFigures{};
    WinTableFigures &f = t.figures;
    f.outcome = WIN_TABLE_TOO_LARGE;
    // The start must be a position the search keys: the robot at rest, nothing waiting.
    if (level_over(from) || !robot_ready(from) || from.queue.read_index != from.queue.write_index)
        return f.outcome;

    World *world = new (std::nothrow) World(from);
    StateHasher *hasher = new (std::nothrow) StateHasher();
    const size_t words = world ? state_record_size(*world) / sizeof(uint32_t) : 0;
    uint32_t *base = (uint32_t *)std::calloc(words + 1, sizeof(uint32_t));
    uint32_t *parent = (uint32_t *)std::calloc(words + 1, sizeof(uint32_t));
    uint32_t *child = (uint32_t *)std::calloc(words + 1, sizeof(uint32_t));
    StateLayer layers[2] = {};
    const uint64_t limit = (uint64_t)memory_limit;
    bool ok = world && hasher && base && parent && child;
    if (ok) {
        take_state(*world, (uint8_t *)base, 0);
        ok = layer_begin(&layers[0], base, words) && layer_begin(&layers[1], base, words) &&
             add_position(t, state_key(*world, hasher), 0, limit) &&
             layer_append(&layers[0], base, t.held, limit);
    }
    int current = 0, depth = 0;
    int64_t layer_first = 0, expanded = 0;
    uint32_t edges[SEARCH_ACTIONS];
    while (ok && layers[current].count > 0) {
        StateLayer &layer = layers[current], &next = layers[1 - current];
        uint64_t offset = 0;
        std::memcpy(parent, base, words * sizeof(uint32_t));
        for (int64_t i = 0; ok && i < layer.count; i++) {
            if (++expanded % STOP_EVERY == 0 && stop.load(std::memory_order_relaxed)) {
                f.outcome = WIN_TABLE_STOPPED;
                ok = false;
                break;
            }
            offset = layer_read(layer, offset, parent);
            const int64_t p = layer_first + i;
            for (int a = 0; ok && a < SEARCH_ACTIONS; a++) {
                // As the search plays a command: what it cuts short or leaves hopeless is no
                // position, a completed level a win.
                int32_t frame = put_state(*world, (const uint8_t *)parent);
                bool cut = false;
                frame += run_command(*world, action_codes[a], ticks_per_frame, &cut);
                if (level_clock_left(*world) < 1)
                    f.clock_ran_out = true;
                uint32_t e = EDGE_NONE;
                if (!cut && world->level.level_completed) {
                    e = EDGE_WIN;
                } else if (!cut && !hopeless(*world) && robot_ready(*world)) {
                    const StateKey key = state_key(*world, hasher);
                    const int64_t known = find(t, key);
                    if (known >= 0) {
                        e = (uint32_t)known;
                    } else {
                        const uint64_t other = layer_bytes(layers[0]) + layer_bytes(layers[1]);
                        take_state(*world, (uint8_t *)child, frame);
                        e = (uint32_t)t.positions;
                        ok = add_position(t, key, other, limit) &&
                             layer_append(&next, child, other + t.held, limit);
                    }
                }
                edges[a] = e;
            }
            ok = ok && make_link_room(t, p, layer_bytes(layers[0]) + layer_bytes(layers[1]), limit);
            if (!ok)
                break;
            write_links(t, p, edges);
            const int64_t held = (int64_t)(t.held + layer_bytes(layers[0]) + layer_bytes(layers[1]));
            if (held > f.peak_memory)
                f.peak_memory = held;
        }
        if (!ok)
            break;
        layer_first += layer.count;
        current = 1 - current;
        // A layer keeps its memory for the next but one, unless that was a wide one and the
        // layers have narrowed since: held to the end, it would be most of the peak.
        if (layer.capacity > 2 * next.size + LAYER_KEPT)
            layer_free(&layer);
        ok = layer_begin(&layer, base, words);
        if (++depth >= SEARCH_MAX_STEPS && layers[current].count > 0)
            ok = false;         // a way longer than a result holds: too large to answer from
    }
    layer_free(&layers[0]);
    layer_free(&layers[1]);
    std::free(base);
    std::free(parent);
    std::free(child);
    delete hasher;
    delete world;
    if (ok)
        ok = label(t, limit);
    if (ok)
        f.outcome = WIN_TABLE_COMPLETE;
    else
        drop(t);
    f.positions = t.positions;
    f.memory = (int64_t)t.held;
    f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return f.outcome;
}

WinTableOutcome win_table_build_book(WinTable &t, const World &from, const Solution &solution)
{
    const auto started = std::chrono::steady_clock::now();
    drop(t);
    t.figures = WinTableFigures{};
    WinTableFigures &f = t.figures;
    f.outcome = WIN_TABLE_TOO_LARGE;
    World *world = new (std::nothrow) World(from);
    StateHasher *hasher = new (std::nothrow) StateHasher();
    bool ok = world && hasher;
    int32_t next = 0;
    // The positions as the search keys them: the robot at rest, nothing waiting, a move due.
    for (int32_t frame = 0; ok && frame < solution.end_frame && !level_over(*world); frame++) {
        if (next < solution.moves.count && log_at(solution.moves, next).frame == frame &&
            robot_ready(*world) && world->queue.read_index == world->queue.write_index) {
            const StateKey key = state_key(*world, hasher);
            if (find(t, key) < 0) {
                if (t.positions == t.command_capacity) {
                    const int64_t more = t.command_capacity ? 2 * t.command_capacity : 256;
                    ok = regrow(t, (void **)&t.commands, (uint64_t)t.command_capacity,
                                (uint64_t)more, sizeof(uint16_t), 0, UINT64_MAX);
                    if (ok)
                        t.command_capacity = more;
                }
                const int64_t serial = t.positions;
                ok = ok && add_position(t, key, 0, UINT64_MAX);
                if (!ok)
                    break;
                t.commands[serial] = (uint16_t)(solution.moves.count - next);
            }
        }
        play_solution_frame(*world, solution, frame, &next);
    }
    ok = ok && world->level.level_completed;
    delete hasher;
    delete world;
    if (ok) {
        f.outcome = WIN_TABLE_ONE_WAY;
        f.winnable = t.positions;
    } else {
        drop(t);
    }
    f.positions = t.positions;
    f.memory = f.peak_memory = (int64_t)t.held;
    f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return f.outcome;
}

void win_table_figures(const WinTable &table, WinTableFigures *figures)
{
    *figures = table.figures;
}

WinTableAnswer win_table_lookup(const WinTable &t, StateKey key, int32_t *commands,
                                int32_t *action)
{
    const int64_t p = serial_of(t, key);
    if (p < 0)
        return WIN_TABLE_UNKNOWN;
    if (t.commands[p] == NO_WAY) {
        // Lost for want of time on the way the table took is not proven lost on another.
        return t.figures.clock_ran_out ? WIN_TABLE_UNKNOWN : WIN_TABLE_NO_WAY;
    }
    *commands = t.commands[p];
    // A book knows how many commands are left, not which.
    *action = t.ways ? (int32_t)(way_step(t, p) >> WAY_ACTION_SHIFT) : -1;
    return WIN_TABLE_WAY;
}

int32_t win_table_way(const WinTable &t, StateKey key, int32_t *actions, int32_t most)
{
    int64_t p = serial_of(t, key);
    if (p < 0 || t.commands[p] == NO_WAY || !t.ways)
        return -1;
    int32_t count = 0;
    while (count < most) {
        const uint32_t step = way_step(t, p);
        actions[count++] = (int32_t)(step >> WAY_ACTION_SHIFT);
        if ((step & WAY_NEXT_MASK) == WAY_WIN)
            return count;
        p = step & WAY_NEXT_MASK;
    }
    return -1;
}
