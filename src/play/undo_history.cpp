/* undo_history.cpp: the level as it stood before each command the robot took, kept compactly, and
   the step back to it.

   The newest step is kept whole, as the world's snapshot (some 20 KB); every older one only as
   the words in which it differs from the step after it, in a ring of words. Stepping back puts the
   newest step in place and rebuilds the one below it from its changes; dropping the oldest step
   frees its changes and nothing else depends on them. A command changes a few hundred bytes of
   the world, so a step costs that much, not the whole snapshot. */
#include "play/undo_history.h"

#include <cstdio>
#include <cstring>

#include "base/translation.h"
#include "play/play_session.h"
#include "base/timer.h"
#include "base/display_options.h"
#include "play/attempt.h"
#include "render/message_line.h"
#include "world/level_map.h"
#include "world/level_rules.h"
#include "world/player_motion.h"
#include "world/tile_grid.h"
#include "world/world_clock.h"
#include "world/world_messages.h"

namespace {

const int MESSAGE_TICKS = 100;

enum {
    WORLD_WORDS = sizeof(World) / 4,
    POOL_WORDS = UNDO_POOL_BYTES / 4,
    MERGE_GAP = 1   /* equal words between two changed ones kept in one run: a run's header costs one */
};

static_assert(sizeof(World) % 4 == 0, "the world is compared a word at a time");
static_assert(WORLD_WORDS < 65536, "a run's place and length fit in 16 bits each");

/* The attempt under way: the level whose map was loaded and the level clock when it
   (re)started. Kept with every step and put back with it. */
struct UndoAttempt {
    int32_t level;
    int32_t start_clock;
};

struct UndoStep {
    uint32_t start;         /* first word of its changes in the pool */
    uint32_t words;         /* their length; 0 for the newest step, kept whole */
    UndoAttempt attempt;    /* the attempt as it stood then */
    RecordsAttempt records; /* its counts for the records, as they stood then */
};

} // namespace

/* The history of the session's level: its steps, the ring of their changes and the newest whole. */
struct UndoHistory {
    UndoStep steps[UNDO_STEP_LIMIT];    /* a ring: the oldest at first_step */
    int first_step = 0;
    int step_count = 0;
    uint32_t pool[POOL_WORDS];          /* a ring of the older steps' changes, oldest first */
    uint32_t newest[WORLD_WORDS];       /* the newest step, whole */
    uint32_t incoming[WORLD_WORDS];
    uint32_t changes[WORLD_WORDS + 2];  /* being encoded: a run costs one word more than it holds,
                                           and two equal words part runs, so at most this */
    World world;                        /* the world on its way in or out */
    bool dropped = false;               /* a step has been dropped since undo_clear */
    bool drop_told = false;
    int moves_back = 0;                 /* commands undone since the last step kept */
    char message_text[96];
    UndoAttempt attempt;                /* the attempt under way */
};

namespace {

/* The session's history, made when it is first needed: some 4.5 MB. */
UndoHistory &history(PlaySession &s)
{
    if (!s.undo)
        s.undo = new UndoHistory();
    return *s.undo;
}

UndoStep &step_at(UndoHistory &h, int place)
{
    return h.steps[(h.first_step + place) % UNDO_STEP_LIMIT];
}

/* The world in a form that changes only where play changes it: the command queue, the message
   line and the cues waiting to be played are not kept, as a step back empties the one, speaks on
   the other and plays nothing. */
void normalise(World *w)
{
    w->queue = CommandQueue{};
    w->message = MessageLine{};
    w->cues.pending_count = 0;
}

/* Writes into `out` the runs of words where `older` differs from `newer`, each a header (place,
   and length above 16 bits) and the older words, after a first word counting the runs. Returns
   the words written. */
uint32_t encode(const uint32_t *older, const uint32_t *newer, uint32_t *out)
{
    uint32_t n = 1, runs = 0;
    for (uint32_t i = 0; i < WORLD_WORDS;) {
        if (older[i] == newer[i]) {
            i++;
            continue;
        }
        uint32_t end = i + 1;
        for (uint32_t j = end; j < WORLD_WORDS && j - end <= MERGE_GAP; j++)
            if (older[j] != newer[j])
                end = j + 1;
        out[n++] = i | (end - i) << 16;
        std::memcpy(out + n, older + i, (end - i) * 4);
        n += end - i;
        runs++;
        i = end;
    }
    out[0] = runs;
    return n;
}

/* Turns `world_words` (the step after) into the step the changes were encoded for. */
void apply(uint32_t *world_words, const uint32_t *delta)
{
    const uint32_t runs = delta[0];
    const uint32_t *p = delta + 1;
    for (uint32_t r = 0; r < runs; r++) {
        const uint32_t place = *p & 0xffff, length = *p >> 16;
        std::memcpy(world_words + place, p + 1, length * 4);
        p += 1 + length;
    }
}

void drop_oldest(UndoHistory &h)
{
    h.first_step = (h.first_step + 1) % UNDO_STEP_LIMIT;
    h.step_count--;
    h.dropped = true;
}

/* The place in the pool for `words` words of changes, dropping the oldest steps until they fit.
   The changes lie in the order of their steps, so the free room is after the newest's and
   before the oldest's, round the end of the ring. */
uint32_t room_for(UndoHistory &h, uint32_t words)
{
    for (;;) {
        if (h.step_count < 2)
            return 0;   // only the newest step, which has no changes stored: the pool is empty
        const UndoStep &oldest = step_at(h, 0);
        const UndoStep &last = step_at(h, h.step_count - 2);
        const uint32_t low = oldest.start, high = last.start + last.words;
        if (last.start >= low) {
            if (POOL_WORDS - high >= words)
                return high;
            if (low >= words)
                return 0;
        } else if (low - high >= words) {
            return high;
        }
        drop_oldest(h);
    }
}

void keep_step(PlaySession &s)
{
    UndoHistory &h = history(s);
    h.world = s.world;
    normalise(&h.world);
    std::memcpy(h.incoming, &h.world, sizeof h.world);
    if (h.step_count == UNDO_STEP_LIMIT)
        drop_oldest(h);
    if (h.step_count > 0) {
        const uint32_t words = encode(h.newest, h.incoming, h.changes);
        const uint32_t at = room_for(h, words);
        std::memcpy(h.pool + at, h.changes, words * 4);
        UndoStep &below = step_at(h, h.step_count - 1);
        below.start = at;
        below.words = words;
    }
    step_at(h, h.step_count) = UndoStep{0, 0, h.attempt, s.attempt};
    h.step_count++;
    std::memcpy(h.newest, h.incoming, sizeof h.newest);
    h.moves_back = 0;
    if (h.dropped && !h.drop_told) {
        std::snprintf(h.message_text, sizeof h.message_text, _("Undo keeps the last %d moves only"),
                      h.step_count);
        show_boxed_message(s.world, h.message_text, MESSAGE_TICKS);
        h.drop_told = true;
    }
}

} // namespace

void undo_clear(PlaySession &s)
{
    UndoHistory &h = history(s);
    h.first_step = 0;
    h.step_count = 0;
    h.dropped = false;
    h.drop_told = false;
    h.moves_back = 0;
}

void undo_attempt_started(PlaySession &s)
{
    UndoHistory &h = history(s);
    h.attempt = UndoAttempt{s.level, s.world.clock};
}

int undo_attempt_ticks(PlaySession &s)
{
    UndoHistory &h = history(s);
    return h.attempt.start_clock - level_clock_left(s.world);
}

void undo_keep_command(PlaySession &s)
{
    keep_step(s);
}

bool undo_keep_restart(PlaySession &s)
{
    if (s.log.attempt_commands == 0)
        return false;
    keep_step(s);
    return true;
}

bool undo_step_back(PlaySession &s)
{
    UndoHistory &h = history(s);
    if (h.step_count == 0) {
        show_boxed_message(s.world, h.dropped ? N_("No more undo: older moves were dropped") :
                                                N_("Nothing to undo"),
                     MESSAGE_TICKS);
        return false;
    }
    const UndoStep top = step_at(h, h.step_count - 1);
    std::memcpy(&h.world, h.newest, sizeof h.world);
    h.step_count--;
    if (h.step_count > 0) {
        UndoStep &below = step_at(h, h.step_count - 1);
        apply(h.newest, h.pool + below.start);
        below.start = 0;
        below.words = 0;
    }

    // The player's own tilt of the camera stays, unless the swoop of a level start sets it.
    const float pitch = s.world.camera_pitch;
    const bool swooping = s.world.intro != 0;
    // The camera height is the player's own setting, given to the world rather than kept by it,
    // and the sounds heard stay heard.
    const float height = s.world.camera_height;
    const CueLog cues = s.world.cues;
    s.world = h.world;
    s.world.camera_height = height;
    s.world.cues = cues;
    if (!swooping && !s.world.intro)
        s.world.camera_pitch = pitch;

    h.attempt = top.attempt;
    // Every step was kept with an entry of the log, and the log keeps at least as many: its
    // newest is this step's.
    LoggedCommand taken{s.frame, 0, 0};
    log_take_back(s.log, &taken);
    s.frame = taken.frame;
    if (taken.code == LOGGED_RESTART) {
        s.level = top.attempt.level;
        records_restart_undone(s.attempt, top.records);
        show_boxed_message(s.world, N_("Undo: restart undone"), MESSAGE_TICKS);
    } else {
        records_note_undo(s.attempt);
        h.moves_back++;
        std::snprintf(h.message_text, sizeof h.message_text,
                      h.moves_back == 1 ? _("Undo: %d move back") : _("Undo: %d moves back"),
                      h.moves_back);
        show_boxed_message(s.world, h.message_text, MESSAGE_TICKS);
    }
    return true;
}

int undo_steps(PlaySession &s)
{
    UndoHistory &h = history(s);
    return h.step_count;
}

size_t undo_bytes(PlaySession &s)
{
    UndoHistory &h = history(s);
    size_t bytes = h.step_count > 0 ? sizeof h.newest : 0;
    for (int i = 0; i < h.step_count; i++)
        bytes += step_at(h, i).words * 4;
    return bytes;
}
