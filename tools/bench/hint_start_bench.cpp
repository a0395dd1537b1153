/* hint_start_bench.cpp: the frames of play while the first hint from a level's start thinks:
   how long the hint takes, and the longest frame drawn meanwhile, with the search on its own
   thread as the game runs it, and paced a slice a frame as a demo runs it.

   hint_start_bench [LEVEL]   (default 15; run from the game directory) */
#include <allegro.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/display_options.h"
#include "headless_game.h"
#include "play/hint.h"
#include "play/play_session.h"
#include "render/render_frame.h"
#include "world/level_rules.h"
#include "world/player.h"
#include "world/world_clock.h"

namespace {

using Clock = std::chrono::steady_clock;

enum { TICKS = 2 };     /* a frame's ticks at 50 frames a second */

PlaySession session;    /* the level played; its hint lives to the end */

double ms_since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/* One frame as the play loop runs it, drawn into picture, the player asking for `actions`;
   returns its milliseconds. */
const PlayActions NO_ACTIONS{};

double frame(BITMAP *picture, const PlayActions &actions = NO_ACTIONS)
{
    const Clock::time_point start = Clock::now();
    render_frame(picture, session.world, session_overlay(session));
    session_frame(session, actions, TICKS);
    return ms_since(start);
}

/* From the level's start with the swoop over, asks for the hint and draws frames until it has
   answered; prints the figures. */
void measure(int level, bool paced, BITMAP *picture)
{
    hint_pace_by_states(session, paced);
    hint_reset(session);
    session_enter(session, level);
    for (int i = 0; i < 2000 && session.world.intro; i++)
        frame(picture);
    static PlayActions hint;
    hint = PlayActions{};
    add_action(hint, ACTION_HINT);
    const Clock::time_point asked = Clock::now();
    std::vector<double> frames{frame(picture, hint)};
    const double request_ms = frames[0];
    while (hint_thinking(session) && frames.size() < 100000)
        frames.push_back(frame(picture));
    const double total_ms = ms_since(asked);
    int code = 0;
    double searched = 0;
    const HintOutcome outcome = hint_outcome(session, &code, &searched);
    std::vector<double> sorted = frames;
    std::sort(sorted.begin(), sorted.end());
    const double longest = sorted.empty() ? 0 : sorted.back();
    const double median = sorted.empty() ? 0 : sorted[sorted.size() / 2];
    static const char *const names[] = {"none", "thinking", "command", "no way", "not found"};
    std::printf("level %d, %s: %s (move code %d) after %.3f s; %zu frames drawn meanwhile, "
                "median %.2f ms, longest %.2f ms; the request's own frame %.2f ms\n",
                level, paced ? "paced a slice a frame (demo)" : "on its own thread (play)",
                names[outcome], code, total_ms / 1000, frames.size(), median, longest, request_ms);
}

} // namespace

int main(int argc, char **argv)
{
    const int level = argc > 1 ? std::atoi(argv[1]) : 15;
    if (const char *error = start_headless_game(nullptr)) {
        std::fprintf(stderr, "hint_start_bench: %s (run from the game directory)\n", error);
        return 1;
    }
    set_view_options(CAMERA_BEHIND, -1, SHADE_PERSPECTIVE_TEXTURE);
    display_options.sound_off = true;
    BITMAP *picture = create_bitmap(640, 480);
    if (!picture) {
        std::fprintf(stderr, "hint_start_bench: no memory for a picture\n");
        return 1;
    }
    measure(level, false, picture);
    measure(level, true, picture);
    hint_reset(session);
    destroy_bitmap(picture);
    return 0;
}
