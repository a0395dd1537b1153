/* play_session.cpp: the level being played, owned by whoever plays it, and its one frame. */
#include "play/play_session.h"

#include <cstdio>

#include "base/datafile.h"
#include "base/display_options.h"
#include "base/sound.h"
#include "base/translation.h"
#include "play/hint.h"
#include "play/undo_history.h"
#include "search/par_search.h"
#include "world/level_rules.h"
#include "world/player.h"
#include "world/world.h"
#include "world/world_clock.h"
#include "world/world_messages.h"

namespace {

const int MESSAGE_TICKS = 100;
/* A notice stays until a key of play takes it away: an hour of game time is as long. */
const int NOTICE_TICKS = 100 * 3600;

/* The rest of a frame once its actions are taken, `ticks` the ticks counted since the frame
   before: the level clock run by them (by none when the actions restarted the level: they fell
   on the attempt that ended), the command the robot takes, if any (the world as it stood before
   it kept for undo, the command logged on the frame, a hint shown made stale), the world's
   update, its sounds (none while the hint holds the world), and the hint's frame; the frame
   counted. */
void session_step(PlaySession &s, int ticks)
{
    // The frame's ticks were counted before its keys were read: when those keys started the
    // level again, the ticks fell on the attempt that ended, and the new one begins with its
    // whole clock.
    if (s.restarted)
        ticks = 0;
    s.restarted = false;
    if (command_ready(s.world)) {
        // The code at the head of the queue is the one player_command takes below.
        log_command(s.log, s.frame, s.world.queue.slots[s.world.queue.read_index]);
        undo_keep_command(s);
        hint_cancel(s);
    }
    // While the hint thinks, the world is put back after its update: the update is not heard
    // either (a mine a few ticks from going off would sound every frame).
    const bool held = hint_holds_world(s);
    CueLog heard;               // copied only in the frames the hint holds the world
    if (held)
        heard = s.world.cues;
    run_level_clock(s.world, ticks);
    player_command(s.world);
    update_player(s.world, ticks);
    if (held)
        s.world.cues = heard;
    play_pending_cues(s.world);
    hint_frame(s);
    s.frame++;
}

/* Starts the level again, as the restart keys do: the world before it kept for undo and the
   restart logged (when a command was taken since the attempt began), a new attempt for the undo
   history and the records from frame 0, no hint. */
void session_restart(PlaySession &s)
{
    s.restarted = true;
    if (undo_keep_restart(s))
        log_restart(s.log, s.frame);
    s.frame = 0;
    start_level(s.world, s.level);
    undo_attempt_started(s);
    hint_cancel(s);
    session_begin_attempt(s, s.level);
}

/* One step back in the undo history (the records count it), and what it makes stale: a hint. */
bool session_step_back(PlaySession &s)
{
    if (!undo_step_back(s))
        return false;
    hint_cancel(s);
    return true;
}

/* A hint asked for (I in play), counted into the attempt. */
void session_ask_hint(PlaySession &s)
{
    hint_request(s);
    records_note_hint(s.attempt);
}

/* One action typed, taken as the keys' pass once took it, in its place among the others. */
void take_typed(PlaySession &s, const PlayAction &action)
{
    switch (action.kind) {
    case ACTION_MOVE:
        command_queue_push(s.world, action.value);
        break;
    case ACTION_UNDO:
        session_step_back(s);
        break;
    case ACTION_HINT:
        // After a loss the one way on is back: the hint would only say that no way is left.
        if (s.world.level.level_lost)
            show_boxed_message(s.world, action.text, MESSAGE_TICKS);
        else
            session_ask_hint(s);
        break;
    case ACTION_SAY:
        show_message(s.world, action.text, action.value);
        break;
    case ACTION_NOTICE:
        show_boxed_message(s.world, action.text, action.value);
        break;
    case ACTION_LEVEL:
        s.level = action.value;
        break;
    case ACTION_UNRECORDED:
        s.not_recorded = true;
        break;
    }
}

/* The camera and light keys held: their values changed a step each, one after the other, and
   the last one changed said. */
void take_held_camera(PlaySession &s, const PlayActions &a)
{
    DisplayOptions &o = display_options;
    if (a.pitch_up)
        s.world.camera_pitch -= 0.05f;
    if (a.pitch_down)
        s.world.camera_pitch += 0.05f;
    static const struct { float height; int distance, ambient; } steps[CAMERA_KEYS] = {
        {-1.0f, 0, 0}, {1.0f, 0, 0}, {0, 1, 0}, {0, -1, 0},
        {-50.0f, 0, 0}, {50.0f, 0, 0}, {0, 50, 0}, {0, -50, 0}, {0, 0, 1}, {0, 0, -1},
    };
    int last = -1;
    for (int k = 0; k < CAMERA_KEYS; k++) {
        if (!a.camera[k])
            continue;
        o.camera_height += steps[k].height;
        o.camera_distance += steps[k].distance;
        o.ambient_light += steps[k].ambient;
        last = k;
    }
    if (last < 0)
        return;
    if (steps[last].height != 0)
        std::snprintf(s.said, sizeof s.said, _("camera height: %g"), o.camera_height);
    else if (steps[last].distance != 0)
        std::snprintf(s.said, sizeof s.said, _("camera distance: %d"), o.camera_distance);
    else
        std::snprintf(s.said, sizeof s.said, _("ambient light: %d"), o.ambient_light);
    show_message(s.world, s.said, MESSAGE_TICKS);
}

} // namespace

void add_action(PlayActions &a, PlayActionKind kind, int value, const char *text)
{
    if (a.typed_count < PLAY_TYPED_LIMIT)
        a.typed[a.typed_count++] = PlayAction{kind, value, text};
}

void play_pending_cues(World &w)
{
    CueLog &cues = w.cues;
    for (int i = 0; i < cues.pending_count; i++)
        play_cue(datafile_sample(cues.pending[i]));
    cues.pending_count = 0;
}

void session_begin_attempt(PlaySession &s, int level)
{
    s.attempt = RecordsAttempt{level, level_map_hash(level), map_limit_ticks(level), 0, 0};
}

void session_begin_play(PlaySession &s)
{
    s.world.moves = 0;
}

void session_enter(PlaySession &s, int level, const char *notice)
{
    s.level = level;
    start_level(s.world, level);
    undo_clear(s);
    log_clear(s.log);
    s.frame = 0;
    undo_attempt_started(s);
    hint_cancel(s);
    session_begin_attempt(s, level);
    s.not_recorded = false;
    s.notice = notice;
    if (notice)
        show_boxed_message(s.world, notice, NOTICE_TICKS);
}

int session_frame(PlaySession &s, const PlayActions &a, int ticks)
{
    int result = 0;
    // A notice goes with the first key of play, not with one the game itself adds.
    bool keyed = a.restart;
    for (int i = 0; i < a.typed_count; i++)
        keyed = keyed || a.typed[i].kind != ACTION_NOTICE;
    if (s.notice && keyed) {
        if (s.world.message.text == s.notice)
            clear_message(s.world);
        s.notice = nullptr;
    }
    for (int i = 0; i < a.typed_count; i++)
        take_typed(s, a.typed[i]);
    if (a.restart) {
        session_restart(s);
        show_message(s.world, N_("Reset game"), MESSAGE_TICKS);
        result |= FRAME_RESTARTED;
    }
    if (s.world.level.level_completed && a.confirm) {
        result |= FRAME_CONFIRMED;
    } else {
        if (s.world.level.level_lost && a.confirm) {
            session_restart(s);
            result |= FRAME_RESTARTED;
        }
        for (int i = 0; i < a.undo_held; i++)
            session_step_back(s);
        take_held_camera(s, a);
    }
    s.world.camera_height = display_options.camera_height;
    s.actions_clock = level_clock_left(s.world);
    session_step(s, ticks);
    return result;
}

void session_set_position(PlaySession &s, int level, const World &w)
{
    hint_cancel(s);
    s.level = level;
    s.world = w;
}

ParSearch &session_par_search(PlaySession &s)
{
    if (!s.par)
        s.par = new ParSearch();
    return *s.par;
}

FrameOverlay session_overlay(PlaySession &s)
{
    probe_floor(s.world);
    FrameOverlay overlay{s.level, false, 0, 0, 0};
    overlay.hint_shown = hint_shown(s, &overlay.hint_column, &overlay.hint_row, &overlay.hint_code);
    return overlay;
}
