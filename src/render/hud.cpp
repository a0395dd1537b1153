/* hud.cpp: sweets counter, teleport icon, level clock with its warning, level title, F1 panel. */
#include "render/hud.h"

#include <climits>
#include <cstdio>

#include "base/datafile.h"
#include "base/sound.h"
#include "world/level_map.h"
#include "world/world_clock.h"
#include "world/level_state.h"

char hud_text[80];
int last_warned_second = -1;
bool f1_panel_shown;
int f1_panel_y = INT_MAX / 2;

namespace {

const int HUD_ROW = 10;
const int F1_PANEL_STEP = 10;

BITMAP *picture(int object)
{
    return (BITMAP *)datafile_object(object);
}

void draw_icon(BITMAP *target, int object, int x, int y)
{
    if (BITMAP *icon = picture(object))
        draw_sprite(target, icon, x, y);
}

} // namespace

void draw_hud(const World &w, BITMAP *target)
{
    FONT *hud_font = (FONT *)datafile_object(DAT_FONT_LARGE);
    const int green = makecol(0, 255, 0);

    BITMAP *sweet = picture(DAT_SWEET_ICON);
    draw_icon(target, DAT_SWEET_ICON, 10, HUD_ROW);
    std::snprintf(hud_text, sizeof hud_text, "%d/%d", w.level.sweets_eaten,
                  w.level.sweets_total);
    if (hud_font)
        textout_ex(target, hud_font, hud_text, (sweet ? sweet->w : 0) + 20, HUD_ROW, green, -1);

    draw_icon(target, w.level.teleport_active ? DAT_TELEPORT_ICON_ON : DAT_TELEPORT_ICON_OFF,
              90, HUD_ROW);
    draw_icon(target, DAT_CLOCK_ICON, target->w - 130, HUD_ROW);

    const int s = level_clock_left(w) / 100;
    const int m = s / 60, sec = s % 60;
    int colour = green;
    if (m == 0 && sec <= 10 && sec % 2 == 0) {
        colour = makecol(255, 0, 0);
        if (sec != last_warned_second) {
            play_cue(datafile_sample(DAT_SAMPLE_BEEP));
            last_warned_second = sec;
        }
    }
    std::snprintf(hud_text, sizeof hud_text, "%d:%02d", m, sec);
    if (hud_font)
        textout_ex(target, hud_font, hud_text, target->w - 90, HUD_ROW, colour, -1);
}

void draw_level_title(const World &w, BITMAP *target, int level)
{
    FONT *title_font = (FONT *)datafile_object(DAT_FONT_LARGE);
    if (!title_font)
        return;
    std::snprintf(hud_text, sizeof hud_text, " Level %d: %.38s ", level,
                  w.map.level_name);
    const int cx = target->w / 2, cy = target->h / 2;
    textout_centre_ex(target, title_font, hud_text, cx + 2, cy - 18, makecol(20, 20, 20), -1);
    textout_centre_ex(target, title_font, hud_text, cx, cy - 20, makecol(50, 255, 50), -1);
}

void reset_f1_panel()
{
    f1_panel_shown = false;
    /* Below any screen; the first drawing brings it to the bottom edge of its target. */
    f1_panel_y = INT_MAX / 2;
}

void toggle_f1_panel()
{
    f1_panel_shown = !f1_panel_shown;
}

void draw_f1_panel(BITMAP *target)
{
    const int screen_h = target->h;
    if (f1_panel_y > screen_h)
        f1_panel_y = screen_h;
    set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
    set_clip_state(target, TRUE);
    BITMAP *panel = picture(DAT_F1_PANEL);
    if (f1_panel_y < screen_h && panel)
        draw_sprite(target, panel, 10, f1_panel_y);
    const int panel_h = panel ? panel->h : 0;
    if (f1_panel_shown && f1_panel_y > screen_h - panel_h)
        f1_panel_y -= F1_PANEL_STEP;
    else if (!f1_panel_shown && f1_panel_y < screen_h)
        f1_panel_y += F1_PANEL_STEP;
}
