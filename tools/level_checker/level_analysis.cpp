/* level_analysis.cpp: whether a level is fair to a human: every position a player can reach, which
   of them can still be won, and the mistakes, decisions and wrong ways along the shortest way. */
#include "base/translation.h"
#include "level_analysis.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "search/mapped_block.h"
#include "search/map_validation.h"
#include "search/search_play.h"
#include "search/search_state.h"
#include "search/state_layer.h"
#include "base/datafile.h"
#include "base/timer.h"
#include "world/actor.h"
#include "world/actor_kinds.h"
#include "world/actor_table.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/world.h"

namespace {

/* What a command from a position leads to: another position (its serial), or one of these. */
enum : uint32_t {
    EDGE_FIRST_END = 0xFFFFFFF0u,
    EDGE_WIN = EDGE_FIRST_END,      /* the level is completed */
    EDGE_OVER,                      /* the robot is lost, falls or is stuck, or time is up */
    EDGE_SWEET_LOST,                /* robot alive, a sweet blown up: the game says so */
    EDGE_TELEPORT_LOST,             /* robot alive, the teleport blown up: nothing says so */
    EDGE_UNKNOWN                    /* not explored: the memory ran out first */
};

enum {
    PROGRESS_EVERY = 1 << 14,       /* positions expanded between two progress calls */
    FIRST_CAPACITY = 1 << 12,
    NO_WAY = -1
};

const uint32_t EMPTY_SERIAL = 0xFFFFFFFFu;

/* Positions by key: open addressing over a power-of-two table of slots, at most three quarters
   full. A slot holds the serial + 1 of a position (0 for a free slot) in as many low bits as
   the table has slots and a piece of the key's high word above, so that most probes that miss
   never read the key itself, which is kept by serial: a slot costs 4 bytes where a key and a
   serial in it cost 20. */
struct PositionIndex {
    uint32_t *slots;
    uint64_t capacity;
};

/* Bytes each position holds while the positions are explored: its commands' outcomes, where it
   was first reached from and how, and its key. The arrays are mapped by themselves and grown in
   place, so that growing never holds two copies and the memory goes back to the system after
   each level. */
const int64_t POSITION_BYTES = SEARCH_ACTIONS * sizeof(uint32_t) + sizeof(uint32_t) + 1 +
                               sizeof(StateKey);

/* Everything the exploration holds: for each position in the order reached, the outcome of each
   of its commands and the position and command it was first reached by. */
struct Exploration {
    PositionIndex index;
    StateKey *keys;             /* by serial, while the positions are explored */
    uint32_t *edges;            /* SEARCH_ACTIONS a position */
    uint32_t *parents;
    uint8_t *parent_actions;
    int64_t count;
    int64_t capacity;
    StateLayer layers[2];
    uint32_t *base, *record, *child;
    size_t words;
    int64_t limit;
    int64_t peak;
};

Exploration ex;
World world;                    /* the world the analysis plays on, its own */
World analysis_start;           /* its level's start */
StateHasher hasher;             /* the memo of the keys taken of it */

int64_t held_bytes()
{
    return (int64_t)(ex.index.capacity * sizeof(uint32_t) + layer_bytes(ex.layers[0]) +
                     layer_bytes(ex.layers[1])) +
           ex.capacity * POSITION_BYTES;
}

void note_peak()
{
    if (held_bytes() > ex.peak)
        ex.peak = held_bytes();
}

uint64_t slot_of(StateKey key, uint64_t capacity)
{
    return (key.low ^ (key.high >> 7)) & (capacity - 1);
}

/* Doubles the index, filled afresh from the keys by serial: the old one is given back first, so
   that the two are never held at once. */
bool grow_index()
{
    PositionIndex &t = ex.index;
    const uint64_t capacity = t.capacity ? 2 * t.capacity : (uint64_t)FIRST_CAPACITY;
    const uint64_t bytes = capacity * sizeof(uint32_t);
    // A slot keeps a bit of the key at least.
    if (held_bytes() - (int64_t)(t.capacity * sizeof(uint32_t)) + (int64_t)bytes > ex.limit ||
        capacity > ((uint64_t)1 << 31))
        return false;
    free_block(t.slots, t.capacity * sizeof(uint32_t));
    t.slots = nullptr;
    t.capacity = 0;
    uint32_t *slots = (uint32_t *)resize_block(nullptr, 0, bytes);
    if (!slots)
        return false;
    const uint32_t mask = (uint32_t)(capacity - 1);
    for (int64_t serial = 0; serial < ex.count; serial++) {
        const StateKey key = ex.keys[serial];
        uint64_t i = slot_of(key, capacity);
        while (slots[i] != 0)
            i = (i + 1) & mask;
        slots[i] = (uint32_t)(serial + 1) | ((uint32_t)(key.high >> 32) & ~mask);
    }
    t.slots = slots;
    t.capacity = capacity;
    return true;
}

/* Resizes each of the arrays by position from `from` to `to` positions; false, each left as it
   was, when there is no memory for one. */
bool resize_positions(int64_t from, int64_t to)
{
    void **arrays[] = {(void **)&ex.edges, (void **)&ex.parents, (void **)&ex.parent_actions,
                       (void **)&ex.keys};
    const size_t sizes[] = {SEARCH_ACTIONS * sizeof(uint32_t), sizeof(uint32_t), 1,
                            sizeof(StateKey)};
    for (int k = 0; k < 4; k++) {
        void *resized = resize_block(*arrays[k], (size_t)from * sizes[k], (size_t)to * sizes[k]);
        if (!resized) {
            while (k-- > 0)     // shrinking in place cannot fail
                *arrays[k] = resize_block(*arrays[k], (size_t)to * sizes[k], (size_t)from * sizes[k]);
            return false;
        }
        *arrays[k] = resized;
    }
    return true;
}

bool grow_positions()
{
    const int64_t capacity = ex.capacity ? 2 * ex.capacity : (int64_t)FIRST_CAPACITY;
    const int64_t more = (capacity - ex.capacity) * POSITION_BYTES;
    if (held_bytes() + more > ex.limit || capacity >= (int64_t)EDGE_FIRST_END ||
        !resize_positions(ex.capacity, capacity))
        return false;
    ex.capacity = capacity;
    return true;
}

/* The serial of the position with `key`: found, or added with the next serial (*added set).
   Returns EMPTY_SERIAL when there is no room for it. */
uint32_t find_or_add(StateKey key, bool *added)
{
    *added = false;
    PositionIndex &t = ex.index;
    if (4 * (uint64_t)(ex.count + 1) > 3 * t.capacity && !grow_index())
        return EMPTY_SERIAL;
    const uint32_t mask = (uint32_t)(t.capacity - 1);
    const uint32_t piece = (uint32_t)(key.high >> 32) & ~mask;
    uint64_t i = slot_of(key, t.capacity);
    for (uint32_t slot; (slot = t.slots[i]) != 0; i = (i + 1) & mask) {
        if ((slot & ~mask) != piece)
            continue;
        const uint32_t serial = (slot & mask) - 1;
        if (ex.keys[serial].low == key.low && ex.keys[serial].high == key.high)
            return serial;
    }
    if (ex.count >= ex.capacity && !grow_positions())
        return EMPTY_SERIAL;
    ex.keys[ex.count] = key;
    t.slots[i] = (uint32_t)(ex.count + 1) | piece;
    *added = true;
    return (uint32_t)ex.count++;
}

/* Gives back the index and the keys, which only the exploration needs: what follows reads the
   positions by serial. */
void free_index()
{
    free_block(ex.index.slots, ex.index.capacity * sizeof(uint32_t));
    ex.index = PositionIndex{};
    free_block(ex.keys, (size_t)ex.capacity * sizeof(StateKey));
    ex.keys = nullptr;
}

/* An array of `n` items (at least one) mapped by itself, zeroed, or nullptr; given back by
   free_array with the same `n`. */
template <typename T>
T *take_array(int64_t n)
{
    return (T *)resize_block(nullptr, 0, (size_t)(n > 0 ? n : 1) * sizeof(T));
}

template <typename T>
void free_array(T *array, int64_t n)
{
    free_block(array, (size_t)(n > 0 ? n : 1) * sizeof(T));
}

void free_exploration()
{
    free_block(ex.index.slots, ex.index.capacity * sizeof(uint32_t));
    free_block(ex.keys, (size_t)ex.capacity * sizeof(StateKey));
    free_block(ex.edges, (size_t)ex.capacity * SEARCH_ACTIONS * sizeof(uint32_t));
    free_block(ex.parents, (size_t)ex.capacity * sizeof(uint32_t));
    free_block(ex.parent_actions, (size_t)ex.capacity);
    layer_free(&ex.layers[0]);
    layer_free(&ex.layers[1]);
    std::free(ex.base);
    std::free(ex.record);
    std::free(ex.child);
    ex = Exploration{};
}

/* What a command played on the world has led to, when it leads to no position to keep. The robot
   is alive when a blast has spoilt the level and the level is not lost. */
uint32_t ending(bool cut)
{
    if (world.level.level_completed)
        return EDGE_WIN;
    const bool alive = !world.level.level_lost && !world.falling && !over_no_square(world);
    if (alive && (cut || spoiled(world))) {
        // Both count as mistakes; only the lost sweet is announced.
        int sweets_left = 0;
        for (int i = 0; i < world.actors.count; i++) {
            const Actor &a = world.actors.actors[i];
            if (!a.gone && a.timer <= 0 && a.type == ACTOR_SWEET)
                sweets_left++;
        }
        const bool sweet_lost = world.level.sweets_eaten + sweets_left < world.level.sweets_total;
        return sweet_lost ? EDGE_SWEET_LOST : EDGE_TELEPORT_LOST;
    }
    return EDGE_OVER;
}

/* Out of memory at command `action` of position `serial`: that command's outcome and every one
   not yet played stay unknown. */
void mark_unexplored(int64_t serial, int action)
{
    for (int64_t e = serial * SEARCH_ACTIONS + action; e < ex.count * SEARCH_ACTIONS; e++)
        ex.edges[e] = EDGE_UNKNOWN;
    note_peak();
}

/* Explores every position reachable from the level's start, breadth first: positions are states
   of the world with the robot at rest (taking commands) and the level still winnable as far as the
   world shows. Returns true when every one was explored, false at the memory limit. */
bool explore(const AnalysisLimits &limits)
{
    ex.words = state_record_size(world) / sizeof(uint32_t);
    ex.base = (uint32_t *)std::calloc(ex.words, sizeof(uint32_t));
    ex.record = (uint32_t *)std::calloc(ex.words, sizeof(uint32_t));
    ex.child = (uint32_t *)std::calloc(ex.words, sizeof(uint32_t));
    if (!ex.base || !ex.record || !ex.child)
        return false;
    take_state(world, (uint8_t *)ex.base, 0);
    bool added;
    if (find_or_add(state_key(world, &hasher), &added) == EMPTY_SERIAL || !layer_begin(&ex.layers[0], ex.base, ex.words) ||
        !layer_begin(&ex.layers[1], ex.base, ex.words) ||
        !layer_append(&ex.layers[0], ex.base, (uint64_t)held_bytes(), (uint64_t)ex.limit))
        return false;
    ex.parents[0] = 0;
    ex.parent_actions[0] = 0;

    int current = 0;
    int64_t first = 0;          // serial of the current layer's first position
    int64_t expanded = 0;
    while (ex.layers[current].count > 0) {
        StateLayer &layer = ex.layers[current];
        StateLayer &next = ex.layers[1 - current];
        layer_begin(&next, ex.base, ex.words);
        std::memcpy(ex.record, ex.base, ex.words * sizeof(uint32_t));
        uint64_t offset = 0;
        for (int64_t k = 0; k < layer.count; k++) {
            offset = layer_read(layer, offset, ex.record);
            const int64_t serial = first + k;
            // The edges move when they grow: each is reached afresh.
#define EDGE(a) ex.edges[serial * SEARCH_ACTIONS + (a)]
            for (int action = 0; action < SEARCH_ACTIONS; action++) {
                int32_t frame = put_state(world, (const uint8_t *)ex.record);
                bool cut = false;
                frame += run_command(world, action_codes[action], limits.ticks_per_frame, &cut);
                if (cut || world.level.level_completed || hopeless(world) || !robot_ready(world)) {
                    EDGE(action) = ending(cut);
                    continue;
                }
                const uint32_t found = find_or_add(state_key(world, &hasher), &added);
                if (found == EMPTY_SERIAL) {
                    mark_unexplored(serial, action);
                    return false;
                }
                EDGE(action) = found;
                if (added) {
                    ex.parents[found] = (uint32_t)serial;
                    ex.parent_actions[found] = (uint8_t)action;
                    take_state(world, (uint8_t *)ex.child, frame);
                    if (!layer_append(&next, ex.child, (uint64_t)held_bytes() - layer_bytes(next),
                                      (uint64_t)ex.limit)) {
                        ex.count--;     // not kept: the position stays unexplored
                        mark_unexplored(serial, action);
                        return false;
                    }
                }
            }
            if (++expanded % PROGRESS_EVERY == 0) {
                note_peak();
                if (limits.progress)
                    limits.progress(_("exploring"), ex.count);
            }
        }
        first += layer.count;
        current = 1 - current;
#undef EDGE
    }
    note_peak();
    return true;
}

bool is_position(uint32_t edge)
{
    return edge < EDGE_FIRST_END;
}

/* Commands to win from each position (the winning one included), NO_WAY where it cannot be won:
   a breadth-first pass backwards from the commands that win, over the reversed edges. Returns
   nullptr when there is no memory for it. */
int32_t *ways_to_win()
{
    const int64_t n = ex.count;
    int32_t *way = take_array<int32_t>(n);
    uint32_t *start = take_array<uint32_t>(n + 1);
    uint32_t *queue = take_array<uint32_t>(n);
    // The reversed edges in one array, grouped by the position they lead to.
    uint64_t total = 0;
    for (int64_t e = 0; e < n * SEARCH_ACTIONS; e++)
        total += is_position(ex.edges[e]);
    uint32_t *from = take_array<uint32_t>((int64_t)total);
    if (!way || !start || !queue || !from) {
        free_array(way, n);
        free_array(start, n + 1);
        free_array(queue, n);
        free_array(from, (int64_t)total);
        return nullptr;
    }
    for (int64_t e = 0; e < n * SEARCH_ACTIONS; e++)
        if (is_position(ex.edges[e]))
            start[ex.edges[e] + 1]++;
    for (int64_t s = 0; s < n; s++)
        start[s + 1] += start[s];
    // Each group's start is its cursor while filling, which leaves it at the next one's: moved
    // back a place after, it saves an array of cursors.
    for (int64_t e = 0; e < n * SEARCH_ACTIONS; e++)
        if (is_position(ex.edges[e]))
            from[start[ex.edges[e]]++] = (uint32_t)(e / SEARCH_ACTIONS);
    for (int64_t s = n; s > 0; s--)
        start[s] = start[s - 1];
    start[0] = 0;

    int64_t head = 0, tail = 0;
    for (int64_t s = 0; s < n; s++) {
        way[s] = NO_WAY;
        for (int a = 0; a < SEARCH_ACTIONS; a++) {
            if (ex.edges[s * SEARCH_ACTIONS + a] == EDGE_WIN) {
                way[s] = 1;
                queue[tail++] = (uint32_t)s;
                break;
            }
        }
    }
    while (head < tail) {
        const uint32_t s = queue[head++];
        for (uint32_t i = start[s]; i < start[s + 1]; i++) {
            const uint32_t p = from[i];
            if (way[p] == NO_WAY) {
                way[p] = way[s] + 1;
                queue[tail++] = p;
            }
        }
    }
    free_array(start, n + 1);
    free_array(queue, n);
    free_array(from, (int64_t)total);
    return way;
}

/* A mistake: the robot alive and on the grid, the level no longer winnable. */
bool is_mistake(uint32_t edge, const int32_t *way)
{
    return edge == EDGE_SWEET_LOST || edge == EDGE_TELEPORT_LOST ||
           (is_position(edge) && way[edge] == NO_WAY);
}

bool is_trap(uint32_t edge, const int32_t *way)
{
    return is_mistake(edge, way) && edge != EDGE_SWEET_LOST;
}

/* The first command of a shortest way from position s: the lowest that wins or leads one
   command nearer. */
int next_on_way(int64_t s, const int32_t *way)
{
    for (int a = 0; a < SEARCH_ACTIONS; a++) {
        const uint32_t e = ex.edges[s * SEARCH_ACTIONS + a];
        if ((e == EDGE_WIN && way[s] == 1) || (is_position(e) && way[e] == way[s] - 1))
            return a;
    }
    return -1;
}

/* Whether command `action` from position s, the position `world` holds, is a step: one that
   takes the robot to another square. */
bool moves_robot(int64_t s, int action, const AnalysisLimits &limits)
{
    const int32_t code = action_codes[action];
    if (code != MOVE_FORWARD && code != MOVE_BACKWARD && code != MOVE_STRAFE_LEFT &&
        code != MOVE_STRAFE_RIGHT)
        return false;
    const uint32_t e = ex.edges[s * SEARCH_ACTIONS + action];
    if (e == EDGE_WIN)
        return true;
    static World after;
    after = world;
    run_command(after, code, limits.ticks_per_frame, nullptr);
    return after.motion.playerL[0] != world.motion.playerL[0] ||
           after.motion.playerL[1] != world.motion.playerL[1];
}

/* Whether, from position s (held by `world`), a step other than `chosen` takes the robot alive to
   a square other than the one it came from: a choice on the way, good or bad. A step that can
   only go on or back is a walk. */
bool other_step_on(int64_t s, int chosen, const int32_t came_from[2],
                   const AnalysisLimits &limits)
{
    static World after;
    for (int a = 0; a < SEARCH_ACTIONS; a++) {
        const int32_t code = action_codes[a];
        if (a == chosen || (code != MOVE_FORWARD && code != MOVE_BACKWARD &&
                            code != MOVE_STRAFE_LEFT && code != MOVE_STRAFE_RIGHT))
            continue;
        const uint32_t e = ex.edges[s * SEARCH_ACTIONS + a];
        if (e == EDGE_OVER || e == EDGE_UNKNOWN)
            continue;
        after = world;
        run_command(after, code, limits.ticks_per_frame, nullptr);
        const int32_t *at = after.motion.playerL;
        const int32_t *here = world.motion.playerL;
        if ((at[0] != here[0] || at[1] != here[1]) && (at[0] != came_from[0] || at[1] != came_from[1]))
            return true;
    }
    return false;
}

/* Whether command `action` from the position `world` holds pushes an actor. */
bool pushes(int action, const AnalysisLimits &limits)
{
    static World after;
    after = world;
    run_command(after, action_codes[action], limits.ticks_per_frame, nullptr);
    return after.cues.plays[DAT_SAMPLE_PUSH] > world.cues.plays[DAT_SAMPLE_PUSH];
}

/* Walks the shortest way from the start, counting its decisions, wrong ways and forced steps,
   and replays it for its game time. */
void measure_way(const int32_t *way, const AnalysisLimits &limits, LevelAnalysis *out)
{
    out->shortest = way[0];
    out->decisions = out->wrong_ways = out->way_steps = out->forced_steps = 0;
    out->wrong_pushes = 0;
    world = analysis_start;
    int32_t frames = 0;
    int64_t s = 0;
    int32_t came_from[2] = {world.motion.playerL[0], world.motion.playerL[1]};
    for (int32_t step = 0; step < way[0]; step++) {
        const int chosen = next_on_way(s, way);
        if (moves_robot(s, chosen, limits)) {
            out->way_steps++;
            out->forced_steps += !other_step_on(s, chosen, came_from, limits);
            came_from[0] = world.motion.playerL[0];
            came_from[1] = world.motion.playerL[1];
        }
        bool decision = false, wrong = false, wrong_push = false;
        for (int a = 0; a < SEARCH_ACTIONS; a++) {
            const uint32_t e = ex.edges[s * SEARCH_ACTIONS + a];
            if (a == chosen)
                continue;
            const bool mistake = is_mistake(e, way);
            const bool longer = is_position(e) && way[e] != NO_WAY &&
                                1 + way[e] - way[s] >= ANALYSIS_WRONG_WAY_EXTRA;
            decision = decision || mistake;
            wrong = wrong || longer;
            wrong_push = wrong_push || ((mistake || longer) && pushes(a, limits));
        }
        out->decisions += decision;
        out->wrong_ways += wrong;
        out->wrong_pushes += wrong_push;
        frames += run_command(world, action_codes[chosen], limits.ticks_per_frame, nullptr);
        s = ex.edges[s * SEARCH_ACTIONS + chosen];
        if (!is_position((uint32_t)s))
            break;
    }
    out->shortest_ticks = frames * limits.ticks_per_frame;
}

/* Counts the positions that cannot be won and those where a trap is available, and writes the
   way to the first trap found (the nearest to the start). */
void count_traps(const int32_t *way, LevelAnalysis *out)
{
    out->unwinnable = 0;
    out->trap_positions = 0;
    out->trap_length = 0;
    int64_t first_trap = -1;
    int first_action = 0;
    for (int64_t s = 0; s < ex.count; s++) {
        if (way[s] == NO_WAY) {
            out->unwinnable++;
            continue;
        }
        for (int a = 0; a < SEARCH_ACTIONS; a++) {
            if (is_trap(ex.edges[s * SEARCH_ACTIONS + a], way)) {
                out->trap_positions++;
                if (first_trap < 0) {
                    first_trap = s;
                    first_action = a;
                }
                break;
            }
        }
    }
    if (first_trap < 0)
        return;
    int32_t backwards[SEARCH_MAX_STEPS];
    int32_t length = 0;
    backwards[length++] = first_action;
    for (int64_t s = first_trap; s > 0 && length < SEARCH_MAX_STEPS; s = ex.parents[s])
        backwards[length++] = ex.parent_actions[s];
    for (int32_t i = 0; i < length; i++)
        out->trap_codes[i] = action_codes[backwards[length - 1 - i]];
    out->trap_length = length;
}

/* The fewest waits of any shortest way from the start, a jump in place counting as one, from
   the commands to win from each position: positions are taken nearest the win first, so that
   every position one command nearer is done before them. -1 when there is no memory for it. */
int32_t fewest_waits(const int32_t *way)
{
    const int64_t n = ex.count;
    int32_t farthest = 0;
    for (int64_t s = 0; s < n; s++)
        farthest = way[s] > farthest ? way[s] : farthest;
    int32_t *waits = take_array<int32_t>(n);
    uint32_t *order = take_array<uint32_t>(n);
    int64_t *first = (int64_t *)std::calloc((size_t)farthest + 2, sizeof(int64_t));
    int32_t fewest = -1;
    if (waits && order && first) {
        // Sorted by the commands to win, counting them first.
        for (int64_t s = 0; s < n; s++)
            if (way[s] != NO_WAY)
                first[way[s] + 1]++;
        for (int32_t d = 1; d <= farthest + 1; d++)
            first[d] += first[d - 1];
        for (int64_t s = 0; s < n; s++)
            if (way[s] != NO_WAY)
                order[first[way[s]]++] = (uint32_t)s;
        const int64_t winnable = first[farthest];
        for (int64_t k = 0; k < winnable; k++) {
            const uint32_t s = order[k];
            int32_t best = INT32_MAX;
            for (int a = 0; a < SEARCH_ACTIONS; a++) {
                const uint32_t e = ex.edges[(int64_t)s * SEARCH_ACTIONS + a];
                // A jump is always in place: on a shortest way it only ever passes time.
                const int32_t wait = action_codes[a] == SEARCH_WAIT || action_codes[a] == MOVE_JUMP;
                if (e == EDGE_WIN && way[s] == 1 && wait < best)
                    best = wait;
                else if (is_position(e) && way[e] == way[s] - 1 && way[e] != NO_WAY &&
                         waits[e] + wait < best)
                    best = waits[e] + wait;
            }
            waits[s] = best;
        }
        fewest = way[0] != NO_WAY ? waits[0] : -1;
    }
    free_array(waits, n);
    free_array(order, n);
    std::free(first);
    return fewest;
}

/* States a led search is given to find a way before the breadth-first search is run: many
   times what it needs where a way is. */
const int64_t LED_WIN_STATES = 50000;

/* Whether the level can be won at `ticks_per_frame`, or after a start delay of `delay` ticks
   (-1 for none): the search's own answer, on a search of its own. */
bool search_wins(const char *map_text, int32_t ticks_per_frame, int32_t delay, int64_t memory_limit)
{
    SearchLimits limits{ticks_per_frame, (int64_t)1 << 29, SEARCH_MAX_STEPS, memory_limit, 0};
    limits.start_delay_ticks = delay;
    thread_local SearchResult result;   // some 40 KB of steps, off the stack, one to a thread
    // Any way wins, not only the shortest: a search led to the sweets mostly finds one in a few
    // thousand states where the breadth-first search holds every state nearer the start (a large
    // level's, at one tick a frame, a second or two). Its "no way" proves nothing, so the
    // breadth-first search answers when it finds none within its states.
    SearchLimits led = limits;
    led.led = true;
    led.state_limit = LED_WIN_STATES;
    return search_level(map_text, led, &result) || search_level(map_text, limits, &result);
}

/* Whether `way` (commands found at another rate or without a delay), typed again one after
   another at `ticks_per_frame` after a start delay of `delay` ticks (-1 for none), wins: each
   command but the last leaves the robot ready for the next, as the search's own do. A way that
   wins so proves what a search would; one that does not proves nothing. */
bool way_still_wins(const char *map_text, const SearchResult &way, int32_t ticks_per_frame,
                    int32_t delay)
{
    thread_local World w;
    search_start_world(w, map_text);
    if (delay >= 0)
        run_start_delay(w, ticks_per_frame, delay);
    for (int32_t i = 0; i < way.step_count; i++) {
        if (level_over(w) || !robot_ready(w))
            return false;
        run_command(w, way.steps[i].code, ticks_per_frame, nullptr);
    }
    return w.level.level_completed;
}

/* Whether the level can be won at `ticks_per_frame` after `delay` (-1 for none): by the known
   way typed again, or else by a search of its own. */
bool wins_at(const char *map_text, const SearchResult *known, int32_t ticks_per_frame,
             int32_t delay, int64_t memory_limit)
{
    return (known && known->outcome == SEARCH_SOLVED &&
            way_still_wins(map_text, *known, ticks_per_frame, delay)) ||
           search_wins(map_text, ticks_per_frame, delay, memory_limit);
}

/* The game time of the shortest way when a player thinks `think_ticks` before each command but
   a wait; 0 when there is none. */
int32_t search_at_pace(const char *map_text, int32_t ticks_per_frame, int32_t think_ticks,
                       int64_t memory_limit)
{
    SearchLimits limits{ticks_per_frame, (int64_t)1 << 29, SEARCH_MAX_STEPS, memory_limit, 0};
    limits.think_ticks = think_ticks;
    thread_local SearchResult result;
    return search_level(map_text, limits, &result) ? result.ticks : 0;
}

double seconds_since(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}


/* The searches besides the exploration: after the start delay, and at every rate but the
   exploration's own (which the exploration answers). */
struct OtherSearches {
    bool delay_wins;
    bool rate_wins[ANALYSIS_SLOWEST_RATE + 1];
    int32_t think_way_ticks;
};

/* Runs the searches numbered part, part + parts, part + 2 parts ... of the list (the delayed
   start, each rate but the exploration's, the thinking pace), writing each into *found: two
   threads given parts 0 and 1 of 2 share the list and write no field twice. */
void run_other_searches(const char *map_text, const AnalysisLimits &limits, int32_t slowest,
                        OtherSearches *found, int32_t part = 0, int32_t parts = 1,
                        const SearchResult *known = nullptr)
{
    int32_t number = 0;
    const auto mine = [&] { return number++ % parts == part; };
    if (limits.start_delay_ticks >= 0 && mine())
        found->delay_wins = wins_at(map_text, known, limits.ticks_per_frame,
                                    limits.start_delay_ticks, limits.memory_limit);
    for (int32_t rate = 1; rate <= slowest; rate++)
        if (rate != limits.ticks_per_frame && mine())
            found->rate_wins[rate] = wins_at(map_text, known, rate, -1, limits.memory_limit);
    if (limits.think_ticks >= 0 && mine())
        found->think_way_ticks = search_at_pace(map_text, limits.ticks_per_frame,
                                                limits.think_ticks, limits.memory_limit);
}

/* run_other_searches on a thread of its own when `limits` allows two threads and one can be
   had; else no thread (not joinable), and the caller runs them. */
std::thread other_searches_thread(const char *map_text, const AnalysisLimits &limits,
                                  int32_t slowest, OtherSearches *found, int32_t part,
                                  int32_t parts, const SearchResult *known)
{
    if (limits.threads > 1) {
        try {
            return std::thread(run_other_searches, map_text, std::cref(limits), slowest, found,
                               part, parts, known);
        } catch (...) {
        }
    }
    return std::thread();
}

/* Fills in the analysis's figures of the other searches (and of the exploration's own rate,
   searched again when the exploration stopped short). */
void take_other_searches(const char *map_text, const AnalysisLimits &limits,
                         const OtherSearches &found, LevelAnalysis *out)
{
    out->start_delay_wins = limits.start_delay_ticks >= 0 && found.delay_wins;
    out->think_way_ticks = found.think_way_ticks;
    out->think_wins = limits.think_ticks >= 0 && found.think_way_ticks > 0;
    for (int32_t rate = 1; rate <= out->slowest_rate; rate++) {
        if (rate != limits.ticks_per_frame)
            out->rate_wins[rate] = found.rate_wins[rate];
        else if (out->complete)
            out->rate_wins[rate] = out->outcome == SEARCH_SOLVED;
        else
            out->rate_wins[rate] = search_wins(map_text, rate, -1, limits.memory_limit);
    }
}

int32_t slowest_rate_of(const AnalysisLimits &limits)
{
    return limits.slowest_rate < ANALYSIS_SLOWEST_RATE ? limits.slowest_rate
                                                       : (int32_t)ANALYSIS_SLOWEST_RATE;
}

} // namespace

bool analyse_level(const char *map_text, const AnalysisLimits &limits, LevelAnalysis *out)
{
    const auto began = std::chrono::steady_clock::now();
    std::memset(out, 0, sizeof *out);
    out->outcome = SEARCH_INVALID_MAP;
    out->shortest = out->decisions = out->wrong_ways = out->wrong_pushes = -1;
    out->way_steps = out->forced_steps = out->way_waits = -1;
    out->unwinnable = out->trap_positions = -1;
    out->start_delay_ticks = limits.start_delay_ticks;
    out->think_ticks = limits.think_ticks;
    out->slowest_rate = slowest_rate_of(limits);
    static ValidationReport report;
    const size_t length = std::strlen(map_text);
    validate_map(map_text, length, &report);
    if (report.faults > 0)
        return false;

    // The other searches run on a second thread while this one explores: they share nothing
    // with the exploration but the map's text.
    OtherSearches found{};
    // With no thread to be had they run here, after the exploration.
    std::thread others = other_searches_thread(map_text, limits, out->slowest_rate, &found, 0, 1,
                                               limits.known);

    search_start_world(world, map_text);
    out->limit_ticks = world.clock;
    analysis_start = world;
    free_exploration();
    ex.limit = limits.memory_limit;
    out->complete = explore(limits);
    out->positions = ex.count;
    out->peak_memory = ex.peak;
    free_index();

    // What no more memory can be had for stays unknown rather than guessed.
    int32_t *way = out->complete ? ways_to_win() : nullptr;
    out->complete = way != nullptr;
    out->outcome = out->complete ? (way[0] == NO_WAY ? SEARCH_NO_SOLUTION : SEARCH_SOLVED)
                                 : SEARCH_MEMORY_LIMIT;
    if (way) {
        if (limits.progress)
            limits.progress(_("counting"), ex.count);
        count_traps(way, out);
        if (way[0] != NO_WAY) {
            measure_way(way, limits, out);
            out->way_waits = fewest_waits(way);
        }
    }
    free_array(way, ex.count);
    free_exploration();
    read_start_view(map_text, &out->start_view);

    // While the other searches run, the actors are weighed here, from the shortest way known;
    // with two threads the searches of the weighing take a helper, as the other searches end
    // long before them (the known way spares most).
    if (limits.actor_states > 0) {
        if (limits.progress)
            limits.progress(_("the level without its actors"), 0);
        const SearchLimits weighing{limits.ticks_per_frame, limits.actor_states, SEARCH_MAX_STEPS,
                                    limits.memory_limit, limits.threads > 1 ? 1 : 0};
        out->actors_weighed = weigh_actors(map_text, weighing,
                                           out->outcome == SEARCH_SOLVED ? out->shortest : -1,
                                           false, &out->actors);
    }

    if (limits.progress)
        limits.progress(_("delayed start and frame rates"), 0);
    if (others.joinable())
        others.join();
    else
        run_other_searches(map_text, limits, out->slowest_rate, &found, 0, 1, limits.known);
    take_other_searches(map_text, limits, found, out);
    out->seconds = seconds_since(began);
    return true;
}

void analyse_pace(const char *map_text, const AnalysisLimits &limits, const SearchResult *known,
                  LevelAnalysis *out)
{
    const auto began = std::chrono::steady_clock::now();
    out->start_delay_ticks = limits.start_delay_ticks;
    out->think_ticks = limits.think_ticks;
    out->slowest_rate = slowest_rate_of(limits);
    OtherSearches found{};
    // With no second thread this one does them all.
    std::thread half = other_searches_thread(map_text, limits, out->slowest_rate, &found, 1, 2,
                                             known);
    run_other_searches(map_text, limits, out->slowest_rate, &found, 0, half.joinable() ? 2 : 1,
                       known);
    if (half.joinable())
        half.join();
    take_other_searches(map_text, limits, found, out);
    out->seconds += seconds_since(began);
}

namespace {

bool is_actor(int32_t content)
{
    const ActorKind *kind = actor_kind(content);
    return kind && kind->obstacle;
}

/* Writes the level of `map` as map text into `text` (`size` bytes), the squares `removed` marks
   left empty. Returns false when it does not fit. */
bool write_map_text(const ParsedMap &map, const bool *removed, char *text, size_t size)
{
    int used = std::snprintf(text, size, "without actors\n%s\n%d\nminutes:\n%d\n\nsquares:\n%d\n",
                             map.name, (int)map.level_code, (int)map.minutes, (int)map.square_count);
    for (int32_t i = 0; i < map.square_count && used >= 0 && (size_t)used < size; i++) {
        const MapSquareLine &q = map.squares[i];
        used += std::snprintf(text + used, size - (size_t)used, "%d %d %d %d %d %d %d %d %d %d\n",
                              (int)q.x, (int)q.height, (int)q.z, (int)q.texture,
                              removed[i] ? (int)CONTENT_NOTHING : (int)q.content, (int)q.dir,
                              (int)q.side[0], (int)q.side[1], (int)q.side[2], (int)q.side[3]);
    }
    return used >= 0 && (size_t)used < size;
}

/* The shortest way of the level in `text`, in commands: its length, or WAY_NONE, WAY_LONGER (past
   the depth limit) or WAY_NOT_KNOWN. Adds the states searched to *states. */
int32_t way_length(const char *text, const SearchLimits &limits, int64_t *states)
{
    thread_local SearchResult result;
    search_level(text, limits, &result);
    *states += result.states;
    switch (result.outcome) {
    case SEARCH_SOLVED:         return result.step_count;
    case SEARCH_NO_SOLUTION:    return WAY_NONE;
    case SEARCH_DEPTH_LIMIT:    return WAY_LONGER;
    default:                    return WAY_NOT_KNOWN;
    }
}

/* The shortest way of `map` without the actor on its square `square` (its square left empty),
   searched within `limits`; adds the states searched to *states. Each thread has a text of its
   own to write the level into. */
int32_t way_without(const ParsedMap &map, int32_t square, const SearchLimits &limits,
                    int64_t *states)
{
    // Each square line is ten numbers of at most 11 characters.
    thread_local char text[MAP_SQUARE_LIMIT * 128 + MAP_NAME_BUFFER + 128];
    bool removed[MAP_SQUARE_LIMIT] = {};
    removed[square] = true;
    return write_map_text(map, removed, text, sizeof text) ? way_length(text, limits, states)
                                                           : WAY_NOT_KNOWN;
}

/* Whether `way` typed again, as the search types it from the start, completes the level in
   `text`. */
bool way_still_wins(const char *text, const SearchResult &way, int32_t ticks_per_frame)
{
    thread_local World w;
    search_start_world(w, text);
    for (int32_t i = 0; i < way.step_count; i++) {
        run_command(w, way.steps[i].code, ticks_per_frame, nullptr);
        if (w.level.level_completed)
            return true;
        if (level_over(w))
            return false;
    }
    return false;
}

/* The way of `map` without actor k of `out`, on its square `square`: WAY_NOT_LONGER when the
   shortcut spares the search, else as way_without. */
int32_t weigh_one(const ParsedMap &map, int32_t square, const ActorWeights &out, int32_t k,
                  const SearchLimits &limits, const WeighShortcut *shortcut, int64_t *states)
{
    if (shortcut && shortcut->way->step_count <= out.shortest &&
        !shortcut->exact(out.actors[k], shortcut->context)) {
        thread_local char text[MAP_SQUARE_LIMIT * 128 + MAP_NAME_BUFFER + 128];
        bool removed[MAP_SQUARE_LIMIT] = {};
        removed[square] = true;
        if (write_map_text(map, removed, text, sizeof text) &&
            way_still_wins(text, *shortcut->way, limits.ticks_per_frame))
            return WAY_NOT_LONGER;
    }
    return way_without(map, square, limits, states);
}

/* Weighs the actors of out->actors (the actors on `map`'s squares in order) that are still
   unclaimed, each claimed from `next` as the one before is weighed: two threads sharing `next`
   write no weight twice, and the one whose searches end sooner takes more of them (the
   searches differ tenfold). Adds the states searched to *states. */
void weigh_part(const ParsedMap &map, const SearchLimits &limits, ActorWeights *out,
                std::atomic<int32_t> *next, const WeighShortcut *shortcut, int64_t *states)
{
    int32_t claimed = next->fetch_add(1);
    for (int32_t i = 0, k = 0; i < map.square_count && claimed < out->count; i++) {
        if (!is_actor(map.squares[i].content))
            continue;
        if (k++ != claimed)
            continue;
        out->actors[claimed].way_without = weigh_one(map, i, *out, claimed, limits, shortcut,
                                                     states);
        claimed = next->fetch_add(1);
    }
}

} // namespace

bool weigh_actors(const char *map_text, const SearchLimits &limits, int32_t shortest,
                  bool rule_only, ActorWeights *out, const WeighShortcut *shortcut)
{
    std::memset(out, 0, sizeof *out);
    static ParsedMap map;           // some 8 KB, kept off the stack
    MapReader reader;
    map_reader_from_text(&reader, map_text, std::strlen(map_text));
    if (parse_map(&reader, &map).fault != MAP_OK)
        return false;
    if (shortest < 0)
        shortest = way_length(map_text, limits, &out->states);
    out->shortest = out->way_without_all = shortest;
    if (shortest < 0)
        return false;
    // Each square line is ten numbers of at most 11 characters.
    static char text[MAP_SQUARE_LIMIT * 128 + MAP_NAME_BUFFER + 128];
    bool removed[MAP_SQUARE_LIMIT] = {};
    for (int32_t i = 0; i < map.square_count; i++) {
        const MapSquareLine &q = map.squares[i];
        if (!is_actor(q.content))
            continue;
        removed[i] = true;
        out->actors[out->count++] = ActorWeight{q.x, q.z, q.content, WAY_NOT_KNOWN};
    }
    // Without them all first: that search is small, the actors' states gone, and it may settle
    // the rule.
    if (out->count > 0)
        out->way_without_all = write_map_text(map, removed, text, sizeof text)
                                   ? way_length(text, limits, &out->states) : WAY_NOT_KNOWN;
    SearchLimits within = limits;
    within.depth_limit = shortest;  // a longer way is all that is asked of it
    const bool apart = !rule_only && limits.helper_threads > 0 && out->count > 1;
    if (apart) {
        // Two threads weigh an actor each at a time, rather than share each search: the
        // searches are many, and a helper takes less than half of each.
        within.helper_threads = 0;
        int64_t helper_states = 0;
        std::atomic<int32_t> next{0};
        std::thread helper;
        try {
            helper = std::thread(weigh_part, std::cref(map), std::cref(within), out, &next,
                                 shortcut, &helper_states);
        } catch (...) {
        }
        weigh_part(map, within, out, &next, shortcut, &out->states);
        if (helper.joinable())
            helper.join();
        out->states += helper_states;
    }
    for (int32_t i = 0, k = 0; i < map.square_count && k < out->count; i++) {
        if (!is_actor(map.squares[i].content))
            continue;
        if (rule_only && actors_earn_their_places(*out))
            break;
        ActorWeight &w = out->actors[k++];
        if (!apart)
            w.way_without = weigh_one(map, i, *out, k - 1, within, shortcut, &out->states);
        out->matter += w.way_without == WAY_NONE || w.way_without == WAY_LONGER;
        out->unknown += w.way_without == WAY_NOT_KNOWN;
    }
    // A kind none of whose actors searched changes the way has those spared searched after all,
    // until one does: what the kind does for the way is then what a search of each would say.
    for (int32_t kind : {CONTENT_MIBO, CONTENT_ZIPPER, CONTENT_JAR, CONTENT_MINE}) {
        bool changes = false;
        for (int32_t k = 0; k < out->count; k++)
            changes = changes || (out->actors[k].content == kind && changes_the_way(out->actors[k], *out));
        for (int32_t i = 0, k = 0; i < map.square_count && k < out->count && !changes; i++) {
            if (!is_actor(map.squares[i].content))
                continue;
            ActorWeight &w = out->actors[k++];
            if (w.content != kind || w.way_without != WAY_NOT_LONGER)
                continue;
            // The way without it is no longer than the level's: it cannot come to matter.
            w.way_without = way_without(map, i, within, &out->states);
            out->unknown += w.way_without == WAY_NOT_KNOWN;
            changes = changes_the_way(w, *out);
        }
    }
    return true;
}

bool changes_the_way(const ActorWeight &w, const ActorWeights &weights)
{
    return w.way_without != weights.shortest && w.way_without != WAY_NOT_KNOWN &&
           w.way_without != WAY_NOT_LONGER;
}

int32_t actors_saving(const ActorWeights &w)
{
    if (w.way_without_all == WAY_NONE || w.way_without_all == WAY_NOT_KNOWN)
        return w.way_without_all;
    if (w.way_without_all == WAY_LONGER || w.way_without_all >= w.shortest)
        return 0;
    return w.shortest - w.way_without_all;
}

bool actors_earn_their_places(const ActorWeights &w)
{
    return w.count == 0 || w.matter > 0 || actors_saving(w) >= ANALYSIS_ACTORS_SAVE;
}

bool read_start_view(const char *map_text, StartView *view)
{
    *view = StartView{};
    static ParsedMap map;
    MapReader reader;
    map_reader_from_text(&reader, map_text, std::strlen(map_text));
    if (parse_map(&reader, &map).fault != MAP_OK)
        return false;
    const MapSquareLine &start = map.squares[map.start_square];
    // dir 0 faces +z, 64 +x, 128 -z, 192 -x.
    const int32_t ahead_x = start.dir == 64 ? 1 : start.dir == 192 ? -1 : 0;
    const int32_t ahead_z = start.dir == 0 ? 1 : start.dir == 128 ? -1 : 0;
    for (int32_t i = 0; i < map.square_count; i++) {
        const MapSquareLine &q = map.squares[i];
        const int32_t dx = q.x - start.x, dz = q.z - start.z;
        const int32_t forward = dx * ahead_x + dz * ahead_z;
        const int32_t side = std::abs(dx * ahead_z - dz * ahead_x);
        if (forward < 1 || forward > ANALYSIS_VIEW_DEPTH || side > forward)
            continue;
        view->squares++;
        view->ahead = view->ahead || (forward == 1 && side == 0);
        view->teleport = view->teleport || q.content == CONTENT_TELEPORT;
        view->sweet = view->sweet || q.content == CONTENT_SWEET;
    }
    return true;
}

double analysis_clock_margin(const LevelAnalysis &a)
{
    return a.shortest_ticks > 0 ? (double)a.limit_ticks / a.shortest_ticks : 0.0;
}

double analysis_human_margin(const LevelAnalysis &a)
{
    return a.think_way_ticks > 0 ? (double)a.limit_ticks / a.think_way_ticks : 0.0;
}

double analysis_unwinnable_share(const LevelAnalysis &a)
{
    return a.positions > 0 && a.unwinnable > 0 ? (double)a.unwinnable / (double)a.positions : 0.0;
}

const char *command_name(int32_t code)
{
    switch (code) {
    case SEARCH_WAIT:       return "wait";
    case MOVE_FORWARD:      return "up";
    case MOVE_BACKWARD:     return "down";
    case MOVE_TURN_LEFT:    return "left";
    case MOVE_TURN_RIGHT:   return "right";
    case MOVE_JUMP:         return "jump";
    case MOVE_STRAFE_LEFT:  return "strafe-left";
    case MOVE_STRAFE_RIGHT: return "strafe-right";
    default:                return "?";
    }
}

namespace {

const char *actor_name(int32_t content)
{
    const ActorKind *kind = actor_kind(content);
    return kind ? kind->name : "?";
}

/* A way without actors in words: "N commands", or why there is no length. */
const char *way_words(int32_t way, int32_t shortest, char *text, size_t size)
{
    if (way == WAY_NONE)
        return _("it cannot be won");
    if (way == WAY_NOT_KNOWN)
        return _("not known: the search stopped at a limit");
    if (way == WAY_LONGER)
        std::snprintf(text, size, _("no way of %d commands or fewer"), (int)shortest);
    else
        std::snprintf(text, size, _("the way is %d commands"), (int)way);
    return text;
}

/* The lines of describe_analysis on the actors: how many matter, then each actor and its way
   without it, then the way without them all. */
void describe_actors(const ActorWeights &w, AnalysisLine line, void *context)
{
    char text[400], way[80];
    if (w.count == 0) {
        line(context, _("fairness: no mibo, zipper, jar or mine"), false);
        return;
    }
    std::snprintf(text, sizeof text, _("fairness: %d actors, %d matter (one matters when without it the level cannot "
                  "be won or its way of %d commands grows)%s; %lld states searched without them"),
                  (int)w.count, (int)w.matter, (int)w.shortest,
                  w.unknown ? _(", some not known") : "", (long long)w.states);
    line(context, text, false);
    for (int32_t i = 0; i < w.count; i++) {
        const ActorWeight &a = w.actors[i];
        std::snprintf(text, sizeof text, _("  %s at (%d,%d): without it %s"), actor_name(a.content),
                      (int)a.column, (int)a.row, way_words(a.way_without, w.shortest, way, sizeof way));
        line(context, text, true);
    }
    const int32_t saving = actors_saving(w);
    if (saving >= 0)
        std::snprintf(text, sizeof text, _("fairness: without any actor %s, %d fewer"),
                      way_words(w.way_without_all, SEARCH_MAX_STEPS, way, sizeof way), (int)saving);
    else
        std::snprintf(text, sizeof text, _("fairness: without any actor %s"),
                      way_words(w.way_without_all, SEARCH_MAX_STEPS, way, sizeof way));
    line(context, text, false);
}

} // namespace

void describe_analysis(const LevelAnalysis &a, int64_t memory_limit, AnalysisLine line, void *context)
{
    char text[400];
    if (!a.complete) {
        std::snprintf(text, sizeof text, _("fairness: %lld positions reached before the memory limit of "
                      "%lld MB: traps, decisions and wrong ways not known"), (long long)a.positions,
                      (long long)(memory_limit / (1024 * 1024)));
        line(context, text, false);
    } else {
        std::snprintf(text, sizeof text, _("fairness: %lld positions, %lld cannot be won (%.1f %%); "
                      "shortest way %d commands with %d decisions and %d wrong ways; a trap at %lld "
                      "positions"), (long long)a.positions, (long long)a.unwinnable,
                      100.0 * analysis_unwinnable_share(a), (int)a.shortest, (int)a.decisions,
                      (int)a.wrong_ways, (long long)a.trap_positions);
        line(context, text, false);
        if (a.way_steps > 0) {
            std::snprintf(text, sizeof text, _("fairness: %d of the way's %d steps are forced (no other "
                          "step but back leaves the robot standing): %.0f %% a walk"), (int)a.forced_steps,
                          (int)a.way_steps, 100.0 * a.forced_steps / a.way_steps);
            line(context, text, false);
        }
        if (a.trap_length > 0) {
            std::snprintf(text, sizeof text, _("the first trap, %d commands from the start (the last "
                          "one springs it):"), (int)a.trap_length);
            line(context, text, false);
            // Twelve commands a line, a comma after each but the last.
            int used = 0;
            for (int32_t i = 0; i < a.trap_length; i++) {
                used += std::snprintf(text + used, sizeof text - (size_t)used, "%s%s%s",
                                      i % 12 == 0 ? "  " : "", command_name(a.trap_codes[i]),
                                      i + 1 == a.trap_length ? "" : i % 12 == 11 ? "," : ", ");
                if (i % 12 == 11 || i + 1 == a.trap_length) {
                    line(context, text, true);
                    used = 0;
                }
            }
        }
    }
    if (a.way_waits >= 0) {
        const StartView &v = a.start_view;
        std::snprintf(text, sizeof text, _("fairness: the shortest way needs %d waits; the start shows "
                      "%d squares within %d ahead, %s"), (int)a.way_waits, (int)v.squares,
                      (int)ANALYSIS_VIEW_DEPTH, v.teleport && v.sweet ? _("the teleport and a sweet among them")
                      : v.teleport ? _("the teleport among them, no sweet") : v.sweet ?
                      _("a sweet among them, not the teleport") : _("neither the teleport nor a sweet"));
        line(context, text, false);
    }
    if (a.actors_weighed)
        describe_actors(a.actors, line, context);
    char rates[64] = "";
    int used = 0;
    for (int32_t rate = 1; rate <= a.slowest_rate; rate++)
        if (!a.rate_wins[rate])
            used += std::snprintf(rates + used, sizeof rates - (size_t)used, "%s%d", used ? "," : "",
                                  (int)rate);
    std::snprintf(text, sizeof text, _("fairness: after a start delay of %d ticks %s; at 1 to %d ticks "
                  "a frame %s%s; clock margin %.1f; analysed in %.2f s"), (int)a.start_delay_ticks,
                  a.start_delay_wins ? _("it can be won") : _("it CANNOT be won"), (int)a.slowest_rate,
                  used ? _("it cannot be won at ") : _("it can always be won"), rates,
                  analysis_clock_margin(a), a.seconds);
    line(context, text, false);
    if (a.think_ticks >= 0) {
        if (a.think_wins)
            std::snprintf(text, sizeof text, _("fairness: thinking %.2f s before each command it can "
                          "be won, in %.2f s of game time; human margin %.2f"), a.think_ticks / 100.0,
                          a.think_way_ticks / 100.0, analysis_human_margin(a));
        else
            std::snprintf(text, sizeof text, _("fairness: thinking %.2f s before each command it "
                          "CANNOT be won"), a.think_ticks / 100.0);
        line(context, text, false);
    }
}

void describe_way(const SearchResult &way, AnalysisLine line, void *context)
{
    char text[400];
    int used = 0, on_line = 0;
    int32_t column = -1, row = -1;
    for (int32_t i = 0; i < way.step_count; i++) {
        const SearchStep &s = way.steps[i];
        used += std::snprintf(text + used, sizeof text - (size_t)used, "%s%s", on_line == 0 ? "  " : "",
                              command_name(s.code));
        if (s.column != column || s.row != row)
            used += std::snprintf(text + used, sizeof text - (size_t)used, " (%d,%d)", (int)s.column,
                                  (int)s.row);
        column = s.column;
        row = s.row;
        if (++on_line == 8 || i + 1 == way.step_count) {
            line(context, text, true);
            used = on_line = 0;
        } else {
            used += std::snprintf(text + used, sizeof text - (size_t)used, ", ");
        }
    }
}
