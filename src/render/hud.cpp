/* hud.cpp: sweets counter, teleport icon, level clock with its warning, level title, F1 panel. */
#include "render/hud.h"

#include <climits>
#include <cstdio>

#include "base/datafile.h"
#include "base/sound.h"
#include "base/translation.h"
#include "base/utf8_letters.h"
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
    // The map file's name line is read to 38 bytes, which may end inside a letter.
    char name[LEVEL_NAME_SIZE];
    std::snprintf(name, sizeof name, "%.38s", tr(w.map.level_name));
    drop_cut_letter(name);
    std::snprintf(hud_text, sizeof hud_text, _(" Level %d: %.38s "), level, name);
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

namespace {

/* Where the key card's picture (made with the datafile) writes its key column: each column's
   sections, a heading and its lines (KEY_CARD), from the card's row 36 down; a heading takes 19
   rows (and 5 more before all but the first), a line 14. */
struct CardColumn {
    int x;              /* the keys' left edge */
    int keys_w;         /* their width, up to what the key does */
};
const CardColumn CARD_COLUMNS[2] = {{16, 110}, {250, 98}};
const int CARD_TOP = 36, CARD_HEADING_H = 19, CARD_HEADING_GAP = 5, CARD_LINE_H = 14;

/* Writes the given key texts over the card's key column, the card at (left, top). */
void draw_card_keys(BITMAP *target, BITMAP *panel, int left, int top,
                    const char *const *card_keys)
{
    // The card's own blue, from a place in its body no text reaches.
    const int background = getpixel(panel, 6, CARD_TOP + 4);
    const int sky = makecol(120, 200, 255);
    int y = CARD_TOP;
    for (int row = 0; row < KEY_CARD_ROWS; row++, y += CARD_LINE_H) {
        const KeyCardRow &r = KEY_CARD[row];
        if (row == 0 || r.column != KEY_CARD[row - 1].column)
            y = CARD_TOP + CARD_HEADING_H;
        else if (r.section != KEY_CARD[row - 1].section)
            y += CARD_HEADING_GAP + CARD_HEADING_H;
        if (!card_keys[row])
            continue;
        const CardColumn &c = CARD_COLUMNS[r.column];
        const int x0 = left + c.x - 1, y0 = top + y + 1;
        const int x1 = left + c.x + c.keys_w - 5, y1 = top + y + CARD_LINE_H - 1;
        rectfill(target, x0, y0, x1, y1, background);
        // A long name stops at the cell's edge rather than run into what the key does.
        set_clip_rect(target, x0, y0, x1, y1);
        textout_ex(target, font, card_keys[row], left + c.x, top + y + 3, sky, -1);
        set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
    }
}

/* The "This level" box above the card, the card's width, its bottom 4 rows above the card. */
void draw_idea_box(BITMAP *target, int left, int card_top, int width, const char *idea)
{
    FONT *heading_font = (FONT *)datafile_object(DAT_FONT_LARGE);
    if (!heading_font)
        heading_font = font;
    const int line_h = text_height(font) + 3;
    const int lines = draw_wrapped_text(target, font, idea, 0, 0, width - 24, line_h, 0, false);
    const int heading_h = text_height(heading_font) + 6;
    const int h = 8 + heading_h + lines * line_h + 6;
    const int top = card_top - 4 - h;
    rectfill(target, left, top, left + width - 1, top + h - 1, makecol(10, 20, 70));
    rect(target, left, top, left + width - 1, top + h - 1, makecol(150, 160, 190));
    textout_ex(target, heading_font, _("This level"), left + 12, top + 6, makecol(255, 230, 90), -1);
    draw_wrapped_text(target, font, idea, left + 12, top + 8 + heading_h, width - 24, line_h,
                      makecol(235, 235, 235));
}

} // namespace

int draw_wrapped_text(BITMAP *target, FONT *f, const char *text, int x, int y, int width,
                      int line_h, int colour, bool draw)
{
    char line[256] = "";
    int lines = 0;
    auto put_line = [&]() {
        if (draw)
            textout_ex(target, f, line, x, y + lines * line_h, colour, -1);
        lines++;
        line[0] = '\0';
    };
    const char *p = text;
    while (*p) {
        while (*p == ' ')
            p++;
        const char *end = p;
        while (*end && *end != ' ')
            end++;
        if (end == p)
            break;
        // Cut to the buffers between letters, never inside one (a broken letter draws as '^').
        char word[128];
        copy_letters(word, (size_t)(end - p) + 1 < sizeof word ? (size_t)(end - p) + 1 : sizeof word, p);
        char wider[sizeof line + sizeof word];
        std::snprintf(wider, sizeof wider, "%s%s%s", line, line[0] ? " " : "", word);
        if (line[0] && text_length(f, wider) > width) {
            put_line();
            copy_letters(line, sizeof line, word);
        } else {
            copy_letters(line, sizeof line, wider);
        }
        p = end;
    }
    if (line[0])
        put_line();
    return lines;
}

void draw_f1_panel(BITMAP *target, const char *idea, const char *const *card_keys)
{
    const int screen_h = target->h;
    if (f1_panel_y > screen_h)
        f1_panel_y = screen_h;
    set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
    set_clip_state(target, TRUE);
    BITMAP *panel = picture(DAT_F1_PANEL);
    if (f1_panel_y < screen_h && panel) {
        draw_sprite(target, panel, 10, f1_panel_y);
        if (card_keys)
            draw_card_keys(target, panel, 10, f1_panel_y, card_keys);
        if (idea && idea[0])
            draw_idea_box(target, 10, f1_panel_y, panel->w, idea);
    }
    const int panel_h = panel ? panel->h : 0;
    if (f1_panel_shown && f1_panel_y > screen_h - panel_h)
        f1_panel_y -= F1_PANEL_STEP;
    else if (!f1_panel_shown && f1_panel_y < screen_h)
        f1_panel_y += F1_PANEL_STEP;
}

void draw_f1_panel(BITMAP *target)
{
    draw_f1_panel(target, nullptr, nullptr);
}
