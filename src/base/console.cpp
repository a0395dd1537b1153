/* console.cpp: the start-up text console drawn straight onto the screen. */
#include "base/console.h"

#include <allegro.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/screen_scale.h"
#include "base/utf8_letters.h"

ConsoleState console = {0, 0};

namespace {
constexpr int CELL = 8;             /* pixels per character and per row */
constexpr int AREA_W = 640;
constexpr int AREA_H = 480;
constexpr int LAST_COLUMN_X = AREA_W - CELL;
constexpr int LAST_ROW_Y = AREA_H - CELL;

char format_buffer[1024];
static_assert(CONSOLE_COLUMNS == AREA_W / CELL);

void scroll_up_one_row()
{
    BITMAP *page = picture();
    BITMAP *strip = create_bitmap(AREA_W, CELL);
    // Without memory for the strip the old rows simply stay; the bottom row is cleared anyway.
    if (strip) {
        for (int row = 0; row <= console.cursor_y; row += CELL) {
            acquire_bitmap(page);
            blit(page, strip, 0, row + CELL, 0, 0, AREA_W, CELL);
            blit(strip, page, 0, 0, 0, row, AREA_W, CELL);
            release_bitmap(page);
        }
    }
    acquire_bitmap(page);
    rectfill(page, 0, console.cursor_y, AREA_W - 1, AREA_H - 1, 0);
    release_bitmap(page);
    if (strip)
        destroy_bitmap(strip);
}
}

void console_reset()
{
    console.cursor_x = 0;
    console.cursor_y = 0;
}

void console_newline()
{
    console.cursor_y += CELL;
    if (console.cursor_y > LAST_ROW_Y) {
        console.cursor_y -= CELL;
        if (screen)
            scroll_up_one_row();
    }
}

namespace {

/* Writes one letter, `size` bytes of UTF-8 at letter, into the cursor's cell. */
void put_letter(const char *letter, int size)
{
    const int c = (unsigned char)letter[0];
    if (!screen) {
        std::fwrite(letter, 1, size, stdout);
        std::fflush(stdout);
    }
    if (c == '\n') {
        console_newline();
        console.cursor_x = 0;
        return;
    }
    if (c == '\r') {
        console.cursor_x = 0;
        return;
    }
    if (screen) {
        char glyph[9] = "";
        std::memcpy(glyph, letter, size);
        BITMAP *page = picture();
        acquire_bitmap(page);
        textout_ex(page, font, glyph, console.cursor_x, console.cursor_y,
                   makecol(100, 255, 100), _textmode);
        release_bitmap(page);
    }
    console.cursor_x += CELL;
    if (console.cursor_x > LAST_COLUMN_X) {
        console_newline();
        console.cursor_x = 0;
    }
}

} // namespace

void console_putc(int c)
{
    const char letter = (char)c;
    put_letter(&letter, 1);
}

void console_puts(const char *text)
{
    // A letter at a time, all the bytes of its UTF-8 sequence in one cell.
    for (int size; *text; text += size)
        put_letter(text, size = letter_size(text));
    // Shown once a line or so, not once a glyph: enlarged, every showing copies the picture.
    if (screen)
        present_picture();
}

int console_printf(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(format_buffer, sizeof format_buffer, format, args);
    va_end(args);
    if (length < 0) {
        format_buffer[0] = '\0';
        length = 0;
    }
    drop_cut_letter(format_buffer);
    console_puts(format_buffer);
    return length < (int)sizeof format_buffer ? length : (int)sizeof format_buffer - 1;
}

void break_lines(const char *text, int columns, char *out, size_t size)
{
    size_t used = 0;
    int column = 0, blanks = 0;     /* blanks seen after the last word, not yet written */
    auto put = [&](char c) {
        if (used + 1 < size)
            out[used++] = c;
    };
    for (const char *p = text; *p;) {
        if (*p == ' ') {
            blanks++;
            p++;
            continue;
        }
        if (*p == '\n') {
            put(*p++);
            column = blanks = 0;
            continue;
        }
        // Columns count letters, not bytes: a letter of UTF-8 takes one cell whatever its
        // bytes, and a long word is cut between two letters.
        const char *end = p;
        int letters = 0;
        for (; *end && *end != ' ' && *end != '\n'; letters++)
            end += letter_size(end);
        // A word goes on after its blanks where it fits, else on a line of its own; the blanks
        // at a break are dropped.
        if (column > 0 && column + blanks + letters > columns) {
            put('\n');
            column = 0;
        }
        for (; column > 0 && blanks > 0; blanks--, column++)
            put(' ');
        blanks = 0;
        for (; p < end; column++) {
            if (column == columns) {
                put('\n');
                column = 0;
            }
            const int bytes = letter_size(p);
            if (used + bytes >= size)
                size = used + 1;    // full: neither this letter nor any after goes in, cut
            for (int i = 0; i < bytes; i++)
                put(*p++);
        }
    }
    out[used] = '\0';
}

int console_print_words(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(format_buffer, sizeof format_buffer, format, args);
    va_end(args);
    if (length < 0)
        format_buffer[0] = '\0';
    drop_cut_letter(format_buffer);
    static char broken[2 * sizeof format_buffer];
    break_lines(format_buffer, CONSOLE_COLUMNS - 1, broken, sizeof broken);
    console_puts(broken);
    return (int)std::strlen(broken);
}
