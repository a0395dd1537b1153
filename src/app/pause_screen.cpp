/* pause_screen.cpp: the pause of play: the view dimmed and "Paused" until a key is pressed. */
#include "app/pause_screen.h"
#include "base/quit_request.h"

#include "app/frame_pacing.h"
#include "base/datafile.h"
#include "base/key_wait.h"
#include "base/screen_scale.h"
#include "base/timer.h"
#include "base/translation.h"
#include "render/colour_tables.h"
#include "render/message_line.h"

namespace {

bool any_key_held()
{
    if (keyboard_needs_poll())
        poll_keyboard();
    for (int k = 1; k < KEY_MAX; k++)
        if (key[k])
            return true;
    return false;
}

/* Shows the paused picture once more at the display's pace, and lets the program's other
   inputs (the pad) run. */
void show_paused(BITMAP *buffer)
{
    wait_for_next_frame();
    present_frame(buffer);
    pause_briefly();
}

} // namespace

void dim_picture(BITMAP *bitmap)
{
    COLOR_MAP *saved = color_map;
    color_map = &trans_table;
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    set_clip_rect(bitmap, 0, 0, bitmap->w - 1, bitmap->h - 1);
    rectfill(bitmap, 0, 0, bitmap->w - 1, bitmap->h - 1, makecol(0, 0, 0));
    solid_mode();
    color_map = saved;
}

void run_pause(BITMAP *buffer)
{
    pause_game_time();
    dim_picture(buffer);
    FONT *large = (FONT *)datafile_object(DAT_FONT_LARGE);
    if (!large)
        large = font;
    const int cx = buffer->w / 2, cy = buffer->h / 2 - text_height(large) / 2;
    // On bands of their own: the dimmed view may still be bright sky.
    const int white = makecol(255, 255, 255);
    const int h = draw_boxed_text(buffer, large, _("Paused"), cx, cy, buffer->w, white);
    draw_boxed_text(buffer, font, _("Press any key to play on"), cx, cy + h + 2, buffer->w, white);
    start_frame_pacing();
    // The pause key and what came with it are let go first; then a new press ends the pause.
    while (any_key_held() && !quit_requested())
        show_paused(buffer);
    clear_keybuf();
    while (!keypressed() && !quit_requested())
        show_paused(buffer);
    while (any_key_held() && !quit_requested())
        show_paused(buffer);
    clear_keybuf();
    start_frame_pacing();
    resume_game_time();
}
