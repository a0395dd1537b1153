/* main_menu.cpp: the main menu picture and the key help page. */
#include "app/main_menu.h"
#include "base/screen_scale.h"

#include <allegro.h>

#include "base/datafile.h"
#include "base/key_wait.h"
#include "base/palette_fade.h"
#include "base/sound.h"
#include "base/translation.h"

namespace {
const int CHOICE_KEYS[4] = {KEY_ESC, KEY_1, KEY_2, KEY_3};

struct HelpLine {
    int offset;         /* pixels from the middle of the screen */
    const char *text;
};

const HelpLine HELP_LINES[14] = {
    {-210, N_("Use the arrowkeys to move, and hold shift to strafe.")},
    {-180, N_("PLAY THE CAM!")},
    {-150, N_("PGUP,PGDN - Change pitch")},
    {-120, N_("Q,T,A,Y - Cam up down")},
    {-90, N_("W,G,S,H - Cam distance")},
    {-60, N_("E,D - Change light")},
    {-30, N_("HAVE SOME MORE FUN!")},
    {0, N_("F2 - Slowmotion, your level wont be recorded")},
    {30, N_("F3 - Don't bother this button!")},
    {60, N_("F5 - Depth of view ")},
    {90, N_("F7 - Light Sorces")},
    {120, N_("F8 - Shading")},
    {150, N_("CHEATS!")},
    {180, N_("Who knows..., maybe there are some?!")},
};

int choice_of_key(int scancode)
{
    for (int choice = 0; choice < 4; choice++)
        if (CHOICE_KEYS[choice] == scancode)
            return choice;
    return -1;
}
}

int main_menu()
{
    BITMAP *picture = (BITMAP *)datafile_object(DAT_MENU_PICTURE);
    RGB *menu_palette = (RGB *)datafile_object(DAT_MENU_PALETTE);
    PALETTE saved;
    get_palette(saved);
    set_picture_palette(black_palette);
    BITMAP *page = ::picture();
    acquire_bitmap(page);
    clear(page);
    blit(picture, page, 0, 0, (picture_w() - picture->w) / 2, (picture_h() - picture->h) / 2,
         picture->w, picture->h);
    release_bitmap(page);
    present_picture();
    fade_palette_in(menu_palette, 8);
    clear_keybuf();

    int choice = -1;
    while (choice < 0)
        choice = choice_of_key(wait_key() >> 8);

    play_cue(datafile_sample(DAT_SAMPLE_CLICK));
    fade_palette_out(4);
    clear(::picture());
    present_picture();
    set_picture_palette(saved);
    wait_keys_released(CHOICE_KEYS, 4);
    return choice;
}

void key_help_screen()
{
    int white = makecol(255, 255, 255);
    BITMAP *page = picture();
    acquire_bitmap(page);
    clear(page);
    for (const HelpLine &line : HELP_LINES)
        textout_centre_ex(page, font, tr(line.text), picture_w() / 2, picture_h() / 2 + line.offset,
                          white, _textmode);
    release_bitmap(page);
    present_picture();
    wait_key();
}
