/* main.cpp: the program's entry: start-up, the main menu loop and the shutdown. */
#include <allegro.h>
#include <cstdio>
#include <cstdlib>

#include "shell/cast_screen.h"
#include "shell/command_line.h"
#include "shell/game_paths.h"
#include "shell/main_menu.h"
#include "shell/play_loop.h"
#include "shell/solution_watch.h"
#include "shell/sound.h"
#include "shell/startup.h"
#include "ui/video_mode.h"

namespace {

enum { OPTION_NOSOUND, OPTION_DATA, OPTION_HOME, OPTION_LEVELS, OPTION_WATCH };

const CommandOption GAME_OPTIONS[] = {
    {"nosound", nullptr, "start without sound", 0, 0},
    {"data", "DIR", "read data/pz.dat, maps/ and bsp/ from DIR", 0, 0},
    {"home", "DIR", "keep tirvex.sav, wvideo.cfg and the screenshots in DIR", 0, 0},
    {"levels", "DIR", "play DIR/map01.txt, map02.txt, ... with their own progress", 0, 0},
    {"watch", "N", "watch the robot play the recorded way through level N, 1 to 19", 1, 19},
};

const CommandSyntax GAME_SYNTAX = {
    "tirvex", "Tirvex, a 3D puzzle game: eat every sweet and reach the teleport in time.", "",
    0, 0, GAME_OPTIONS, 5};

/* Empty counts as unset. */
const char *environment(const char *name)
{
    const char *value = std::getenv(name);
    return value && value[0] ? value : nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    CommandLine line;
    int status = read_command_line(argc, argv, &GAME_SYNTAX, game_version(), &line);
    if (status >= 0)
        return status;

    if (line.given[OPTION_WATCH] && line.given[OPTION_LEVELS]) {
        std::fprintf(stderr, "tirvex: --watch shows a shipped level; it does not go with --levels\n");
        return 2;
    }
    const PlaceRequest places = {line.text[OPTION_DATA], line.text[OPTION_HOME],
                                 environment("XDG_DATA_HOME"), environment("HOME"), argv[0],
                                 line.text[OPTION_LEVELS]};
    char fault[GAME_PATH_SIZE + 128], notice[GAME_PATH_SIZE + 128];
    if (!find_game_places(&places, fault, notice, sizeof fault)) {
        std::fprintf(stderr, "tirvex: %s\n", fault);
        return 1;
    }

    BITMAP *screen_buffer = nullptr;
    const bool watch = line.given[OPTION_WATCH];
    status = start_up(argv[0], line.given[OPTION_NOSOUND], notice, &screen_buffer, !watch);
    if (status != 0)
        return status;
    if (watch) {
        // Straight to the recorded way, then out: no menu.
        status = watch_solution((int)line.number[OPTION_WATCH], screen_buffer);
        shut_down(screen_buffer);
        return status;
    }

    for (;;) {
        if (!music_started)
            start_music(2);
        int choice = main_menu();
        if (choice == MENU_QUIT)
            break;
        switch (choice) {
        case MENU_PLAY:
            play_levels(screen_buffer);
            break;
        case MENU_CAST:
            cast_screen(screen_buffer);
            key_help_screen();
            break;
        case MENU_VIDEO:
            configure_video_mode();
            destroy_bitmap(screen_buffer);
            screen_buffer = create_screen_buffer();
            set_palette(game_palette);
            break;
        default:
            break;
        }
    }
    shut_down(screen_buffer);
    return 0;
}
END_OF_MAIN()
