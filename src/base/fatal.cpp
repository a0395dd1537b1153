/* fatal.cpp: the fatal-error path: error.log, the fatal page and the exit. */
#include "base/fatal.h"
#include "base/screen_scale.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/file_replace.h"
#include "base/game_paths.h"
#include "base/key_wait.h"
#include "base/translation.h"
#include "base/utf8_letters.h"

namespace {
void show_fatal_page(const char *text)
{
    int white = makecol(255, 255, 255);
    int centre_x = picture_w() / 2;
    const int centre_y = picture_h() / 2;
    BITMAP *page = picture();
    acquire_bitmap(page);
    clear(page);
    textout_centre_ex(page, font, _("FATAL ERROR!"), centre_x, centre_y - 40, white, _textmode);
    // The messages end in a line feed, which the fonts would draw as a stray glyph; the page
    // shows the text without it (error.log keeps it).
    char line[180];
    std::snprintf(line, sizeof line, "%s", tr(text));
    drop_cut_letter(line);
    size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
        line[--length] = '\0';
    textout_centre_ex(page, font, line, centre_x, centre_y, white, _textmode);
    textout_centre_ex(page, font, _("Press [Esc] to exit program"), centre_x, centre_y + 40,
                      white, _textmode);
    release_bitmap(page);
    present_picture();
}
}

void fatal_screen(const char *text)
{
    fatal_screen_detail(text, nullptr);
}

void fatal_screen_detail(const char *text, const char *detail)
{
    // The detail comes first, so that the log still ends in the text and its empty line, and
    // whoever reads it learns where to look before what went wrong.
    const bool detailed = detail && detail[0];
    // A new file renamed over the old log: a link planted at error.log is never written through.
    static char log[GAME_PATH_SIZE + 512];
    const int length = std::snprintf(log, sizeof log, "%s%s%s\n", detailed ? detail : "",
                                     detailed ? "\n" : "", text);
    char path[GAME_PATH_SIZE];
    const char *failed = nullptr;
    const size_t size = length < (int)sizeof log ? (size_t)length : sizeof log - 1;
    if (file_replace(user_file_path("error.log", path, sizeof path), log, size, &failed) != 0)
        file_overwrite_in_place(path, log, size);   // a folder that takes no new file
    if (detailed)
        std::fprintf(stderr, "tirvex: %s\n", detail);
    std::fprintf(stderr, "FATAL ERROR! %s\n", text);
    if (screen) {
        show_fatal_page(text);
        // The key array, not the key buffer: keys typed before the page appeared must not
        // dismiss it, and only Esc does.
        while (!key_down(KEY_ESC))
            pause_briefly();
    }
    allegro_exit();
    // A failure must not look like success to whoever started the program.
    std::exit(1);
}

void assert_failed(int line, const char *file)
{
    char text[180];
    std::snprintf(text, sizeof text, "Assertion failed in %s at line %d\n", file, line);
    fatal_screen(text);
}

int check(int condition, const char *message)
{
    return check_detail(condition, message, nullptr);
}

int check_detail(int condition, const char *message, const char *detail)
{
    if (condition)
        return 0;
    fail_check(message, detail);
}

void fail_check(const char *message, const char *detail)
{
    char text[180];
    std::snprintf(text, sizeof text, "Fatal exception: %s\n", message);
    fatal_screen_detail(text, detail);
}
