/* palette_fade.cpp: palette fades that sleep between their steps instead of spinning a core. The
   library's own fades poll its retrace counter in a tight loop, which keeps a core busy for the
   whole fade: almost two seconds at the slowest speed. */
#include "base/palette_fade.h"

#include <chrono>

#include "base/key_wait.h"
#include "base/quit_request.h"
#include "base/screen_scale.h"

namespace {

/* The library's fades count retraces at 70 a second and move speed / 2 of 64 steps per retrace. */
const int RETRACES_PER_SECOND = 70;
const int FADE_STEPS = 64;

} // namespace

void fade_palette(const RGB *from, const RGB *to, int speed)
{
    if (speed < 1)
        speed = 1;
    if (speed > FADE_STEPS)
        speed = FADE_STEPS;
    const auto start = std::chrono::steady_clock::now();
    PALETTE between;
    int last = -1;
    for (;;) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        const long retraces = (long)elapsed.count() * RETRACES_PER_SECOND / 1000;
        const long step = retraces * speed / 2;
        // Asked to end, the game does not linger on its way out.
        if (step >= FADE_STEPS || quit_requested())
            break;
        if (step != last) {
            fade_interpolate(from, to, between, (int)step, 0, PAL_SIZE - 1);
            set_picture_palette(between);
            last = (int)step;
        }
        pause_briefly();
    }
    set_picture_palette(to);
}

void fade_palette_in(const RGB *to, int speed)
{
    fade_palette(black_palette, to, speed);
}

void fade_palette_out(int speed)
{
    PALETTE current;
    get_palette(current);
    fade_palette(current, black_palette, speed);
}
