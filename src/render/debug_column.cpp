/* debug_column.cpp: debug text lines, the debug block and the frames-per-second estimate. */
#include "render/debug_column.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "base/datafile.h"
#include "base/timer.h"
#include "base/display_options.h"
#include "render/hud.h"
#include "render/render_frame.h"
#include "world/player_motion.h"
#include "world/tile_grid.h"

int debug_y;

namespace {

/* The estimate: frames counted in the current window, the window's length, the clock at its
   start (0 before the first measurement) and the last figure. */
int frames_since;
int fps_window = 1;
long last_clock;
double fps;

const int FPS_WINDOW_MAX = 40;

/* The whole units of a fixed number, cut toward zero. */
int integer_part(fixed v)
{
    return (int)fixtof(v);
}

long wall_clock_ms()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    /* Never 0, which marks "no measurement yet". */
    return (long)now.tv_sec * 1000 + now.tv_nsec / 1000000 + 1;
}

} // namespace

void reset_debug_lines()
{
    debug_y = 0;
}

void debug_line(BITMAP *target, const char *text)
{
    if (!display_options.debug_info)
        return;
    FONT *debug_font = (FONT *)datafile_object(DAT_FONT_SMALL);
    if (!debug_font)
        debug_font = font;
    textout_ex(target, debug_font, text, 1, debug_y, makecol(255, 255, 255), -1);
    debug_y += text_height(debug_font);
    if (debug_y > target->h)
        debug_y = 0;
}

void debug_printf(BITMAP *target, const char *format, ...)
{
    if (!display_options.debug_info)
        return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(hud_text, sizeof hud_text, format, args);
    va_end(args);
    debug_line(target, hud_text);
}

void update_fps_text(char *buffer, size_t size)
{
    update_fps_text_at(buffer, size, wall_clock_ms());
}

void update_fps_text_at(char *buffer, size_t size, long now_ms)
{
    const int n = frames_since;
    frames_since++;
    if (n > fps_window) {
        if (last_clock != 0 && now_ms > last_clock)
            fps = frames_since * 1000.0 / (double)(now_ms - last_clock);
        frames_since = 0;
        last_clock = now_ms;
        if (fps_window < FPS_WINDOW_MAX)
            fps_window++;
    }
    std::snprintf(buffer, size, "%5.1f FPS", fps);
}

void draw_debug_block(const World &w, BITMAP *target)
{
    reset_debug_lines();
    debug_printf(target, "frames: %d", frames);
    debug_printf(target, "tick_counter: %d", tick_counter.load());
    debug_printf(target, "moves: %d", (int)w.moves);
    /* The estimate advances every frame, shown or not. */
    char fps_text[80];
    update_fps_text(fps_text, sizeof fps_text);
    debug_line(target, fps_text);

    const PlayerMotion &p = w.motion;
    debug_printf(target, "loc_y: %3.5f floor_y: %3.5f base_y:%3.5f", fixtof(p.loc_y),
                 fixtof(p.floor_y), fixtof(p.base_y));
    debug_printf(target, "camera_y: %3.5f", w.camera_y);
    debug_printf(target, "jump_ctr: %d c%d s%d", (int)p.jump_ctr, (int)w.crouch, (int)w.stretch);
    debug_printf(target, "rot_y: %d", integer_part(w.rot_y));
    debug_printf(target, "player_rot_y: %d", integer_part(p.player_rot_y));
    debug_printf(target, "player at: (%d, %d)", integer_part(p.x), integer_part(p.z));
    debug_printf(target, "playerL at: (%d, %d)", (int)p.playerL[0], (int)p.playerL[1]);
    if (display_options.debug_info) {
        const fixed ahead_x = p.x - fixmul(itofix(100), fixsin(p.player_rot_y));
        const fixed ahead_z = p.z + fixmul(itofix(100), fixcos(p.player_rot_y));
        debug_printf(target, "cangoto(%d %d):%d", fixtoi(ahead_x), fixtoi(ahead_z),
                     cangoto(w, p.x, p.z, ahead_x, ahead_z));
        debug_printf(target, "can_slide_to(%d %d):%d", fixtoi(ahead_x), fixtoi(ahead_z),
                     can_slide_to(w, p.x, p.z, ahead_x, ahead_z));
    }
    debug_printf(target, "hero index:%d", (int)w.hero_index);
}
