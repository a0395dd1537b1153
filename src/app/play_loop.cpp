/* play_loop.cpp: play from level to level until the player goes back to the main menu. */
#include "app/play_loop.h"
#include "base/quit_request.h"
#include "play/play_session.h"
#include "base/screen_scale.h"

#include "render/camera.h"
#include "render/render_frame.h"
#include "app/end_screen.h"
#include "app/frame_pacing.h"
#include "app/pause_screen.h"
#include "base/key_wait.h"
#include "base/sound.h"
#include "base/timer.h"
#include "ui/demo_input.h"
#include "base/display_options.h"
#include "ui/game_keys.h"
#include "play/hint.h"
#include "ui/key_card.h"
#include "ui/key_map.h"
#include "ui/lessons.h"
#include "ui/level_records.h"
#include "ui/level_shading.h"
#include "ui/level_select.h"
#include "render/message_line.h"
#include "ui/progress_file.h"
#include "play/undo_history.h"
#include "world/level_rules.h"
#include "world/player.h"
#include "world/player_motion.h"
#include "world/world_messages.h"

namespace {

const int MENU_MUSIC = 2;

/* Set from an Esc press that cancelled the hint's search until Esc is let go, so that the same
   press does not go on to leave the level. */
bool esc_cancelled_hint = false;

/* Whether Esc held this frame leaves the level. While the hint is thinking, Esc cancels the
   search instead: the player asked for it and may not want to wait. Reads Esc once a frame, as
   a demo records it. */
bool esc_leaves_level(PlaySession &session)
{
    // Asked to end (which holds Esc) just as Esc cancelled the hint: Esc is let go for a frame,
    // as a player would before pressing it again, so that a demo being recorded plays back alike.
    if (quit_requested() && esc_cancelled_hint) {
        esc_cancelled_hint = false;
        return false;
    }
    if (!demo_escape_held()) {
        esc_cancelled_hint = false;
        return false;
    }
    if (hint_thinking(session)) {
        hint_cancel(session);
        esc_cancelled_hint = true;
    }
    return !esc_cancelled_hint;
}

void show_frame(BITMAP *buffer)
{
    if (demo_mode == DEMO_OFF || demo_mode == DEMO_RECORD)
        wait_for_next_frame();
    else
        demo_wait_frame();      // a demo's pace: its recorded ticks, or none for a timedemo
    present_frame(buffer);
}

/* Runs the frames of the level until Esc is held or a completion is confirmed; returns 1 for a
   confirmed completion. */
int play_frames(BITMAP *buffer, PlaySession &session)
{
    int confirmed = 0;
    start_level_shading();
    start_frame_pacing();
    esc_cancelled_hint = false;
    // A demo's hints think for the frames they thought for when it was recorded.
    hint_pace_by_states(session, demo_mode != DEMO_OFF);
    // In play the hint thinks ahead from the level's start, so that it answers at once.
    hint_think_ahead(session);
    while (!esc_leaves_level(session) && !confirmed) {
        if (pause_requested) {
            // Between two frames: the one before is on the screen, the next is drawn after.
            pause_requested = false;
            run_pause(buffer);
        }
        FrameOverlay overlay = session_overlay(session);
        overlay.idea = level_idea(session.level);
        overlay.card_keys = key_card_overlay();
        overlay.message_note = lessons_note();
        render_frame(buffer, session.world, overlay);
        draw_records_panel(buffer, session);
        show_frame(buffer);
        static PlayActions actions;     // some 4 KB, kept off the stack
        read_game_keys(session, actions);
        const int ticks = demo_ticks_since_last();
        confirmed = play_frame(session, actions, ticks) & FRAME_CONFIRMED;
        lessons_frame_done(session);
        if (!demo_frame_done(session))
            break;              // a demo played back that went astray
        level_frame_drawn();
    }
    hint_cancel(session);
    records_panel_held = false;
    pause_requested = false;
    if (!confirmed) {
        // An Esc press that arrived after this frame's keys were read is still in the buffer;
        // the level selection must not take it as its own Esc.
        clear_keybuf();
    }
    demo_level_done(session, confirmed != 0);
    return confirmed;
}

int choose_level(void *buffer)
{
    return select_level((BITMAP *)buffer);
}

} // namespace

void play_levels(BITMAP *buffer, PlaySession &session)
{
    set_play_light();
    frames = 0;
    session_begin_play(session);
    set_play_start_options();

    for (;;) {
        const int level = demo_select_level(choose_level, buffer, session);
        if (level == -1)
            break;
        const char *notice = unsaved_progress_notice();
        session_enter(session, level, notice ? notice : key_map_notice());
        records_attempt_started(session);
        lessons_level_started();
        music_started = 0;
        stop_music(MENU_MUSIC);
        if (display_options.music_on)
            start_music(session.level);
        // The time spent choosing and loading the level does not reach the game.
        ticks_since_last();

        const int confirmed = play_frames(buffer, session);
        // The par search belongs to the level: an answer already come is taken (and written
        // with the completion), else it stops here rather than run on in the menus.
        poll_par_search(session);
        int last_level_done = 0;
        if (confirmed && !session.not_recorded && demo_writes_allowed()) {
            last_level_done = record_level_completed(session.level);
            records_level_completed(session, session.level, undo_attempt_ticks(session));
        }
        stop_par_search(session);
        if (display_options.music_on)
            stop_level_music();
        if (last_level_done && demo_mode != DEMO_PLAYBACK && demo_mode != DEMO_TIMEDEMO)
            end_screen(buffer);
    }

    const int esc = KEY_ESC;
    if (demo_mode == DEMO_OFF || demo_mode == DEMO_RECORD)
        wait_keys_released(&esc, 1);
}
