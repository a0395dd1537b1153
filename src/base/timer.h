/* timer.h: the 100 Hz game clock: tick counter, elapsed ticks and the level clock. */
#pragma once

#include <atomic>

/* Timer periods in units of the library's timer clock (1193181 a second). */
enum TimerPeriod {
    TIMER_PERIOD_NORMAL = 11931,    /* BPS_TO_TIMER(100): 100 ticks a second */
    TIMER_PERIOD_SLOW = 397727      /* 1193181 / 3: three ticks a second in slow motion */
};

/* Ticks since the timer was installed. Written only by the timer (and advance_clock). */
extern std::atomic<int> tick_counter;

/* The level clock in ticks; runs down once per tick while the level is neither won nor lost,
   and may go below 0. */
extern std::atomic<int> level_time;

/* The library's timer callback, installed at start-up with install_int_ex and re-installed
   when slow motion is switched. Counts one tick and runs the level clock; touches nothing else. */
void timer_handler();

/* Does exactly what `ticks` calls of timer_handler would do. Lets tests and headless drivers
   play the timer's part without the library's timer. */
void advance_clock(int ticks);

/* Returns the ticks elapsed since the previous call and marks them consumed. One reading point
   is shared by every caller (the play loop and the cast screen). */
int ticks_since_last();

/* Sets the level clock; the map loader sets a level's minutes times 6000. */
void set_level_time(int ticks);

/* Returns the level clock, a clock run below zero reading as 0. Read by the HUD and by the
   time-up rule. */
int get_level_time();
