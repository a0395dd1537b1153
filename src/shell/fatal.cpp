/* fatal.cpp: the fatal-error path: error.log, the fatal page and the exit. */
#include "shell/fatal.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/game_paths.h"
#include "shell/key_wait.h"

namespace {
void show_fatal_page(const char *text)
{
    int white = makecol(255, 255, 255);
    int centre_x = SCREEN_W / 2;
    acquire_bitmap(screen);
    clear(screen);
    textout_centre_ex(screen, font, "FATAL ERROR!", centre_x, SCREEN_H / 2 - 40, white, _textmode);
    // The messages end in a line feed, which the fonts would draw as a stray glyph; the page
    // shows the text without it (error.log keeps it).
    char line[180];
    std::snprintf(line, sizeof line, "%s", text);
    size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
        line[--length] = '\0';
    textout_centre_ex(screen, font, line, centre_x, SCREEN_H / 2, white, _textmode);
    textout_centre_ex(screen, font, "Press [Esc] to exit program", centre_x, SCREEN_H / 2 + 40,
                      white, _textmode);
    release_bitmap(screen);
}
}

void fatal_screen(const char *text)
{
    char path[GAME_PATH_SIZE];
    if (FILE *log = std::fopen(user_file_path("error.log", path, sizeof path), "w")) {
        std::fprintf(log, "%s\n", text);
        std::fclose(log);
    }
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
    if (condition)
        return 0;
    char text[180];
    std::snprintf(text, sizeof text, "Fatal exception: %s\n", message);
    fatal_screen(text);
}
