/* screen_menu.cpp: the main menu picture (object 28): the title and the four keyed choices. */
#include "make_datafile.h"

namespace {

const int MENU_W = 640, MENU_H = 480;

struct MenuChoice {
    const char *key;            /* the key cap's label */
    const char *label;
    int ramp;                   /* colour of the choice's bar */
};

const MenuChoice choices[] = {
    {"1", N_("Play"), RAMP_LIME},
    {"2", N_("Cast"), RAMP_SKY},
    {"3", N_("Video mode"), RAMP_VIOLET},
    {"Esc", N_("Quit"), RAMP_RED},
};

void paint_scenery(Canvas &canvas)
{
    paint_screen_sky(canvas, 470.0f, 11);
    const CloudBank low_clouds[] = {{418, 18, 26, 40, 0.5f, 3}, {468, 11, 40, 60, 0.8f, 4}};
    for (const CloudBank &bank : low_clouds)
        paint_cloud_bank(canvas, bank);
    /* Far blocks first, hazy and small, then the near ones. */
    paint_floating_block(canvas, 560, 250, 26, 9, RAMP_LIME, RAMP_CLAY, 0.55f);
    paint_floating_block(canvas, 92, 220, 20, 7, RAMP_SAND, RAMP_STONE, 0.6f);
    paint_floating_block(canvas, 505, 178, 16, 6, RAMP_SAND, RAMP_STONE, 0.65f);
    paint_floating_block(canvas, 170, 300, 22, 8, RAMP_LIME, RAMP_CLAY, 0.45f);

    paint_floating_block(canvas, 96, 392, 62, 22, RAMP_LIME, RAMP_CLAY);
    paint_floating_block(canvas, 550, 360, 58, 20, RAMP_SAND, RAMP_STONE);
    paint_floating_block(canvas, 612, 430, 40, 16, RAMP_LIME, RAMP_CLAY);
    paint_robot(canvas, 96, 400, 1.6f);
    paint_sweet(canvas, 535, 352, 1.0f, RAMP_MAGENTA);
    paint_sweet(canvas, 580, 366, 0.8f, RAMP_YELLOW);
}

}  // namespace

void make_menu_picture(const char *path)
{
    Canvas canvas = canvas_create(MENU_W, MENU_H, rgb(0, 0, 0));
    paint_scenery(canvas);

    TextStyle title = heading_style(118);
    draw_text(canvas, title, MENU_W / 2, 158, "Tirvex", ALIGN_CENTRE);
    TextStyle tagline = label_style(FACE_SANS_BOLD, 15);
    /* The tagline stays clear of the far block at its right, and so, centred, of the left. */
    const int far_block_left = 505 - 16;
    draw_text(canvas, tagline, MENU_W / 2, 190,
              fit_text(tagline, tr(N_("Eat every sweet, then find the teleport!")),
                       2 * (far_block_left - MENU_W / 2)),
              ALIGN_CENTRE);

    const int key_x = 206, bar_x0 = 262, bar_x1 = 434, first_y = 214, pitch = 54, row_h = 42;
    int row = 0;
    for (const MenuChoice &choice : choices) {
        float y0 = first_y + row * pitch, y1 = y0 + row_h;
        paint_panel(canvas, bar_x0 - 10, y0 + 3, bar_x1, y1 - 3, 10, 0.55f);
        fill_round_rect(canvas, bar_x0 - 6, y0 + 7, bar_x0, y1 - 7, 2, ramp_rgb(choice.ramp, 13),
                        ramp_rgb(choice.ramp, 10));
        paint_keycap(canvas, key_x, y0, key_x + 48, y1, choice.key, choice.key[1] ? 15 : 20);
        TextStyle text = label_style(FACE_SANS_BOLD, 21);
        /* The label keeps as far from the bar's right end as from its colour mark. */
        draw_text(canvas, text, bar_x0 + 12, y0 + row_h / 2 + cap_height(text) / 2,
                  fit_text(text, tr(choice.label), bar_x1 - bar_x0 - 2 * 12));
        row++;
    }
    save_canvas(path, canvas, 0.6f);
}
