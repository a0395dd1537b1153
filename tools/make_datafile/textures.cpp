/* textures.cpp: the four square textures and the six model skins. (interim) */
#include "make_datafile.h"

void make_square_texture(const char *path, int which)
{
    BITMAP *t = create_bitmap_ex(8, 128, 128);
    clear_to_color(t, ramp_colour(RAMP_STONE + (which & 1), 10));
    save_picture(path, t);
    destroy_bitmap(t);
}

void make_model_texture(const char *path, int object)
{
    BITMAP *t = create_bitmap_ex(8, 128, 128);
    clear_to_color(t, ramp_colour(1 + (object - 52) * 2, 10));
    save_picture(path, t);
    destroy_bitmap(t);
}
