/* hint_start_bench.cpp: how long the first hint from a level's start takes, and the longest slice
   of it, the share one frame of play gives the search while the hint thinks.

   hint_start_bench [LEVEL]   (default 15; run from the game directory) */
#include <allegro.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "base/display_options.h"
#include "play/play_session.h"
#include "search/level_search.h"
#include "play/hint.h"

namespace {

char map_text[64 * 1024];

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    const int level = argc > 1 ? std::atoi(argv[1]) : 15;
    char path[64];
    std::snprintf(path, sizeof path, "maps/map%02d.txt", level);
    FILE *f = std::fopen(path, "rb");
    if (!f) {
        std::fprintf(stderr, "%s cannot be read (run from the game directory)\n", path);
        return 1;
    }
    const size_t n = std::fread(map_text, 1, sizeof map_text - 1, f);
    std::fclose(f);
    map_text[n] = '\0';
    // Only the fixed-point tables of the library are used; nothing is shown or heard.
    install_allegro(SYSTEM_NONE, &errno, atexit);
    display_options = program_start_options;
    display_options.sound_off = true;
    search_start_world(session.world, map_text);
    hint_reset();

    /* As the play loop asks: the request in one frame, then a slice a frame until the answer. */
    const Clock::time_point started = Clock::now();
    hint_request();
    const double request = seconds_since(started);
    double longest = request;
    int slices = 0;
    while (hint_thinking()) {
        const Clock::time_point slice = Clock::now();
        hint_frame();
        const double took = seconds_since(slice);
        longest = took > longest ? took : longest;
        slices++;
    }
    const double total = seconds_since(started);
    int code = 0;
    double searched = 0;
    const HintOutcome outcome = hint_outcome(&code, &searched);
    static const char *const outcome_names[] = {"none", "thinking", "command", "no way", "not found"};
    std::printf("level %d start: %s (move code %d) in %.3f s, %d slices, longest %.1f ms "
                "(the request itself %.1f ms)\n",
                level, outcome_names[outcome], code, total, slices, longest * 1000, request * 1000);
    return 0;
}
