/* frame_pacing.h: paces the frames of play and of the cast screen at the display's refresh rate. */
#pragma once

/* Frames per second paced when the display does not report a usable refresh rate. */
enum { FRAME_RATE_DEFAULT = 60 };

/* The frames a second paced for a display that reports `reported` Hz: that rate itself, or
   FRAME_RATE_DEFAULT when it reports none (0 or less). */
int frame_rate_for(int reported);

/* Starts pacing from now at the display's refresh rate (get_refresh_rate), or at 60 frames a
   second when it reports none. Called before the first frame of a level and of the cast
   screen. */
void start_frame_pacing();

/* Takes the place of the library's vsync before a frame is copied to the screen: sleeps until the
   next frame is due, yielding the processor; returns at once when the frame is late, and then
   starts counting from now so a slow frame does not cause a burst of unpaced ones. */
void wait_for_next_frame();

/* The rate the frames are being paced at, frames per second. */
int paced_frame_rate();
