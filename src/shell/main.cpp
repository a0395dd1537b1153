/* main.cpp: the program's entry: start-up, the main menu loop and the shutdown. */
#include <allegro.h>
#include <cstring>

#include "shell/cast_screen.h"
#include "shell/main_menu.h"
#include "shell/play_loop.h"
#include "shell/sound.h"
#include "shell/startup.h"
#include "ui/video_mode.h"

int main(int argc, char *argv[])
{
    bool no_sound = false;
    for (int i = 1; i < argc; i++)
        if (std::strcmp(argv[i], "-nosound") == 0)
            no_sound = true;

    BITMAP *screen_buffer = nullptr;
    int status = start_up(argv[0], no_sound, &screen_buffer);
    if (status != 0)
        return status;

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
