/* fault_window.h: the game's window opened only to say why the game cannot go on, for a player
   who started it from the desktop and has no terminal to read a message on. */
#pragma once

#include <cstddef>

/* Writes text to standard error, then opens the game's window (its graphics mode as wvideo.cfg
   and the window options say, so find_game_places has run) and shows text on the start-up
   console, broken at blanks into the console's lines, until a key is pressed or the window's
   close button is clicked; then closes it. Returns 1, the exit status the game ends with. When
   the window cannot be opened the message has gone to standard error alone. Called by main
   before start-up, in place of a start-up that has nothing to play. */
int show_fault_window(const char *text);
