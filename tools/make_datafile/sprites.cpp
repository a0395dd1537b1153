/* sprites.cpp: explosion frames, cursor, map panel and HUD icons, completed mark. (interim) */
#include "make_datafile.h"

namespace {

void plain_sprite(const char *path, int w, int h, int colour)
{
    BITMAP *picture = create_bitmap_ex(8, w, h);
    clear_to_color(picture, 0);
    circlefill(picture, w / 2, h / 2, (w < h ? w : h) / 2 - 1, colour);
    save_picture(path, picture);
    destroy_bitmap(picture);
}

}  // namespace

void make_explosion(const char *path, int frame) { plain_sprite(path, 64, 64, ramp_colour(RAMP_ORANGE, 11 - frame)); }
void make_cursor(const char *path) { plain_sprite(path, 16, 16, 15); }
void make_map_marker(const char *path) { plain_sprite(path, 7, 7, 10); }
void make_map_icon(const char *path, int map_code) { plain_sprite(path, 7, 7, ramp_colour(map_code, 11)); }
void make_teleport_icon(const char *path, int active) { plain_sprite(path, 24, 24, ramp_colour(RAMP_TEAL, active ? 14 : 6)); }
void make_sweet_icon(const char *path) { plain_sprite(path, 24, 24, ramp_colour(RAMP_PINK, 11)); }
void make_clock_icon(const char *path) { plain_sprite(path, 24, 24, ramp_colour(RAMP_YELLOW, 11)); }
void make_map_frame(const char *path) { plain_sprite(path, 160, 104, ramp_colour(RAMP_STEEL, 9)); }
void make_map_overlay(const char *path) { plain_sprite(path, 160, 104, ramp_colour(RAMP_BLUE, 3)); }
void make_completed_mark(const char *path) { plain_sprite(path, 16, 16, ramp_colour(RAMP_GREEN, 11)); }
