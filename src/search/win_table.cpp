/* win_table.cpp: every position reachable from a level's start, each with the fewest commands that
   win from it, explored once so that the hint can answer by looking up. */
#include "search/win_table.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>

#include "search/level_search.h"
#include "search/search_play.h"
#include "search/state_layer.h"
#include "world/level_state.h"
#include "world/world_clock.h"

namespace {

/* What a command from a position leads to: another position (its serial), or one of these. */
const uint32_t EDGE_NONE = 0xFFFFFFFEu;     /* lost, spoilt, or the robot not at rest */
const uint32_t EDGE_WIN = 0xFFFFFFFFu;      /* the level is completed */
const uint32_t FREE_SLOT = 0xFFFFFFFFu;
const uint16_t NO_WAY = 0xFFFF;
const uint64_t FIRST_SLOTS = 1 << 12;
const int64_t FIRST_POSITIONS = 1 << 12;
const int64_t STOP_EVERY = 256;             /* positions expanded between looks at `stop` */

struct Slot {
    StateKey key;
    uint32_t serial;            /* FREE_SLOT for none */
};

} // namespace

struct WinTable {
    Slot *slots;                /* positions by key: open addressing, at most half full */
    uint64_t slot_count;
    uint32_t *edges;            /* SEARCH_ACTIONS a position */
    uint16_t *commands;         /* by serial: the fewest commands that win, NO_WAY for none */
    int64_t positions, capacity;
    WinTableFigures figures;
};

namespace {

uint64_t held_bytes(const WinTable &t)
{
    return t.slot_count * sizeof(Slot) +
           (uint64_t)t.capacity * (SEARCH_ACTIONS * sizeof(uint32_t) + sizeof(uint16_t));
}

void drop(WinTable &t)
{
    std::free(t.slots);
    std::free(t.edges);
    std::free(t.commands);
    t.slots = nullptr;
    t.edges = nullptr;
    t.commands = nullptr;
    t.slot_count = 0;
    t.positions = t.capacity = 0;
}

/* The slot of `key`: its own, or the free one where it would go. */
Slot *slot_of(Slot *slots, uint64_t count, StateKey key)
{
    uint64_t i = key.low & (count - 1);
    while (slots[i].serial != FREE_SLOT &&
           (slots[i].key.low != key.low || slots[i].key.high != key.high))
        i = (i + 1) & (count - 1);
    return &slots[i];
}

Slot *new_slots(uint64_t count)
{
    Slot *slots = (Slot *)std::malloc(count * sizeof(Slot));
    if (slots) {
        for (uint64_t i = 0; i < count; i++)
            slots[i].serial = FREE_SLOT;
    }
    return slots;
}

/* Room for one more position, within `limit` bytes besides `other` (the layers). */
bool make_room(WinTable &t, uint64_t other, uint64_t limit)
{
    if ((uint64_t)(t.positions + 1) * 2 > t.slot_count) {
        const uint64_t count = t.slot_count ? 2 * t.slot_count : FIRST_SLOTS;
        if (other + held_bytes(t) + count * sizeof(Slot) > limit)
            return false;
        Slot *slots = new_slots(count);
        if (!slots)
            return false;
        for (uint64_t i = 0; i < t.slot_count; i++) {
            if (t.slots[i].serial != FREE_SLOT)
                *slot_of(slots, count, t.slots[i].key) = t.slots[i];
        }
        std::free(t.slots);
        t.slots = slots;
        t.slot_count = count;
    }
    if (t.positions == t.capacity) {
        const int64_t capacity = t.capacity ? 2 * t.capacity : FIRST_POSITIONS;
        const uint64_t more = (uint64_t)(capacity - t.capacity) *
                              (SEARCH_ACTIONS * sizeof(uint32_t) + sizeof(uint16_t));
        if (other + held_bytes(t) + more > limit)
            return false;
        uint32_t *edges = (uint32_t *)std::realloc(t.edges, (size_t)capacity * SEARCH_ACTIONS *
                                                                sizeof(uint32_t));
        if (!edges)
            return false;
        t.edges = edges;
        uint16_t *commands = (uint16_t *)std::realloc(t.commands, (size_t)capacity * sizeof(uint16_t));
        if (!commands)
            return false;
        t.commands = commands;
        t.capacity = capacity;
    }
    return true;
}

/* Labels every position with the fewest commands that win from it: breadth first backwards
   from the positions one command from a win, along the commands reversed. What it takes for
   that, besides the table, must fit in `limit` bytes too. */
bool label(WinTable &t, uint64_t limit)
{
    const int64_t n = t.positions;
    int64_t links = 0;
    for (int64_t p = 0; p < n * SEARCH_ACTIONS; p++)
        links += t.edges[p] < EDGE_NONE;
    const uint64_t needed = held_bytes(t) + (uint64_t)(3 * n + 1 + links) * sizeof(uint32_t);
    if (needed > limit)
        return false;
    if ((int64_t)needed > t.figures.peak_memory)
        t.figures.peak_memory = (int64_t)needed;
    uint32_t *first = (uint32_t *)std::calloc((size_t)n + 1, sizeof(uint32_t));
    uint32_t *queue = (uint32_t *)std::malloc((size_t)n * sizeof(uint32_t) + 1);
    if (!first || !queue) {
        std::free(first);
        std::free(queue);
        return false;
    }
    // Each position's predecessors, grouped by position (counted, then placed).
    for (int64_t p = 0; p < n * SEARCH_ACTIONS; p++) {
        if (t.edges[p] < EDGE_NONE)
            first[t.edges[p] + 1]++;
    }
    for (int64_t p = 0; p < n; p++)
        first[p + 1] += first[p];
    uint32_t *from = (uint32_t *)std::malloc((size_t)links * sizeof(uint32_t) + 1);
    uint32_t *fill = (uint32_t *)std::malloc((size_t)n * sizeof(uint32_t) + 1);
    if (!from || !fill) {
        std::free(first);
        std::free(queue);
        std::free(from);
        std::free(fill);
        return false;
    }
    std::memcpy(fill, first, (size_t)n * sizeof(uint32_t));
    for (int64_t p = 0; p < n * SEARCH_ACTIONS; p++) {
        if (t.edges[p] < EDGE_NONE)
            from[fill[t.edges[p]]++] = (uint32_t)(p / SEARCH_ACTIONS);
    }
    std::free(fill);
    int64_t head = 0, tail = 0;
    for (int64_t p = 0; p < n; p++) {
        t.commands[p] = NO_WAY;
        for (int a = 0; a < SEARCH_ACTIONS; a++) {
            if (t.edges[p * SEARCH_ACTIONS + a] == EDGE_WIN) {
                t.commands[p] = 1;
                queue[tail++] = (uint32_t)p;
                break;
            }
        }
    }
    while (head < tail) {
        const uint32_t p = queue[head++];
        for (uint32_t i = first[p]; i < first[p + 1]; i++) {
            const uint32_t q = from[i];
            if (t.commands[q] == NO_WAY) {
                t.commands[q] = (uint16_t)(t.commands[p] + 1);
                queue[tail++] = q;
            }
        }
    }
    t.figures.winnable = tail;
    std::free(first);
    std::free(queue);
    std::free(from);
    return true;
}

/* The position reached by `action` from the one with serial p, or EDGE_NONE / EDGE_WIN. */
uint32_t edge(const WinTable &t, int64_t p, int32_t action)
{
    return t.edges[p * SEARCH_ACTIONS + action];
}

/* The first command, in the order of action_codes, of a shortest way from position p
   (commands[p] known), and the position it leads to in *next (EDGE_WIN at the end). */
int32_t best_action(const WinTable &t, int64_t p, uint32_t *next)
{
    for (int32_t a = 0; a < SEARCH_ACTIONS; a++) {
        const uint32_t e = edge(t, p, a);
        if (e == EDGE_WIN ? t.commands[p] == 1 :
            e < EDGE_NONE && t.commands[e] != NO_WAY && t.commands[e] + 1 == t.commands[p]) {
            *next = e;
            return a;
        }
    }
    *next = EDGE_NONE;
    return -1;
}

int64_t serial_of(const WinTable &t, StateKey key)
{
    if (t.figures.outcome != WIN_TABLE_COMPLETE && t.figures.outcome != WIN_TABLE_ONE_WAY)
        return -1;
    const Slot *slot = slot_of(t.slots, t.slot_count, key);
    return slot->serial == FREE_SLOT ? -1 : (int64_t)slot->serial;
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
             make_room(t, 0, limit) && layer_append(&layers[0], base, held_bytes(t), limit);
    }
    if (ok) {
        const StateKey key = state_key(*world, hasher);
        *slot_of(t.slots, t.slot_count, key) = Slot{key, 0};
        t.positions = 1;
    }
    int current = 0, depth = 0;
    int64_t layer_first = 0, expanded = 0;
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
                    Slot *slot = slot_of(t.slots, t.slot_count, key);
                    if (slot->serial != FREE_SLOT) {
                        e = slot->serial;
                    } else {
                        const uint64_t other = layer_bytes(layers[0]) + layer_bytes(layers[1]);
                        take_state(*world, (uint8_t *)child, frame);
                        ok = make_room(t, other, limit) &&
                             layer_append(&next, child, other + held_bytes(t), limit);
                        if (!ok)
                            break;
                        e = (uint32_t)t.positions++;
                        *slot_of(t.slots, t.slot_count, key) = Slot{key, e};
                    }
                }
                t.edges[p * SEARCH_ACTIONS + a] = e;
            }
            const int64_t held = (int64_t)(held_bytes(t) + layer_bytes(layers[0]) +
                                           layer_bytes(layers[1]));
            if (held > f.peak_memory)
                f.peak_memory = held;
        }
        if (!ok)
            break;
        layer_first += layer.count;
        current = 1 - current;
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
    f.memory = (int64_t)held_bytes(t);
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
            if (!t.slots || slot_of(t.slots, t.slot_count, key)->serial == FREE_SLOT) {
                ok = make_room(t, 0, UINT64_MAX);
                if (!ok)
                    break;
                const uint32_t serial = (uint32_t)t.positions++;
                *slot_of(t.slots, t.slot_count, key) = Slot{key, serial};
                t.commands[serial] = (uint16_t)(solution.moves.count - next);
                for (int a = 0; a < SEARCH_ACTIONS; a++)
                    t.edges[(int64_t)serial * SEARCH_ACTIONS + a] = EDGE_NONE;
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
    f.memory = f.peak_memory = (int64_t)held_bytes(t);
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
    uint32_t next;
    *commands = t.commands[p];
    *action = best_action(t, p, &next);
    return WIN_TABLE_WAY;
}

int32_t win_table_way(const WinTable &t, StateKey key, int32_t *actions, int32_t most)
{
    int64_t p = serial_of(t, key);
    if (p < 0 || t.commands[p] == NO_WAY)
        return -1;
    int32_t count = 0;
    while (count < most) {
        uint32_t next;
        const int32_t a = best_action(t, p, &next);
        if (a < 0)
            return -1;
        actions[count++] = a;
        if (next == EDGE_WIN)
            return count;
        p = next;
    }
    return -1;
}
