/* game_fade_test.cpp: the play screens' palette fades take the library's time and sleep through it. */
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

#include "game_test_support.h"
#include "base/palette_fade.h"

namespace {

double thread_cpu_seconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

} // namespace

TEST(PaletteFade, TakesTheLibrarysTimeWithoutSpinningAndEndsOnItsTarget)
{
    game_test::start_headless_library();
    PALETTE target;
    for (int i = 0; i < 256; i++)
        target[i] = RGB{(unsigned char)(i % 64), (unsigned char)(i / 4), 63, 0};
    set_palette(black_palette);

    const auto start = std::chrono::steady_clock::now();
    const double cpu_before = thread_cpu_seconds();
    fade_palette_in(target, 16);   // 8 retraces of 70 a second: about 114 ms
    const double cpu = thread_cpu_seconds() - cpu_before;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    EXPECT_TRUE(wall >= 0.100 && wall < 0.5) << wall;
    EXPECT_LT(cpu, wall / 4) << "the fade sleeps between its steps";
    PALETTE now;
    get_palette(now);
    EXPECT_TRUE(now[77].r == target[77].r && now[77].g == target[77].g && now[200].b == 63);

    fade_palette_out(64);
    get_palette(now);
    EXPECT_EQ(now[200].b, 0);
}
