/* state_table.cpp: the set of states the search has seen, by 128-bit key, in a bounded budget of memory. */
#include "search/state_table.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

enum { FIRST_CAPACITY = 1 << 12 };
const uint64_t HUGE_PAGE_BYTES = 2 * 1024 * 1024;

bool is_free(const StateKey &k)
{
    return k.low == 0 && k.high == 0;
}

/* Puts a key known to be absent into a table with room. */
void place(StateKey *slots, uint64_t capacity, StateKey key)
{
    uint64_t i = key.low & (capacity - 1);
    while (!is_free(slots[i]))
        i = (i + 1) & (capacity - 1);
    slots[i] = key;
}

/* Zeroed slots, taken from the system at once. */
StateKey *new_slots(uint64_t capacity)
{
    const uint64_t bytes = capacity * sizeof(StateKey);
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
#if defined(MADV_POPULATE_WRITE)
    // A table is at least a third full from its first growth on, its keys spread over every
    // page: each page would be touched soon, first by a look (a fault that maps the zero page)
    // and then by a key (a second fault that copies it). Taken in one call they cost no fault
    // at all. A refusal (an older system) leaves them to be faulted in.
    madvise(slots, bytes, MADV_POPULATE_WRITE);
#endif
    return (StateKey *)slots;
}

void free_slots(StateKey *slots, uint64_t capacity)
{
    if (slots)
        munmap(slots, capacity * sizeof(StateKey));
}

bool grow(StateTable *t, uint64_t other_bytes, uint64_t limit_bytes)
{
    uint64_t capacity = t->capacity ? 2 * t->capacity : (uint64_t)FIRST_CAPACITY;
    if (other_bytes + state_table_bytes(*t) + capacity * sizeof(StateKey) > limit_bytes)
        return false;
    StateKey *slots = new_slots(capacity);
    if (!slots)
        return false;
    // The old slots are given back a stretch at a time as they are moved, unless a reader
    // still looks there: the two tables whole at once were the peak of a large search.
    const bool keep_old = t->slots && t->slots == t->shared;
    const uint64_t stretch = HUGE_PAGE_BYTES / sizeof(StateKey);
    for (uint64_t i = 0; i < t->capacity; i++) {
        if (!is_free(t->slots[i]))
            place(slots, capacity, t->slots[i]);
        if (!keep_old && (i + 1) % stretch == 0)
            madvise(t->slots + (i + 1 - stretch), HUGE_PAGE_BYTES, MADV_DONTNEED);
    }
    if (t->slots && t->slots == t->shared)
        t->shared_capacity = t->capacity;   // a reader still looks there
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
    if (is_free(key))
        key.low = 1;    // the free mark is not a key; one in 2^128 keys moves over
    if (t->capacity) {
        uint64_t i = key.low & (t->capacity - 1);
        for (; !is_free(t->slots[i]); i = (i + 1) & (t->capacity - 1)) {
            if (t->slots[i].low == key.low && t->slots[i].high == key.high)
                return STATE_SEEN;
        }
        if (10 * (t->count + 1) <= 7 * t->capacity) {
            // A reader on another thread may be looking at this slot: each word is stored
            // whole, so that it sees each either free or the key's, never a key not there.
            std::atomic_ref<uint64_t>(t->slots[i].high).store(key.high, std::memory_order_relaxed);
            std::atomic_ref<uint64_t>(t->slots[i].low).store(key.low, std::memory_order_relaxed);
            t->count++;
            return STATE_NEW;
        }
    }
    if (!grow(t, other_bytes, limit_bytes))
        return STATE_NO_ROOM;
    place(t->slots, t->capacity, key);
    t->count++;
    return STATE_NEW;
}

void state_table_prefetch(const StateTable &t, StateKey key)
{
    if (t.capacity)
        __builtin_prefetch(&t.slots[key.low & (t.capacity - 1)]);
}

bool state_table_holds(const StateTable &t, StateKey key)
{
    if (is_free(key))
        key.low = 1;
    if (!t.capacity)
        return false;
    for (uint64_t i = key.low & (t.capacity - 1); !is_free(t.slots[i]); i = (i + 1) & (t.capacity - 1)) {
        if (t.slots[i].low == key.low && t.slots[i].high == key.high)
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
    if (is_free(key))
        key.low = 1;
    if (!view.capacity)
        return false;
    // The owner may be writing a slot as it is read: a word is either still zero or the key's.
    for (uint64_t i = key.low & (view.capacity - 1);; i = (i + 1) & (view.capacity - 1)) {
        const uint64_t low = std::atomic_ref<uint64_t>(view.slots[i].low).load(std::memory_order_relaxed);
        const uint64_t high = std::atomic_ref<uint64_t>(view.slots[i].high).load(std::memory_order_relaxed);
        if (low == key.low && high == key.high)
            return true;
        if (low == 0 && high == 0)
            return false;
    }
}

uint64_t state_table_bytes(const StateTable &t)
{
    return (t.capacity + t.shared_capacity) * sizeof(StateKey);
}

void state_table_clear(StateTable *t)
{
    if (t->capacity)
        std::memset(t->slots, 0, t->capacity * sizeof(StateKey));
    t->count = 0;
}

void state_table_free(StateTable *t)
{
    state_table_unshare(t);
    free_slots(t->slots, t->capacity);
    *t = StateTable{};
}
