/* timer.h: the 100 Hz game clock: tick counter and elapsed ticks. */
#pragma once

#include <atomic>

/* Timer periods in units of the library's timer clock (1193181 a second). */
enum TimerPeriod {
    TIMER_PERIOD_NORMAL = 11931,    /* BPS_TO_TIMER(100): 100 ticks a second */
    TIMER_PERIOD_SLOW = 397727      /* 1193181 / 3: three ticks a second in slow motion */
};

/* Ticks since the timer was installed. Written only by the timer. */
extern std::atomic<int> tick_counter;

/* The library's timer callback, installed at start-up with install_int_ex and re-installed
   when slow motion is switched. Counts one tick; touches nothing else (the level clock is the
   world's, run by the frames with the ticks they take). */
void timer_handler();

/* Returns the ticks elapsed since the previous call and marks them consumed. One reading point
   is shared by every caller (the play loop and the cast screen). */
int ticks_since_last();

/* The pause: from pause_game_time to resume_game_time the timer goes on counting tick_counter,
   but those ticks are never returned by ticks_since_last, so the game's time, and with it the
   level clock, a recorded time and a demo, take no note of the paused stretch; the ticks counted
   before the pause are still returned. Called by the play loop around its pause. */
void pause_game_time();
void resume_game_time();
