/* hint.cpp: the next command of a winning way from the position as it stands, found by the game's
   own search while play goes on drawing. */
#include "ui/hint.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "search/level_search.h"
#include "play/play_session.h"
#include "search/search_state.h"
#include "base/timer.h"
#include "ui/demo_input.h"
#include "base/display_options.h"
#include "render/message_line.h"
#include "world/actor.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/tile_grid.h"
#include "world/world_clock.h"
#include "world/world_messages.h"

namespace {

enum {
    HINT_TICKS_PER_FRAME = 2,   /* the rate the search plays at: a steady 50 frames a second, the
                                   rate the shipped levels' solutions are proven at */
    ANSWER_TICKS = 400,         /* how long an answer stays on the message line */
    THINKING_TICKS = 100,       /* "Thinking..." is shown afresh every frame while it lasts */
    DEMO_SLICES = 400,          /* the bound of a search in a demo, in slices: about 5 s */
    CLOCK_SPARE_TICKS = 50      /* a way found before is followed on only with this much time left
                                   beyond what it takes: the player has been slower than it */
};

/* A slice's milliseconds: the first, before a frame's own time is known, the fewest and most, and
   what a frame with its slice aims at (35 frames a second, above the 30 asked). */
const int64_t SLICE_FIRST_MS = 8, SLICE_LEAST_MS = 3, SLICE_MOST_MS = 20;
const double FRAME_TARGET_MS = 28;
/* A slice in a demo: a count of states, so that the search ends on the same frame when the demo
   is played back. */
const int64_t DEMO_SLICE_STATES = 1500;
const double SEARCH_SECONDS = 5.0;                  /* the search's bound, in its own time */
const int64_t SEARCH_MEMORY = (int64_t)256 << 20;   /* and in memory, as the level checker's */

typedef std::chrono::steady_clock Clock;

bool paced_by_states = false;   /* slices and bound counted in states outside a demo too */

/* The hint being asked for or shown. */
struct Hint {
    HintOutcome outcome;
    int code;                   /* the command of an answer, 0 for a wait */
    double seconds;             /* the search's time for it */
    bool shown;                 /* the arrow is drawn */
    int column, row;            /* the robot's square it is drawn on */
    bool key_known;             /* key is the position the answer is for */
    StateKey key;
    int32_t slices;             /* slices run */
    bool led;                   /* the search under way is led toward the sweets (else breadth
                                   first, which proves that no way is left) */
    double spent;               /* seconds of the led search before a breadth-first one */
    bool slice_timed;           /* slice_end is the end of the frame's slice before */
    Clock::time_point slice_end;
};

Hint hint;
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
    return session.world.motion.jump_ctr < 1 && session.world.queue.read_index == session.world.queue.write_index &&
           !session.world.level.level_completed && !session.world.level.level_lost && !session.world.falling;
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

/* The search has ended with `outcome` (SEARCH_RUNNING: its time is up): shows its answer and
   frees it. */
void finish(SearchOutcome outcome, double seconds)
{
    if (outcome == SEARCH_SOLVED && search_solution(&way) && way.step_count > 0) {
        way_known = true;
        // The search began in the world as it stood, which the play loop has held still since.
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
    search_end();
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

/* Begins a search from the world as it stands, `led` toward the sweets or breadth first. */
SearchOutcome start_search(bool led)
{
    SearchLimits limits{};
    limits.ticks_per_frame = HINT_TICKS_PER_FRAME;
    limits.state_limit = INT64_MAX;
    limits.depth_limit = SEARCH_MAX_STEPS;
    limits.memory_limit = SEARCH_MEMORY;
    limits.helper_processes = 0;    // no second process forked from the game
    limits.led = led;
    hint.led = led;
    return search_start_here(session.world, limits);
}

/* Where the search stands after a slice (or its start) that gave `outcome` in `seconds` of its
   own: thinking on, or its answer. A led search finds a way soonest, but it keeps each position
   with the clock it was first reached with, which a detour may have run down: its "no way" is
   proven again breadth first, which reaches every position by the fewest commands. */
void go_on(SearchOutcome outcome, double seconds)
{
    if (hint.led && (outcome == SEARCH_NO_SOLUTION || outcome == SEARCH_DEPTH_LIMIT)) {
        search_end();
        hint.spent += seconds;
        seconds = 0;
        outcome = start_search(false);
    }
    if (outcome == SEARCH_RUNNING) {
        hint.outcome = HINT_THINKING;
        show_message(session.world, THINKING_TEXT, THINKING_TICKS);
    } else {
        finish(outcome, hint.spent + seconds);
    }
}

/* Puts the world back as it stood when the hint was asked for: the search's answer is for that
   position, so nothing moves and the clock stands while it thinks. What the player's keys change
   meanwhile, the message line and the camera pitch (the swoop's own aside), stays. */
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

/* Milliseconds of search this frame can spare: what is left of the frame time aimed at once the
   rest of the frame (drawing, the keys, the update) has had its share. */
int64_t slice_ms()
{
    if (!hint.slice_timed)
        return SLICE_FIRST_MS;
    const double rest = std::chrono::duration<double, std::milli>(Clock::now() - hint.slice_end).count();
    const double ms = FRAME_TARGET_MS - rest;
    return ms < (double)SLICE_LEAST_MS ? SLICE_LEAST_MS :
           ms > (double)SLICE_MOST_MS  ? SLICE_MOST_MS : (int64_t)ms;
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
    held = session.world;
    hint.slices = 0;
    hint.slice_timed = false;
    hint.spent = 0;
    go_on(start_search(true), 0);
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
        // A demo's frames are paced by their recorded ticks, not by the clock: there the slices
        // are counted in states, so that recording and playback think for the same frames. The
        // tests count them so too, so that a busy machine gives the answer a quiet one does.
        const bool demo = demo_mode != DEMO_OFF || paced_by_states;
        SearchProgress progress;
        search_progress(&progress);
        int64_t ms = 0;
        if (!demo) {
            ms = slice_ms();
            const double left_ms = (SEARCH_SECONDS - hint.spent - progress.seconds) * 1000;
            if (left_ms < (double)ms)
                ms = left_ms < 1 ? 1 : (int64_t)left_ms;
        }
        const SearchOutcome outcome = search_run(demo ? DEMO_SLICE_STATES : INT64_MAX, ms);
        hint.slice_end = Clock::now();
        hint.slice_timed = true;
        hint.slices++;
        search_progress(&progress);
        if (outcome == SEARCH_RUNNING &&
            (demo ? hint.slices >= DEMO_SLICES : hint.spent + progress.seconds >= SEARCH_SECONDS))
            finish(SEARCH_RUNNING, hint.spent + progress.seconds);
        else
            go_on(outcome, progress.seconds);
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
        search_cancel();
        search_end();
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

void hint_pace_by_states(bool on)
{
    paced_by_states = on;
}

void hint_reset()
{
    hint_cancel();
    way_known = false;
}
