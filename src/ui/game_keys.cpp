/* game_keys.cpp: the keys of play read into the player's actions: moves, switches, undo. */
#include "ui/game_keys.h"

#include <allegro.h>
#include <cstdarg>
#include <cstdio>

#include "base/console.h"
#include "base/sound.h"
#include "base/timer.h"
#include "base/translation.h"
#include "ui/demo_input.h"
#include "base/display_options.h"
#include "render/hud.h"
#include "ui/key_card.h"
#include "ui/level_records.h"
#include "ui/level_select.h"
#include "render/message_line.h"
#include "ui/screenshot.h"
#include "world/level_rules.h"
#include "world/player_motion.h"

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

/* What this frame's held keys leave for the next, kept unless the frame confirmed the level:
   then the held keys after the confirmation were not read. */
bool next_undo_key_was_held = false;
int32_t next_undo_held_ticks = 0;
bool next_records_panel_held = false;

/* The level the frame's level keys have moved to so far: the session's until they move it. */
int chosen_level = 1;

int install_library_timer(void (*handler)(), long speed)
{
    return install_int_ex(handler, speed);
}

/* The numeric messages of the keys; each new one overwrites the one before. */
char options_text[96];

void say(PlayActions &a, const char *text)
{
    add_action(a, ACTION_SAY, MESSAGE_TICKS, text);
}

void say_options_text(PlayActions &a, const char *format, ...) __attribute__((format(printf, 2, 3)));

void say_options_text(PlayActions &a, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(options_text, sizeof options_text, format, args);
    va_end(args);
    say(a, options_text);
}

void switch_slow_motion(PlayActions &a)
{
    DisplayOptions &o = display_options;
    o.slow_motion = !o.slow_motion;
    say(a, o.slow_motion ? N_("Slow motion on") : N_("Slow motion off"));
    // Switching either way spoils the level's record: its time was not played at full speed.
    add_action(a, ACTION_UNRECORDED);
    const long speed = o.slow_motion ? TIMER_PERIOD_SLOW : TIMER_PERIOD_NORMAL;
    if (install_game_timer(timer_handler, speed) < 0)
        console_printf(_("Cannot allocate timer"));
}

void step_depth_of_view(PlayActions &a)
{
    DisplayOptions &o = display_options;
    o.depth_of_view = o.depth_of_view == 0 ? itofix(300) : o.depth_of_view + itofix(100);
    if (o.depth_of_view >= itofix(1000))
        o.depth_of_view = 0;
    if (o.depth_of_view == 0)
        say(a, N_("Depth of view: infinite"));
    else
        say_options_text(a, _("Depth of view: %d"), fixtoi(o.depth_of_view));
}

/* F9 and F10 move only onto a level whose map exists: a restart then loads it. A level of a
   --levels folder with faults is not moved onto: the restart would stop the game on it. */
void step_level(PlayActions &a, int step)
{
    const int level = chosen_level + step;
    if (level < 1 || level > HIGHEST_LEVEL_NUMBER || !level_map_exists(level))
        return;
    char fault[LEVEL_FAULT_SIZE];
    if (level_fault(level, fault, sizeof fault)[0]) {
        say_options_text(a, _("Map %d has faults: %s"), level, fault);
        return;
    }
    chosen_level = level;
    add_action(a, ACTION_LEVEL, level);
    say_options_text(a, _("Map: %d (Type the PassWord)"), level);
}

void switch_music()
{
    DisplayOptions &o = display_options;
    o.music_on = !o.music_on;
    if (o.music_on)
        start_music(chosen_level);
    else
        stop_level_music();
}

/* A typed undo key steps back once, unless the key was already held at the last read: then it is
   the keyboard's own repeat, and the held key's repeat takes its place. */
void undo_key_typed(PlayActions &a)
{
    if (undo_key_was_held)
        return;
    add_action(a, ACTION_UNDO);
    undo_typed = true;
}

/* The undo keys held: a press seen first here (it came between the two passes) steps back once,
   and a key held on steps back again at the repeat's pace. */
void undo_keys_held(PlayActions &a)
{
    const bool held = demo_key_held(KEY_BACKSPACE) || demo_key_held(KEY_U);
    next_undo_held_ticks = undo_held_ticks;
    if (held && !undo_key_was_held) {
        next_undo_held_ticks = 0;
        if (!undo_typed)
            a.undo_held++;
    } else if (held) {
        next_undo_held_ticks += frame_ticks;
        if (next_undo_held_ticks >= UNDO_REPEAT_DELAY) {
            next_undo_held_ticks -= UNDO_REPEAT_TICKS;
            a.undo_held++;
        }
    }
    next_undo_key_was_held = held;
}

void push_turn(PlayActions &a, int plain, int strafe)
{
    add_action(a, ACTION_MOVE, demo_shift_held() ? strafe : plain);
}

void handle_typed_key(PlayActions &a, int scancode)
{
    DisplayOptions &o = display_options;
    switch (scancode) {
    case KEY_LEFT:
        push_turn(a, MOVE_TURN_LEFT, MOVE_STRAFE_LEFT);
        break;
    case KEY_RIGHT:
        push_turn(a, MOVE_TURN_RIGHT, MOVE_STRAFE_RIGHT);
        break;
    case KEY_UP:
        add_action(a, ACTION_MOVE, MOVE_FORWARD);
        break;
    case KEY_DOWN:
        add_action(a, ACTION_MOVE, MOVE_BACKWARD);
        break;
    case KEY_SPACE:
        add_action(a, ACTION_MOVE, MOVE_JUMP);
        break;
    case KEY_F1:
        toggle_f1_panel();
        break;
    case KEY_F4:
        o.viewport_size = (int16_t)(o.viewport_size + 1 >= VIEWPORT_SIZES ? 0 : o.viewport_size + 1);
        say(a, N_("Changed viewport size"));
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
        say(a, camera_mode_messages[o.camera_mode]);
        break;
    case KEY_F11:
        o.sound_off = !o.sound_off;
        say(a, o.sound_off ? N_("Sound off") : N_("Sound on"));
        break;
    case KEY_F12:
        say(a, take_screenshot());
        break;
    case KEY_F2:
        switch_slow_motion(a);
        break;
    case KEY_F3:
        o.debug_info = !o.debug_info;
        say(a, o.debug_info ? N_("Debug info on") : N_("Debug info off"));
        break;
    case KEY_F5:
        step_depth_of_view(a);
        break;
    case KEY_F7:
        o.light_mode = (o.light_mode + 1) % 4;
        say(a, light_mode_messages[o.light_mode]);
        break;
    case KEY_F8:
        o.shading_mode = (o.shading_mode + 1) % 4;
        say(a, shading_mode_messages[o.shading_mode]);
        break;
    case KEY_F9:
        step_level(a, -1);
        break;
    case KEY_F10:
        step_level(a, 1);
        break;
    case KEY_BACKSPACE:
    case KEY_U:
        undo_key_typed(a);
        break;
    case KEY_I:
        add_action(a, ACTION_HINT, 0, undo_first_text());
        break;
    case KEY_P:
        // A demo played back never pauses: what it shows was recorded without the pauses.
        if (demo_mode == DEMO_OFF || demo_mode == DEMO_RECORD)
            pause_requested = true;
        break;
    case KEY_L:
        o.map_heights = !o.map_heights;
        say(a, o.map_heights ? N_("Map heights on") : N_("Map heights off"));
        break;
    default:
        break;
    }
}

/* The camera's pitch, and the camera and light keys, held this frame. */
void handle_held_camera_keys(PlayActions &a)
{
    a.pitch_up = demo_key_held(KEY_PGUP);
    a.pitch_down = demo_key_held(KEY_PGDN);
    static const int keys[CAMERA_KEYS] = {KEY_Q, KEY_A, KEY_W, KEY_S, KEY_T,
                                          KEY_Y, KEY_G, KEY_H, KEY_E, KEY_D};
    for (int k = 0; k < CAMERA_KEYS; k++)
        a.camera[k] = demo_key_held(keys[k]);
}

} // namespace

int (*install_game_timer)(void (*handler)(), long speed) = install_library_timer;
bool pause_requested = false;

void read_game_keys(const PlaySession &s, PlayActions &a)
{
    a = PlayActions{};
    if (keyboard_needs_poll())
        poll_keyboard();
    undo_typed = false;
    chosen_level = s.level;
    if (const char *notice = records_notice())
        add_action(a, ACTION_NOTICE, 300, notice);
    demo_poll_pad();
    // A request the caller did not act on (the editor's playtest has no pause) lapses, and the
    // keys typed after the pause key are left for the pause, which any key ends.
    pause_requested = false;
    while (!pause_requested && demo_key_typed())
        handle_typed_key(a, demo_read_key() >> 8);

    a.restart = demo_key_held(KEY_R);
    a.confirm = demo_key_held(KEY_SPACE) || demo_key_held(KEY_ENTER);
    undo_keys_held(a);
    next_records_panel_held = demo_key_held(KEY_TAB);
    handle_held_camera_keys(a);
}

int play_frame(PlaySession &s, const PlayActions &a, int ticks)
{
    const int result = session_frame(s, a, ticks);
    if (result & FRAME_RESTARTED)
        records_attempt_started(s);
    if (!(result & FRAME_CONFIRMED)) {
        undo_key_was_held = next_undo_key_was_held;
        undo_held_ticks = next_undo_held_ticks;
        records_panel_held = next_records_panel_held;
    }
    frame_ticks = ticks;
    return result;
}
