/* main.cpp: render_bench, frames per second of render_frame for a large reference level at
   640x480 and 1920x1080 in all sixteen light and shading modes, each against the time of one
   full-viewport perspective-textured lit polygon measured in the same run (the library's fill
   rate). Run from the game directory (make bench); ends with status 1 when a target is missed.

   render_bench [--game DIR] [--seconds S]   (S: time spent on each measurement, default 0.25) */
#include <allegro.h>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "allocation_count.h"
#include "headless_game.h"
#include "reference_level.h"
#include "render/render_frame.h"
#include "render/viewport.h"
#include "shell/startup.h"
#include "ui/display_options.h"
#include "ui/message_line.h"
#include "world/actor.h"
#include "world/level_map.h"
#include "world/level_rules.h"
#include "world/player_motion.h"
#include "world/world_driver.h"

namespace {

char level_text[32 * 1024];

struct ScreenSize {
    int w, h;
};

const ScreenSize sizes[2] = {{640, 480}, {1920, 1080}};

/* Targets: at 640x480 in the play default a frame costs at most 3 full-viewport fills; at
   1920x1080 the same scene runs at over 200 frames a second. */
const double MAX_FILLS_PER_FRAME = 3.0;
const double MIN_FPS_FULL_HD = 200.0;

double seconds_per_measurement = 0.25;

/* The processor time of this thread: what one core spends, whatever else the machine runs. */
double now_seconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

/* Runs `step` in five trials, each until its share of the measuring time has passed (and at
   least 10 times), and returns the mean time of one call in milliseconds in the quickest trial:
   other work on the machine only ever slows a trial down. */
template <typename Step> double mean_ms(Step step)
{
    for (int i = 0; i < 5; i++)
        step();
    const int trials = 5;
    double best = 1e30;
    for (int t = 0; t < trials; t++) {
        long calls = 0;
        const double start = now_seconds();
        double elapsed = 0;
        do {
            for (int i = 0; i < 5; i++)
                step();
            calls += 5;
            elapsed = now_seconds() - start;
        } while (elapsed < seconds_per_measurement / trials || calls < 10);
        const double ms = elapsed * 1000.0 / calls;
        if (ms < best)
            best = ms;
    }
    return best;
}

/* One polygon over the whole viewport, perspective-textured and lit, as the squares are drawn. */
double full_viewport_fill_ms(BITMAP *bitmap)
{
    const Viewport &v = viewport;
    V3D corners[4] = {
        {itofix(v.x), itofix(v.y), itofix(300), 0, 0, 200},
        {itofix(v.x + v.w), itofix(v.y), itofix(300), itofix(128), 0, 180},
        {itofix(v.x + v.w), itofix(v.y + v.h), itofix(100), itofix(128), itofix(128), 220},
        {itofix(v.x), itofix(v.y + v.h), itofix(100), 0, itofix(128), 240},
    };
    V3D *list[4] = {&corners[0], &corners[1], &corners[2], &corners[3]};
    return mean_ms([&] { polygon3d(bitmap, POLYTYPE_PTEX_LIT, texture_table[0], 4, list); });
}

int visible_squares()
{
    int n = 0;
    for (int i = 0; i < level_map.tile_count; i++)
        if (level_map.tiles[i].visible)
            n++;
    return n;
}

} // namespace

int main(int argc, char **argv)
{
    const char *game_dir = nullptr;
    for (int i = 1; i < argc; i++) {
        if (!std::strcmp(argv[i], "--game") && i + 1 < argc)
            game_dir = argv[++i];
        else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
            seconds_per_measurement = std::atof(argv[++i]);
        else {
            std::fprintf(stderr, "usage: render_bench [--game DIR] [--seconds S]\n");
            return 2;
        }
    }
    if (seconds_per_measurement <= 0)
        seconds_per_measurement = 0.25;
    if (const char *error = start_headless_game(game_dir)) {
        std::fprintf(stderr, "render_bench: %s\n", error);
        return 1;
    }
    if (!write_reference_level(level_text, sizeof level_text)) {
        std::fprintf(stderr, "render_bench: the reference level does not fit its buffer\n");
        return 1;
    }
    set_view_options(CAMERA_BEHIND, LIGHT_SOURCE_FOG, SHADE_PERSPECTIVE_TEXTURE);
    current_level = 1;
    driver_start_text(level_text);
    driver_settle(1, 5000);
    for (int i = 0; i < 1000 && title_timer > 0; i++)
        driver_frame(1);

    int actors = 0;
    for (int i = 0; i < actor_table.count; i++)
        actors += !actor_table.actors[i].gone;
    std::printf("Reference level: %d squares, %d actors; camera behind the robot.\n\n",
                (int)level_map.tile_count, actors);
    std::printf("%-10s %-20s %-32s %9s %9s %8s %8s %7s %7s\n", "size", "light", "shading",
                "fps", "frame ms", "fill ms", "fills", "polys", "actors");

    bool targets_met = true;
    double default_fills = 0, default_fps_full_hd = 0;
    long frame_allocations = 0;
    for (const ScreenSize &size : sizes) {
        BITMAP *bitmap = create_bitmap(size.w, size.h);
        if (!bitmap) {
            std::fprintf(stderr, "render_bench: no memory for %dx%d\n", size.w, size.h);
            return 1;
        }
        clear_bitmap(bitmap);
        render_frame(bitmap);
        const double fill_ms = full_viewport_fill_ms(bitmap);
        for (int light = 0; light < 4; light++)
            for (int shading = 0; shading < 4; shading++) {
                display_options.light_mode = light;
                display_options.shading_mode = shading;
                render_frame(bitmap);
                const long before = allocation_count();
                const double frame_ms = mean_ms([&] { render_frame(bitmap); });
                frame_allocations += allocation_count() - before;
                const double fills = frame_ms / fill_ms;
                std::printf("%4dx%-5d %-20s %-32s %9.1f %9.3f %8.3f %8.2f %7d %7d\n", size.w,
                            size.h, light_mode_messages[light], shading_mode_messages[shading],
                            1000.0 / frame_ms, frame_ms, fill_ms, fills, polys_drawn, actors_drawn);
                if (light == LIGHT_SOURCE_FOG && shading == SHADE_PERSPECTIVE_TEXTURE) {
                    if (size.w == 640) {
                        default_fills = fills;
                        std::printf("%10s squares in view: %d of %d\n", "", visible_squares(),
                                    (int)level_map.tile_count);
                    } else
                        default_fps_full_hd = 1000.0 / frame_ms;
                }
            }
        destroy_bitmap(bitmap);
        std::printf("\n");
    }

    const bool fills_ok = default_fills <= MAX_FILLS_PER_FRAME;
    const bool fps_ok = default_fps_full_hd > MIN_FPS_FULL_HD;
    targets_met = fills_ok && fps_ok && frame_allocations == 0;
    std::printf("Play default (light source + fog, persp. correct texture mapping):\n");
    std::printf("  640x480:   a frame costs %.2f full-viewport fills (target: at most %.0f)  %s\n",
                default_fills, MAX_FILLS_PER_FRAME, fills_ok ? "met" : "MISSED");
    std::printf("  1920x1080: %.1f frames per second (target: over %.0f)  %s\n",
                default_fps_full_hd, MIN_FPS_FULL_HD, fps_ok ? "met" : "MISSED");
    std::printf("Heap allocations while frames were timed: %ld  %s\n", frame_allocations,
                frame_allocations == 0 ? "(none per frame)" : "MISSED");
    return targets_met ? 0 : 1;
}
