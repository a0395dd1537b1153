/* solution_watch.cpp: --watch N, the recorded way through a shipped level played by the robot. */
#include "app/solution_watch.h"
#include "base/translation.h"
#include "world/world.h"
#include "base/screen_scale.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "render/camera.h"
#include "render/render_frame.h"
#include "base/game_paths.h"
#include "base/key_wait.h"
#include "base/timer.h"
#include "base/display_options.h"
#include "ui/demo_input.h"
#include "ui/level_select.h"
#include "ui/level_shading.h"
#include "render/message_line.h"
#include "world/level_map.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/solution_file.h"
#include "world/world_messages.h"

namespace {

enum { AFTER_FRAMES = 75 };     /* frames shown once the level is completed */

const char *const DEMONSTRATION = N_("Demonstration: the recorded way through this level");

Solution solution;              /* some 48 KB, kept off the stack */

/* The level watched: nobody plays it, so it is a world of the watch's own, not a session. */
World watched;

void show(BITMAP *buffer, int level)
{
    render_frame(buffer, watched, FrameOverlay{level, false, 0, 0, 0});
    present_frame(buffer);
}

} // namespace

int watch_solution(int level, BITMAP *buffer)
{
    char map_path[GAME_PATH_SIZE], path[64], fault[SOLUTION_FAULT_SIZE];
    if (!level_map_exists(level)) {
        std::fprintf(stderr, _("tirvex: %s: no such level to watch\n"),
                     level_file_path(level, map_path, sizeof map_path));
        return 1;
    }
    std::snprintf(path, sizeof path, "solutions/map%02d.txt", level);
    if (!read_solution(path, &solution, fault, sizeof fault)) {
        std::fprintf(stderr, "tirvex: %s\n", fault);
        return 1;
    }
    // The frames run the recorded ticks, not the timer's: the timer would run the clock twice.
    remove_int(timer_handler);
    set_play_light();
    set_play_start_options();
    display_options.sound_off = true;
    watched.camera_height = display_options.camera_height;
    start_level(watched, level);
    show_message(watched, DEMONSTRATION, 100 * 60);
    start_level_shading();
    // As play does: draw, then the frame's move and update. The end line is held against the
    // world after every frame, so a wrong one stops the watch where it shows, and the watch is
    // over AFTER_FRAMES frames after the completion it promised.
    int32_t next = 0, frames = 0;
    bool left = false;
    // The recorded pace: frame n is shown n frames' ticks after the first, at 100 ticks a second,
    // however long drawing takes (a sleep after each frame made the watch slower than the game).
    const auto started = std::chrono::steady_clock::now();
    while (!left && frames < solution.end_frame + AFTER_FRAMES) {
        std::this_thread::sleep_until(started + std::chrono::milliseconds(
                                                    10 * (int64_t)frames * solution.ticks_per_frame));
        show(buffer, level);
        if (frames == 0)
            demo_bench_mark("first frame");
        play_solution_frame(watched, solution, frames, &next);   // past the end: no moves, play goes on
        frames++;
        level_frame_drawn();
        if (frames <= solution.end_frame &&
            !solution_agrees(solution, path, frames, watched.level.level_completed != 0,
                             watched.level.level_lost != 0, fault, sizeof fault)) {
            std::fprintf(stderr, "tirvex: %s\n", fault);
            std::printf(_("level %d (%s): the recorded way does not complete it as recorded\n"),
                        level, watched.map.level_name);
            return 1;
        }
        left = key_down(KEY_ESC);
    }
    demo_bench_mark("over");
    if (left)
        std::printf(_("level %d (%s): watching left with Esc\n"), level, watched.map.level_name);
    else
        std::printf(_("level %d (%s): the recorded way completes it in %.2f s of game time\n"), level,
                    watched.map.level_name, solution.end_frame * solution.ticks_per_frame / 100.0);
    return 0;
}
