/* screen_cast.cpp: the cast screen background (object 1) with its previous, exit and next buttons. */
#include "make_datafile.h"

namespace {

const int CAST_W = 640, CAST_H = 480;

/* Where the cast screen looks for clicks and draws its parts on a 640 x 480 screen:
   the buttons' click areas (inclusive pixel ranges), the 3D viewport and the text column. */
const int BUTTON_Y0 = 125, BUTTON_Y1 = 150;
const int PREVIOUS_X0 = 64, PREVIOUS_X1 = 144;
const int EXIT_X0 = 155, EXIT_X1 = 235;
const int NEXT_X0 = 245, NEXT_X1 = 325;
const int VIEW_X = 48, VIEW_Y = 160, VIEW_W = 320, VIEW_H = 240;
const int TEXT_X0 = 400, TEXT_Y0 = 128, TEXT_X1 = 632, TEXT_Y1 = 470;

/* Paints a button over the inclusive pixel range, with a label and an optional arrow
   (-1 pointing left before the label, +1 pointing right after it). */
void paint_cast_button(Canvas &canvas, int x0, int x1, int ramp, const char *label, int arrow)
{
    paint_button(canvas, x0, BUTTON_Y0, x1 + 1, BUTTON_Y1 + 1, ramp);
    TextStyle text = label_style(FACE_SANS_BOLD, 14);
    text.shadow = ramp_rgb(ramp, 3.0f);
    /* Label and arrow keep a few pixels from the button's rounded ends. */
    int width = text_width(text, fit_text(text, label, x1 + 1 - x0 - 2 * 6 - (arrow ? 12 : 0)))
                + (arrow ? 12 : 0);
    float left = (x0 + x1 + 1) * 0.5f - width * 0.5f;
    float baseline = (BUTTON_Y0 + BUTTON_Y1) * 0.5f + cap_height(text) * 0.5f;
    Colour white = ramp_rgb(RAMP_GREY, 15.0f);
    float mid = baseline - cap_height(text) * 0.5f;
    if (arrow < 0) {
        const float tri[6] = {left, mid, left + 7, mid - 5, left + 7, mid + 5};
        fill_polygon(canvas, tri, 3, white, white);
        left += 12;
    }
    draw_text(canvas, text, left, baseline, label);
    if (arrow > 0) {
        float ax = left + width - 7;
        const float tri[6] = {ax + 7, mid, ax, mid - 5, ax, mid + 5};
        fill_polygon(canvas, tri, 3, white, white);
    }
}

}  // namespace

void make_cast_background(const char *path)
{
    Canvas canvas = canvas_create(CAST_W, CAST_H, rgb(0, 0, 0));
    paint_screen_sky(canvas, 470.0f, 23);
    const CloudBank low_clouds[] = {{430, 16, 26, 40, 0.6f, 13}, {476, 10, 36, 60, 0.8f, 14}};
    for (const CloudBank &bank : low_clouds)
        paint_cloud_bank(canvas, bank);
    paint_floating_block(canvas, 360, 62, 22, 8, RAMP_SAND, RAMP_STONE, 0.55f);
    paint_floating_block(canvas, 600, 70, 30, 11, RAMP_LIME, RAMP_CLAY, 0.3f);
    paint_sweet(canvas, 598, 62, 0.9f, RAMP_PINK);

    TextStyle title = heading_style(54);
    /* The title may reach over the hazy far block, not the near one at the right. */
    draw_text(canvas, title, PREVIOUS_X0 - 4, 100,
              fit_text(title, tr(N_("The Cast")), 560 - (PREVIOUS_X0 - 4)));

    paint_cast_button(canvas, PREVIOUS_X0, PREVIOUS_X1, RAMP_SKY, tr(N_("Prev")), -1);
    paint_cast_button(canvas, EXIT_X0, EXIT_X1, RAMP_RED, tr(N_("Exit")), 0);
    paint_cast_button(canvas, NEXT_X0, NEXT_X1, RAMP_SKY, tr(N_("Next")), 1);

    /* A bezel around the model viewer; the screen paints the viewport itself. */
    paint_panel(canvas, VIEW_X - 8, VIEW_Y - 5, VIEW_X + VIEW_W + 8, VIEW_Y + VIEW_H + 8, 8, 0.9f);
    fill_round_rect(canvas, VIEW_X - 2, VIEW_Y - 2, VIEW_X + VIEW_W + 2, VIEW_Y + VIEW_H + 2, 2,
                    ramp_rgb(RAMP_BLUE, 6.0f), ramp_rgb(RAMP_BLUE, 6.0f));

    /* The column of the name and the description. */
    paint_panel(canvas, TEXT_X0, TEXT_Y0, TEXT_X1, TEXT_Y1, 10, 0.94f);

    TextStyle hint = label_style(FACE_SANS_BOLD, 13);
    float hint_y = VIEW_Y + VIEW_H + 40;
    paint_panel(canvas, VIEW_X - 2, hint_y - 17, VIEW_X + VIEW_W + 2, hint_y + 8, 10, 0.8f);
    draw_text(canvas, hint, VIEW_X + VIEW_W / 2, hint_y,
              fit_text(hint, tr(N_("Left / Right or click: browse     Esc: back")), VIEW_W - 2 * 8),
              ALIGN_CENTRE);
    save_canvas(path, canvas, 0.6f);
}
