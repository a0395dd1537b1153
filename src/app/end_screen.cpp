/* end_screen.cpp: the congratulation page after the last level. */
#include "app/end_screen.h"
#include "base/quit_request.h"
#include "base/screen_scale.h"

#include "base/datafile.h"
#include "base/key_wait.h"
#include "base/palette_fade.h"
#include "base/translation.h"

namespace {

struct EndLine {
    int offset;         /* pixels below the first line */
    const char *text;
};

const EndLine END_LINES[5] = {
    {0, N_("Congratulations!")},
    {30, N_("You have completed all the levels")},
    {60, N_("and finished the game of Tirvex!")},
    {90, N_("This fabolus game is made by Maren Holt")},
    {150, N_("THE END")},
};

} // namespace

void draw_end_text(BITMAP *target, int colour)
{
    FONT *large = (FONT *)datafile_object(DAT_FONT_LARGE);
    if (!large)
        large = font;
    const int y0 = target->h / 2 - 100;
    const int x = target->w / 2;
    for (const EndLine &line : END_LINES)
        textout_centre_ex(target, large, tr(line.text), x, y0 + line.offset, colour, -1);
}

void end_screen(BITMAP *buffer)
{
    PALETTE saved;
    get_palette(saved);
    // Chosen while the palette of play is still set, before the screen turns black.
    const int colour = makecol(200, 200, 255);
    set_picture_palette(black_palette);
    clear(buffer);
    // Text drawn after this page (the console, the fatal page) keeps a transparent background.
    _textmode = -1;
    draw_end_text(buffer, colour);
    present_frame(buffer);
    fade_palette_in(saved, 1);

    // The key is not read: the level selection that follows takes it as its first key.
    for (;;) {
        if (keyboard_needs_poll())
            poll_keyboard();
        if (keypressed() || quit_requested())
            break;
        pause_briefly();
    }
    fade_palette_out(1);
    clear(picture());
    present_picture();
    set_picture_palette(saved);
}
