/* screenshot.cpp: saving the picture on the screen as the first free "screenNN.bmp". */
#include "ui/screenshot.h"
#include "shell/screen_scale.h"

#include <allegro.h>
#include <cstdio>

#include "shell/game_paths.h"
#include "ui/message_line.h"

namespace {

/* The last result message; the message line refers to it until the next screenshot. */
char screenshot_message[64];

} // namespace

void free_screenshot_name(char *name, size_t size)
{
    for (int n = 1;; n++) {
        std::snprintf(name, size, "screen%02d.bmp", n);
        char path[GAME_PATH_SIZE];
        FILE *file = std::fopen(user_file_path(name, path, sizeof path), "rb");
        if (!file)
            return;
        std::fclose(file);
    }
}

void take_screenshot()
{
    // The picture at the mode's own size, however much it is enlarged on the screen.
    BITMAP *copy = create_bitmap(picture_w(), picture_h());
    if (!copy) {
        show_message("Low on memory: cannot take screen shot", 100);
        return;
    }
    PALETTE palette;
    get_palette(palette);
    BITMAP *shown = picture();
    acquire_bitmap(shown);
    blit(shown, copy, 0, 0, 0, 0, copy->w, copy->h);
    release_bitmap(shown);

    char name[32];
    free_screenshot_name(name, sizeof name);
    char path[GAME_PATH_SIZE];
    int failed = save_bitmap(user_file_path(name, path, sizeof path), copy, palette);
    destroy_bitmap(copy);
    if (failed) {
        show_message("File error during screen shot", 100);
        return;
    }
    std::snprintf(screenshot_message, sizeof screenshot_message, "Screen shot saved as %s", name);
    show_message(screenshot_message, 100);
}
