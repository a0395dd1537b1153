/* fatal.h: the fatal-error path, the program's only error exit, and its two entries. */
#pragma once

#include "base/console.h"

/* Reports "Assertion failed in FILE at line LINE" through fatal_screen. Never returns.
   Reached through game_assert. */
[[noreturn]] void assert_failed(int line, const char *file);

/* Returns 0 when condition holds and does nothing else; otherwise reports
   "Fatal exception: MESSAGE" through fatal_screen and never returns. Used for expected
   failures of data and resources (bad map, missing model file, no memory). */
int check(int condition, const char *message);

/* As check, and when condition fails, detail (which file and line, and why: "maps/map01.txt
   line 9: Bad square 1 in map: column is not a number") goes to error.log and standard error
   ahead of the text; the page shows the message alone, as check does. detail may be nullptr. */
int check_detail(int condition, const char *message, const char *detail);

/* check_detail of a condition that has failed: for callers that know they are stopping. */
[[noreturn]] void fail_check(const char *message, const char *detail);

/* Writes text to "error.log" (followed by one more line feed), shows the fatal page, waits for
   Esc and ends the program with status 1. The text also goes to standard error. Without a
   screen (headless tools and tests) there is no page to show and no wait. The page shows the
   text without its closing line feed. Never returns. */
[[noreturn]] void fatal_screen(const char *text);

/* fatal_screen with the detail line of check_detail (nullptr or "" for none) written to
   error.log and standard error before the text. Never returns. */
[[noreturn]] void fatal_screen_detail(const char *text, const char *detail);

/* Every internal invariant of the program is checked through this. */
#define game_assert(condition) \
    do { if (!(condition)) assert_failed(__LINE__, __FILE__); } while (0)
