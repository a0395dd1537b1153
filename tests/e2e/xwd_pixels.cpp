// xwd_pixels.cpp: the end-to-end tests' reader of xwd screen captures (harness.bash's e2e_pixels
// and e2e_find_text).
#include <allegro.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/datafile.h"

namespace {

uint32_t big_endian_word(const std::vector<unsigned char> &data, int index)
{
    const unsigned char *p = &data[4 * index];
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

/* A 32-bit xwd capture as read whole. */
struct Capture {
    std::vector<unsigned char> data;
    uint32_t width, height, order, line;
    uint64_t start;     /* where its pixels begin */

    /* The colour at (x, y) as 0xrrggbb. */
    uint32_t rgb(long x, long y) const
    {
        const unsigned char *p = &data[start + (uint64_t)y * line + 4 * x];
        return order == 0 ? (uint32_t)p[2] << 16 | p[1] << 8 | p[0]
                          : (uint32_t)p[1] << 16 | p[2] << 8 | p[3];
    }
};

/* Prints "x y", the top left corner of the first place (row by row) where text, drawn in the
   font that is object font_object of the datafile (the library's own for -1, which the console
   writes in before the datafile is read), stands on the capture: every pixel its
   letters set is of one colour, which fewer than a tenth of the other pixels of its box share.
   With cell > 0 each letter is drawn in a cell that wide, as the console draws them. Returns 0,
   or 1 when it stands nowhere, 2 when the font cannot be read. */
int find_text(const Capture &c, const char *datafile, int font_object, int cell, const char *text)
{
    set_uformat(U_UTF8);
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(8);
    DATAFILE *data = font_object >= 0 ? load_datafile(datafile) : nullptr;
    int objects = 0;
    while (data && data[objects].type != DAT_END)
        objects++;
    if (font_object >= 0 && (font_object >= objects || data[font_object].type != DAT_FONT)) {
        std::fprintf(stderr, "%s: no font %d\n", datafile, font_object);
        return 2;
    }
    FONT *f = font_object >= 0 ? (FONT *)data[font_object].dat : font;
    const int w = cell > 0 ? cell * ustrlen(text) : text_length(f, text), h = text_height(f);
    BITMAP *letters = create_bitmap(w, h);
    clear_to_color(letters, 0);
    for (int i = 0; cell > 0 && i < ustrlen(text); i++) {
        char letter[8] = "";
        usetc(letter, ugetat(text, i));
        textout_ex(letters, f, letter, i * cell, 0, 1, -1);
    }
    if (cell <= 0)
        textout_ex(letters, f, text, 0, 0, 1, -1);
    // The box's pixels, those the letters set and the others taken in turn, so that a place
    // where the text is not fails within a few looks.
    std::vector<int> on, off, looks;    // x + w * y within the box; a look at an other is negative
    for (int i = 0; i < w * h; i++)
        (getpixel(letters, i % w, i / w) ? on : off).push_back(i);
    for (size_t i = 0; i < on.size() || i < off.size(); i++) {
        if (i < on.size())
            looks.push_back(on[i]);
        if (i < off.size())
            looks.push_back(-1 - off[i]);
    }
    for (long y = 0; !on.empty() && y + h <= (long)c.height; y++) {
        for (long x = 0; x + w <= (long)c.width; x++) {
            const uint32_t colour = c.rgb(x + on[0] % w, y + on[0] / w);
            size_t look = 0, others = 0;
            for (; look < looks.size() && others * 10 < off.size(); look++) {
                const int i = looks[look] < 0 ? -1 - looks[look] : looks[look];
                const bool same = c.rgb(x + i % w, y + i / w) == colour;
                if (looks[look] >= 0 && !same)
                    break;
                others += looks[look] < 0 && same;
            }
            if (look == looks.size() && others * 10 < off.size()) {
                std::printf("%ld %ld\n", x, y);
                return 0;
            }
        }
    }
    return 1;
}

}  // namespace

/* xwd_pixels FILE X0 Y0 X1 Y1 STEP [--rgb]: prints the colour of every STEP-th pixel of the
   rectangle (counted from its corner), left to right and top to bottom, one a line, as rrggbb
   or with --rgb as "r g b" in decimal. The tests look at the screen many times a second while
   they wait: a shell pipeline took a large part of a second a look on a busy machine.
   xwd_pixels FILE --find DATAFILE FONT[/CELL] TEXT: where the text stands on the screen
   (find_text). */
int main(int argc, char **argv)
{
    const bool find = argc == 6 && std::string(argv[2]) == "--find";
    if (argc < 7 && !find) {
        std::fprintf(stderr, "usage: xwd_pixels FILE X0 Y0 X1 Y1 STEP [--rgb]\n"
                             "       xwd_pixels FILE --find DATAFILE FONT[/CELL] TEXT\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    Capture c;
    c.data.assign(std::istreambuf_iterator<char>(file), {});
    if (c.data.size() < 100) {
        std::fprintf(stderr, "%s: no xwd capture\n", argv[1]);
        return 1;
    }
    const uint32_t header = big_endian_word(c.data, 0), bits = big_endian_word(c.data, 11),
                   colours = big_endian_word(c.data, 19);
    c.width = big_endian_word(c.data, 4);
    c.height = big_endian_word(c.data, 5);
    c.order = big_endian_word(c.data, 7);
    c.line = big_endian_word(c.data, 12);
    c.start = header + (uint64_t)colours * 12;
    if (bits != 32 || c.start + (uint64_t)c.height * c.line > c.data.size()) {
        std::fprintf(stderr, "%s: unexpected capture depth %u or size\n", argv[1], bits);
        return 1;
    }
    if (find)
        return find_text(c, argv[3], std::atoi(argv[4]),
                         std::strchr(argv[4], '/') ? std::atoi(std::strchr(argv[4], '/') + 1) : 0,
                         argv[5]);
    const long x0 = std::atol(argv[2]), y0 = std::atol(argv[3]), x1 = std::atol(argv[4]),
               y1 = std::atol(argv[5]), step = std::atol(argv[6]);
    const bool rgb = argc > 7;
    if (x0 < 0 || y0 < 0 || x1 < x0 || y1 < y0 || step < 1 || x1 >= (long)c.width ||
        y1 >= (long)c.height) {
        std::fprintf(stderr, "%s: the rectangle is not inside the %ux%u capture\n", argv[1],
                     c.width, c.height);
        return 1;
    }
    for (long y = y0; y <= y1; y += step) {
        for (long x = x0; x <= x1; x += step) {
            const uint32_t p = c.rgb(x, y);
            if (rgb)
                std::printf("%u %u %u\n", p >> 16, p >> 8 & 255, p & 255);
            else
                std::printf("%06x\n", p);
        }
    }
    return 0;
}
