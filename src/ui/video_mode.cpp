/* video_mode.cpp: the graphics mode from "wvideo.cfg" and the video mode dialog. */
#include "ui/video_mode.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>

#include "shell/console.h"
#include "shell/game_paths.h"
#include "shell/key_wait.h"

const VideoConfig default_video_config = {GFX_AUTODETECT_FULLSCREEN, 640, 480};

namespace {
const char *const CONFIG_FILE = "wvideo.cfg";
const char *const ERROR_FILE = "error.txt";
constexpr int MESSAGE_COLOUR = 2;   /* palette index of the dialog's messages */
constexpr int MAX_SCREEN_SIDE = 8192;   /* beyond this the X11 driver aborts instead of failing */

/* Sets the mode; where the driver cannot give it (many desktops refuse a full-screen mode),
   falls back to a window of the same size. Keeps the first failure's text in allegro_error,
   since that is the one about the mode the player asked for. Returns 0 on success. */
int set_mode_or_window(int driver, int width, int height)
{
    // A hand-edited file may hold any numbers; sizes the drivers cannot even attempt are
    // refused here, because some of them bring the program down inside the window system.
    if (width < 1 || height < 1 || width > MAX_SCREEN_SIDE || height > MAX_SCREEN_SIDE) {
        std::snprintf(allegro_error, ALLEGRO_ERROR_SIZE, "Unsupported screen size %dx%d", width,
                      height);
        return -1;
    }
    if (set_gfx_mode(driver, width, height, 0, 0) == 0)
        return 0;
    if (driver == GFX_AUTODETECT_WINDOWED)
        return -1;
    char first_error[ALLEGRO_ERROR_SIZE];
    std::snprintf(first_error, sizeof first_error, "%s", allegro_error);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, width, height, 0, 0) == 0)
        return 0;
    std::snprintf(allegro_error, ALLEGRO_ERROR_SIZE, "%s", first_error);
    return -1;
}

[[noreturn]] void give_up_on_graphics()
{
    char error[ALLEGRO_ERROR_SIZE];
    std::snprintf(error, sizeof error, "%s", allegro_error);
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    console_printf("Error setting graphics mode\n%s\n\n", error);
    char path[GAME_PATH_SIZE];
    if (FILE *file = std::fopen(user_file_path(ERROR_FILE, path, sizeof path), "w")) {
        std::fprintf(file, "Error setting graphics mode\n%s\n\n", error);
        std::fclose(file);
    }
    std::exit(1);
}

/* The dialog's own screen: a plain 640 x 480 mode with the dialog colours. */
void set_dialog_mode()
{
    if (set_mode_or_window(GFX_AUTODETECT, 640, 480) != 0)
        give_up_on_graphics();
    clear(screen);
    set_gui_colours();
}
}

VideoConfig read_video_config(const char *path)
{
    VideoConfig config = default_video_config;
    if (FILE *file = std::fopen(path, "r")) {
        // A value that fails to convert is left alone and keeps its default, so how many
        // were read does not matter.
        static_cast<void>(
            std::fscanf(file, "%d %d %d\n", &config.driver, &config.width, &config.height));
        std::fclose(file);
    }
    return config;
}

int write_video_config(const char *path, const VideoConfig *config)
{
    FILE *file = std::fopen(path, "w");
    if (!file)
        return 0;
    std::fprintf(file, "%d %d %d\n", config->driver, config->width, config->height);
    return std::fclose(file) == 0 ? 1 : 0;
}

void set_gui_colours()
{
    RGB black = {0, 0, 0, 0};
    RGB grey = {48, 48, 48, 0};
    RGB white = {63, 63, 63, 0};
    set_color(0, &black);
    set_color(16, &black);
    set_color(1, &grey);
    set_color(255, &white);
    gui_fg_color = 0;
    gui_bg_color = 1;
}

int init_video_mode()
{
    char path[GAME_PATH_SIZE];
    VideoConfig config = read_video_config(user_file_path(CONFIG_FILE, path, sizeof path));
    set_color_depth(8);
    if (set_mode_or_window(config.driver, config.width, config.height) != 0)
        give_up_on_graphics();
    return 1;
}

int configure_video_mode()
{
    int driver = GFX_AUTODETECT;
    int width = 640;
    int height = 480;
    set_dialog_mode();
    install_mouse();
    for (;;) {
        set_gui_colours();
        if (!gfx_mode_select(&driver, &width, &height)) {
            remove_mouse();
            return -1;
        }
        if (set_gfx_mode(driver, width, height, 0, 0) == 0)
            break;
        char error[ALLEGRO_ERROR_SIZE];
        std::snprintf(error, sizeof error, "%s", allegro_error);
        set_dialog_mode();
        textprintf_centre_ex(screen, font, SCREEN_W / 2, 10, MESSAGE_COLOUR, _textmode,
                             "Error setting graphics mode: %s (Press any key)", error);
        wait_key();
    }
    clear(screen);
    textprintf_centre_ex(screen, font, width / 2, height / 2, MESSAGE_COLOUR, -1, "%d x %d",
                         width, height);
    textout_centre_ex(screen, font, "press any key", width / 2, height / 2 + 20, MESSAGE_COLOUR,
                      -1);
    wait_key();
    VideoConfig chosen = {driver, width, height};
    char path[GAME_PATH_SIZE];
    if (!write_video_config(user_file_path(CONFIG_FILE, path, sizeof path), &chosen))
        textprintf_centre_ex(screen, font, width / 2, height / 2 + 20, MESSAGE_COLOUR, -1,
                             "Error: cannot write to %s file", CONFIG_FILE);
    remove_mouse();
    return 0;
}
