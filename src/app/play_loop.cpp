/* play_loop.cpp: play from level to level until the player goes back to the main menu. */
#include "app/play_loop.h"
#include "base/screen_scale.h"

#include "app/end_screen.h"
#include "app/frame_pacing.h"
#include "base/key_wait.h"
#include "base/sound.h"
#include "base/timer.h"
#include "render/camera.h"
#include "render/display_options.h"
#include "render/render_frame.h"
#include "ui/demo_input.h"
#include "ui/game_keys.h"
#include "ui/hint.h"
#include "ui/level_records.h"
#include "ui/level_select.h"
#include "ui/level_shading.h"
#include "ui/message_line.h"
#include "ui/progress_file.h"
#include "ui/undo_history.h"
#include "world/level_rules.h"
#include "world/player.h"
#include "world/player_motion.h"

int level_not_recorded = 0;

namespace {

/* The music numbers 0, 1 and 2 between them cover every music object. */
const int MUSIC_LOOPS = 3;
const int MENU_MUSIC = 2;

/* The robot takes a command: the world as it stood is kept for undo, the command counts into the
   attempt, and a hint shown is stale. Set as the world's command_taken_hook while a level is
   played. */
void command_taken()
{
    undo_keep_command();
    records_note_command();
    hint_cancel();
}

/* A slice of the hint's search: it plays commands on a world of its own, which are none of the
   player's, so the hook is off meanwhile. */
/* Set from an Esc press that cancelled the hint's search until Esc is let go, so that the same
   press does not go on to leave the level. */
bool esc_cancelled_hint = false;

/* Whether Esc held this frame leaves the level. While the hint is thinking, Esc cancels the
   search instead: the player asked for it and may not want to wait. Reads Esc once a frame, as
   a demo records it. */
bool esc_leaves_level()
{
    if (!demo_escape_held()) {
        esc_cancelled_hint = false;
        return false;
    }
    if (hint_thinking()) {
        hint_cancel();
        esc_cancelled_hint = true;
    }
    return !esc_cancelled_hint;
}

void think_about_hint()
{
    command_taken_hook = nullptr;
    hint_frame();
    command_taken_hook = command_taken;
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
int play_frames(BITMAP *buffer)
{
    int confirmed = 0;
    start_level_shading();
    start_frame_pacing();
    command_taken_hook = command_taken;
    esc_cancelled_hint = false;
    while (!esc_leaves_level() && !confirmed) {
        render_frame(buffer);
        show_frame(buffer);
        confirmed = handle_game_keys();
        player_command();
        const int ticks = demo_ticks_since_last();
        update_player(ticks);
        note_frame_ticks(ticks);
        think_about_hint();
        if (!demo_frame_done())
            break;              // a demo played back that went astray
        level_frame_drawn();
    }
    command_taken_hook = nullptr;
    hint_cancel();
    records_panel_held = false;
    if (!confirmed) {
        // An Esc press that arrived after this frame's keys were read is still in the buffer;
        // the level selection must not take it as its own Esc.
        clear_keybuf();
    }
    demo_level_done(confirmed != 0);
    return confirmed;
}

int choose_level(void *buffer)
{
    return select_level((BITMAP *)buffer);
}

} // namespace

void stop_level_music()
{
    for (int n = 0; n < MUSIC_LOOPS; n++)
        stop_music(n);
}

void play_levels(BITMAP *buffer)
{
    set_play_light();
    frames = 0;
    moves = 0;
    set_play_start_options();

    for (;;) {
        current_level = demo_select_level(choose_level, buffer);
        if (current_level == -1)
            break;
        start_level();
        undo_clear();
        undo_attempt_started();
        hint_cancel();
        records_attempt_started(current_level);
        if (const char *notice = unsaved_progress_notice())
            show_message(notice, 300);
        music_started = 0;
        stop_music(MENU_MUSIC);
        if (display_options.music_on)
            start_music(current_level);
        // The time spent choosing and loading the level does not reach the game.
        ticks_since_last();

        const int confirmed = play_frames(buffer);
        // The par search belongs to the level: an answer already come is taken (and written
        // with the completion), else it stops here rather than run on in the menus.
        poll_par_search();
        int last_level_done = 0;
        if (confirmed && !level_not_recorded && demo_writes_allowed()) {
            last_level_done = record_level_completed(current_level);
            records_level_completed(current_level, undo_attempt_ticks());
        }
        stop_par_search();
        level_not_recorded = 0;
        if (display_options.music_on)
            stop_level_music();
        if (last_level_done && demo_mode != DEMO_PLAYBACK && demo_mode != DEMO_TIMEDEMO)
            end_screen(buffer);
    }

    const int esc = KEY_ESC;
    if (demo_mode == DEMO_OFF || demo_mode == DEMO_RECORD)
        wait_keys_released(&esc, 1);
}
