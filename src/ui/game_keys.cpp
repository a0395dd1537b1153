/* game_keys.cpp: the keys of play: moves for the robot, option switches, restart and confirmation. */
#include "ui/game_keys.h"

#include <allegro.h>
#include <cstdarg>
#include <cstdio>

#include "play/play_session.h"
#include "base/console.h"
#include "base/sound.h"
#include "base/timer.h"
#include "ui/demo_input.h"
#include "base/display_options.h"
#include "play/hint.h"
#include "render/hud.h"
#include "ui/key_card.h"
#include "ui/level_records.h"
#include "ui/level_select.h"
#include "render/message_line.h"
#include "ui/screenshot.h"
#include "play/undo_history.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/player.h"
#include "world/player_motion.h"
#include "world/world_clock.h"
#include "world/world_messages.h"

namespace {

const int MESSAGE_TICKS = 100;
const int HIGHEST_LEVEL_NUMBER = 21;    /* the level keys step no further */
/* Undo held: the first step at the press, then after UNDO_REPEAT_DELAY ticks one every
   UNDO_REPEAT_TICKS, some seven a second. The keyboard's own repeat is not used: its rate is the
   desktop's, and much faster. */
const int UNDO_REPEAT_DELAY = 40;
const int UNDO_REPEAT_TICKS = 15;

int32_t frame_ticks = 0;        /* ticks of the updates since the keys were last read */
bool undo_key_was_held = false; /* Backspace or U held when the keys were last read */
bool undo_typed = false;        /* a typed undo key stepped back in this frame's first pass */
int32_t undo_held_ticks = 0;    /* how long it has been held, less the repeats made */

int install_library_timer(void (*handler)(), long speed)
{
    return install_int_ex(handler, speed);
}

/* The numeric messages of the keys; each new one overwrites the one before. */
char options_text[40];

void show_options_text(const char *format, ...) __attribute__((format(printf, 1, 2)));

void show_options_text(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(options_text, sizeof options_text, format, args);
    va_end(args);
    show_message(session.world, options_text, MESSAGE_TICKS);
}

void switch_slow_motion()
{
    DisplayOptions &o = display_options;
    o.slow_motion = !o.slow_motion;
    show_message(session.world, o.slow_motion ? "Slow motion on" : "Slow motion off", MESSAGE_TICKS);
    // Switching either way spoils the level's record: its time was not played at full speed.
    session.not_recorded = true;
    const long speed = o.slow_motion ? TIMER_PERIOD_SLOW : TIMER_PERIOD_NORMAL;
    if (install_game_timer(timer_handler, speed) < 0)
        console_printf("Cannot allocate timer");
}

void step_depth_of_view()
{
    DisplayOptions &o = display_options;
    o.depth_of_view = o.depth_of_view == 0 ? itofix(300) : o.depth_of_view + itofix(100);
    if (o.depth_of_view >= itofix(1000))
        o.depth_of_view = 0;
    if (o.depth_of_view == 0)
        show_message(session.world, "Depth of view: infinite", MESSAGE_TICKS);
    else
        show_options_text("Depth of view: %d", fixtoi(o.depth_of_view));
}

/* F9 and F10 move only onto a level whose map exists: a restart then loads it. A level of a
   --levels folder with faults is not moved onto: the restart would stop the game on it. */
void step_level(int step)
{
    const int level = session.level + step;
    if (level < 1 || level > HIGHEST_LEVEL_NUMBER || !level_map_exists(level))
        return;
    char fault[LEVEL_FAULT_SIZE];
    if (level_fault(level, fault, sizeof fault)[0]) {
        show_options_text("Map %d has faults: %s", level, fault);
        return;
    }
    session.level = level;
    show_options_text("Map: %d (Type the PassWord)", session.level);
}

void switch_music()
{
    DisplayOptions &o = display_options;
    o.music_on = !o.music_on;
    if (o.music_on)
        start_music(session.level);
    else
        stop_level_music();
}

/* One step back (the undo history counts it into the attempt's record), and what it makes
   stale: a hint. */
void step_back()
{
    session_step_back(session);
}

/* A typed undo key steps back once, unless the key was already held at the last read: then it is
   the keyboard's own repeat, and the held key's repeat takes its place. */
void undo_key_typed()
{
    if (undo_key_was_held)
        return;
    step_back();
    undo_typed = true;
}

/* The undo keys held: a press seen first here (it came between the two passes) steps back once,
   and a key held on steps back again at the repeat's pace. */
void undo_keys_held()
{
    const bool held = demo_key_held(KEY_BACKSPACE) || demo_key_held(KEY_U);
    if (held && !undo_key_was_held) {
        undo_held_ticks = 0;
        if (!undo_typed)
            step_back();
    } else if (held) {
        undo_held_ticks += frame_ticks;
        if (undo_held_ticks >= UNDO_REPEAT_DELAY) {
            undo_held_ticks -= UNDO_REPEAT_TICKS;
            step_back();
        }
    }
    undo_key_was_held = held;
}

void ask_for_hint()
{
    // After a loss the one way on is back: the hint would only say that no way is left.
    if (session.world.level.level_lost) {
        show_message(session.world, undo_first_text(), MESSAGE_TICKS);
        return;
    }
    session_ask_hint(session);
}

void restart_level()
{
    session_restart(session);
    records_attempt_started(session.level);
}

void push_turn(int plain, int strafe)
{
    command_queue_push(session.world, demo_shift_held() ? strafe : plain);
}

void handle_typed_key(int scancode)
{
    DisplayOptions &o = display_options;
    switch (scancode) {
    case KEY_LEFT:
        push_turn(MOVE_TURN_LEFT, MOVE_STRAFE_LEFT);
        break;
    case KEY_RIGHT:
        push_turn(MOVE_TURN_RIGHT, MOVE_STRAFE_RIGHT);
        break;
    case KEY_UP:
        command_queue_push(session.world, MOVE_FORWARD);
        break;
    case KEY_DOWN:
        command_queue_push(session.world, MOVE_BACKWARD);
        break;
    case KEY_SPACE:
        command_queue_push(session.world, MOVE_JUMP);
        break;
    case KEY_F1:
        toggle_f1_panel();
        break;
    case KEY_F4:
        o.viewport_size = (int16_t)(o.viewport_size + 1 >= VIEWPORT_SIZES ? 0 : o.viewport_size + 1);
        show_message(session.world, "Changed viewport size", MESSAGE_TICKS);
        break;
    case KEY_B:
        switch_music();
        break;
    case KEY_M:
        o.map_panel_shown = !o.map_panel_shown;
        break;
    case KEY_F6:
        o.camera_mode = (int16_t)((o.camera_mode + 1) % 4);
        apply_camera_preset(o.camera_mode);
        show_message(session.world, camera_mode_messages[o.camera_mode], MESSAGE_TICKS);
        break;
    case KEY_F11:
        o.sound_off = !o.sound_off;
        show_message(session.world, o.sound_off ? "Sound off" : "Sound on", MESSAGE_TICKS);
        break;
    case KEY_F12:
        take_screenshot();
        break;
    case KEY_F2:
        switch_slow_motion();
        break;
    case KEY_F3:
        o.debug_info = !o.debug_info;
        show_message(session.world, o.debug_info ? "Debug info on" : "Debug info off", MESSAGE_TICKS);
        break;
    case KEY_F5:
        step_depth_of_view();
        break;
    case KEY_F7:
        o.light_mode = (o.light_mode + 1) % 4;
        show_message(session.world, light_mode_messages[o.light_mode], MESSAGE_TICKS);
        break;
    case KEY_F8:
        o.shading_mode = (o.shading_mode + 1) % 4;
        show_message(session.world, shading_mode_messages[o.shading_mode], MESSAGE_TICKS);
        break;
    case KEY_F9:
        step_level(-1);
        break;
    case KEY_F10:
        step_level(1);
        break;
    case KEY_BACKSPACE:
    case KEY_U:
        undo_key_typed();
        break;
    case KEY_I:
        ask_for_hint();
        break;
    case KEY_P:
        // A demo played back never pauses: what it shows was recorded without the pauses.
        if (demo_mode == DEMO_OFF || demo_mode == DEMO_RECORD)
            pause_requested = true;
        break;
    case KEY_L:
        o.map_heights = !o.map_heights;
        show_message(session.world, o.map_heights ? "Map heights on" : "Map heights off",
                     MESSAGE_TICKS);
        break;
    default:
        break;
    }
}

enum HeldMessage { HELD_NONE, HELD_HEIGHT, HELD_DISTANCE, HELD_AMBIENT };

/* The camera and light keys held this frame; returns the last value changed, in key order. */
int handle_held_camera_keys()
{
    DisplayOptions &o = display_options;
    int changed = HELD_NONE;
    if (demo_key_held(KEY_PGUP))
        session.world.camera_pitch -= 0.05f;
    if (demo_key_held(KEY_PGDN))
        session.world.camera_pitch += 0.05f;
    if (demo_key_held(KEY_Q)) {
        o.camera_height -= 1.0f;
        changed = HELD_HEIGHT;
    }
    if (demo_key_held(KEY_A)) {
        o.camera_height += 1.0f;
        changed = HELD_HEIGHT;
    }
    if (demo_key_held(KEY_W)) {
        o.camera_distance += 1;
        changed = HELD_DISTANCE;
    }
    if (demo_key_held(KEY_S)) {
        o.camera_distance -= 1;
        changed = HELD_DISTANCE;
    }
    if (demo_key_held(KEY_T)) {
        o.camera_height -= 50.0f;
        changed = HELD_HEIGHT;
    }
    if (demo_key_held(KEY_Y)) {
        o.camera_height += 50.0f;
        changed = HELD_HEIGHT;
    }
    if (demo_key_held(KEY_G)) {
        o.camera_distance += 50;
        changed = HELD_DISTANCE;
    }
    if (demo_key_held(KEY_H)) {
        o.camera_distance -= 50;
        changed = HELD_DISTANCE;
    }
    if (demo_key_held(KEY_E)) {
        o.ambient_light += 1;
        changed = HELD_AMBIENT;
    }
    if (demo_key_held(KEY_D)) {
        o.ambient_light -= 1;
        changed = HELD_AMBIENT;
    }
    return changed;
}

} // namespace

int (*install_game_timer)(void (*handler)(), long speed) = install_library_timer;
bool pause_requested = false;

void note_frame_ticks(int32_t ticks)
{
    frame_ticks += ticks;
}

int handle_game_keys()
{
    if (keyboard_needs_poll())
        poll_keyboard();
    undo_typed = false;
    demo_poll_pad();
    // A request the caller did not act on (the editor's playtest has no pause) lapses, and the
    // keys typed after the pause key are left for the pause, which any key ends.
    pause_requested = false;
    while (!pause_requested && demo_key_typed())
        handle_typed_key(demo_read_key() >> 8);

    if (demo_key_held(KEY_R)) {
        restart_level();
        show_message(session.world, "Reset game", MESSAGE_TICKS);
    }
    const bool confirm = demo_key_held(KEY_SPACE) || demo_key_held(KEY_ENTER);
    if (session.world.level.level_completed && confirm) {
        frame_ticks = 0;
        return 1;
    }
    if (session.world.level.level_lost && confirm)
        restart_level();
    undo_keys_held();
    frame_ticks = 0;
    records_panel_held = demo_key_held(KEY_TAB);

    switch (handle_held_camera_keys()) {
    case HELD_HEIGHT:
        show_options_text("camera height: %g", display_options.camera_height);
        break;
    case HELD_DISTANCE:
        show_options_text("camera distance: %d", display_options.camera_distance);
        break;
    case HELD_AMBIENT:
        show_options_text("ambient light: %d", display_options.ambient_light);
        break;
    default:
        break;
    }
    return 0;
}
