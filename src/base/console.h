/* console.h: the start-up text console drawn straight onto the screen. */
#pragma once

#include <cstddef>

/* The console's cursor, in pixels. 80 columns of 8-pixel cells in the top-left 640x480 pixels
   of the screen, whatever the font's real glyph size. */
struct ConsoleState {
    int cursor_x;   /* left edge of the next character cell: 0, 8, ..., 632 */
    int cursor_y;   /* top edge of the current row: 0, 8, ..., 472 */
};

extern ConsoleState console;

/* The console's row in letters: a longer line goes on in the next row. */
enum { CONSOLE_COLUMNS = 80 };

/* Moves the cursor to the top left. Called once at start-up, before the graphics mode is set. */
void console_reset();

/* Writes one character at the cursor in light green with the global font: a line feed goes to
   the start of the next row, a carriage return to the start of this one, and a row wraps after
   its 80th character. While there is no screen (before the graphics mode is set or after the
   text mode is restored) the character goes to standard output instead. */
void console_putc(int c);

/* Writes a NUL-terminated string as console_putc does, a letter (all the bytes of its UTF-8
   sequence) to a cell. */
void console_puts(const char *text);

/* Formats like printf into the console's 1024-character buffer (longer text is cut) and
   writes it; returns the number of characters written. Called by the start-up, the video mode
   error and the timer re-installation. */
int console_printf(const char *format, ...) __attribute__((format(printf, 1, 2)));

/* Breaks text into lines of at most `columns` characters at blanks (a word longer than a line is
   cut), keeping its own line feeds, into out (size bytes, always terminated). A character is a
   letter of UTF-8, however many bytes it takes; none is cut, by a line or by out's end. */
void break_lines(const char *text, int columns, char *out, size_t size);

/* console_printf for sentences, written from the start of a row: the text is broken at blanks
   into rows of 79 characters (the 80th would wrap onto an empty row), so that no word is split
   across two rows. Used by the level generator's console. */
int console_print_words(const char *format, ...) __attribute__((format(printf, 1, 2)));

/* Moves the cursor one row down; on the last row the console area scrolls up by one row and
   the bottom row is cleared instead. The column is left to the caller. */
void console_newline();
