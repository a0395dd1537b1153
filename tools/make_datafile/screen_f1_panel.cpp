/* screen_f1_panel.cpp: the F1 key card (object 13), a masked sprite that slides up over play. */
#include "make_datafile.h"

#include <cstdio>

namespace {

/* The card is drawn at x = 10 and slides up in steps of 10 pixels until its top is at or
   above the screen's height minus its own: 340 rows rest it at y = 140 on a 480-row screen,
   on the bottom edge. 470 columns leave the right quarter of the view free. */
const int CARD_W = 470, CARD_H = 340;

struct KeyLine {
    const char *keys;           /* nullptr marks a section heading, named by `what` */
    const char *what;
    bool hold = false;          /* the keys are held: "(hold)" follows them */
};

const KeyLine left_column[] = {
    {nullptr, N_("Moving")},
    {"Up / Down", N_("step ahead / back")},
    {"Left / Right", N_("turn")},
    {"Shift+Left/Right", N_("step aside")},
    {"Space", N_("hop on the spot")},
    {"Space / Enter", N_("next level / retry")},
    {"R, Back", N_("restart the level"), true},
    {"Esc, Start", N_("back to the menu"), true},
    {nullptr, N_("Sound and extras")},
    {"F11 / B", N_("sound / music")},
    {"M", N_("map")},
    {"L", N_("map heights")},
    {"F12", N_("screenshot")},
    {"F2", N_("slow-mo, not saved")},
    {"F3", N_("debug info")},
    {"Alt+Enter", N_("window / full screen")},
    {nullptr, N_("Gamepad")},
    {"Pad / LB, RB", N_("step, turn / aside")},
    {"A  B  X  Y", N_("hop undo hint cam")},
};

const KeyLine right_column[] = {
    {nullptr, N_("Camera")},
    {"F6", N_("camera position")},
    {"PgUp / PgDn", N_("tilt")},
    {"Q / A", N_("up / down")},
    {"T / Y", N_("up / down, fast")},
    {"W / S", N_("back / nearer")},
    {"G / H", N_("back / nearer, fast")},
    {nullptr, N_("Picture")},
    {"E / D", N_("brighter / darker")},
    {"F7", N_("light sources")},
    {"F8", N_("shading")},
    {"F5", N_("depth of view")},
    {"F4", N_("view size")},
    {nullptr, N_("Undo and help")},
    {"Backspace / U", N_("undo the last step")},
    {"I", N_("hint: the next step")},
    {"Tab", N_("par and records"), true},
    {"P", N_("pause")},
};

const int LINE_H = 14, HEADING_H = 19;

/* Paints a column of headings and key lines from (x, y), the keys in the first keys_w pixels of
   its `width` and what they do in the rest. */
void paint_column(Canvas &canvas, const KeyLine *lines, int count, float x, float y, int keys_w,
                  int width)
{
    TextStyle heading = plain_text(FACE_SANS_BOLD, 13, ramp_rgb(RAMP_YELLOW, 12.5f));
    TextStyle key = plain_text(FACE_SANS_BOLD, 11, ramp_rgb(RAMP_SKY, 13.5f));
    TextStyle what = plain_text(FACE_SANS, 11, ramp_rgb(RAMP_GREY, 15.0f));
    for (int i = 0; i < count; i++) {
        if (!lines[i].keys) {
            if (i > 0)
                y += 5;
            draw_text(canvas, heading, x, y + 12, fit_text(heading, tr(lines[i].what), 206));
            fill_round_rect(canvas, x, y + 15, x + 206, y + 16, 0, ramp_rgb(RAMP_YELLOW, 9.0f),
                            ramp_rgb(RAMP_YELLOW, 9.0f), 0.8f);
            y += HEADING_H;
            continue;
        }
        /* The keys end 4 pixels before what they do, where the game clips keys that
           keys.cfg moves. */
        char keys[64];
        std::snprintf(keys, sizeof keys, "%s%s%s", lines[i].keys, lines[i].hold ? " " : "",
                      lines[i].hold ? tr(N_("(hold)")) : "");
        draw_text(canvas, key, x, y + 11, fit_text(key, keys, keys_w - 4));
        draw_text(canvas, what, x + keys_w, y + 11,
                  fit_text(what, tr(lines[i].what), width - keys_w));
        y += LINE_H;
    }
}

}  // namespace

void make_f1_panel(const char *path)
{
    Canvas canvas = canvas_create(CARD_W, CARD_H, rgb(0, 0, 0), false);
    fill_round_rect(canvas, 0, 0, CARD_W, CARD_H, 12, ramp_rgb(RAMP_STEEL, 12.0f),
                    ramp_rgb(RAMP_STEEL, 8.0f));
    fill_round_rect(canvas, 3, 3, CARD_W - 3, CARD_H - 3, 10, ramp_rgb(RAMP_BLUE, 3.0f),
                    ramp_rgb(RAMP_BLUE, 3.0f));

    /* The title strip. */
    fill_round_rect(canvas, 3, 3, CARD_W - 3, 30, 10, ramp_rgb(RAMP_ORANGE, 12.5f),
                    ramp_rgb(RAMP_ORANGE, 10.5f));
    fill_round_rect(canvas, 3, 20, CARD_W - 3, 30, 0, ramp_rgb(RAMP_ORANGE, 10.5f),
                    ramp_rgb(RAMP_ORANGE, 10.0f));
    TextStyle title = plain_text(FACE_SANS_BOLD, 16, ramp_rgb(RAMP_GREY, 15.0f));
    title.shadow = ramp_rgb(RAMP_RED, 4.0f);
    title.shadow_dx = 1;
    title.shadow_dy = 1;
    title.shadow_alpha = 0.9f;
    const char *keys = tr(N_("Keys"));
    draw_text(canvas, title, 16, 23, keys);
    /* The note keeps at least the margin's width from the title. */
    TextStyle note = plain_text(FACE_SANS_BOLD, 11, ramp_rgb(RAMP_RED, 3.0f));
    draw_text(canvas, note, CARD_W - 16, 22,
              fit_text(note, tr(N_("F1 hides this card")), CARD_W - 3 * 16 - text_width(title, keys)),
              ALIGN_RIGHT);

    /* The left column ends a small gap before the right one, which ends at the margin. */
    const int left_x = 16, right_x = 250;
    paint_column(canvas, left_column, sizeof left_column / sizeof left_column[0], left_x, 36, 110,
                 right_x - 8 - left_x);
    paint_column(canvas, right_column, sizeof right_column / sizeof right_column[0], right_x, 36,
                 98, CARD_W - 16 - right_x);
    save_canvas(path, canvas, 0.0f, true);
}
