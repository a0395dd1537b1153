/* video_mode.cpp: the graphics mode from "wvideo.cfg" and the video mode dialog. */
#include "ui/video_mode.h"
#include "base/quit_request.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

#include "base/console.h"
#include "base/file_replace.h"
#include "base/game_paths.h"
#include "base/key_wait.h"
#include "base/screen_scale.h"
#include "base/translation.h"

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

/* The line saying wvideo.cfg's driver was not used, kept for error.txt should no mode be set. */
char driver_note[GAME_PATH_SIZE + 128];

/* Writes text as "error.txt" in the player's folder, through a new file renamed over the old
   one (no link standing there is followed). */
void write_error_file(const char *text)
{
    char path[GAME_PATH_SIZE];
    const char *failed = nullptr;
    file_replace(user_file_path(ERROR_FILE, path, sizeof path), text, std::strlen(text), &failed);
}

[[noreturn]] void give_up_on_graphics()
{
    char error[ALLEGRO_ERROR_SIZE];
    std::snprintf(error, sizeof error, "%s", allegro_error);
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    console_printf(_("Error setting graphics mode\n%s\n%s\n"), error, mode_source);
    char text[ALLEGRO_ERROR_SIZE + sizeof mode_source + sizeof driver_note + 64];
    std::snprintf(text, sizeof text, _("Error setting graphics mode\n%s\n%s\n%s"), error, mode_source,
                  driver_note);
    write_error_file(text);
    std::exit(1);
}

/* Whether the library knows the driver id: the autodetects, the safe mode, or a driver of this
   system's list, as the video mode dialog offers them. Anything else (the text mode -1 sets no
   screen at all) is not a graphics mode. */
bool known_driver(int id)
{
    if (id == GFX_AUTODETECT || id == GFX_AUTODETECT_FULLSCREEN || id == GFX_AUTODETECT_WINDOWED ||
        id == GFX_SAFE)
        return true;
    _DRIVER_INFO *list = system_driver && system_driver->gfx_drivers ? system_driver->gfx_drivers() :
                                                                        _gfx_driver_list;
    for (; list && list->id; list++)
        if (list->id == id)
            return true;
    return false;
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
    if (switch_window_kind() != 0)
        give_up_on_graphics();
    if (video_config_writable) {
        VideoConfig chosen = {current_driver(), picture_w(), picture_h()};
        char path[GAME_PATH_SIZE];
        prepare_config_folder();
        write_video_config(config_file_path(CONFIG_FILE, path, sizeof path), &chosen);
    }
}

/* The dialog's own screen: 640 x 480, enlarged as every screen is, with the dialog colours. */
void set_dialog_mode()
{
    if (set_mode_or_window(GFX_AUTODETECT, 640, 480) != 0)
        give_up_on_graphics();
    clear(screen);
    clear(picture());
    set_gui_colours();
}

/* The library's dialog keeps the program in a loop of its own and draws on the GUI's bitmap,
   the picture when the screen is enlarged. Every turn of that loop it asks where the pointer is
   through gui_mouse_x and gui_mouse_y: these stand-ins map the place through the factor, and
   now and then show the picture enlarged with the pointer drawn over it. */
int (*library_mouse_x)() = nullptr;
int (*library_mouse_y)() = nullptr;
BITMAP *dialog_frame = nullptr;
clock_t dialog_shown = 0;
int screen_w_kept = 0, screen_h_kept = 0;

int dialog_mouse_x()
{
    const clock_t now = std::clock();
    if (dialog_frame && now - dialog_shown >= CLOCKS_PER_SEC / 50) {
        dialog_shown = now;
        blit(picture(), dialog_frame, 0, 0, 0, 0, dialog_frame->w, dialog_frame->h);
        draw_pointer(dialog_frame);
        present_overlay(dialog_frame);
    }
    return picture_x(library_mouse_x());
}

int dialog_mouse_y()
{
    return picture_y(library_mouse_y());
}

/* Points the library's dialog at the enlarged picture (true), or back at the screen (false).
   Nothing to do at factor 1, where the picture is the screen. */
void enlarge_dialog(bool on)
{
    if (on && picture() != screen && !dialog_frame) {
        dialog_frame = create_bitmap(picture_w(), picture_h());
        if (!dialog_frame)
            return;     // no memory for the frame: the dialog draws on the picture unseen
        gui_set_screen(picture());
        library_mouse_x = gui_mouse_x;
        library_mouse_y = gui_mouse_y;
        gui_mouse_x = dialog_mouse_x;
        gui_mouse_y = dialog_mouse_y;
        show_mouse(nullptr);
        // The dialog centres itself on SCREEN_W x SCREEN_H: the picture's size while it runs.
        screen_w_kept = gfx_driver->w;
        screen_h_kept = gfx_driver->h;
        gfx_driver->w = picture_w();
        gfx_driver->h = picture_h();
    } else if (!on && dialog_frame) {
        gfx_driver->w = screen_w_kept;
        gfx_driver->h = screen_h_kept;
        gui_mouse_x = library_mouse_x;
        gui_mouse_y = library_mouse_y;
        gui_set_screen(nullptr);
        destroy_bitmap(dialog_frame);
        dialog_frame = nullptr;
    }
}

/* The dialog's reader of the mouse buttons, which its loop calls on every turn: a request to end
   the game is answered there as Esc, which closes the dialog as a cancel. */
int (*library_mouse_b)() = nullptr;
int dialog_mouse_b()
{
    if (quit_requested() && !keypressed())
        simulate_keypress(KEY_ESC << 8 | 27);
    return library_mouse_b();
}

} // namespace

void set_gui_colours()
{
    const RGB black = {0, 0, 0, 0};
    const RGB grey = {48, 48, 48, 0};
    const RGB white = {63, 63, 63, 0};
    PALETTE palette;
    get_palette(palette);
    palette[0] = black;
    palette[16] = black;
    palette[1] = grey;
    palette[255] = white;
    set_picture_palette(palette);
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
    if (!known_driver(config.driver)) {
        // As if there were no file; error.txt tells the player why the mode is not theirs.
        std::snprintf(driver_note, sizeof driver_note, "%s asks for driver %d, which is no "
                      "graphics driver here: the default mode is used\n", path, config.driver);
        std::fprintf(stderr, "tirvex: %s", driver_note);
        write_error_file(driver_note);
        config = default_video_config;
    }
    if (window_choice == WINDOW_CHOICE_WINDOW)
        config.driver = GFX_AUTODETECT_WINDOWED;
    else if (window_choice == WINDOW_CHOICE_FULLSCREEN)
        config.driver = GFX_AUTODETECT_FULLSCREEN;
    set_color_depth(8);
    if (set_mode_or_window(config.driver, config.width, config.height) != 0) {
        // Name the file the mode came from, so the player knows what to mend or delete.
        if (!driver_note[0] && access(path, F_OK) == 0)
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
        enlarge_dialog(true);
        library_mouse_b = gui_mouse_b;
        gui_mouse_b = dialog_mouse_b;
        const int chosen = gfx_mode_select(&driver, &width, &height);
        gui_mouse_b = library_mouse_b;
        enlarge_dialog(false);
        if (!chosen) {
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
                             _("Error setting graphics mode: %s (Press any key)"), error);
        present_picture();
        wait_key();
    }
    BITMAP *page = picture();
    clear(page);
    textprintf_centre_ex(page, font, width / 2, height / 2, MESSAGE_COLOUR, -1, "%d x %d",
                         width, height);
    textout_centre_ex(page, font, _("press any key"), width / 2, height / 2 + 20, MESSAGE_COLOUR,
                      -1);
    present_picture();
    wait_key();
    VideoConfig chosen = {driver, width, height};
    char path[GAME_PATH_SIZE];
    prepare_config_folder();
    if (!write_video_config(config_file_path(CONFIG_FILE, path, sizeof path), &chosen)) {
        textprintf_centre_ex(page, font, width / 2, height / 2 + 20, MESSAGE_COLOUR, -1,
                             _("Error: cannot write to %s file"), CONFIG_FILE);
        present_picture();
    }
    remove_mouse();
    return 0;
}
