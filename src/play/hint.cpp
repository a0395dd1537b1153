/* hint.cpp: the next command of a winning way from the position as it stands, found by the game's
   own search on a thread of its own while play goes on drawing. */
#include "play/hint.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#include <pthread.h>

#include <time.h>

#include "base/translation.h"
#include "play/play_session.h"
#include "search/level_search.h"
#include "search/search_play.h"
#include "search/search_state.h"
#include "search/win_table.h"
#include "world/actor.h"
#include "world/player_motion.h"
#include "world/solution_file.h"
#include "world/world_clock.h"
#include "world/world_driver.h"
#include "world/world_messages.h"

namespace {

enum {
    HINT_TICKS_PER_FRAME = 2,   /* the rate the search plays at: a steady 50 frames a second, the
                                   rate the shipped levels' solutions are proven at */
    ANSWER_TICKS = 400,         /* how long an answer stays on the message line after its arrow */
    THINKING_TICKS = 100,       /* "Thinking..." is shown afresh every frame while it lasts */
    PACED_SLICES = 400,         /* the bound of a paced search, in slices: about 5 s */
    CLOCK_SPARE_TICKS = 50,     /* a way found before is followed on only with this much time left
                                   beyond what it takes: the player has been slower than it */
    SETTLE_FRAMES = 2000        /* frames a robot under way is given to come to rest, as the
                                   search gives it */
};

/* A paced slice: a count of states, so that a demo's search ends on the same frame when it is
   played back, and a test's on a busy machine as on a quiet one. */
const int64_t PACED_SLICE_STATES = 1500;
const double SEARCH_SECONDS = 5.0;                  /* the search's bound, in its own time */
const int64_t SEARCH_MEMORY = (int64_t)256 << 20;   /* and in memory, as the level checker's */
/* The table of every position from the level's start, explored ahead while the player plays:
   the memory it may take (the shipped levels' take at most 21 MB while built, the largest about
   38 bytes a position: some four million positions fit), and the slices a
   hint asked before it is done searches in, looking between them whether it is. */
const int64_t AHEAD_MEMORY = (int64_t)160 << 20;
const double AHEAD_SLICE_MS = 20;


/* The hint being asked for or shown. */
struct Hint {
    HintOutcome outcome;
    int code;                   /* the command of an answer, 0 for a wait */
    double seconds;             /* the search's time for it */
    bool shown;                 /* the arrow is drawn */
    int column, row;            /* the robot's square it is drawn on */
    bool key_known;             /* key is the position the answer is for */
    StateKey key;
    int32_t slices;             /* paced slices run */
    bool led;                   /* the search under way is led toward the sweets (else breadth
                                   first, which proves that no way is left) */
    double spent;               /* seconds of the led search before a breadth-first one */
};

/* The search of a hint under way. Unpaced, it runs on `thread` from start to answer: the play
   loop's thread touches the search only to ask it to stop (and then waits for the thread), and
   reads what it found once `done` is set. */
struct Thinking {
    LevelSearch *search;        /* made at the first request, kept for the next */
    std::thread thread;
    std::atomic<bool> done{false};
    SearchOutcome outcome;      /* written by the thread before done */
    double seconds;
    bool solved;                /* the way is in found */
    SearchResult found;         /* some 40 KB of steps */
    int64_t states;             /* states its searches reached (none for an answer looked up) */
    std::atomic<bool> stop{false};  /* asked to stop: looked at between slices of its search */
    StateHasher hasher;         /* the memo of the keys the thread takes */
};

/* Thinking ahead: from a level's start on, every position reachable from it is explored on a
   thread of its own, with the fewest commands that win from each; a hint asked once it is done
   is looked up, and until then the level's recorded solution leads the search. Only in unpaced
   play: a demo's hints think as they were recorded. */
struct Ahead {
    WinTable *table;            /* made at the first level, kept for the next */
    WinTable *book;             /* the level's recorded solution, when it has one: the positions
                                   it passes through lead a search from the first frame on */
    bool book_ready;
    std::thread thread;
    std::atomic<bool> done{false};  /* the table is built (or gave up): readable */
    std::atomic<bool> stop{false};
    World from;                 /* the level's start, the thread's to read */
    bool started;               /* a table is built, or being built, for the start below */
    StateKey start_key;
    uint32_t start_squares;     /* a sum over the squares: the same actors on other squares are
                                   another level */
    double cpu_seconds;         /* the thread's processor time */
};

} // namespace

/* The session's hint: the one being asked for or shown, its search, and the way found before. */
struct HintState {
    Hint hint;
    Thinking thinking;
    World held;                 /* the world as it stood when the hint was asked for */
    StateHasher hasher;         /* the memo of the keys taken of the session's world */
    char answer_text[80];
    bool paced_by_states;       /* slices a frame, counted in states, instead of a thread */
    /* The last winning way found, and the position it starts from: a player who follows it
       gets its next command without a search. */
    SearchResult way;
    bool way_known;
    bool way_start_known;
    StateKey way_start;
    int32_t way_start_clock;
    Ahead ahead;
};

namespace {

const char THINKING_TEXT[] = N_("Thinking...");

/* The sessions whose hint has threads to stop at the exit and before a fork. A session keeps
   its hint state to the program's end: the game's, the editor's and the tests' own. */
PlaySession *hinted_sessions[8];
int hinted_count = 0;

/* The session's hint state, made when it is first needed. */
HintState &hint_state(PlaySession &s)
{
    if (!s.hint) {
        s.hint = new HintState();
        if (hinted_count < (int)(sizeof hinted_sessions / sizeof hinted_sessions[0]))
            hinted_sessions[hinted_count++] = &s;
    }
    return *s.hint;
}

bool same_key(const StateKey &a, const StateKey &b)
{
    return a.low == b.low && a.high == b.high;
}

/* The robot takes a command now and none waits: the position is one the search keys. */
bool robot_at_rest(const World &w)
{
    return w.motion.jump_ctr < 1 && w.queue.read_index == w.queue.write_index &&
           !w.level.level_completed && !w.level.level_lost && !w.falling;
}

/* What a wait waits for: a zipper on the move, a blast under way, or nothing in particular. */
const char *wait_text(const World &w)
{
    bool zipper = false, blast = false;
    for (int i = 0; i < w.actors.count; i++) {
        const Actor &a = w.actors.actors[i];
        if (a.gone)
            continue;
        if (a.timer > 0)
            blast = true;
        if (a.type == ACTOR_ZIPPER && (a.state != 0 || a.armed))
            zipper = true;
    }
    return zipper ? N_("Hint: wait for the zipper") : blast ? N_("Hint: wait for the blast") :
                    N_("Hint: wait a moment");
}

const char *command_text(const World &w, int code)
{
    switch (code) {
    case MOVE_FORWARD: return N_("Hint: step forward");
    case MOVE_BACKWARD: return N_("Hint: step back");
    case MOVE_TURN_LEFT: return N_("Hint: turn left");
    case MOVE_TURN_RIGHT: return N_("Hint: turn right");
    case MOVE_STRAFE_LEFT: return N_("Hint: strafe left");
    case MOVE_STRAFE_RIGHT: return N_("Hint: strafe right");
    case MOVE_JUMP: return N_("Hint: jump");
    default: return wait_text(w);
    }
}

/* Shows `text` as the answer, on the message line from a buffer of its own. */
void show_answer(PlaySession &s, HintState &h, const char *text)
{
    std::snprintf(h.answer_text, sizeof h.answer_text, "%s", text);
    show_boxed_message(s.world, h.answer_text, ANSWER_TICKS);
}

/* Notes that the answer shown is for the position as it stands, when the robot is at rest. */
void note_position(PlaySession &s, HintState &h)
{
    h.hint.key_known = robot_at_rest(s.world);
    if (h.hint.key_known)
        h.hint.key = state_key(s.world, &h.hasher);
}

/* Shows the command `code` as the hint, with its arrow on the robot's square, for the position
   as it stands (or, while the robot is still under way, the one it comes to rest in). */
void show_command(PlaySession &s, HintState &h, int code, double seconds)
{
    h.hint.outcome = HINT_COMMAND;
    h.hint.code = code;
    h.hint.seconds = seconds;
    h.hint.shown = true;
    h.hint.column = s.world.motion.playerL[0];
    h.hint.row = s.world.motion.playerL[1];
    note_position(s, h);
    show_answer(s, h, command_text(s.world, code));
}

/* The search has ended with `outcome` (SEARCH_RUNNING: its time is up), with its way in `found`
   when `solved`: shows its answer. */
void finish(PlaySession &s, HintState &h, SearchOutcome outcome, bool solved,
            const SearchResult &found, double seconds)
{
    if (solved && found.step_count > 0) {
        h.way = found;
        h.way_known = true;
        // The search began in the world as it stood, which the session has held still since.
        h.way_start_known = robot_at_rest(s.world);
        if (h.way_start_known)
            h.way_start = state_key(s.world, &h.hasher);
        h.way_start_clock = s.world.clock;
        show_command(s, h, h.way.steps[0].code, seconds);
    } else if (outcome == SEARCH_SOLVED) {
        h.hint.outcome = HINT_NONE;       // the level is completed already
    } else {
        h.hint.outcome = outcome == SEARCH_NO_SOLUTION ? HINT_NO_WAY : HINT_NOT_FOUND;
        h.hint.seconds = seconds;
        note_position(s, h);
        show_answer(s, h, outcome == SEARCH_NO_SOLUTION ?
                        N_("No way to win from here: undo (Backspace) or restart (R)") :
                    outcome == SEARCH_RUNNING ? N_("No way found in 5 s: undo or restart") :
                    outcome == SEARCH_DEPTH_LIMIT ?
                        N_("No way found within 1000 commands: undo or restart") :
                        N_("No way found in the memory allowed: undo or restart"));
    }
}

/* The next command of the way found before, when the position as it stands is one it passes
   through with time enough left for the rest of it. */
bool answer_from_way(PlaySession &s, HintState &h)
{
    if (!h.way_known || !robot_at_rest(s.world))
        return false;
    const StateKey now = state_key(s.world, &h.hasher);
    const int32_t end_clock = h.way.steps[h.way.step_count - 1].clock;
    for (int32_t i = -1; i + 1 < h.way.step_count; i++) {
        if (i < 0 ? !h.way_start_known || !same_key(now, h.way_start) : !same_key(now, h.way.steps[i].key))
            continue;
        // The rest of the way takes the game time it took when found; a player slower than the
        // search may not have that left.
        const int32_t needed = (i < 0 ? h.way_start_clock : h.way.steps[i].clock) - end_clock;
        if (level_clock_left(s.world) - needed < CLOCK_SPARE_TICKS)
            return false;
        show_command(s, h, h.way.steps[i + 1].code, 0);
        return true;
    }
    return false;
}

/* The processor time of the calling thread, in seconds. */
double thread_cpu_seconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

/* A sum over the level's squares, which the keys leave out. */
uint32_t squares_sum(const World &w)
{
    uint32_t sum = 0;
    for (int i = 0; i < w.map.tile_count; i++) {
        const MapTile &t = w.map.tiles[i];
        sum = sum * 31u + (uint32_t)(t.x * 977 + t.z * 131 + t.height);
    }
    return sum;
}

/* The table ahead's thread: builds it, then says so. */
void build_ahead(Ahead &a)
{
    const double cpu = thread_cpu_seconds();
    win_table_build(*a.table, a.from, HINT_TICKS_PER_FRAME, AHEAD_MEMORY, a.stop);
    a.cpu_seconds = thread_cpu_seconds() - cpu;
    a.done.store(true, std::memory_order_release);
}

/* Stops the table ahead's thread, if one runs, and forgets its level. */
void stop_ahead(Ahead &a)
{
    if (a.thread.joinable()) {
        a.stop.store(true, std::memory_order_relaxed);
        a.thread.join();
    }
    a.started = false;
}

/* The sessions at the exit: a thread still building would outlive what it reads. */
void stop_ahead_at_exit()
{
    for (int i = 0; i < hinted_count; i++)
        stop_ahead(hinted_sessions[i]->hint->ahead);
}

/* Before any fork (a test's): a child gets no copy of the threads, only
   of what they were half-way through writing, and a thread object that can never be joined. A
   table built whole is kept; one still under way is stopped, to be begun again by the next
   hint_think_ahead. A hint's search is cancelled as a restart cancels it. */
void stop_threads_before_fork()
{
    for (int i = 0; i < hinted_count; i++) {
        hint_cancel(*hinted_sessions[i]);
        Ahead &a = hinted_sessions[i]->hint->ahead;
        if (a.thread.joinable() && a.done.load(std::memory_order_acquire))
            a.thread.join();
        else
            stop_ahead(a);
    }
}

/* Called before a thread of the hint is started: the exit and every fork stop them first. */
void stop_threads_at_exit_and_fork()
{
    static bool registered = false;
    if (!registered)
        registered = std::atexit(stop_ahead_at_exit) == 0 &&
                     pthread_atfork(stop_threads_before_fork, nullptr, nullptr) == 0;
}

/* The table ahead once built whole, else nullptr. Read by the thinking thread too: the flags
   it reads are set before that thread starts or are atomic. */
const WinTable *built_table(const Ahead &a)
{
    if (!a.started || !a.done.load(std::memory_order_acquire))
        return nullptr;
    WinTableFigures figures;
    win_table_figures(*a.table, &figures);
    return figures.outcome == WIN_TABLE_COMPLETE ? a.table : nullptr;
}

/* The book of the level's recorded solution (solutions/mapNN.txt, shipped with the levels
   for --watch), when there is one that wins from the start as it stands at the hint's rate;
   else the book is left out. */
void read_book(PlaySession &s, Ahead &a)
{
    a.book_ready = false;
    char path[64];
    std::snprintf(path, sizeof path, "solutions/map%02d.txt", s.level);
    static Solution solution;
    char fault[SOLUTION_FAULT_SIZE];
    if (!read_solution(path, &solution, fault, sizeof fault) ||
        solution.ticks_per_frame != HINT_TICKS_PER_FRAME)
        return;
    if (!a.book && !(a.book = win_table_create()))
        return;
    a.book_ready = win_table_build_book(*a.book, s.world, solution) == WIN_TABLE_ONE_WAY;
}

/* What leads a led search in unpaced play: the table ahead once built, else the book. */
const WinTable *lead_table(const HintState &h)
{
    if (h.paced_by_states)
        return nullptr;
    if (const WinTable *table = built_table(h.ahead))
        return table;
    return h.ahead.started && h.ahead.book_ready ? h.ahead.book : nullptr;
}

/* Plays `count` actions of a way on w, as the search's solution is replayed, into *found.
   Returns true when they complete the level: the clock left suffices. */
bool play_way(World &w, int32_t frame, const int32_t *actions, int32_t count, StateHasher &hasher,
              SearchResult *found)
{
    std::memset(found, 0, sizeof *found);
    found->outcome = SEARCH_SOLVED;
    found->limit_ticks = w.clock;
    for (int32_t i = 0; i < count && !level_over(w); i++) {
        SearchStep &step = found->steps[found->step_count++];
        step.frame = frame;
        step.code = action_codes[actions[i]];
        if (step.code == SEARCH_WAIT)
            found->waits++;
        else
            found->moves++;
        frame += run_command(w, step.code, HINT_TICKS_PER_FRAME, nullptr);
        step.column = w.motion.playerL[0];
        step.row = w.motion.playerL[1];
        step.key = state_key(w, &hasher);
        step.clock = w.clock;
    }
    found->frames = frame;
    found->ticks = frame * HINT_TICKS_PER_FRAME;
    return w.level.level_completed && found->step_count == count;
}

/* What `table` says of world `from` as the search would start from it (run on with no key
   until the robot is at rest): SEARCH_SOLVED with its way played out in *found (so that the
   clock left is known to suffice), SEARCH_NO_SOLUTION when it proves that no way is left, or
   SEARCH_IDLE when it cannot tell and a search must. */
SearchOutcome look_up(const WinTable &table, const World &from, StateHasher &hasher,
                      SearchResult *found)
{
    World *w = new (std::nothrow) World(from);
    if (!w)
        return SEARCH_IDLE;
    int32_t frames = 0;
    while ((!robot_ready(*w) || w->queue.read_index != w->queue.write_index) && !level_over(*w) &&
           frames < SETTLE_FRAMES) {
        driver_frame(*w, HINT_TICKS_PER_FRAME);
        frames++;
    }
    SearchOutcome outcome = SEARCH_IDLE;
    if (!level_over(*w) && !hopeless(*w) && robot_ready(*w)) {
        const StateKey key = state_key(*w, &hasher);
        int32_t commands = 0, first = 0;
        const WinTableAnswer answer = win_table_lookup(table, key, &commands, &first);
        static thread_local int32_t actions[SEARCH_MAX_STEPS];
        if (answer == WIN_TABLE_NO_WAY) {
            outcome = SEARCH_NO_SOLUTION;
        } else if (answer == WIN_TABLE_WAY) {
            const int32_t count = win_table_way(table, key, actions, SEARCH_MAX_STEPS);
            if (count > 0 && play_way(*w, frames, actions, count, hasher, found))
                outcome = SEARCH_SOLVED;
        }
    }
    delete w;
    return outcome;
}

/* Answers at once from the table ahead, when it is built and knows the position as it stands. */
bool answer_from_table(PlaySession &s, HintState &h)
{
    const WinTable *table = h.paced_by_states ? nullptr : built_table(h.ahead);
    if (!table)
        return false;
    const auto started = std::chrono::steady_clock::now();
    const SearchOutcome outcome = look_up(*table, s.world, h.hasher, &h.thinking.found);
    if (outcome == SEARCH_IDLE)
        return false;
    h.thinking.states = 0;
    finish(s, h, outcome, outcome == SEARCH_SOLVED, h.thinking.found,
           std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    return true;
}

/* Begins a search of `search` from world `from`, `led` toward the sweets or breadth first. */
SearchOutcome start_search(LevelSearch &search, const World &from, bool led,
                           const WinTable *known = nullptr)
{
    SearchLimits limits{};
    limits.ticks_per_frame = HINT_TICKS_PER_FRAME;
    limits.state_limit = INT64_MAX;
    limits.depth_limit = SEARCH_MAX_STEPS;
    limits.memory_limit = SEARCH_MEMORY;
    limits.helper_threads = 0;      // the play loop's own thread is the other core's
    limits.led = led;
    limits.known = led ? known : nullptr;
    return search_start_here(search, from, limits);
}

/* A led search finds a way soonest, but it keeps each position with the clock it was first
   reached with, which a detour may have run down: its "no way" is proven again breadth first,
   which reaches every position by the fewest commands. Unless no clock ran out in the led
   search at all (nor did it reach the depth limit): then the clock played no part, and it has
   proven it already. That is not used when paced, so that a demo's hint takes the states it
   took when recorded. Returns true when the led search gave way to a breadth-first one (its
   outcome in *outcome). */
bool prove_breadth_first(HintState &h, LevelSearch &search, const World &from,
                         SearchOutcome *outcome)
{
    if (!h.hint.led || (*outcome != SEARCH_NO_SOLUTION && *outcome != SEARCH_DEPTH_LIMIT))
        return false;
    if (!h.paced_by_states && search_led_proven(search))
        return false;
    search_end(search);
    h.hint.led = false;
    *outcome = start_search(search, from, false);
    return true;
}

/* The unpaced search, on its own thread: the led search, its proof if it finds no way, and the
   way's replay, all on the search's own world, within SEARCH_SECONDS of its own time. While the
   table ahead is being built, the search runs in short slices, and the table answers instead
   as soon as it is done. */
void think(HintState &h, SearchOutcome outcome)
{
    LevelSearch &search = *h.thinking.search;
    double spent = 0;           // seconds of the searches before the one under way
    SearchProgress progress{};
    h.thinking.states = 0;
    bool table_pending = h.ahead.started && !h.ahead.done.load(std::memory_order_acquire);
    bool counted = false;       // the states of the search under way are in h.thinking.states
    for (;;) {
        if (table_pending && h.ahead.done.load(std::memory_order_acquire)) {
            table_pending = false;
            const WinTable *table = built_table(h.ahead);
            const SearchOutcome looked = table ? look_up(*table, h.held, h.thinking.hasher,
                                                         &h.thinking.found) : SEARCH_IDLE;
            if (looked != SEARCH_IDLE) {
                search_progress(search, &progress);
                search_end(search);
                h.thinking.outcome = looked;
                h.thinking.seconds = spent + progress.seconds;
                h.thinking.states = 0;
                h.thinking.solved = looked == SEARCH_SOLVED;
                h.thinking.done.store(true, std::memory_order_release);
                return;
            }
            if (table && outcome == SEARCH_RUNNING) {
                // A position the table does not know: a led search that it leads goes
                // straight for the positions it knows, so it starts again with it.
                search_progress(search, &progress);
                h.thinking.states += progress.states;
                spent += progress.seconds;
                search_end(search);
                h.hint.led = true;
                outcome = start_search(search, h.held, true, table);
            }
        }
        search_progress(search, &progress);
        if (outcome == SEARCH_RUNNING) {
            const double left_ms = (SEARCH_SECONDS - spent - progress.seconds) * 1000;
            if (left_ms < 1 || h.thinking.stop.load(std::memory_order_relaxed))
                break;          // out of time, or asked to stop
            const double slice = table_pending && left_ms > AHEAD_SLICE_MS ? AHEAD_SLICE_MS : left_ms;
            outcome = search_run(search, INT64_MAX, slice < 1 ? 1 : (int64_t)slice);
            continue;
        }
        const double seconds = progress.seconds;
        h.thinking.states += progress.states;
        counted = true;
        if (!prove_breadth_first(h, search, h.held, &outcome))
            break;
        counted = false;
        spent += seconds;
    }
    search_progress(search, &progress);
    if (!counted)
        h.thinking.states += progress.states;
    h.thinking.outcome = outcome;
    h.thinking.seconds = spent + progress.seconds;
    h.thinking.solved = outcome == SEARCH_SOLVED && search_solution(search, &h.thinking.found);
    search_end(search);
    h.thinking.done.store(true, std::memory_order_release);
}

/* Waits for the thread of a search under way, if any, having asked it to stop. */
void join_thinking(HintState &h)
{
    if (!h.thinking.thread.joinable())
        return;
    h.thinking.stop.store(true, std::memory_order_relaxed);
    search_stop_soon(*h.thinking.search);
    h.thinking.thread.join();
}

/* Puts the world back as it stood when the hint was asked for: the search's answer is for that
   position, so nothing moves and the clock stands while it thinks. What the player's keys change
   meanwhile, the message line, the camera and the sounds heard, stays. */
void hold_world(PlaySession &s, HintState &h)
{
    const MessageLine message = s.world.message;
    const int title = s.world.title_timer;
    const float pitch = s.world.camera_pitch;
    const float height = s.world.camera_height;
    const CueLog cues = s.world.cues;
    s.world = h.held;
    s.world.message = message;
    s.world.title_timer = title;
    s.world.camera_height = height;
    s.world.cues = cues;
    if (!s.world.intro)
        s.world.camera_pitch = pitch;
}

/* A paced slice of the search, on the play loop's thread. */
void think_a_slice(PlaySession &s, HintState &h)
{
    LevelSearch &search = *h.thinking.search;
    SearchOutcome outcome = search_run(search, PACED_SLICE_STATES, 0);
    h.hint.slices++;
    SearchProgress progress;
    search_progress(search, &progress);
    if (prove_breadth_first(h, search, h.held, &outcome)) {
        h.hint.spent += progress.seconds;
        progress.seconds = 0;
    }
    if (outcome == SEARCH_RUNNING && h.hint.slices < PACED_SLICES) {
        show_boxed_message(s.world, THINKING_TEXT, THINKING_TICKS);
        return;
    }
    h.thinking.solved = outcome == SEARCH_SOLVED && search_solution(search, &h.thinking.found);
    search_end(search);
    finish(s, h, outcome, h.thinking.solved, h.thinking.found, h.hint.spent + progress.seconds);
}

} // namespace

void hint_request(PlaySession &s)
{
    HintState &h = hint_state(s);
    if (s.world.level.level_completed || h.hint.outcome == HINT_THINKING)
        return;
    // An answer still standing is shown again: a command, or no way from a position that has
    // not moved since.
    const bool standing = h.hint.outcome == HINT_COMMAND ? h.hint.shown && h.hint.code != 0 :
                          h.hint.outcome == HINT_NO_WAY && h.hint.key_known && robot_at_rest(s.world) &&
                              same_key(state_key(s.world, &h.hasher), h.hint.key);
    if (standing) {
        show_boxed_message(s.world, h.answer_text, ANSWER_TICKS);
        return;
    }
    hint_cancel(s);
    if (answer_from_way(s, h) || answer_from_table(s, h))
        return;
    if (!h.thinking.search && !(h.thinking.search = search_create())) {
        finish(s, h, SEARCH_MEMORY_LIMIT, false, h.way, 0);
        return;
    }
    h.held = s.world;
    h.hint.slices = 0;
    h.hint.spent = 0;
    h.hint.led = true;
    h.hint.outcome = HINT_THINKING;
    const SearchOutcome outcome = start_search(*h.thinking.search, h.held, true, lead_table(h));
    h.thinking.done.store(false, std::memory_order_relaxed);
    h.thinking.seconds = 0;
    if (h.paced_by_states) {
        if (outcome == SEARCH_RUNNING) {
            show_boxed_message(s.world, THINKING_TEXT, THINKING_TICKS);
            return;
        }
        SearchOutcome proved = outcome;
        if (prove_breadth_first(h, *h.thinking.search, h.held, &proved) && proved == SEARCH_RUNNING) {
            show_boxed_message(s.world, THINKING_TEXT, THINKING_TICKS);
            return;
        }
        h.thinking.solved = proved == SEARCH_SOLVED && search_solution(*h.thinking.search, &h.thinking.found);
        search_end(*h.thinking.search);
        finish(s, h, proved, h.thinking.solved, h.thinking.found, 0);
        return;
    }
    show_boxed_message(s.world, THINKING_TEXT, THINKING_TICKS);
    stop_threads_at_exit_and_fork();
    h.thinking.stop.store(false, std::memory_order_relaxed);
    try {
        h.thinking.thread = std::thread(think, std::ref(h), outcome);
    } catch (...) {
        search_end(*h.thinking.search);
        finish(s, h, SEARCH_MEMORY_LIMIT, false, h.way, 0);
    }
}

void hint_frame(PlaySession &s)
{
    HintState &h = hint_state(s);
    if (h.hint.outcome == HINT_THINKING) {
        if (s.world.queue.write_index != h.held.queue.write_index) {
            // A command typed while the robot was still under way: it cancels the hint as one
            // taken does, and the world goes on from here to take it.
            hint_cancel(s);
            return;
        }
        hold_world(s, h);
        if (h.paced_by_states) {
            think_a_slice(s, h);
            return;
        }
        if (!h.thinking.done.load(std::memory_order_acquire)) {
            show_boxed_message(s.world, THINKING_TEXT, THINKING_TICKS);
            return;
        }
        h.thinking.thread.join();
        finish(s, h, h.thinking.outcome, h.thinking.solved, h.thinking.found, h.thinking.seconds);
        return;
    }
    if (h.hint.outcome != HINT_COMMAND || !h.hint.shown)
        return;
    if (h.hint.code == 0) {
        // A wait is for a world that moves: it lasts as long as its message.
        h.hint.shown = s.world.message.text == h.answer_text;
        return;
    }
    if (robot_at_rest(s.world)) {
        const StateKey now = state_key(s.world, &h.hasher);
        if (!h.hint.key_known) {
            h.hint.key = now;         // the robot has come to rest where the search began
            h.hint.key_known = true;
        } else if (!same_key(now, h.hint.key)) {
            h.hint.shown = false;     // something has moved: the arrow may lead astray now,
            if (s.world.message.text == h.answer_text)      // and its line with it
                clear_message(s.world);
        }
    }
    // The answer stays on its line as long as its arrow shows, unless another message took the
    // line: the player reads one beside the other.
    if (h.hint.shown && s.world.message.text == h.answer_text)
        s.world.message.ticks_left = ANSWER_TICKS;
}

void hint_cancel(PlaySession &s)
{
    HintState &h = hint_state(s);
    if (h.hint.outcome == HINT_THINKING) {
        join_thinking(h);
        search_cancel(*h.thinking.search);
        search_end(*h.thinking.search);
        if (s.world.message.text == THINKING_TEXT)
            clear_message(s.world);
    }
    // An answer goes with its arrow: the command taken makes it stale.
    if (h.hint.shown && s.world.message.text == h.answer_text)
        clear_message(s.world);
    h.hint.outcome = HINT_NONE;
    h.hint.shown = false;
}

bool hint_shown(const PlaySession &s, int *column, int *row, int *code)
{
    if (!s.hint)
        return false;
    const HintState &h = *s.hint;
    if (h.hint.outcome != HINT_COMMAND || !h.hint.shown)
        return false;
    *column = h.hint.column;
    *row = h.hint.row;
    *code = h.hint.code;
    return true;
}

HintOutcome hint_outcome(PlaySession &s, int *code, double *seconds)
{
    HintState &h = hint_state(s);
    *code = h.hint.outcome == HINT_COMMAND ? h.hint.code : 0;
    *seconds = h.hint.seconds;
    return h.hint.outcome;
}

bool hint_thinking(PlaySession &s)
{
    HintState &h = hint_state(s);
    return h.hint.outcome == HINT_THINKING;
}

bool hint_holds_world(PlaySession &s)
{
    HintState &h = hint_state(s);
    return h.hint.outcome == HINT_THINKING &&
           s.world.queue.write_index == h.held.queue.write_index;
}

void hint_wait(PlaySession &s)
{
    HintState &h = hint_state(s);
    if (h.hint.outcome == HINT_THINKING && !h.paced_by_states && h.thinking.thread.joinable()) {
        while (!h.thinking.done.load(std::memory_order_acquire))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void hint_pace_by_states(PlaySession &s, bool on)
{
    HintState &h = hint_state(s);
    if (on != h.paced_by_states)
        hint_cancel(s);
    if (on)
        stop_ahead(h.ahead);    // a demo thinks as it was recorded, without the table
    h.paced_by_states = on;
}

void hint_think_ahead(PlaySession &s)
{
    HintState &h = hint_state(s);
    if (h.paced_by_states || !robot_at_rest(s.world))
        return;
    Ahead &a = h.ahead;
    const StateKey key = state_key(s.world, &h.hasher);
    const uint32_t squares = squares_sum(s.world);
    if (a.started && same_key(key, a.start_key) && squares == a.start_squares)
        return;                 // this level's table, built or under way
    hint_cancel(s);             // a search under way may be reading the table to be dropped
    stop_ahead(a);
    stop_threads_at_exit_and_fork();
    if (!a.table && !(a.table = win_table_create()))
        return;
    read_book(s, a);
    a.from = s.world;
    a.start_key = key;
    a.start_squares = squares;
    a.cpu_seconds = 0;
    a.done.store(false, std::memory_order_relaxed);
    a.stop.store(false, std::memory_order_relaxed);
    a.started = true;
    try {
        a.thread = std::thread(build_ahead, std::ref(a));
    } catch (...) {
        a.started = false;
    }
}

bool hint_ahead_figures(PlaySession &s, HintAheadFigures *figures)
{
    HintState &h = hint_state(s);
    *figures = HintAheadFigures{};
    if (!h.ahead.started)
        return false;
    figures->done = h.ahead.done.load(std::memory_order_acquire);
    if (figures->done) {
        WinTableFigures f;
        win_table_figures(*h.ahead.table, &f);
        figures->complete = f.outcome == WIN_TABLE_COMPLETE;
        figures->positions = f.positions;
        figures->winnable = f.winnable;
        figures->memory = f.memory;
        figures->peak_memory = f.peak_memory;
        figures->seconds = f.seconds;
        figures->cpu_seconds = h.ahead.cpu_seconds;
    }
    return true;
}

void hint_forget_ahead(PlaySession &s)
{
    hint_cancel(s);
    stop_ahead(hint_state(s).ahead);
}

int64_t hint_states(PlaySession &s)
{
    return hint_state(s).thinking.states;
}

void hint_reset(PlaySession &s)
{
    HintState &h = hint_state(s);
    hint_cancel(s);
    h.way_known = false;
}

int64_t hint_peak_memory(PlaySession &s)
{
    HintState &h = hint_state(s);
    if (!h.thinking.search)
        return 0;
    SearchProgress progress;
    search_progress(*h.thinking.search, &progress);
    return progress.peak_memory;
}
