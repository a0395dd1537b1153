/* hint.cpp: the next command of a winning way from the position as it stands, found by the game's
   own search on a thread of its own while play goes on drawing. */
#include "play/hint.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "play/play_session.h"
#include "search/level_search.h"
#include "search/search_state.h"
#include "world/actor.h"
#include "world/player_motion.h"
#include "world/world_clock.h"
#include "world/world_messages.h"

namespace {

enum {
    HINT_TICKS_PER_FRAME = 2,   /* the rate the search plays at: a steady 50 frames a second, the
                                   rate the shipped levels' solutions are proven at */
    ANSWER_TICKS = 400,         /* how long an answer stays on the message line */
    THINKING_TICKS = 100,       /* "Thinking..." is shown afresh every frame while it lasts */
    PACED_SLICES = 400,         /* the bound of a paced search, in slices: about 5 s */
    CLOCK_SPARE_TICKS = 50      /* a way found before is followed on only with this much time left
                                   beyond what it takes: the player has been slower than it */
};

/* A paced slice: a count of states, so that a demo's search ends on the same frame when it is
   played back, and a test's on a busy machine as on a quiet one. */
const int64_t PACED_SLICE_STATES = 1500;
const double SEARCH_SECONDS = 5.0;                  /* the search's bound, in its own time */
const int64_t SEARCH_MEMORY = (int64_t)256 << 20;   /* and in memory, as the level checker's */

bool paced_by_states = false;   /* slices a frame, counted in states, instead of a thread */

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
};

Hint hint;
Thinking thinking;
World held;                     /* the world as it stood when the hint was asked for */
StateHasher hasher;             /* the memo of the keys taken of the game's world */
char answer_text[80];
const char THINKING_TEXT[] = "Thinking...";

/* The last winning way found, and the position it starts from: a player who follows it gets its
   next command without a search. */
SearchResult way;
bool way_known;
bool way_start_known;
StateKey way_start;
int32_t way_start_clock;

bool same_key(const StateKey &a, const StateKey &b)
{
    return a.low == b.low && a.high == b.high;
}

/* The robot takes a command now and none waits: the position is one the search keys. */
bool robot_at_rest()
{
    const World &w = session.world;
    return w.motion.jump_ctr < 1 && w.queue.read_index == w.queue.write_index &&
           !w.level.level_completed && !w.level.level_lost && !w.falling;
}

/* What a wait waits for: a zipper on the move, a blast under way, or nothing in particular. */
const char *wait_text()
{
    bool zipper = false, blast = false;
    for (int i = 0; i < session.world.actors.count; i++) {
        const Actor &a = session.world.actors.actors[i];
        if (a.gone)
            continue;
        if (a.timer > 0)
            blast = true;
        if (a.type == ACTOR_ZIPPER && (a.state != 0 || a.armed))
            zipper = true;
    }
    return zipper ? "Hint: wait for the zipper" : blast ? "Hint: wait for the blast" :
                    "Hint: wait a moment";
}

const char *command_text(int code)
{
    switch (code) {
    case MOVE_FORWARD: return "Hint: step forward";
    case MOVE_BACKWARD: return "Hint: step back";
    case MOVE_TURN_LEFT: return "Hint: turn left";
    case MOVE_TURN_RIGHT: return "Hint: turn right";
    case MOVE_STRAFE_LEFT: return "Hint: strafe left";
    case MOVE_STRAFE_RIGHT: return "Hint: strafe right";
    case MOVE_JUMP: return "Hint: jump";
    default: return wait_text();
    }
}

/* Shows `text` as the answer, on the message line from a buffer of its own. */
void show_answer(const char *text)
{
    std::snprintf(answer_text, sizeof answer_text, "%s", text);
    show_message(session.world, answer_text, ANSWER_TICKS);
}

/* Notes that the answer shown is for the position as it stands, when the robot is at rest. */
void note_position()
{
    hint.key_known = robot_at_rest();
    if (hint.key_known)
        hint.key = state_key(session.world, &hasher);
}

/* Shows the command `code` as the hint, with its arrow on the robot's square, for the position
   as it stands (or, while the robot is still under way, the one it comes to rest in). */
void show_command(int code, double seconds)
{
    hint.outcome = HINT_COMMAND;
    hint.code = code;
    hint.seconds = seconds;
    hint.shown = true;
    hint.column = session.world.motion.playerL[0];
    hint.row = session.world.motion.playerL[1];
    note_position();
    show_answer(command_text(code));
}

/* The search has ended with `outcome` (SEARCH_RUNNING: its time is up), with its way in `found`
   when `solved`: shows its answer. */
void finish(SearchOutcome outcome, bool solved, const SearchResult &found, double seconds)
{
    if (solved && found.step_count > 0) {
        way = found;
        way_known = true;
        // The search began in the world as it stood, which the session has held still since.
        way_start_known = robot_at_rest();
        if (way_start_known)
            way_start = state_key(session.world, &hasher);
        way_start_clock = session.world.clock;
        show_command(way.steps[0].code, seconds);
    } else if (outcome == SEARCH_SOLVED) {
        hint.outcome = HINT_NONE;       // the level is completed already
    } else {
        hint.outcome = outcome == SEARCH_NO_SOLUTION ? HINT_NO_WAY : HINT_NOT_FOUND;
        hint.seconds = seconds;
        note_position();
        show_answer(outcome == SEARCH_NO_SOLUTION ?
                        "No way to win from here: undo (Backspace) or restart (R)" :
                    outcome == SEARCH_RUNNING ? "No way found in 5 s: undo or restart" :
                    outcome == SEARCH_DEPTH_LIMIT ?
                        "No way found within 1000 commands: undo or restart" :
                        "No way found in the memory allowed: undo or restart");
    }
}

/* The next command of the way found before, when the position as it stands is one it passes
   through with time enough left for the rest of it. */
bool answer_from_way()
{
    if (!way_known || !robot_at_rest())
        return false;
    const StateKey now = state_key(session.world, &hasher);
    const int32_t end_clock = way.steps[way.step_count - 1].clock;
    for (int32_t i = -1; i + 1 < way.step_count; i++) {
        if (i < 0 ? !way_start_known || !same_key(now, way_start) : !same_key(now, way.steps[i].key))
            continue;
        // The rest of the way takes the game time it took when found; a player slower than the
        // search may not have that left.
        const int32_t needed = (i < 0 ? way_start_clock : way.steps[i].clock) - end_clock;
        if (level_clock_left(session.world) - needed < CLOCK_SPARE_TICKS)
            return false;
        show_command(way.steps[i + 1].code, 0);
        return true;
    }
    return false;
}

/* Begins a search of `search` from world `from`, `led` toward the sweets or breadth first. */
SearchOutcome start_search(LevelSearch &search, const World &from, bool led)
{
    SearchLimits limits{};
    limits.ticks_per_frame = HINT_TICKS_PER_FRAME;
    limits.state_limit = INT64_MAX;
    limits.depth_limit = SEARCH_MAX_STEPS;
    limits.memory_limit = SEARCH_MEMORY;
    limits.helper_threads = 0;      // the play loop's own thread is the other core's
    limits.led = led;
    return search_start_here(search, from, limits);
}

/* A led search finds a way soonest, but it keeps each position with the clock it was first
   reached with, which a detour may have run down: its "no way" is proven again breadth first,
   which reaches every position by the fewest commands. Returns true when the led search gave
   way to a breadth-first one (its outcome in *outcome). */
bool prove_breadth_first(LevelSearch &search, const World &from, SearchOutcome *outcome)
{
    if (!hint.led || (*outcome != SEARCH_NO_SOLUTION && *outcome != SEARCH_DEPTH_LIMIT))
        return false;
    search_end(search);
    hint.led = false;
    *outcome = start_search(search, from, false);
    return true;
}

/* The unpaced search, on its own thread: the led search, its proof if it finds no way, and the
   way's replay, all on the search's own world, within SEARCH_SECONDS of its own time. */
void think(SearchOutcome outcome)
{
    LevelSearch &search = *thinking.search;
    double spent = 0;           // seconds of the searches before the one under way
    SearchProgress progress{};
    for (;;) {
        search_progress(search, &progress);
        if (outcome == SEARCH_RUNNING) {
            const double left_ms = (SEARCH_SECONDS - spent - progress.seconds) * 1000;
            outcome = search_run(search, INT64_MAX, left_ms < 1 ? 1 : (int64_t)left_ms);
            search_progress(search, &progress);
        }
        if (outcome == SEARCH_RUNNING)
            break;              // out of time, or asked to stop
        const double seconds = progress.seconds;
        if (!prove_breadth_first(search, held, &outcome))
            break;
        spent += seconds;
    }
    search_progress(search, &progress);
    thinking.outcome = outcome;
    thinking.seconds = spent + progress.seconds;
    thinking.solved = outcome == SEARCH_SOLVED && search_solution(search, &thinking.found);
    search_end(search);
    thinking.done.store(true, std::memory_order_release);
}

/* Waits for the thread of a search under way, if any, having asked it to stop. */
void join_thinking()
{
    if (!thinking.thread.joinable())
        return;
    search_stop_soon(*thinking.search);
    thinking.thread.join();
}

/* Puts the world back as it stood when the hint was asked for: the search's answer is for that
   position, so nothing moves and the clock stands while it thinks. What the player's keys change
   meanwhile, the message line, the camera and the sounds heard, stays. */
void hold_world()
{
    const MessageLine message = session.world.message;
    const int title = session.world.title_timer;
    const float pitch = session.world.camera_pitch;
    const float height = session.world.camera_height;
    const CueLog cues = session.world.cues;
    session.world = held;
    session.world.message = message;
    session.world.title_timer = title;
    session.world.camera_height = height;
    session.world.cues = cues;
    if (!session.world.intro)
        session.world.camera_pitch = pitch;
}

/* A paced slice of the search, on the play loop's thread. */
void think_a_slice()
{
    LevelSearch &search = *thinking.search;
    SearchOutcome outcome = search_run(search, PACED_SLICE_STATES, 0);
    hint.slices++;
    SearchProgress progress;
    search_progress(search, &progress);
    if (prove_breadth_first(search, held, &outcome)) {
        hint.spent += progress.seconds;
        progress.seconds = 0;
    }
    if (outcome == SEARCH_RUNNING && hint.slices < PACED_SLICES) {
        show_message(session.world, THINKING_TEXT, THINKING_TICKS);
        return;
    }
    thinking.solved = outcome == SEARCH_SOLVED && search_solution(search, &thinking.found);
    search_end(search);
    finish(outcome, thinking.solved, thinking.found, hint.spent + progress.seconds);
}

} // namespace

void hint_request()
{
    if (session.world.level.level_completed || hint.outcome == HINT_THINKING)
        return;
    // An answer still standing is shown again: a command, or no way from a position that has
    // not moved since.
    const bool standing = hint.outcome == HINT_COMMAND ? hint.shown && hint.code != 0 :
                          hint.outcome == HINT_NO_WAY && hint.key_known && robot_at_rest() &&
                              same_key(state_key(session.world, &hasher), hint.key);
    if (standing) {
        show_message(session.world, answer_text, ANSWER_TICKS);
        return;
    }
    hint_cancel();
    if (answer_from_way())
        return;
    if (!thinking.search && !(thinking.search = search_create())) {
        finish(SEARCH_MEMORY_LIMIT, false, way, 0);
        return;
    }
    held = session.world;
    hint.slices = 0;
    hint.spent = 0;
    hint.led = true;
    hint.outcome = HINT_THINKING;
    const SearchOutcome outcome = start_search(*thinking.search, held, true);
    thinking.done.store(false, std::memory_order_relaxed);
    thinking.seconds = 0;
    if (paced_by_states) {
        if (outcome == SEARCH_RUNNING) {
            show_message(session.world, THINKING_TEXT, THINKING_TICKS);
            return;
        }
        SearchOutcome proved = outcome;
        if (prove_breadth_first(*thinking.search, held, &proved) && proved == SEARCH_RUNNING) {
            show_message(session.world, THINKING_TEXT, THINKING_TICKS);
            return;
        }
        thinking.solved = proved == SEARCH_SOLVED && search_solution(*thinking.search, &thinking.found);
        search_end(*thinking.search);
        finish(proved, thinking.solved, thinking.found, 0);
        return;
    }
    show_message(session.world, THINKING_TEXT, THINKING_TICKS);
    try {
        thinking.thread = std::thread(think, outcome);
    } catch (...) {
        search_end(*thinking.search);
        finish(SEARCH_MEMORY_LIMIT, false, way, 0);
    }
}

void hint_frame()
{
    if (hint.outcome == HINT_THINKING) {
        if (session.world.queue.write_index != held.queue.write_index) {
            // A command typed while the robot was still under way: it cancels the hint as one
            // taken does, and the world goes on from here to take it.
            hint_cancel();
            return;
        }
        hold_world();
        if (paced_by_states) {
            think_a_slice();
            return;
        }
        if (!thinking.done.load(std::memory_order_acquire)) {
            show_message(session.world, THINKING_TEXT, THINKING_TICKS);
            return;
        }
        thinking.thread.join();
        finish(thinking.outcome, thinking.solved, thinking.found, thinking.seconds);
        return;
    }
    if (hint.outcome != HINT_COMMAND || !hint.shown)
        return;
    if (hint.code == 0) {
        // A wait is for a world that moves: it lasts as long as its message.
        hint.shown = session.world.message.text == answer_text;
        return;
    }
    if (robot_at_rest()) {
        const StateKey now = state_key(session.world, &hasher);
        if (!hint.key_known) {
            hint.key = now;         // the robot has come to rest where the search began
            hint.key_known = true;
        } else if (!same_key(now, hint.key)) {
            hint.shown = false;     // something has moved: the arrow may lead astray now
        }
    }
}

void hint_cancel()
{
    if (hint.outcome == HINT_THINKING) {
        join_thinking();
        search_cancel(*thinking.search);
        search_end(*thinking.search);
        if (session.world.message.text == THINKING_TEXT)
            clear_message(session.world);
    }
    hint.outcome = HINT_NONE;
    hint.shown = false;
}

bool hint_shown(int *column, int *row, int *code)
{
    if (hint.outcome != HINT_COMMAND || !hint.shown)
        return false;
    *column = hint.column;
    *row = hint.row;
    *code = hint.code;
    return true;
}

HintOutcome hint_outcome(int *code, double *seconds)
{
    *code = hint.outcome == HINT_COMMAND ? hint.code : 0;
    *seconds = hint.seconds;
    return hint.outcome;
}

bool hint_thinking()
{
    return hint.outcome == HINT_THINKING;
}

void hint_wait()
{
    if (hint.outcome == HINT_THINKING && !paced_by_states && thinking.thread.joinable()) {
        while (!thinking.done.load(std::memory_order_acquire))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void hint_pace_by_states(bool on)
{
    if (on != paced_by_states)
        hint_cancel();
    paced_by_states = on;
}

void hint_reset()
{
    hint_cancel();
    way_known = false;
}

int64_t hint_peak_memory()
{
    if (!thinking.search)
        return 0;
    SearchProgress progress;
    search_progress(*thinking.search, &progress);
    return progress.peak_memory;
}
