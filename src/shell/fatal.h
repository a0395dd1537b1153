/* fatal.h: the fatal-error path, the program's only error exit, and its two entries. */
#pragma once

#include "shell/console.h"

/* Reports "Assertion failed in FILE at line LINE" through fatal_screen. Never returns.
   Reached through game_assert. */
[[noreturn]] void assert_failed(int line, const char *file);

/* Returns 0 when condition holds and does nothing else; otherwise reports
   "Fatal exception: MESSAGE" through fatal_screen and never returns. Used for expected
   failures of data and resources (bad map, missing model file, no memory). */
int check(int condition, const char *message);

/* Writes text to "error.log" (followed by one more line feed), shows the fatal page, waits for
   Esc and ends the program with status 1. The text also goes to standard error. Without a
   screen (headless tools and tests) there is no page to show and no wait. The page shows the
   text without its closing line feed. Never returns. */
[[noreturn]] void fatal_screen(const char *text);

/* Every internal invariant of the program is checked through this. */
#define game_assert(condition) \
    do { if (!(condition)) assert_failed(__LINE__, __FILE__); } while (0)
