/* main.cpp: preview, draws the start view of a level into a BMP file, as the game shows it once
   the camera has come down.

   preview MAP OUT.bmp [--camera 0-3] [--light 0-3] [--shading 0-3] [--size WxH]
                       [--viewport 0-3] [--game DIR] [--turn N]

   MAP is a level file; the game directory (default: the working directory) provides data/pz.dat
   and bsp/. --turn turns the robot N quarter turns to the left (negative: right) before the
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
#include "shell/startup.h"
#include "ui/display_options.h"
#include "ui/message_line.h"
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

void usage()
{
    std::fprintf(stderr,
                 "usage: preview MAP OUT.bmp [--camera 0-3] [--light 0-3] [--shading 0-3]\n"
                 "               [--size WxH] [--viewport 0-3] [--game DIR] [--turn N]\n");
}

bool parse_mode(const char *text, int *out, int low, int high)
{
    char *end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!end || *end || v < low || v > high)
        return false;
    *out = (int)v;
    return true;
}

bool parse_request(int argc, char **argv, PreviewRequest *r)
{
    int positional = 0;
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = true;
        if (!std::strcmp(a, "--camera") && value)
            ok = parse_mode(value, &r->camera, 0, 3), i++;
        else if (!std::strcmp(a, "--light") && value)
            ok = parse_mode(value, &r->light, 0, 3), i++;
        else if (!std::strcmp(a, "--shading") && value)
            ok = parse_mode(value, &r->shading, 0, 3), i++;
        else if (!std::strcmp(a, "--viewport") && value)
            ok = parse_mode(value, &r->viewport, 0, 3), i++;
        else if (!std::strcmp(a, "--turn") && value)
            ok = parse_mode(value, &r->turns, -8, 8), i++;
        else if (!std::strcmp(a, "--game") && value)
            r->game_dir = value, i++;
        else if (!std::strcmp(a, "--size") && value) {
            ok = std::sscanf(value, "%dx%d", &r->width, &r->height) == 2 && r->width >= 64 &&
                 r->height >= 48 && r->width <= 8192 && r->height <= 8192;
            i++;
        } else if (a[0] == '-' && a[1] == '-')
            ok = false;
        else if (positional == 0)
            r->map_path = a, positional++;
        else if (positional == 1)
            r->out_path = a, positional++;
        else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "preview: bad argument near \"%s\"\n", a);
            return false;
        }
    }
    return r->map_path && r->out_path;
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
    if (!parse_request(argc, argv, &request)) {
        usage();
        return 2;
    }
    if (!read_map_file(request.map_path, map_text, sizeof map_text)) {
        std::fprintf(stderr, "preview: cannot read the map file %s\n", request.map_path);
        return 1;
    }
    const std::string out_path = absolute(request.out_path);
    if (const char *error = start_headless_game(request.game_dir)) {
        std::fprintf(stderr, "preview: %s\n", error);
        return 1;
    }

    set_view_options(request.camera, request.light, request.shading);
    display_options.viewport_size = (int16_t)request.viewport;

    /* The level's number, for its title, from a name like "map07.txt". */
    const char *name = std::strrchr(request.map_path, '/');
    name = name ? name + 1 : request.map_path;
    if (std::sscanf(name, "map%d", &current_level) != 1)
        current_level = 1;
    driver_start_text(map_text);
    /* Quarter turns are typed like the arrow keys; the swoop and the turns run out. */
    for (int i = 0; i < request.turns; i++)
        driver_push(MOVE_TURN_LEFT);
    for (int i = 0; i < -request.turns; i++)
        driver_push(MOVE_TURN_RIGHT);
    driver_settle(1, 5000);
    for (int i = 0; i < 2000 && (rot_y != player_motion.player_rot_y || title_timer > 0); i++)
        driver_frame(1);

    BITMAP *picture = create_bitmap(request.width, request.height);
    if (!picture) {
        std::fprintf(stderr, "preview: no memory for a %dx%d picture\n", request.width, request.height);
        return 1;
    }
    clear_bitmap(picture);
    render_frame(picture);
    if (save_bitmap(out_path.c_str(), picture, game_palette) != 0) {
        std::fprintf(stderr, "preview: cannot write %s\n", out_path.c_str());
        destroy_bitmap(picture);
        return 1;
    }
    destroy_bitmap(picture);
    return 0;
}
