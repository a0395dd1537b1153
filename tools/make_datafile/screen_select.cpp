/* screen_select.cpp: the level select background (object 2), quiet where the list is drawn. */
#include "make_datafile.h"

namespace {

const int SELECT_W = 640, SELECT_H = 480;

/* The screen draws its rows from x = 640 / 3 - 10 to + 200 and from y = 51 down to 472 for
   the 21st level, with the cursor arrow to their left and the completed marks at the right
   end; the panel below them keeps that column calm. */
const int LIST_X0 = 168, LIST_X1 = 446, LIST_Y0 = 44, LIST_Y1 = 478;

}  // namespace

void make_select_background(const char *path)
{
    Canvas canvas = canvas_create(SELECT_W, SELECT_H, rgb(0, 0, 0));
    paint_screen_sky(canvas, 470.0f, 37);
    const CloudBank low_clouds[] = {{420, 18, 26, 40, 0.5f, 23}, {470, 11, 40, 60, 0.8f, 24}};
    for (const CloudBank &bank : low_clouds)
        paint_cloud_bank(canvas, bank);

    paint_floating_block(canvas, 520, 92, 20, 7, RAMP_SAND, RAMP_STONE, 0.6f);
    paint_floating_block(canvas, 120, 96, 18, 6, RAMP_LIME, RAMP_CLAY, 0.6f);
    paint_floating_block(canvas, 560, 210, 52, 18, RAMP_LIME, RAMP_CLAY);
    paint_sweet(canvas, 560, 204, 1.0f, RAMP_MAGENTA);
    paint_floating_block(canvas, 76, 396, 44, 16, RAMP_SAND, RAMP_STONE);
    paint_sweet(canvas, 76, 390, 0.85f, RAMP_YELLOW);
    paint_floating_block(canvas, 84, 236, 56, 20, RAMP_LIME, RAMP_CLAY);
    paint_robot(canvas, 84, 242, 1.4f);

    TextStyle title = heading_style(30);
    draw_text(canvas, title, (LIST_X0 + LIST_X1) / 2, 34,
              fit_text(title, tr(N_("Choose a level")), LIST_X1 - LIST_X0), ALIGN_CENTRE);
    paint_panel(canvas, LIST_X0, LIST_Y0, LIST_X1, LIST_Y1, 10, 0.9f);

    /* How to use the screen, in the free corner at the right. */
    const float hx = 470, hy = 352;
    paint_panel(canvas, hx - 12, hy - 12, 630, hy + 108, 10, 0.85f);
    paint_keycap(canvas, hx, hy, hx + 38, hy + 26, "Up", 12);
    paint_keycap(canvas, hx + 42, hy, hx + 88, hy + 26, "Down", 12);
    TextStyle label = label_style(FACE_SANS_BOLD, 13);
    float text_dy = 13 + cap_height(label) / 2 - 1;
    const int right = 630 - 6;  /* the panel's right edge, less its rim */
    auto say = [&](float x, float y, const char *text) {
        draw_text(canvas, label, x, y + text_dy, fit_text(label, tr(text), right - (int)x));
    };
    say(hx + 96, hy, N_("Choose"));
    paint_keycap(canvas, hx, hy + 36, hx + 50, hy + 62, "Enter", 12);
    say(hx + 58, hy + 36, N_("Play"));
    paint_keycap(canvas, hx, hy + 72, hx + 50, hy + 98, "Esc", 12);
    say(hx + 58, hy + 72, N_("Back"));
    save_canvas(path, canvas, 0.6f);
}
