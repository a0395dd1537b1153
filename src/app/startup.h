/* startup.h: the start-up sequence (which fills the colour tables) and the shutdown. */
#pragma once

#include <allegro.h>

/* Runs the start-up in its fixed order: library, keyboard, timer, window title, console,
   graphics mode, credits and one key (none without wait_credits, for --watch), sound (skipped when no_sound), the datafile, the models,
   palette and colour tables, the 100 Hz timer and the screen buffer. program_path is passed on
   to the sound installation; a notice that is not empty (the player's files cannot be kept)
   is written to the console before the datafile is loaded. Returns 0 and the new screen buffer in *buffer, or the exit status
   the program ends with: -1 when the library cannot start, 1 when the datafile cannot be
   loaded (the library is then already shut down). Called once by main. */
int start_up(const char *program_path, bool no_sound, const char *notice, BITMAP **buffer,
             bool wait_credits = true);

/* Creates a bitmap of the current screen size, the fatal page when there is no memory for it.
   Called at start-up and after every video mode change. */
BITMAP *create_screen_buffer();

/* Destroys the buffer, removes the timer and shuts the library down. Called once by main. */
void shut_down(BITMAP *buffer);
