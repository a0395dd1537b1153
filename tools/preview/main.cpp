/* main.cpp: preview, draws the start view of a level into a BMP file, as the game shows it once
   the camera has come down.

   preview MAP OUT.bmp [--camera 0-3] [--light 0-3] [--shading 0-3] [--size WxH]
                       [--viewport 0-3] [--game DIR] [--turn N]

   MAP is a level file; the game directory (default: found as the game finds its data) provides
   data/pz.dat and bsp/. Installed as tirvex-preview; options take one dash or two alike. --turn turns the robot N quarter turns to the left (negative: right) before the
   picture is taken. */
#include <allegro.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "headless_game.h"
#include "render/render_frame.h"
#include "base/command_line.h"
#include "base/game_paths.h"
#include "render/colour_tables.h"
#include "base/display_options.h"
#include "render/message_line.h"
#include "world/level_rules.h"
#include "world/player_motion.h"
#include "world/world_driver.h"

namespace {

/* A map file is at most 199 square lines of ten numbers and a short header. */
char map_text[64 * 1024];

struct PreviewRequest {
    const char *map_path = nullptr;
    const char *out_path = nullptr;
    const char *game_dir = nullptr;
    int camera = CAMERA_BEHIND;
    int light = -1;         /* -1: the one the camera mode brings */
    int shading = SHADE_PERSPECTIVE_TEXTURE;
    int viewport = 0;
    int width = 640, height = 480;
    int turns = 0;
};

enum { OPTION_CAMERA, OPTION_LIGHT, OPTION_SHADING, OPTION_SIZE, OPTION_VIEWPORT, OPTION_GAME,
       OPTION_TURN };

const CommandOption PREVIEW_OPTIONS[] = {
    {"camera", "0-3", "behind, long shot, fixed, helicopter (default 0)", 0, 3},
    {"light", "0-3", "light mode (default: the camera's own)", 0, 3},
    {"shading", "0-3", "shading mode (default 3, perspective textures)", 0, 3},
    {"size", "WxH", "picture size, 64x48 to 8192x8192 (default 640x480)", 0, 0},
    {"viewport", "0-3", "viewport size (default 0, the whole picture)", 0, 3},
    {"game", "DIR", "the folder of data/pz.dat and bsp/ (default: as the game finds it)", 0, 0},
    {"turn", "N", "quarter turns to the left first, -8 to 8 (negative: right)", -8, 8},
};

/* Reads the command line into r. Returns -1 to go on, or the exit status to end with. */
int parse_request(int argc, char **argv, PreviewRequest *r)
{
    const CommandSyntax syntax = {
        path_file_name(argv[0]), "Draws the start view of a level into a BMP file, as the game shows it.",
        "MAP OUT.bmp", 2, 2, PREVIEW_OPTIONS, 7};
    CommandLine line;
    int status = read_command_line(argc, argv, &syntax, game_version(), &line);
    if (status >= 0)
        return status;
    if (line.given[OPTION_CAMERA])
        r->camera = (int)line.number[OPTION_CAMERA];
    if (line.given[OPTION_LIGHT])
        r->light = (int)line.number[OPTION_LIGHT];
    if (line.given[OPTION_SHADING])
        r->shading = (int)line.number[OPTION_SHADING];
    if (line.given[OPTION_VIEWPORT])
        r->viewport = (int)line.number[OPTION_VIEWPORT];
    if (line.given[OPTION_TURN])
        r->turns = (int)line.number[OPTION_TURN];
    r->game_dir = line.text[OPTION_GAME];
    if (const char *size = line.text[OPTION_SIZE]) {
        char end = 0;
        if (std::sscanf(size, "%dx%d%c", &r->width, &r->height, &end) != 2 || r->width < 64 ||
            r->height < 48 || r->width > 8192 || r->height > 8192) {
            std::fprintf(stderr, "%s: --size wants WxH from 64x48 to 8192x8192: %s\n",
                         syntax.program, size);
            print_usage(stderr, &syntax);
            return 2;
        }
    }
    r->map_path = line.operands[0];
    r->out_path = line.operands[1];
    return -1;
}

/* A path given relative to where the tool was started, made absolute before entering the game
   directory. */
std::string absolute(const char *path)
{
    if (path[0] == '/')
        return path;
    char here[PATH_MAX];
    if (!getcwd(here, sizeof here))
        return path;
    return std::string(here) + "/" + path;
}

} // namespace

int main(int argc, char **argv)
{
    PreviewRequest request;
    int status = parse_request(argc, argv, &request);
    if (status >= 0)
        return status;
    if (!read_map_file(request.map_path, map_text, sizeof map_text)) {
        std::fprintf(stderr, "preview: cannot read the map file %s\n", request.map_path);
        return 1;
    }
    const std::string out_path = absolute(request.out_path);
    // Without --game the data is looked for where the game looks for it.
    const char *game_dir = request.game_dir ? request.game_dir : find_data_folder(argv[0]);
    if (const char *error = start_headless_game(game_dir[0] ? game_dir : nullptr)) {
        std::fprintf(stderr, "preview: %s\n", error);
        return 1;
    }

    set_view_options(request.camera, request.light, request.shading);
    display_options.viewport_size = (int16_t)request.viewport;

    /* The level's number, for its title, from a name like "map07.txt". */
    const char *name = std::strrchr(request.map_path, '/');
    name = name ? name + 1 : request.map_path;
    int level = 1;
    if (std::sscanf(name, "map%d", &level) != 1)
        level = 1;
    static World world;     /* some 25 KB: off the stack */
    world.camera_height = display_options.camera_height;
    driver_start_text(world, map_text);
    /* Quarter turns are typed like the arrow keys; the swoop and the turns run out. */
    for (int i = 0; i < request.turns; i++)
        driver_push(world, MOVE_TURN_LEFT);
    for (int i = 0; i < -request.turns; i++)
        driver_push(world, MOVE_TURN_RIGHT);
    driver_settle(world, 1, 5000);
    for (int i = 0; i < 2000 && (world.rot_y != world.motion.player_rot_y || world.title_timer > 0); i++)
        driver_frame(world, 1);

    BITMAP *picture = create_bitmap(request.width, request.height);
    if (!picture) {
        std::fprintf(stderr, "preview: no memory for a %dx%d picture\n", request.width, request.height);
        return 1;
    }
    clear_bitmap(picture);
    render_frame(picture, world, FrameOverlay{level, false, 0, 0, 0});
    if (save_bitmap(out_path.c_str(), picture, game_palette) != 0) {
        std::fprintf(stderr, "preview: cannot write %s\n", out_path.c_str());
        destroy_bitmap(picture);
        return 1;
    }
    destroy_bitmap(picture);
    return 0;
}
