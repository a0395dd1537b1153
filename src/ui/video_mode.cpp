/* video_mode.cpp: the graphics mode from "wvideo.cfg" and the video mode dialog. */
#include "ui/video_mode.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "shell/console.h"
#include "shell/game_paths.h"
#include "shell/key_wait.h"
#include "shell/screen_scale.h"

const VideoConfig default_video_config = {GFX_AUTODETECT_FULLSCREEN, 640, 480};
int window_choice = WINDOW_CHOICE_CONFIG;
bool video_config_writable = true;

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
    if (set_scaled_mode(driver, width, height) == 0)
        return 0;
    if (driver == GFX_AUTODETECT_WINDOWED)
        return -1;
    char first_error[ALLEGRO_ERROR_SIZE];
    std::snprintf(first_error, sizeof first_error, "%s", allegro_error);
    if (set_scaled_mode(GFX_AUTODETECT_WINDOWED, width, height) == 0)
        return 0;
    std::snprintf(allegro_error, ALLEGRO_ERROR_SIZE, "%s", first_error);
    return -1;
}

/* The line naming wvideo.cfg and what it asked for, when the failed mode came from it. */
char mode_source[GAME_PATH_SIZE + 64];

[[noreturn]] void give_up_on_graphics()
{
    char error[ALLEGRO_ERROR_SIZE];
    std::snprintf(error, sizeof error, "%s", allegro_error);
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    console_printf("Error setting graphics mode\n%s\n%s\n", error, mode_source);
    char path[GAME_PATH_SIZE];
    if (FILE *file = std::fopen(user_file_path(ERROR_FILE, path, sizeof path), "w")) {
        std::fprintf(file, "Error setting graphics mode\n%s\n%s\n", error, mode_source);
        std::fclose(file);
    }
    std::exit(1);
}

/* The mode the game runs in now: its driver, as far as window or full screen goes. */
int current_driver()
{
    return is_windowed_mode() ? GFX_AUTODETECT_WINDOWED : GFX_AUTODETECT_FULLSCREEN;
}

/* Alt+Enter: the same mode in a window or full screen, the picture and palette kept, and the
   choice written to "wvideo.cfg" with the mode (never by a demo's playback or a watch). */
void switch_window_or_full_screen()
{
    const int width = picture_w(), height = picture_h();
    BITMAP *kept = create_bitmap(width, height);
    if (!kept)
        return;     // no memory to keep the picture: the switch waits for the next Alt+Enter
    blit(picture(), kept, 0, 0, 0, 0, width, height);
    PALETTE palette;
    get_palette(palette);
    const int was = current_driver();
    const int wanted = was == GFX_AUTODETECT_WINDOWED ? GFX_AUTODETECT_FULLSCREEN :
                                                        GFX_AUTODETECT_WINDOWED;
    show_mouse(nullptr);
    if (set_scaled_mode(wanted, width, height) != 0 && set_mode_or_window(was, width, height) != 0)
        give_up_on_graphics();
    set_palette(palette);
    blit(kept, picture(), 0, 0, 0, 0, width, height);
    destroy_bitmap(kept);
    present_picture();
    if (video_config_writable) {
        VideoConfig chosen = {current_driver(), width, height};
        char path[GAME_PATH_SIZE];
        prepare_config_folder();
        write_video_config(config_file_path(CONFIG_FILE, path, sizeof path), &chosen);
    }
}

/* The dialog's own screen: a plain 640 x 480 mode with the dialog colours, never enlarged: the
   library's dialog draws on the screen itself. */
void set_dialog_mode()
{
    const int asked = forced_scale;
    forced_scale = 1;
    const int failed = set_mode_or_window(GFX_AUTODETECT, 640, 480);
    forced_scale = asked;
    if (failed != 0)
        give_up_on_graphics();
    clear(screen);
    clear(picture());
    set_gui_colours();
}

/* Reads one decimal integer as the C library's %d conversion does (white space, a sign,
   digits), but refuses one that does not fit an int instead of leaving it undefined. Returns
   1 with the value, 0 when there is no number here, -1 when it is too large. */
int read_config_number(FILE *file, int *value)
{
    int c = std::fgetc(file);
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f')
        c = std::fgetc(file);
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = std::fgetc(file);
    }
    if (c < '0' || c > '9')
        return 0;
    long long magnitude = 0;
    bool too_large = false;
    while (c >= '0' && c <= '9') {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL) {
            too_large = true;
            magnitude = 2147483648LL;
        }
        c = std::fgetc(file);
    }
    const long long signed_value = negative ? -magnitude : magnitude;
    if (too_large || signed_value > 2147483647LL)
        return -1;
    *value = (int)signed_value;
    return 1;
}

} // namespace

VideoConfig read_video_config(const char *path, char *note, size_t note_size)
{
    VideoConfig config = default_video_config;
    if (note && note_size)
        note[0] = '\0';
    FILE *file = std::fopen(path, "r");
    if (!file)
        return config;
    // As with "%d %d %d": reading stops at the first value that cannot be read, which keeps its
    // default, as do the values after it.
    int *const fields[3] = {&config.driver, &config.width, &config.height};
    const char *const names[3] = {"driver", "width", "height"};
    for (int i = 0; i < 3; i++) {
        int value = 0;
        const int read = read_config_number(file, &value);
        if (read == 1) {
            *fields[i] = value;
            continue;
        }
        if (read < 0 && note && note_size)
            std::snprintf(note, note_size, "%s: the %s is too large a number; the default %d is kept",
                          path, names[i], *fields[i]);
        break;
    }
    std::fclose(file);
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
    char path[GAME_PATH_SIZE], note[GAME_PATH_SIZE + 96];
    config_file_path(CONFIG_FILE, path, sizeof path);
    VideoConfig config = read_video_config(path, note, sizeof note);
    if (note[0])
        std::fprintf(stderr, "tirvex: %s\n", note);
    if (window_choice == WINDOW_CHOICE_WINDOW)
        config.driver = GFX_AUTODETECT_WINDOWED;
    else if (window_choice == WINDOW_CHOICE_FULLSCREEN)
        config.driver = GFX_AUTODETECT_FULLSCREEN;
    set_color_depth(8);
    if (set_mode_or_window(config.driver, config.width, config.height) != 0) {
        // Name the file the mode came from, so the player knows what to mend or delete.
        if (access(path, F_OK) == 0)
            std::snprintf(mode_source, sizeof mode_source, "%s asks for driver %d, %dx%d\n", path,
                          config.driver, config.width, config.height);
        give_up_on_graphics();
    }
    window_switch = switch_window_or_full_screen;
    note_window_switch_keys();
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
            // Back to 640 x 480 enlarged, where this desktop enlarges it.
            int desktop_w, desktop_h;
            if (get_desktop_resolution(&desktop_w, &desktop_h) == 0 &&
                plan_layout(640, 480, desktop_w, desktop_h, !is_windowed_mode(), forced_scale).factor > 1)
                set_mode_or_window(GFX_AUTODETECT, 640, 480);
            return -1;
        }
        if (set_scaled_mode(driver, width, height) == 0)
            break;
        char error[ALLEGRO_ERROR_SIZE];
        std::snprintf(error, sizeof error, "%s", allegro_error);
        set_dialog_mode();
        textprintf_centre_ex(picture(), font, picture_w() / 2, 10, MESSAGE_COLOUR, _textmode,
                             "Error setting graphics mode: %s (Press any key)", error);
        present_picture();
        wait_key();
    }
    BITMAP *page = picture();
    clear(page);
    textprintf_centre_ex(page, font, width / 2, height / 2, MESSAGE_COLOUR, -1, "%d x %d",
                         width, height);
    textout_centre_ex(page, font, "press any key", width / 2, height / 2 + 20, MESSAGE_COLOUR,
                      -1);
    present_picture();
    wait_key();
    VideoConfig chosen = {driver, width, height};
    char path[GAME_PATH_SIZE];
    prepare_config_folder();
    if (!write_video_config(config_file_path(CONFIG_FILE, path, sizeof path), &chosen)) {
        textprintf_centre_ex(page, font, width / 2, height / 2 + 20, MESSAGE_COLOUR, -1,
                             "Error: cannot write to %s file", CONFIG_FILE);
        present_picture();
    }
    remove_mouse();
    return 0;
}
