/* state_table.cpp: the set of states the search has seen, by key, in a bounded budget of memory. */
#include "search/state_table.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

enum { FIRST_CAPACITY = 1 << 12, LARGE_CAPACITY = 1 << 20 };
const uint64_t HUGE_PAGE_BYTES = 2 * 1024 * 1024;
const uint64_t SLOT_BYTES = sizeof(StateSlot);

/* The part of a key the table holds: its low word and the top half of its high word. Two
   states of one search share 96 bits by chance about once in 10^16 searches of a million
   states; a quarter less memory a state lets the larger searches run in the memory a player's
   machine has. The free mark (all zero) is not a key: one in 2^96 keys moves over. */
StateSlot slot_of(StateKey key)
{
    StateSlot s{{(uint32_t)key.low, (uint32_t)(key.low >> 32), (uint32_t)(key.high >> 32)}};
    if ((s.words[0] | s.words[1] | s.words[2]) == 0)
        s.words[0] = 1;
    return s;
}

bool is_free(const StateSlot &s)
{
    return (s.words[0] | s.words[1] | s.words[2]) == 0;
}

bool same(const StateSlot &a, const StateSlot &b)
{
    return a.words[0] == b.words[0] && a.words[1] == b.words[1] && a.words[2] == b.words[2];
}

/* Where a key's look begins. The slot grows with the key, so a table's keys lie in about the
   order of their low words, and a growth writes its new table front to back. */
uint64_t home(const StateSlot &s, uint64_t capacity)
{
    const uint64_t low = (uint64_t)s.words[1] << 32 | s.words[0];
    return (uint64_t)(((unsigned __int128)low * capacity) >> 64);
}

uint64_t next(uint64_t i, uint64_t capacity)
{
    return i + 1 == capacity ? 0 : i + 1;
}

/* Puts a key known to be absent into a table with room. */
void place(StateSlot *slots, uint64_t capacity, StateSlot key)
{
    uint64_t i = home(key, capacity);
    while (!is_free(slots[i]))
        i = next(i, capacity);
    slots[i] = key;
}

/* Asks for the slots [from, to) to be mapped in now. A table is at least half full from its
   first growth on, its keys spread over every page: each page would be touched soon, first by
   a look (a fault that maps the zero page) and then by a key (a second fault that copies it).
   Taken in one call they cost no fault at all. A refusal (an older system) leaves them to be
   faulted in. */
void populate(StateSlot *slots, uint64_t from, uint64_t to)
{
#if defined(MADV_POPULATE_WRITE)
    const uintptr_t page = 4096;
    uintptr_t first = (uintptr_t)(slots + from) / page * page;
    uintptr_t last = (uintptr_t)(slots + to);
    if (last > first)
        madvise((void *)first, last - first, MADV_POPULATE_WRITE);
#else
    (void)slots, (void)from, (void)to;
#endif
}

/* Zeroed slots, mapped from the system; only the first `populated` are mapped in at once. */
StateSlot *new_slots(uint64_t capacity, uint64_t populated)
{
    const uint64_t bytes = capacity * SLOT_BYTES;
    // Every look is at a slot of its own, far from the last: in large pages the processor finds
    // the page of each at once instead of walking the page tables. A large table is placed on a
    // large page's boundary so that all of it can be; the pages are a hint, and refused they
    // cost only the time.
    const uint64_t slack = bytes >= HUGE_PAGE_BYTES ? HUGE_PAGE_BYTES : 0;
    void *mapped = mmap(nullptr, bytes + slack, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    uint8_t *slots = (uint8_t *)mapped;
    if (slack) {
        const uintptr_t at = (uintptr_t)mapped;
        const uint64_t head = (HUGE_PAGE_BYTES - at % HUGE_PAGE_BYTES) % HUGE_PAGE_BYTES;
        if (head)
            munmap(mapped, head);
        if (slack - head)
            munmap(slots + head + bytes, slack - head);
        slots += head;
#if defined(MADV_HUGEPAGE)
        madvise(slots, bytes, MADV_HUGEPAGE);
#endif
    }
    populate((StateSlot *)slots, 0, populated);
    return (StateSlot *)slots;
}

void free_slots(StateSlot *slots, uint64_t capacity)
{
    if (slots)
        munmap(slots, capacity * SLOT_BYTES);
}

/* The capacity after `capacity`: half as much again while small, a quarter once large, as a
   large table's memory is most of a search's and the last growth decides its peak. */
uint64_t grown(uint64_t capacity)
{
    if (!capacity)
        return FIRST_CAPACITY;
    return capacity + (capacity < LARGE_CAPACITY ? capacity / 2 : capacity / 4);
}

bool grow(StateTable *t, uint64_t other_bytes, uint64_t limit_bytes)
{
    const uint64_t capacity = grown(t->capacity);
    if (other_bytes + state_table_bytes(*t) + capacity * SLOT_BYTES > limit_bytes)
        return false;
    const bool keep_old = t->slots && t->slots == t->shared;   // a reader still looks there
    StateSlot *slots = new_slots(capacity, t->capacity ? 0 : capacity);
    if (!slots)
        return false;
    // The keys move in about the order of their new places, so the new table is mapped in just
    // ahead of them and the old one given back, a large page at a time, just behind them
    // (unless a reader still looks there): the two tables whole at once were the peak of a
    // large search. Only pages wholly behind the keys still to move are given back.
    const uint64_t step = 1 << 15;
    uint64_t populated = 0, given_back = 0;
    for (uint64_t from = 0; from < t->capacity; from += step) {
        const uint64_t to = from + step < t->capacity ? from + step : t->capacity;
        const uint64_t reach = (uint64_t)((unsigned __int128)to * capacity / t->capacity) + step;
        if (reach > populated) {
            populated = reach < capacity ? reach : capacity;
            populate(slots, from == 0 ? 0 : populated - step, populated);
        }
        for (uint64_t i = from; i < to; i++) {
            if (!is_free(t->slots[i]))
                place(slots, capacity, t->slots[i]);
        }
        const uint64_t behind = to * SLOT_BYTES / HUGE_PAGE_BYTES * HUGE_PAGE_BYTES;
        if (!keep_old && behind > given_back && (uintptr_t)t->slots % HUGE_PAGE_BYTES == 0) {
            madvise((uint8_t *)t->slots + given_back, behind - given_back, MADV_DONTNEED);
            given_back = behind;
        }
    }
    if (keep_old)
        t->shared_capacity = t->capacity;
    else
        free_slots(t->slots, t->capacity);
    t->slots = slots;
    t->capacity = capacity;
    return true;
}

} // namespace

StateInsert state_table_insert(StateTable *t, StateKey key, uint64_t other_bytes,
                               uint64_t limit_bytes)
{
    const StateSlot k = slot_of(key);
    if (t->capacity) {
        uint64_t i = home(k, t->capacity);
        for (; !is_free(t->slots[i]); i = next(i, t->capacity)) {
            if (same(t->slots[i], k))
                return STATE_SEEN;
        }
        if (4 * (t->count + 1) <= 3 * t->capacity) {
            // A reader on another thread may be looking at this slot: each word is stored
            // whole, the low ones last, so that it sees a word either free or the key's.
            StateSlot &s = t->slots[i];
            std::atomic_ref<uint32_t>(s.words[2]).store(k.words[2], std::memory_order_relaxed);
            std::atomic_ref<uint32_t>(s.words[1]).store(k.words[1], std::memory_order_relaxed);
            std::atomic_ref<uint32_t>(s.words[0]).store(k.words[0], std::memory_order_relaxed);
            t->count++;
            return STATE_NEW;
        }
    }
    if (!grow(t, other_bytes, limit_bytes))
        return STATE_NO_ROOM;
    place(t->slots, t->capacity, k);
    t->count++;
    return STATE_NEW;
}

void state_table_prefetch(const StateTable &t, StateKey key)
{
    if (t.capacity)
        __builtin_prefetch(&t.slots[home(slot_of(key), t.capacity)]);
}

bool state_table_holds(const StateTable &t, StateKey key)
{
    if (!t.capacity)
        return false;
    const StateSlot k = slot_of(key);
    for (uint64_t i = home(k, t.capacity); !is_free(t.slots[i]); i = next(i, t.capacity)) {
        if (same(t.slots[i], k))
            return true;
    }
    return false;
}

StateTable state_table_share(StateTable *t)
{
    t->shared = t->slots;
    t->shared_capacity = 0;
    return StateTable{t->slots, t->capacity, t->count, nullptr, 0};
}

void state_table_unshare(StateTable *t)
{
    if (t->shared_capacity)
        free_slots(t->shared, t->shared_capacity);
    t->shared = nullptr;
    t->shared_capacity = 0;
}

bool state_table_holds_shared(const StateTable &view, StateKey key)
{
    if (!view.capacity)
        return false;
    const StateSlot k = slot_of(key);
    // The owner may be writing a slot as it is read: each word is either still zero or the
    // key's. A slot caught half written is neither free nor, but by a chance of one in 2^64,
    // the key looked for.
    for (uint64_t i = home(k, view.capacity);; i = next(i, view.capacity)) {
        StateSlot s;
        s.words[0] = std::atomic_ref<uint32_t>(view.slots[i].words[0]).load(std::memory_order_relaxed);
        s.words[1] = std::atomic_ref<uint32_t>(view.slots[i].words[1]).load(std::memory_order_relaxed);
        s.words[2] = std::atomic_ref<uint32_t>(view.slots[i].words[2]).load(std::memory_order_relaxed);
        if (same(s, k))
            return true;
        if (is_free(s))
            return false;
    }
}

uint64_t state_table_bytes(const StateTable &t)
{
    return (t.capacity + t.shared_capacity) * SLOT_BYTES;
}

void state_table_clear(StateTable *t)
{
    if (t->capacity)
        std::memset(t->slots, 0, t->capacity * SLOT_BYTES);
    t->count = 0;
}

void state_table_free(StateTable *t)
{
    state_table_unshare(t);
    free_slots(t->slots, t->capacity);
    *t = StateTable{};
}
