/* level_search.cpp: finds the shortest way to win a level by trying every command the player has. */
#include "search/level_search.h"

#include <atomic>
#include <chrono>
#include <new>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "base/datafile.h"
#include "search/map_validation.h"
#include "search/mapped_block.h"
#include "search/search_helper.h"
#include "search/search_play.h"
#include "search/search_state.h"
#include "search/state_layer.h"
#include "search/state_table.h"
#include "search/win_table.h"
#include "world/actor.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/tile_grid.h"
#include "world/world_cues.h"
#include "world/world_clock.h"
#include "world/world_driver.h"

namespace {

enum {
    CLOCK_EVERY = 64,           /* states expanded between looks at the clock */
    ACTION_BITS = 3,            /* a parent link is the parent's serial and the action taken */
    HELPER_LAYER_MIN = 512,     /* states of a depth worth a helper thread */
    HELPER_WAIT_US = 200,       /* pause between two looks at a helper still running */
    MERGE_AHEAD = 8,            /* findings whose slots are fetched before they are looked up */
    HERE_SETTLE_FRAMES = 2000,  /* frames a robot under way is given to come to rest */
    LED_WEIGHT = 12,            /* a led search's rank: commands, and this many per square to go */
    LED_SWEET_STRETCH = 8       /* squares counted for each sweet left beyond the nearest */
};

const uint64_t MEGABYTE = 1024 * 1024;
/* The part of a depth a helper takes at first, and the bounds of what it may take later, when
   its part follows the pace of the two processes. The search has its own part and then the
   helper's findings to take in, so at first the helper takes less than half. */
const double HELPER_SHARE = 0.45, HELPER_SHARE_LEAST = 0.2, HELPER_SHARE_MOST = 0.8;
const uint64_t HELPER_RESERVE_MAX = 1024 * MEGABYTE;

const int64_t STATE_SERIAL_LIMIT = (int64_t)1 << (32 - ACTION_BITS);
/* The rank of a led search's state whose way its table knows: below every other. */
const int32_t KNOWN_RANK = INT32_MIN / 2;

/* A state a led search has reached and not expanded yet. */
struct OpenState {
    int32_t rank;               /* commands so far plus the weighted distance still to go */
    uint32_t serial;
    uint64_t offset;            /* of its runs in the arena */
    int32_t depth;              /* commands from the start */
    uint32_t spare;
};

/* What a helper thread works with: the parts of the search it only reads while it runs (the
   depth being expanded, the start's record, the limits) and its own world, memo and records.
   Copies, not pointers into the search: the search writes the next depth's layer beside the
   current one and its own fields beside the helper's table at every state, and a line of memory
   written by one processor and read by the other passes between them each time. */
struct alignas(64) HelperJob {
    StateLayer layer;           /* a copy of the layer being expanded, which neither changes */
    const uint32_t *base;
    size_t words;
    SearchLimits limits;
    uint64_t read_offset;       /* where the search stood in the layer as the helper began, */
    int64_t read_index;
    uint32_t *read_record;      /* and the state it had read last: the layer's records follow
                                   one another as differences */
    int64_t from;               /* the first state of the helper's part */
    uint64_t own_limit;         /* bytes its own table may take */
    StateTable own;             /* its own table: the states it found, emptied as it begins;
                                   the search's helper_own, handed back once the helper ends */
    StateTable seen;            /* a view of the states the search has seen, which it goes on
                                   adding to meanwhile (state_table_share) */
    std::atomic<uint64_t> passed;   /* the helper reads no more of the layer before this byte */
    World world, spare_world;   /* its worlds, one for each command in turn, as the search's */
    StateHasher hasher;
    SearchNearest nearest;      /* how near it came, from what the search had noted */
};

/* A search: the level's start, the states seen, the depth being expanded and the
   one after it, and for every state the link to the state it was reached from. A state's serial
   is its place in the order states were reached; the states of one depth have consecutive
   serials, so a layer needs no serials of its own. */
struct Search {
    SearchOutcome outcome;
    SearchLimits limits;
    char *text;                 /* the map, copied */
    size_t length;
    int32_t limit_ticks;
    int32_t start_frame;        /* frames run before the first command (a delayed start) */
    size_t words;               /* 32-bit words of a state record */
    uint32_t *base;             /* the start's record, which the layers are stored against */
    uint32_t *parent_record;    /* the state being expanded */
    uint64_t parent_changed[2]; /* the actors parent_record has changed in since its last
                                   state_key_begin_put_changed (bit i of word i / 64) */
    uint32_t *child_record;
    /* The states seen. A helper looks its states up here as the search adds to it: a copy of
       its own for each large depth cost a third again of the search's time, and one kept up to
       date beside it a sixth and as much memory as this. */
    StateTable seen;
    StateLayer layers[2];
    int current;                /* layers[current] is being expanded into the other */
    uint64_t read_offset;
    int64_t read_index;         /* states of the current layer expanded */
    int64_t layer_first;        /* serial of the current layer's first state */
    int32_t depth;
    uint32_t *parents;          /* by serial: parent serial << ACTION_BITS | action */
    int64_t parent_capacity;
    int64_t states;
    int64_t solved_parent;      /* the state whose command solved the level, and the command */
    int32_t solved_action;
    int64_t peak_memory;
    double seconds;
    SearchHelper helper;        /* a second thread on the last part of the current layer */
    HelperJob *helper_job;      /* what it works with; none when no helper runs */
    int64_t helper_from;        /* the first state of the layer it expands; -1 for none */
    uint64_t helper_reserve;    /* memory counted for it: its findings and its own table */
    StateTable helper_own;      /* a helper's own table, kept from one helper to the next, */
    uint64_t helper_kept;       /* and the most bytes of findings one has written: what the
                                   helpers hold while none runs */
    bool merging;               /* it has ended, and its findings are being taken in */
    uint64_t merge_offset;
    uint64_t merge_used;        /* bytes of findings the helper wrote, its header's `used` */
    uint64_t merge_ahead;       /* the finding whose slot in `seen` is fetched next, ahead */
    bool merge_in_step;         /* the next layer's last state is the finding before */
    double helper_share;        /* the part of the next large depth it takes */
    double helper_start_time;           /* when it started, */
    double reached_time;        /* when the search came to its part (0 before) */
    double helper_end_time;     /* and when it ended, all on the system's steady clock */
    bool depth_cut;             /* a led search left a state unexpanded at the depth limit */
    bool clock_cut;             /* ... or a command's end for lost as the clock ran out */
    /* A led search (limits.led): the states still to expand, best first, each kept in `arena`
       as its difference from the start. */
    OpenState *open;            /* a binary heap on (rank, serial) */
    int64_t open_count, open_capacity;
    uint8_t *arena;
    uint64_t arena_used, arena_capacity;
    SearchNearest nearest;
    World world;                /* the world the search plays on, its own, */
    World spare_world;          /* and a second: each command plays on the other one */
    World level_start;          /* the world of the level's start, squares included */
    StateHasher hasher;         /* the memo of the keys taken on `world` */
};

/* What a helper writes: a header, then its findings in the order found, each followed by the
   runs in which the state found differs from the state it was reached from. */
struct HelperHeader {
    uint64_t used;              /* bytes written, the header included */
    int64_t parents_done;       /* states of the layer from helper_from on fully expanded */
    uint64_t own_bytes;         /* the most its own table held */
    double end_time;            /* when it ended, on the system's steady clock */
    SearchNearest nearest;      /* over the states it kept and those the search held as it began */
};

struct HelperFinding {
    StateKey key;
    int32_t parent;             /* in the layer */
    int16_t action;
    int16_t solved;             /* the command completed the level: nothing follows */
    uint32_t bytes;             /* of runs that follow */
    uint32_t spare;
};

/* Seconds on the steady clock, which the helper thread shares with the search. */
double steady_seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

Search idle_search()
{
    Search s{};
    s.outcome = SEARCH_IDLE;
    s.helper_from = -1;
    s.helper_share = HELPER_SHARE;
    return s;
}

} // namespace

/* A search: its record, and the request to stop that another thread may make while it runs. */
struct LevelSearch {
    Search s = idle_search();
    std::atomic<bool> stop_asked{false};
};

namespace {

int64_t memory_held(const Search &s)
{
    return (int64_t)(state_table_bytes(s.seen) + layer_bytes(s.layers[0]) +
                     layer_bytes(s.layers[1])) +
           s.parent_capacity * (int64_t)sizeof(uint32_t) +
           3 * (int64_t)(s.words * sizeof(uint32_t)) + (int64_t)s.length +
           (int64_t)(s.helper_reserve ? s.helper_reserve :
                                        s.helper_kept + state_table_bytes(s.helper_own)) +
           (int64_t)s.arena_capacity +
           s.open_capacity * (int64_t)sizeof(OpenState);
}

/* Notes the most memory held at once: with a helper, what it has taken rather than what is
   counted for it against the limit. */
void note_memory(Search &s, uint64_t helper_bytes = 0)
{
    int64_t held = memory_held(s) - (int64_t)s.helper_reserve + (int64_t)helper_bytes;
    if (held > s.peak_memory)
        s.peak_memory = held;
}

/* Puts the level's start in the search's world. */
void enter_level(Search &s)
{
    s.world = s.level_start;
    s.spare_world = s.level_start;
}

/* Makes room for one more parent link within the memory allowed. */
bool room_for_parent(Search &s)
{
    if (s.states < s.parent_capacity)
        return true;
    int64_t capacity = s.parent_capacity ? 2 * s.parent_capacity : 1 << 16;
    if (memory_held(s) + capacity * (int64_t)sizeof(uint32_t) > s.limits.memory_limit)
        return false;
    uint32_t *grown = (uint32_t *)resize_block(s.parents, (size_t)s.parent_capacity * sizeof(uint32_t),
                                               (size_t)capacity * sizeof(uint32_t));
    if (!grown)
        return false;
    s.parents = grown;
    s.parent_capacity = capacity;
    return true;
}

/* Bytes the search may still take besides the part being grown. */
uint64_t memory_besides(Search &s, uint64_t part)
{
    return (uint64_t)memory_held(s) - part;
}

/* Adds `key` to the states seen and makes room for its link. Returns false when it was seen
   before, or when there is no room (the outcome then says so). */
bool admit(Search &s, StateKey key)
{
    StateInsert inserted = state_table_insert(&s.seen, key,
                                              memory_besides(s, state_table_bytes(s.seen)),
                                              (uint64_t)s.limits.memory_limit);
    if (inserted == STATE_SEEN)
        return false;
    if (inserted == STATE_NO_ROOM || !room_for_parent(s)) {
        s.outcome = SEARCH_MEMORY_LIMIT;
        return false;
    }
    return true;
}

/* Links the state just appended to the next layer to state `parent` and `action`; sets the
   outcome when the state limit is met. */
void link(Search &s, int64_t parent, int action)
{
    s.parents[s.states++] = (uint32_t)parent << ACTION_BITS | (uint32_t)action;
    note_memory(s);
    if (s.states >= s.limits.state_limit)
        s.outcome = SEARCH_STATE_LIMIT;
}

void note_nearest(const World &w, SearchNearest *n);

/* Adds world w as it stands, with `key` and `frame`, reached from state `parent` by `action`,
   unless it was reached before. Sets the outcome when a limit is met. */
void reach(Search &s, const World &w, StateKey key, int64_t parent, int action, int32_t frame)
{
    if (!admit(s, key))
        return;
    // Noted for the states kept alone: one reached again is the state noted then.
    note_nearest(w, &s.nearest);
    take_state(w, (uint8_t *)s.child_record, frame);
    StateLayer &next = s.layers[1 - s.current];
    if (!layer_append(&next, s.child_record, memory_besides(s, layer_bytes(next)),
                      (uint64_t)s.limits.memory_limit)) {
        s.outcome = SEARCH_MEMORY_LIMIT;
        return;
    }
    link(s, parent, action);
}

/* Plays `action` on world w from the state in parent_record, one the search kept (so not
   hopeless) unless `from_start`; `again`: w was put from it before, and played on since. Returns
   1 when it completes the level, -1 when it leads nowhere (hopeless, or the robot not ready), 0
   for a state to keep; *frame is its frame. */
int play_on(World &w, const SearchLimits &limits, const uint32_t *parent_record, int action,
            int32_t *frame, bool from_start, bool again)
{
    *frame = again ? put_state_again(w, (const uint8_t *)parent_record) :
                     put_state(w, (const uint8_t *)parent_record);
    const int32_t blasts = w.cues.plays[DAT_SAMPLE_EXPLOSION];
    // A person's pace: the level goes on while the player thinks; what it blows up meanwhile
    // counts with the command's own blasts below.
    if (limits.think_ticks > 0 && action_codes[action] != SEARCH_WAIT) {
        *frame += run_think(w, limits.ticks_per_frame, limits.think_ticks);
        if (level_over(w))
            return -1;
    }
    bool cut = false;
    *frame += run_command(w, action_codes[action], limits.ticks_per_frame, &cut);
    if (cut)
        return -1;
    if (w.level.level_completed)
        return 1;
    // The start of a search begun on a map was not looked at: it may have lost a sweet already.
    const bool lost = from_start ? hopeless(w) : hopeless_since(w, blasts);
    return lost || !robot_ready(w) ? -1 : 0;
}

/* play_on on the search's own world and the state it is expanding, `serial`, its commands in
   order from the first. */
int play(Search &s, int action, int32_t *frame, int64_t serial)
{
    return play_on(s.world, s.limits, s.parent_record, action, frame, serial == 0, action > 0);
}

/* A state a command has reached, waiting for its look in the table. */
struct Pending {
    int action;         /* -1: none */
    StateKey key;
    int32_t frame;
};

/* The fewer of a distance so far (-1 for none) and a new one. */
int32_t nearer(int32_t so_far, int32_t distance)
{
    return so_far < 0 || distance < so_far ? distance : so_far;
}

/* Notes how near the world as it stands, a state the search keeps, is to a win. A sweet gone
   from a kept state was eaten: one blown up leaves the level hopeless, and such states are not
   kept. */
void note_nearest(const World &w, SearchNearest *n)
{
    int32_t sweet = 0, eaten = 0, teleport = -1;
    for (int i = 0; i < w.actors.count; i++) {
        const Actor &a = w.actors.actors[i];
        if (a.type == ACTOR_TELEPORT && !a.gone) {
            const int32_t dx = fixtoi(a.x) / 100 - w.motion.playerL[0];
            const int32_t dz = fixtoi(a.z) / 100 - w.motion.playerL[1];
            teleport = nearer(teleport, (dx < 0 ? -dx : dx) + (dz < 0 ? -dz : dz));
        } else if (a.type == ACTOR_SWEET) {
            if (a.gone) {
                eaten++;
                if (sweet < SEARCH_SWEETS_FOLLOWED)
                    n->eaten |= (uint64_t)1 << sweet;
            }
            sweet++;
        }
    }
    if (eaten > n->most_eaten)
        n->most_eaten = eaten;
    if (teleport >= 0) {
        n->teleport_distance = nearer(n->teleport_distance, teleport);
        if (eaten == sweet)
            n->open_distance = nearer(n->open_distance, teleport);
    }
}

/* Starts the record of how near the search comes to a win from its start, the world as it
   stands: the level's sweets and where they lie. */
void begin_nearest(const World &w, SearchNearest *n)
{
    *n = SearchNearest{};
    n->teleport_distance = n->open_distance = -1;
    for (int i = 0; i < w.actors.count; i++) {
        const Actor &a = w.actors.actors[i];
        if (a.type != ACTOR_SWEET)
            continue;
        if (n->sweets < SEARCH_SWEETS_FOLLOWED) {
            n->sweet_column[n->sweets] = fixtoi(a.x) / 100;
            n->sweet_row[n->sweets] = fixtoi(a.z) / 100;
        }
        n->sweets++;
    }
    note_nearest(w, n);
}

/* Takes in what a helper noted of how near it came. */
void merge_nearest(SearchNearest *n, const SearchNearest &helper)
{
    n->eaten |= helper.eaten;
    if (helper.most_eaten > n->most_eaten)
        n->most_eaten = helper.most_eaten;
    if (helper.teleport_distance >= 0)
        n->teleport_distance = nearer(n->teleport_distance, helper.teleport_distance);
    if (helper.open_distance >= 0)
        n->open_distance = nearer(n->open_distance, helper.open_distance);
}

/* Reads the next state of `layer` into parent_record, noting the actors it changes; returns the
   offset after it. */
uint64_t read_parent(Search &s, const StateLayer &layer)
{
    return layer_read_marking(layer, s.read_offset, s.parent_record, state_head_words(),
                              state_actor_words(), s.parent_changed);
}

/* Gives back the part of the current layer that the search has read and a helper has passed:
   the depth being expanded shrinks as the next one grows, and the two were most of a large
   search's memory besides its table. */
void give_back_read(Search &s)
{
    uint64_t read = s.read_offset;
    if (s.helper_job) {
        const uint64_t passed = s.helper_job->passed.load(std::memory_order_acquire);
        read = passed < read ? passed : read;
    }
    layer_give_back(&s.layers[s.current], read);
}

/* Tries every command on the next state of the current layer. A state reached is looked up in
   the table only after the next command has played, on the other world: the table is far larger
   than the caches, and its slot arrives from memory meanwhile. The states go in in the order of
   the commands, as they would one by one. */
void expand_next(Search &s)
{
    const StateLayer &layer = s.layers[s.current];
    s.read_offset = read_parent(s, layer);
    int64_t parent = s.layer_first + s.read_index++;
    if ((s.read_index & 255) == 0)
        give_back_read(s);
    // The states of a layer follow one another mostly alike: the memo of the keys goes on from
    // the state before, looking again only at the actors this one differs in.
    state_key_begin_put_changed(&s.hasher, (const uint8_t *)s.parent_record, s.parent_changed);
    s.parent_changed[0] = s.parent_changed[1] = 0;
    World *worlds[2] = {&s.world, &s.spare_world};
    Pending pending{-1, {0, 0}, 0};
    for (int action = 0; action < SEARCH_ACTIONS; action++) {
        World &w = *worlds[action & 1];
        int32_t frame;
        int played = play_on(w, s.limits, s.parent_record, action, &frame, parent == 0,
                             action >= 2);
        if (pending.action >= 0) {
            reach(s, *worlds[pending.action & 1], pending.key, parent, pending.action, pending.frame);
            pending.action = -1;
            if (s.outcome != SEARCH_RUNNING)
                return;
        }
        if (played > 0) {
            s.solved_parent = parent;
            s.solved_action = action;
            s.outcome = SEARCH_SOLVED;
            return;
        }
        if (played == 0) {
            pending = Pending{action, state_key_played(w, &s.hasher), frame};
            state_table_prefetch(s.seen, pending.key);
        }
    }
    if (pending.action >= 0)
        reach(s, *worlds[pending.action & 1], pending.key, parent, pending.action, pending.frame);
}

/* The helper's work, on its own thread: expands the layer from `from` on as expand_next would,
   on a world of its own, leaving out what the search has seen (as far as it can tell while the
   search adds to it) and what it found itself before, and writes the rest as findings: a state
   it misses the search leaves out as it takes the findings in. Stops early, after a whole state, when its
   memory is full or it is asked to stop. */
void help(void *job_memory, uint8_t *shared, uint64_t capacity, const std::atomic<bool> &stop)
{
    HelperJob &job = *(HelperJob *)job_memory;
    const StateLayer &layer = job.layer;
    HelperHeader header{sizeof(HelperHeader), 0, 0, 0, {}};
    // Its own records: the state being expanded, the child reached, and the chain of findings,
    // each written as its difference from the one before (the first from the start), as the
    // search's layers store them, so that it can take them in as they are.
    const size_t bytes = job.words * sizeof(uint32_t);
    uint32_t *parent_record = job.read_record;
    uint32_t *child_record = (uint32_t *)std::malloc(bytes);
    uint32_t *chain = (uint32_t *)std::malloc(bytes);
    if (!child_record || !chain) {
        std::free(child_record);
        std::free(chain);
        std::memcpy(shared, &header, sizeof header);    // nothing done: the search does it all
        return;
    }
    uint64_t offset = job.read_offset;
    int64_t k = job.read_index;
    uint64_t changed[2] = {~(uint64_t)0, ~(uint64_t)0};    // as the search's parent_changed
    const size_t head_words = state_head_words(), actor_words = state_actor_words();
    for (; k < job.from; k++)
        offset = layer_read_marking(layer, offset, parent_record, head_words, actor_words, changed);
    job.passed.store(offset, std::memory_order_release);
    StateTable &own = job.own;
    if (state_table_bytes(own) > job.own_limit)
        state_table_free(&own);
    state_table_clear(&own);
    std::memcpy(chain, job.base, bytes);
    const uint64_t finding_most = sizeof(HelperFinding) + runs_worst_case(job.words);
    bool full = false, solved = false;
    for (; k < layer.count && !full && !solved && !stop.load(std::memory_order_relaxed); k++) {
        offset = layer_read_marking(layer, offset, parent_record, head_words, actor_words, changed);
        if ((k & 255) == 0)
            job.passed.store(offset, std::memory_order_release);
        state_key_begin_put_changed(&job.hasher, (const uint8_t *)parent_record, changed);
        changed[0] = changed[1] = 0;
        const uint64_t used_before = header.used;
        // Writes the finding of `action`, the state it reached on world w or, `solving`, the
        // command that completes the level, unless the search or the helper had it before.
        // Returns false when there is no room for it.
        auto write = [&](const World &w, StateKey key, int action, int32_t frame, bool solving) {
            HelperFinding f{key, (int32_t)k, (int16_t)action, (int16_t)solving, 0, 0};
            if (!solving) {
                if (state_table_holds_shared(job.seen, key))
                    return true;
                StateInsert inserted = state_table_insert(&own, key, 0, job.own_limit);
                if (inserted == STATE_SEEN)
                    return true;
                if (inserted == STATE_NO_ROOM || header.used + finding_most > capacity)
                    return false;
                note_nearest(w, &job.nearest);
                take_state(w, (uint8_t *)child_record, frame);
                f.bytes = (uint32_t)encode_runs(child_record, chain, job.words,
                                                shared + header.used + sizeof f, chain);
            }
            std::memcpy(shared + header.used, &f, sizeof f);
            header.used += sizeof f + f.bytes;
            return true;
        };
        // As in expand_next: each state is looked up after the next command, on the other world.
        World *worlds[2] = {&job.world, &job.spare_world};
        Pending pending{-1, {0, 0}, 0};
        for (int action = 0; action < SEARCH_ACTIONS && !full && !solved; action++) {
            World &w = *worlds[action & 1];
            int32_t frame;
            int played = play_on(w, job.limits, parent_record, action, &frame, false, action >= 2);
            if (pending.action >= 0) {
                full = !write(*worlds[pending.action & 1], pending.key, pending.action,
                              pending.frame, false);
                pending.action = -1;
                if (full)
                    break;
            }
            if (played < 0)
                continue;
            const StateKey key = state_key_played(w, &job.hasher);
            if (played > 0) {
                write(w, key, action, frame, true);
                solved = true;  // nothing after it counts
            } else {
                state_table_prefetch(job.seen, key);
                state_table_prefetch(own, key);
                pending = Pending{action, key, frame};
            }
        }
        if (pending.action >= 0 && !full && !solved)
            full = !write(*worlds[pending.action & 1], pending.key, pending.action, pending.frame,
                          false);
        if (full)
            header.used = used_before;  // this state is left whole to the search
        else
            header.parents_done = k - job.from + 1;
    }
    header.own_bytes = state_table_bytes(own);     // the states seen are the search's
    header.end_time = steady_seconds();
    header.nearest = job.nearest;
    std::memcpy(shared, &header, sizeof header);
    std::free(child_record);
    std::free(chain);
}

void drop_helper(Search &s)
{
    helper_stop(&s.helper);
    state_table_unshare(&s.seen);
    if (s.helper_job) {
        if (s.helper_job->own.capacity) {
            state_table_free(&s.helper_own);
            s.helper_own = s.helper_job->own;
        }
        std::free(s.helper_job->read_record);
        delete s.helper_job;
        s.helper_job = nullptr;
    }
    s.helper_from = -1;
    s.helper_reserve = 0;
    s.merging = false;
}

/* Starts a helper on the last part of the layer about to be expanded, when it is large and there
   is memory to spare. */
void start_helper(Search &s)
{
    const int64_t count = s.layers[s.current].count;
    if (s.limits.helper_threads < 1 || count < HELPER_LAYER_MIN)
        return;
    const uint64_t held = (uint64_t)memory_held(s), limit = (uint64_t)s.limits.memory_limit;
    uint64_t reserve = held < limit ? (limit - held) / 4 : 0;
    if (reserve > HELPER_RESERVE_MAX)
        reserve = HELPER_RESERVE_MAX;
    if (reserve < MEGABYTE)
        return;
    s.helper_from = count - (int64_t)((double)count * s.helper_share);
    s.helper_reserve = reserve;
    s.helper_start_time = steady_seconds();
    s.reached_time = 0;
    // The helper's own world, and a view of the states seen, which the search adds to while it
    // runs: what the search finds meanwhile comes before the helper's part in the layer's order,
    // so a state it has seen is one the helper may leave out.
    const uint64_t capacity = reserve / 4 * 3;
    HelperJob *job = new (std::nothrow) HelperJob();
    if (!job) {
        drop_helper(s);
        return;
    }
    s.helper_job = job;
    job->layer = s.layers[s.current];
    job->base = s.base;
    job->words = s.words;
    job->limits = s.limits;
    job->read_offset = s.read_offset;
    job->passed.store(s.read_offset, std::memory_order_relaxed);
    job->read_index = s.read_index;
    job->read_record = (uint32_t *)std::malloc(s.words * sizeof(uint32_t));
    if (!job->read_record) {
        drop_helper(s);
        return;
    }
    std::memcpy(job->read_record, s.parent_record, s.words * sizeof(uint32_t));
    job->from = s.helper_from;
    job->world = s.world;
    job->spare_world = s.world;
    job->nearest = s.nearest;
    job->seen = state_table_share(&s.seen);
    job->own_limit = reserve - capacity;
    job->own = s.helper_own;
    s.helper_own = StateTable{};
    if (!helper_start(&s.helper, capacity, help, job))
        drop_helper(s);
}

/* Asks for the slot in `seen` of the finding at merge_ahead, and moves on to the next: its look
   comes MERGE_AHEAD findings later, with the slot at hand by then. */
void fetch_finding_ahead(Search &s, uint64_t used)
{
    if (s.merge_ahead >= used)
        return;
    HelperFinding f;
    std::memcpy(&f, s.helper.shared + s.merge_ahead, sizeof f);
    state_table_prefetch(s.seen, f.key);
    s.merge_ahead += sizeof f + f.bytes;
}

/* Looks whether the helper has ended (waiting for it with `wait`). Returns false while it runs;
   once it has ended its findings are to be taken in, or if it failed, the search does its part. */
bool take_helper(Search &s, bool wait)
{
    if (s.reached_time == 0)
        s.reached_time = steady_seconds();
    HelperState state = helper_poll(&s.helper, wait);
    if (state == HELPER_RUNNING)
        return false;
    if (state == HELPER_FAILED) {
        drop_helper(s);
        return true;
    }
    HelperHeader header;
    std::memcpy(&header, s.helper.shared, sizeof header);
    note_memory(s, header.used + header.own_bytes);
    if (header.used > s.helper_kept)
        s.helper_kept = header.used;
    s.helper_end_time = header.end_time;
    merge_nearest(&s.nearest, header.nearest);
    s.merging = true;
    s.merge_offset = sizeof(HelperHeader);
    s.merge_used = header.used;
    s.merge_ahead = s.merge_offset;
    for (int n = 0; n < MERGE_AHEAD; n++)
        fetch_finding_ahead(s, header.used);
    s.merge_in_step = false;
    std::memcpy(s.child_record, s.base, s.words * sizeof(uint32_t));
    return true;
}

/* Sets the helper's part of the next large depth so that it and the search, at the pace each
   had on this one, come to its end together: neither waits for the other. Which part it takes
   changes nothing but the time. */
void balance_helper(Search &s, int64_t helper_parents)
{
    const double own_time = s.reached_time - s.helper_start_time, helper_time = s.helper_end_time - s.helper_start_time;
    const int64_t own_parents = s.helper_from;
    if (own_parents < 1 || helper_parents < 1 || own_time <= 0 || helper_time <= 0)
        return;
    const double own_pace = (double)own_parents / own_time;
    const double helper_pace = (double)helper_parents / helper_time;
    double share = 0.5 * s.helper_share + 0.5 * helper_pace / (own_pace + helper_pace);
    s.helper_share = share < HELPER_SHARE_LEAST ? HELPER_SHARE_LEAST :
                     share > HELPER_SHARE_MOST ? HELPER_SHARE_MOST : share;
}

/* Takes in the helper's next finding, as expand_next would have reached it; after the last,
   skips the states it expanded and lets the search go on from there. The findings follow one
   another as the layer's states do, each stored as its difference from the one before: while
   every finding has gone into the layer, the next goes in as it is. */
void merge_next(Search &s)
{
    const StateLayer &layer = s.layers[s.current];
    if (s.merge_offset >= s.merge_used) {
        HelperHeader header;
        std::memcpy(&header, s.helper.shared, sizeof header);
        const int64_t done = s.helper_from + header.parents_done;
        if (done == layer.count) {
            s.read_index = done;    // the layer is done: the next one starts afresh
        } else {
            for (; s.read_index < done; s.read_index++)
                s.read_offset = read_parent(s, layer);
        }
        balance_helper(s, header.parents_done);
        drop_helper(s);
        return;
    }
    HelperFinding f;
    std::memcpy(&f, s.helper.shared + s.merge_offset, sizeof f);
    fetch_finding_ahead(s, s.merge_used);
    const uint8_t *runs = s.helper.shared + s.merge_offset + sizeof f;
    s.merge_offset += sizeof f + f.bytes;
    const int64_t parent = s.layer_first + f.parent;
    if (f.solved) {
        s.solved_parent = parent;
        s.solved_action = f.action;
        s.outcome = SEARCH_SOLVED;
        return;
    }
    // child_record follows the findings, whether they go into the layer or not; while every
    // finding has gone in, the layer's last state is the finding before, and it follows them.
    StateLayer &next = s.layers[1 - s.current];
    if (!s.merge_in_step)
        decode_runs(runs, s.words, s.child_record);
    if (!admit(s, f.key)) {
        if (s.merge_in_step) {
            std::memcpy(s.child_record, next.last, s.words * sizeof(uint32_t));
            decode_runs(runs, s.words, s.child_record);
        }
        s.merge_in_step = false;
        return;
    }
    const uint64_t other = memory_besides(s, layer_bytes(next)), limit = (uint64_t)s.limits.memory_limit;
    if (!(s.merge_in_step ? layer_append_runs(&next, runs, f.bytes, other, limit) :
                            layer_append(&next, s.child_record, other, limit))) {
        s.outcome = SEARCH_MEMORY_LIMIT;
        return;
    }
    s.merge_in_step = true;
    link(s, parent, f.action);
}

/* The current layer is done: the next one is expanded from its start, unless there is none or
   it lies at the depth limit. */
void next_layer(Search &s)
{
    StateLayer &done = s.layers[s.current];
    StateLayer &next = s.layers[1 - s.current];
    if (next.count == 0) {
        s.outcome = SEARCH_NO_SOLUTION;
        return;
    }
    s.depth++;
    if (s.depth >= s.limits.depth_limit) {
        s.outcome = SEARCH_DEPTH_LIMIT;
        return;
    }
    s.layer_first += done.count;
    s.current = 1 - s.current;
    s.read_offset = 0;
    s.read_index = 0;
    std::memcpy(s.parent_record, s.base, s.words * sizeof(uint32_t));
    s.parent_changed[0] = s.parent_changed[1] = ~(uint64_t)0;
    layer_give_back_all(&done);     // what a helper read, and the search did not
    if (!layer_begin(&done, s.base, s.words))
        s.outcome = SEARCH_MEMORY_LIMIT;
    else
        start_helper(s);
}

/* How far the world as it stands is from a win, in squares a robot walks: to the nearest sweet
   left and from there on, sweet to sweet, then to the teleport; each sweet left counts a
   stretch of its own. A guide, not a bound: pushes and detours are not foreseen. */
int32_t distance_to_go(const World &w)
{
    const int32_t column = w.motion.playerL[0], row = w.motion.playerL[1];
    int32_t nearest = -1, sweets = 0, teleport = 0;
    for (int i = 0; i < w.actors.count; i++) {
        const Actor &a = w.actors.actors[i];
        if (a.gone || (a.type != ACTOR_SWEET && a.type != ACTOR_TELEPORT))
            continue;
        const int32_t dx = fixtoi(a.x) / 100 - column, dz = fixtoi(a.z) / 100 - row;
        const int32_t d = (dx < 0 ? -dx : dx) + (dz < 0 ? -dz : dz);
        if (a.type == ACTOR_TELEPORT) {
            teleport = d;
            continue;
        }
        sweets++;
        if (nearest < 0 || d < nearest)
            nearest = d;
    }
    return sweets > 0 ? nearest + LED_SWEET_STRETCH * sweets : teleport;
}

bool open_before(const OpenState &a, const OpenState &b)
{
    return a.rank != b.rank ? a.rank < b.rank : a.serial < b.serial;
}

/* Adds the world as it stands, with `key` and `frame`, reached from state `parent` by `action` at
   `depth` commands, to the open states unless it was reached before. Sets the outcome when a
   limit is met. */
void reach_led(Search &s, StateKey key, int64_t parent, int action, int32_t frame, int32_t depth)
{
    int32_t known = -1;         // commands the table knows to win from here; -1 for none
    if (s.limits.known) {
        int32_t commands = 0, first = 0;
        const WinTableAnswer answer = win_table_lookup(*s.limits.known, key, &commands, &first);
        if (answer == WIN_TABLE_NO_WAY)
            return;             // proven lost: nothing to keep
        if (answer == WIN_TABLE_WAY)
            known = commands;
    }
    if (!admit(s, key))
        return;
    const uint64_t most = runs_worst_case(s.words);
    const uint64_t limit = (uint64_t)s.limits.memory_limit;
    if (s.arena_used + most > s.arena_capacity) {
        uint64_t grown = s.arena_capacity ? 2 * s.arena_capacity : (uint64_t)1 << 20;
        while (grown < s.arena_used + most)
            grown *= 2;
        if ((uint64_t)memory_held(s) + grown - s.arena_capacity > limit) {
            s.outcome = SEARCH_MEMORY_LIMIT;
            return;
        }
        uint8_t *arena = (uint8_t *)resize_block(s.arena, s.arena_capacity, grown);
        if (!arena) {
            s.outcome = SEARCH_MEMORY_LIMIT;
            return;
        }
        s.arena = arena;
        s.arena_capacity = grown;
    }
    if (s.open_count == s.open_capacity) {
        const int64_t grown = s.open_capacity ? 2 * s.open_capacity : 1 << 12;
        if (memory_held(s) + (grown - s.open_capacity) * (int64_t)sizeof(OpenState) >
            (int64_t)limit) {
            s.outcome = SEARCH_MEMORY_LIMIT;
            return;
        }
        OpenState *open = (OpenState *)resize_block(s.open, (size_t)s.open_capacity * sizeof(OpenState),
                                                    (size_t)grown * sizeof(OpenState));
        if (!open) {
            s.outcome = SEARCH_MEMORY_LIMIT;
            return;
        }
        s.open = open;
        s.open_capacity = grown;
    }
    const int32_t rank = known >= 0 ? KNOWN_RANK + depth + known :
                                      depth + LED_WEIGHT * distance_to_go(s.world);
    take_state(s.world, (uint8_t *)s.child_record, frame);
    OpenState entry{rank, (uint32_t)s.states, s.arena_used, depth, 0};
    s.arena_used += encode_runs(s.child_record, s.base, s.words, s.arena + s.arena_used, nullptr);
    int64_t i = s.open_count++;
    while (i > 0 && open_before(entry, s.open[(i - 1) / 2])) {
        s.open[i] = s.open[(i - 1) / 2];
        i = (i - 1) / 2;
    }
    s.open[i] = entry;
    link(s, parent, action);
}

/* Takes the best open state off the heap. */
OpenState pop_led(Search &s)
{
    const OpenState best = s.open[0];
    const OpenState last = s.open[--s.open_count];
    int64_t i = 0;
    for (;;) {
        int64_t child = 2 * i + 1;
        if (child >= s.open_count)
            break;
        if (child + 1 < s.open_count && open_before(s.open[child + 1], s.open[child]))
            child++;
        if (!open_before(s.open[child], last))
            break;
        s.open[i] = s.open[child];
        i = child;
    }
    s.open[i] = last;
    return best;
}

/* Tries every command on the best open state of a led s. */
void expand_led(Search &s)
{
    if (s.open_count == 0) {
        s.outcome = SEARCH_NO_SOLUTION;
        return;
    }
    const OpenState best = pop_led(s);
    if (best.depth >= s.limits.depth_limit) {
        s.depth_cut = true;
        return;
    }
    std::memcpy(s.parent_record, s.base, s.words * sizeof(uint32_t));
    s.parent_changed[0] = s.parent_changed[1] = ~(uint64_t)0;
    if (best.serial != 0)       // the start is the base itself
        decode_runs(s.arena + best.offset, s.words, s.parent_record);
    s.depth = best.depth;
    for (int action = 0; action < SEARCH_ACTIONS && s.outcome == SEARCH_RUNNING; action++) {
        int32_t frame;
        int played = play(s, action, &frame, best.serial);
        if (played < 0 && level_clock_left(s.world) < 1)
            s.clock_cut = true;
        if (played > 0) {
            s.solved_parent = best.serial;
            s.solved_action = action;
            s.outcome = SEARCH_SOLVED;
            return;
        }
        if (played == 0) {
            note_nearest(s.world, &s.nearest);
            reach_led(s, state_key(s.world, &s.hasher), best.serial, action, frame, best.depth + 1);
        }
    }
}

void free_search(Search &s)
{
    drop_helper(s);
    helper_free(&s.helper);
    state_table_free(&s.helper_own);
    s.helper_kept = 0;
    std::free(s.text);
    std::free(s.base);
    std::free(s.parent_record);
    std::free(s.child_record);
    free_block(s.parents, (size_t)s.parent_capacity * sizeof(uint32_t));
    state_table_free(&s.seen);
    layer_free(&s.layers[0]);
    layer_free(&s.layers[1]);
    free_block(s.open, (size_t)s.open_capacity * sizeof(OpenState));
    free_block(s.arena, s.arena_capacity);
    s.open = nullptr;
    s.open_count = s.open_capacity = 0;
    s.arena = nullptr;
    s.arena_used = s.arena_capacity = 0;
    s.text = nullptr;
    s.base = s.parent_record = s.child_record = nullptr;
    s.parents = nullptr;
    s.parent_capacity = 0;
    s.length = 0;
    s.words = 0;
}

double seconds_since(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

} // namespace

void search_start_world(World &w, const char *map_text)
{
    // A fresh game's world: a level keeps some of the robot's record from the level before (the
    // floor a hop in the swoop starts from), and the search must not depend on what ran before.
    w = World{};
    w.camera_height = DEFAULT_CAMERA_HEIGHT;
    w.source_text = map_text;
    start_level_from_text(w, map_text, std::strlen(map_text));
}

namespace {

/* Ends a search begun in the world as it now stands, which is its start (the caller's world saved
   before): the level's start and its record, the states seen and the first layer; puts the
   caller's world back. `start_frame` counts the frames run before the first command. Returns the
   outcome, SEARCH_RUNNING when there is a search to run. */
SearchOutcome begin_here(Search &s, int32_t start_frame)
{
    s.start_frame = start_frame;
    s.level_start = s.world;
    begin_nearest(s.world, &s.nearest);
    s.words = state_record_size(s.world) / sizeof(uint32_t);
    s.base = (uint32_t *)std::calloc(s.words, sizeof(uint32_t));
    s.parent_record = (uint32_t *)std::calloc(s.words, sizeof(uint32_t));
    s.child_record = (uint32_t *)std::calloc(s.words, sizeof(uint32_t));
    s.outcome = SEARCH_MEMORY_LIMIT;
    if (s.base && s.parent_record && s.child_record) {
        take_state(s.world, (uint8_t *)s.base, s.start_frame);
        const uint64_t limit = (uint64_t)s.limits.memory_limit;
        std::memcpy(s.parent_record, s.base, s.words * sizeof(uint32_t));
        s.parent_changed[0] = s.parent_changed[1] = ~(uint64_t)0;
        if (layer_begin(&s.layers[0], s.base, s.words) &&
            layer_begin(&s.layers[1], s.base, s.words) &&
            state_table_insert(&s.seen, state_key(s.world, &s.hasher), memory_besides(s, 0), limit) == STATE_NEW &&
            room_for_parent(s) &&
            layer_append(&s.layers[0], s.base, memory_besides(s, layer_bytes(s.layers[0])), limit)) {
            s.parents[s.states++] = 0;
            s.outcome = s.states >= s.limits.state_limit ? SEARCH_STATE_LIMIT :
                        s.limits.depth_limit < 1 ? SEARCH_DEPTH_LIMIT : SEARCH_RUNNING;
            if (s.outcome == SEARCH_RUNNING && s.limits.led) {
                // The start goes on the heap as the first open state: its runs are none.
                s.open = (OpenState *)resize_block(nullptr, 0, sizeof(OpenState));
                s.open_capacity = s.open ? 1 : 0;
                if (s.open) {
                    s.open[0] = OpenState{0, 0, 0, 0, 0};
                    s.open_count = 1;
                } else {
                    s.outcome = SEARCH_MEMORY_LIMIT;
                }
            }
        }
        note_memory(s);
    }
    if (s.outcome != SEARCH_RUNNING)
        free_search(s);
    return s.outcome;
}

/* A fresh search with `limits`, bounded to what a parent link and a result can hold; the outcome
   stays SEARCH_INVALID_MAP until it has a start. */
void reset_search(Search &s, const SearchLimits &limits)
{
    free_search(s);
    s = idle_search();
    s.outcome = SEARCH_INVALID_MAP;
    s.limits = limits;
    if (s.limits.state_limit > STATE_SERIAL_LIMIT)
        s.limits.state_limit = STATE_SERIAL_LIMIT;
    if (s.limits.depth_limit > SEARCH_MAX_STEPS)
        s.limits.depth_limit = SEARCH_MAX_STEPS;
    s.solved_parent = -1;
}

} // namespace

SearchOutcome search_start(LevelSearch &search, const char *map_text, size_t length,
                           const SearchLimits &limits)
{
    Search &s = search.s;
    search.stop_asked = false;
    reset_search(s, limits);
    // The world reads the text up to a NUL, so one inside would hide the rest from the check.
    thread_local ValidationReport report;   // kept off the stack, one to a thread
    validate_map(map_text, length, &report);
    if (report.faults > 0 || std::memchr(map_text, '\0', length))
        return s.outcome;

    s.text = (char *)std::malloc(length + 1);
    if (!s.text) {
        s.outcome = SEARCH_MEMORY_LIMIT;
        return s.outcome;
    }
    std::memcpy(s.text, map_text, length);
    s.text[length] = '\0';
    s.length = length + 1;

    search_start_world(s.world, s.text);
    s.limit_ticks = s.world.clock;
    int32_t start_frame = 0;
    if (s.limits.start_delay_ticks >= 0)
        start_frame = run_start_delay(s.world, s.limits.ticks_per_frame, s.limits.start_delay_ticks);
    return begin_here(s, start_frame);
}

SearchOutcome search_start_here(LevelSearch &search, const World &from, const SearchLimits &limits)
{
    Search &s = search.s;
    search.stop_asked = false;
    reset_search(s, limits);
    s.world = from;
    // The world as it stands goes on as the play loop would run it, with no key, until the robot
    // takes a command and none is waiting: the search types only into a robot at rest.
    int32_t frames = 0;
    while ((!robot_ready(s.world) || s.world.queue.read_index != s.world.queue.write_index) &&
           !level_over(s.world) && frames < HERE_SETTLE_FRAMES) {
        driver_frame(s.world, s.limits.ticks_per_frame);
        frames++;
    }
    s.limit_ticks = s.world.clock;
    if (level_over(s.world) || hopeless(s.world) || !robot_ready(s.world)) {
        // Completed already, or lost: there is nothing to search for.
        s.outcome = s.world.level.level_completed ? SEARCH_SOLVED : SEARCH_NO_SOLUTION;
        return s.outcome;
    }
    return begin_here(s, frames);
}

namespace {

/* Whether this slice of the search has used its budget: the states, or (looked at every
   CLOCK_EVERY states) the milliseconds since it began. */
bool slice_over(Search &s, const std::atomic<bool> &stop_asked,
                std::chrono::steady_clock::time_point started, int64_t stop_at, int64_t ms_budget,
                int *since_clock)
{
    if (s.states >= stop_at || stop_asked.load(std::memory_order_relaxed))
        return true;
    if (ms_budget <= 0 || ++*since_clock < CLOCK_EVERY)
        return false;
    *since_clock = 0;
    return seconds_since(started) * 1000 >= (double)ms_budget;
}

} // namespace

SearchOutcome search_run(LevelSearch &search, int64_t state_budget, int64_t ms_budget)
{
    Search &s = search.s;
    if (s.outcome != SEARCH_RUNNING)
        return s.outcome;
    const auto started = std::chrono::steady_clock::now();
    const int64_t stop_at = state_budget > INT64_MAX - s.states ? INT64_MAX : s.states + state_budget;
    enter_level(s);
    int since_clock = 0;
    while (s.outcome == SEARCH_RUNNING && s.limits.led) {
        if (slice_over(s, search.stop_asked, started, stop_at, ms_budget, &since_clock))
            break;
        expand_led(s);
        if (s.outcome == SEARCH_NO_SOLUTION && s.depth_cut)
            s.outcome = SEARCH_DEPTH_LIMIT;     // not every state was tried
    }
    while (s.outcome == SEARCH_RUNNING && !s.limits.led) {
        const bool helper_part = s.helper_from >= 0 && s.read_index >= s.helper_from;
        if (!helper_part && s.read_index == s.layers[s.current].count) {
            next_layer(s);
            continue;
        }
        if (slice_over(s, search.stop_asked, started, stop_at, ms_budget, &since_clock))
            break;
        if (!helper_part) {
            expand_next(s);
        } else if (s.merging) {
            merge_next(s);
        } else if (!take_helper(s, ms_budget <= 0)) {
            usleep(HELPER_WAIT_US);
            since_clock = CLOCK_EVERY;      // look at the clock before waiting again
        }
    }
    if (s.outcome != SEARCH_RUNNING)
        drop_helper(s);
    s.seconds += seconds_since(started);
    if (s.outcome != SEARCH_RUNNING && s.outcome != SEARCH_SOLVED)
        free_search(s);      // a solved search keeps its links until the solution is read
    return s.outcome;
}

bool search_led_proven(const LevelSearch &search)
{
    const Search &s = search.s;
    return s.limits.led && s.outcome == SEARCH_NO_SOLUTION && !s.depth_cut && !s.clock_cut;
}

void search_progress(const LevelSearch &search, SearchProgress *p)
{
    const Search &s = search.s;
    p->outcome = s.outcome;
    p->states = s.states;
    p->depth = s.depth;
    p->frontier = s.limits.led ? s.open_count : s.layers[s.current].count;
    p->memory = s.base ? memory_held(s) : 0;
    p->peak_memory = s.peak_memory;
    p->seconds = s.seconds;
}

void search_nearest(const LevelSearch &search, SearchNearest *nearest)
{
    const Search &s = search.s;
    *nearest = s.nearest;
}

void search_cancel(LevelSearch &search)
{
    Search &s = search.s;
    if (s.outcome == SEARCH_RUNNING || s.outcome == SEARCH_SOLVED)
        s.outcome = SEARCH_CANCELLED;
    free_search(s);
}

bool search_solution(LevelSearch &search, SearchResult *result)
{
    Search &s = search.s;
    std::memset(result, 0, sizeof *result);
    result->outcome = s.outcome;
    result->states = s.states;
    result->limit_ticks = s.limit_ticks;
    if (s.outcome != SEARCH_SOLVED || !s.parents)
        return false;

    // The commands back from the solving one to the start, then played forward once more to
    // learn the frame each is typed on.
    int32_t chain[SEARCH_MAX_STEPS];
    int32_t length = 0;
    chain[length++] = s.solved_action;
    for (int64_t n = s.solved_parent; n > 0 && length < SEARCH_MAX_STEPS; n = s.parents[n] >> ACTION_BITS)
        chain[length++] = (int32_t)(s.parents[n] & ((1u << ACTION_BITS) - 1));

    enter_level(s);
    const int32_t tpf = s.limits.ticks_per_frame;
    int32_t frame = s.start_frame;
    for (int32_t i = length - 1; i >= 0; i--) {
        SearchStep &step = result->steps[result->step_count++];
        step.code = action_codes[chain[i]];
        if (s.limits.think_ticks > 0 && step.code != SEARCH_WAIT)
            frame += run_think(s.world, tpf, s.limits.think_ticks);
        step.frame = frame;
        if (step.code == SEARCH_WAIT)
            result->waits++;
        else
            result->moves++;
        frame += run_command(s.world, step.code, tpf, nullptr);
        step.column = s.world.motion.playerL[0];
        step.row = s.world.motion.playerL[1];
        step.key = state_key(s.world, &s.hasher);
        step.clock = s.world.clock;
    }
    const bool completed = s.world.level.level_completed;
    result->frames = frame;
    result->ticks = frame * tpf;
    return completed;
}

void search_end(LevelSearch &search)
{
    Search &s = search.s;
    free_search(s);
}

LevelSearch *search_create()
{
    return new (std::nothrow) LevelSearch();
}

void search_destroy(LevelSearch *search)
{
    if (!search)
        return;
    free_search(search->s);
    delete search;
}

void search_stop_soon(LevelSearch &search)
{
    search.stop_asked.store(true, std::memory_order_relaxed);
}

bool search_level(const char *map_text, const SearchLimits &limits, SearchResult *result)
{
    LevelSearch *search = search_create();
    if (!search) {
        std::memset(result, 0, sizeof *result);
        result->outcome = SEARCH_MEMORY_LIMIT;
        return false;
    }
    if (search_start(*search, map_text, std::strlen(map_text), limits) == SEARCH_RUNNING)
        search_run(*search, INT64_MAX, 0);
    bool solved = search_solution(*search, result);
    search_destroy(search);
    return solved;
}
