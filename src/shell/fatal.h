/* fatal.h: the start-up console and the fatal-error path, the program's only error exit. */
#pragma once

/* Moves the console cursor to the top left. Called once at start-up. */
void console_reset();

/* Writes one character at the cursor (line feed, carriage return understood). */
void console_putc(int c);

/* Writes a NUL-terminated string through console_putc. */
void console_puts(const char *text);

/* Formats like printf into the console's 1024-character buffer (longer text is cut)
   and writes it; returns the number of characters written. */
int console_printf(const char *format, ...) __attribute__((format(printf, 1, 2)));

/* Moves the cursor to the next row, scrolling the console area when it is full. */
void console_newline();

/* Reports "Assertion failed in FILE at line LINE" through fatal_screen. Never returns. */
[[noreturn]] void assert_failed(int line, const char *file);

/* Returns 0 when condition holds; otherwise reports "Fatal exception: MESSAGE" through
   fatal_screen and never returns. */
int check(int condition, const char *message);

/* Writes text to "error.log", shows the fatal page, waits for Esc and ends the
   program with status 1. */
[[noreturn]] void fatal_screen(const char *text);

/* Every internal invariant of the program is checked through this. */
#define game_assert(condition) \
    do { if (!(condition)) assert_failed(__LINE__, __FILE__); } while (0)
