/* headless_game.cpp: game data, colour tables and models without a display, for the tools. */
#include "headless_game.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "base/datafile.h"
#include "base/file_read.h"
#include "render/bsp/bsp_model.h"
#include "render/camera.h"
#include "render/colour_tables.h"
#include "base/display_options.h"

const char *start_headless_game(const char *game_dir)
{
    if (!system_driver && install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return "the game library cannot start";
    set_color_depth(8);
    static char fault[DATAFILE_MESSAGE_SIZE];
    if (game_dir && chdir(game_dir) != 0) {
        std::snprintf(fault, sizeof fault, "the game folder %s cannot be entered: %s", game_dir,
                      std::strerror(errno));
        return fault;
    }
    if (!load_game_datafile("data/pz.dat", fault))
        return fault;
    for (int i = 0; i < 4; i++)
        texture_table[i] = (BITMAP *)datafile_object(DAT_TEXTURE_FIRST + i);
    load_models();
    std::memcpy(game_palette, datafile_object(DAT_GAME_PALETTE), sizeof(PALETTE));
    set_palette(game_palette);
    create_rgb_table(&rgb_table, game_palette, nullptr);
    rgb_map = &rgb_table;
    create_light_table(&light_table, game_palette, 0, 0, 0, nullptr);
    color_map = &light_table;
    create_trans_table(&trans_table, game_palette, 128, 128, 128, nullptr);
    font = (FONT *)datafile_object(DAT_FONT_GLOBAL);
    set_play_light();
    return nullptr;
}

void set_view_options(int camera_mode, int light_mode, int shading_mode)
{
    reset_display_options();
    set_play_start_options();
    DisplayOptions &o = display_options;
    o.camera_mode = (int16_t)camera_mode;
    apply_camera_preset(camera_mode);
    if (light_mode >= 0)
        o.light_mode = light_mode;
    o.shading_mode = shading_mode;
}

int read_map_file(const char *path, char *buffer, size_t size)
{
    // A FIFO or a device at the path is refused at once, never waited on.
    char fault[64];
    const int fd = open_regular_file(path, (long long)size - 2, fault, sizeof fault);
    const long n = fd < 0 ? -1 : read_up_to(fd, buffer, size - 1);
    if (fd >= 0)
        close(fd);
    if (n < 0 || (size_t)n == size - 1)
        return 0;
    buffer[n] = '\0';
    return 1;
}
