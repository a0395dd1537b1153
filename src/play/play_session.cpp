/* play_session.cpp: the one level being played, owned in one place. */
#include "play/play_session.h"

#include "base/datafile.h"
#include "base/sound.h"
#include "play/hint.h"
#include "play/undo_history.h"
#include "world/level_rules.h"
#include "world/player.h"
#include "world/world.h"
#include "world/world_clock.h"

PlaySession session = {World{}, 1, false, RecordsAttempt{}, nullptr, nullptr, false, nullptr, true};

void play_pending_cues(World &w)
{
    CueLog &cues = w.cues;
    for (int i = 0; i < cues.pending_count; i++)
        play_cue(datafile_sample(cues.pending[i]));
    cues.pending_count = 0;
}

void session_step(PlaySession &s, int ticks)
{
    // The frame's ticks were counted before its keys were read: when those keys started the
    // level again, the ticks fell on the attempt that ended, and the new one begins with its
    // whole clock.
    if (s.restarted)
        ticks = 0;
    s.restarted = false;
    if (command_ready(s.world)) {
        undo_keep_command(s);
        records_note_command(s.attempt);
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
}

void session_restart(PlaySession &s)
{
    s.restarted = true;
    undo_keep_restart(s);
    start_level(s.world, s.level);
    undo_attempt_started(s);
    hint_cancel(s);
}

bool session_step_back(PlaySession &s)
{
    if (!undo_step_back(s))
        return false;
    hint_cancel(s);
    return true;
}

void session_ask_hint(PlaySession &s)
{
    hint_request(s);
    records_note_hint(s.attempt);
}

FrameOverlay session_overlay(const PlaySession &s)
{
    FrameOverlay overlay{s.level, false, 0, 0, 0};
    overlay.hint_shown = hint_shown(s, &overlay.hint_column, &overlay.hint_row, &overlay.hint_code);
    return overlay;
}
