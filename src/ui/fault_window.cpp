/* fault_window.cpp: the game's window opened only to say why the game cannot go on. */
#include "ui/fault_window.h"
#include "base/quit_request.h"

#include <allegro.h>
#include <cstdio>
#include <cstring>

#include "base/console.h"
#include "base/key_wait.h"
#include "base/screen_scale.h"
#include "base/translation.h"
#include "base/window_identity.h"
#include "ui/video_mode.h"

namespace {

enum { TEXT_SIZE = 8192 };

volatile int close_clicked = 0;

void on_close() { close_clicked = 1; }

} // namespace

int show_fault_window(const char *text)
{
    std::fprintf(stderr, "tirvex: %s\n", text);
    set_window_identity("tirvex", "Tirvex");
    set_uformat(U_UTF8);    // as start_up: the texts are UTF-8
    if (allegro_init() != 0)
        return 1;
    install_keyboard();
    install_timer();
    set_window_title("Tirvex!");
    set_close_button_callback(on_close);
    console_reset();
    init_video_mode();
    clear(picture());
    static char lines[TEXT_SIZE];
    // The last column is left empty: a line of all 80 would wrap onto an empty row.
    break_lines(text, CONSOLE_COLUMNS - 1, lines, sizeof lines);
    console_puts(lines);
    console_puts(_("\n\nPress a key to end.\n"));
    clear_keybuf();
    while (!close_clicked && !keypressed() && !quit_requested())
        pause_briefly();
    allegro_exit();
    return 1;
}
