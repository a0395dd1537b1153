/* message_line.cpp: drawing the world's one line of transient text over the 3D view. */
#include "render/message_line.h"

#include <cstdio>
#include <cstring>

#include "base/translation.h"
#include "base/utf8_letters.h"

namespace {

enum { BOX_LINES = MESSAGE_BOX_LINES, BOX_LINE_CHARS = 160, BOX_PAD = MESSAGE_BOX_PAD };

/* Splits text into at most BOX_LINES lines no wider than width pixels in font f: at blanks, and
   a word wider than a line where it must (a long path has none), between two letters. Returns
   the lines made. */
int box_lines(FONT *f, const char *text, int width, char lines[BOX_LINES][BOX_LINE_CHARS])
{
    int count = 0;
    const char *p = text;
    while (*p && count < BOX_LINES) {
        while (*p == ' ')
            p++;
        if (!*p)
            break;
        char *line = lines[count++];
        size_t n = 0, last_blank = 0;
        const char *blank_at = nullptr;
        int used = 0;       // the line's width so far: the library's fonts have no kerning
        line[0] = '\0';
        // Letter by letter, a letter being all the bytes of its UTF-8 sequence: one measured
        // byte of it would be the library's '^', and a line cut inside it would end in one.
        for (int size; *p && n + (size = letter_size(p)) < BOX_LINE_CHARS; p += size) {
            char glyph[9] = "";
            std::memcpy(glyph, p, size);
            used += text_length(f, glyph);
            if (n > 0 && used > width) {
                if (blank_at) {     // back to the last blank: the word goes on the next line
                    line[last_blank] = '\0';
                    p = blank_at + 1;
                }
                break;
            }
            std::memcpy(line + n, glyph, size + 1);
            if (*p == ' ') {
                last_blank = n;
                blank_at = p;
            }
            n += size;
        }
    }
    return count;
}

} // namespace

int draw_boxed_text(BITMAP *target, FONT *f, const char *text, int centre_x, int y, int width,
                    int colour)
{
    static char lines[BOX_LINES][BOX_LINE_CHARS];
    const int count = box_lines(f, text, width - 2 * BOX_PAD, lines);
    if (count == 0)
        return 0;
    int widest = 0;
    for (int i = 0; i < count; i++) {
        const int w = text_length(f, lines[i]);
        widest = w > widest ? w : widest;
    }
    const int line_h = text_height(f) + 2;
    const int h = count * line_h + 2 * BOX_PAD - 2;
    const int left = centre_x - widest / 2 - BOX_PAD;
    // Near black whatever the palette: every colour the game writes text in stands out from it
    // by far more than 4.5 to 1.
    rectfill(target, left, y - BOX_PAD, left + widest + 2 * BOX_PAD - 1, y - BOX_PAD + h - 1,
             makecol(8, 8, 16));
    for (int i = 0; i < count; i++)
        textout_centre_ex(target, f, lines[i], centre_x, y + i * line_h, colour, -1);
    return h;
}

void draw_message_line(BITMAP *target, const MessageLine &message, int view_x, int view_y,
                       int view_w, int view_h, const char *note)
{
    char line[80 * 4];      // 79 letters of up to four bytes
    const int x = view_x + view_w / 2, y = view_y + view_h / 2;
    const int green = makecol(100, 255, 100);
    int below = text_height(font) + 3;
    // The world keeps its texts in English, as the search runs it without a player; they are
    // put in the player's language here.
    const char *text = message.text ? tr(message.text) : nullptr;
    if (text && message.boxed) {
        below = draw_boxed_text(target, font, text, x, y, view_w, green) + 1;
    } else if (text) {
        copy_letters(line, sizeof line, text, 79);
        textout_centre_ex(target, font, line, x, y, green, -1);
    }
    // The note (the first loss's tip) goes under whatever the line shows, on a band of its own:
    // it often falls on the bright sky.
    if (note && note[0])
        draw_boxed_text(target, font, tr(note), x, y + below, view_w, green);
}
