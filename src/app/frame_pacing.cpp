/* frame_pacing.cpp: sleeps between frames so that play runs at the display's rate without
   spinning a core. The library's own retrace wait is simulated on X11 and holds each frame for
   about 27 ms, which would keep play near 36 frames a second. */
#include "app/frame_pacing.h"

#include <allegro.h>
#include <cerrno>
#include <ctime>

namespace {

const long NANOSECONDS = 1000000000L;

int frame_rate = FRAME_RATE_DEFAULT;
long frame_period_ns = NANOSECONDS / FRAME_RATE_DEFAULT;
timespec next_frame;        /* when the next frame is due, on the monotonic clock */

void add_ns(timespec *t, long ns)
{
    t->tv_nsec += ns;
    while (t->tv_nsec >= NANOSECONDS) {
        t->tv_nsec -= NANOSECONDS;
        t->tv_sec++;
    }
}

bool before(const timespec &a, const timespec &b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

} // namespace

int frame_rate_for(int reported)
{
    // The display's own rate, whatever it is; a driver that reports none gets the default.
    return reported > 0 ? reported : FRAME_RATE_DEFAULT;
}

void start_frame_pacing()
{
    frame_rate = frame_rate_for(gfx_driver ? get_refresh_rate() : 0);
    frame_period_ns = NANOSECONDS / frame_rate;
    clock_gettime(CLOCK_MONOTONIC, &next_frame);
    add_ns(&next_frame, frame_period_ns);
}

void wait_for_next_frame()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (before(now, next_frame)) {
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next_frame, nullptr) == EINTR) {
        }
        add_ns(&next_frame, frame_period_ns);
        return;
    }
    next_frame = now;
    add_ns(&next_frame, frame_period_ns);
}

int paced_frame_rate()
{
    return frame_rate;
}
