/* startup.cpp: the start-up sequence (which fills the colour tables) and the shutdown. */
#include "app/startup.h"
#include "base/quit_request.h"
#include "base/screen_scale.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/console.h"
#include "base/datafile.h"
#include "base/fatal.h"
#include "base/key_wait.h"
#include "base/sound.h"
#include "base/timer.h"
#include "base/translation.h"
#include "base/window_identity.h"
#include "render/bsp/bsp_model.h"
#include "render/colour_tables.h"
#include "base/display_options.h"
#include "render/hud.h"
#include "ui/video_mode.h"

namespace {
const char *const DATAFILE_PATH = "data/pz.dat";
const char *const SEPARATOR = "--------------------------\n";

void write_credits()
{
    console_printf(_("Programmed by Maren Holt (maren.holt@tirvex.invalid)\n"));
    // The credits' own line, kept as the credits have always read; the release number that
    // packages and scripts read is --version's.
    console_printf(_("Version: 1,2\n"));
    console_printf(_("Build: %s\n----------------------------\n"), TIRVEX_BUILD_DATE);
    console_printf(_("Thanks to:\n"));
    console_printf("%s", SEPARATOR);
    console_printf(_("Shawn Hargreaves for making the wonderful (Win)Allegro library.\n"));
    console_printf("%s", SEPARATOR);
    console_printf("Ida Krennel\n");
    console_printf("Tomas Oberlin\n");
    console_printf("Pieter Vasse\n");
    console_printf(_("For 3D-code help and a few snippets\n"));
    console_printf("%s", SEPARATOR);
    console_printf("Lotte Brammer\n");
    console_printf("Kees Dunning\n");
    console_printf(_("For designing levels.\n"));
    console_printf("%s", SEPARATOR);
}

void start_sound(const char *program_path)
{
    if (display_options.sound_off) {
        console_printf(_("-nosound: Sound disabled\n"));
        return;
    }
    // The library picks the digital driver this machine has; no MIDI is played.
    if (install_sound(DIGI_AUTODETECT, MIDI_NONE, program_path) == 0)
        console_printf(_("Digital sound driver: %s\n"), digi_driver_name(digi_driver));
    else
        console_printf(_("Can't initialise sound\n"));
}

void build_colour_tables()
{
    std::memcpy(game_palette, datafile_object(DAT_GAME_PALETTE), sizeof(PALETTE));
    set_picture_palette(game_palette);
    create_rgb_table(&rgb_table, game_palette, nullptr);
    rgb_map = &rgb_table;
    console_printf(_("Create lighting table...\n"));
    create_light_table(&light_table, game_palette, 0, 0, 0, nullptr);
    color_map = &light_table;
    create_trans_table(&trans_table, game_palette, 128, 128, 128, nullptr);
}
}

BITMAP *create_screen_buffer()
{
    BITMAP *buffer = create_bitmap(picture_w(), picture_h());
    check(buffer != nullptr, N_("Out of memory while creating screen buffer"));
    return buffer;
}

int start_up(const char *program_path, bool no_sound, const char *notice, BITMAP **buffer,
             bool wait_credits)
{
    set_window_identity("tirvex", "Tirvex");
    // Every text the game draws or measures is UTF-8, the translations' letters too: the
    // library's default, set here so that no other setting can slip in before it starts.
    set_uformat(U_UTF8);
    if (allegro_init() != 0) {
        // On this system the library only fails to start where there is no window system to
        // talk to; say so in the player's words rather than the library's.
        const char *display = std::getenv("DISPLAY");
        if (!display || !display[0])
            std::fprintf(stderr, _("tirvex: no display to open the game's window on (DISPLAY is "
                                   "not set); start it from a desktop session\n"));
        else
            std::fprintf(stderr, _("tirvex: cannot open the game's window on display %s%s%s\n"),
                         display, allegro_error[0] ? ": " : "", allegro_error);
        return 1;
    }
    install_keyboard();
    install_timer();
    set_window_title("Tirvex!");
    console_reset();
    init_video_mode();
    install_quit_handlers();

    write_credits();
    if (wait_credits)
        wait_key();

    display_options.sound_off = no_sound;
    display_options.music_on = true;
    start_sound(program_path);
    console_printf("\n");
    console_printf(_("In-game screen resolution %dx%d\n"), picture_w(), picture_h());
    if (notice[0])
        console_printf("%s\n", notice);
    console_printf(_("Loading data file %s...\n"), DATAFILE_PATH);

    char fault[DATAFILE_MESSAGE_SIZE];
    if (!load_game_datafile(DATAFILE_PATH, fault)) {
        // The console lives on the screen, which is gone once the library is shut down.
        console_printf("%s\n", fault);
        std::fprintf(stderr, "%s\n", fault);
        allegro_exit();
        return 1;
    }
    if (catalogue_language()[0]) {
        char path[64];
        std::snprintf(path, sizeof path, "data/pz-%s.dat", catalogue_language());
        if (!load_language_pictures(path, fault))
            std::fprintf(stderr, _("tirvex: %s; the pictures stay English\n"), fault);
    }
    for (int i = 0; i < 4; i++)
        texture_table[i] = (BITMAP *)datafile_object(DAT_TEXTURE_FIRST + i);
    load_models();

    build_colour_tables();
    reset_f1_panel();
    font = (FONT *)datafile_object(DAT_FONT_GLOBAL);

    console_printf(_("Set timer interrupt...\n"));
    tick_counter = 0;
    if (install_int_ex(timer_handler, BPS_TO_TIMER(100)) < 0)
        console_printf(_("Cannot allocate timer"));
    set_picture_palette(game_palette);
    *buffer = create_screen_buffer();
    music_started = 0;
    return 0;
}

void shut_down(BITMAP *buffer)
{
    destroy_bitmap(buffer);
    remove_timer();
    allegro_exit();
}
