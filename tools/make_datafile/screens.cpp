/* screens.cpp: the full-screen pictures: menu, cast and level select backgrounds, backdrop, F1 panel. (interim) */
#include "make_datafile.h"

namespace {

void plain_picture(const char *path, int w, int h, int colour)
{
    BITMAP *picture = create_bitmap_ex(8, w, h);
    clear_to_color(picture, colour);
    save_picture(path, picture);
    destroy_bitmap(picture);
}

}  // namespace

void make_cast_background(const char *path) { plain_picture(path, 640, 480, ramp_colour(RAMP_BLUE, 4)); }
void make_select_background(const char *path) { plain_picture(path, 640, 480, ramp_colour(RAMP_BLUE, 4)); }
void make_menu_picture(const char *path) { plain_picture(path, 640, 480, ramp_colour(RAMP_BLUE, 4)); }
void make_backdrop(const char *path) { plain_picture(path, 1280, 240, ramp_colour(RAMP_SKY, 12)); }
void make_f1_panel(const char *path) { plain_picture(path, 256, 256, ramp_colour(RAMP_STEEL, 6)); }
