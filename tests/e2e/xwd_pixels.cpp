// xwd_pixels.cpp: the end-to-end tests' reader of xwd screen captures (harness.bash's e2e_pixels).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

uint32_t big_endian_word(const std::vector<unsigned char> &data, int index)
{
    const unsigned char *p = &data[4 * index];
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

}  // namespace

/* xwd_pixels FILE X0 Y0 X1 Y1 STEP [--rgb]: prints the colour of every STEP-th pixel of the
   rectangle (counted from its corner), left to right and top to bottom, one a line, as rrggbb
   or with --rgb as "r g b" in decimal. The tests look at the screen many times a second while
   they wait: a shell pipeline took a large part of a second a look on a busy machine. */
int main(int argc, char **argv)
{
    if (argc < 7) {
        std::fprintf(stderr, "usage: xwd_pixels FILE X0 Y0 X1 Y1 STEP [--rgb]\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::vector<unsigned char> data{std::istreambuf_iterator<char>(file), {}};
    if (data.size() < 100) {
        std::fprintf(stderr, "%s: no xwd capture\n", argv[1]);
        return 1;
    }
    const uint32_t header = big_endian_word(data, 0), width = big_endian_word(data, 4),
                   height = big_endian_word(data, 5), order = big_endian_word(data, 7),
                   bits = big_endian_word(data, 11), line = big_endian_word(data, 12),
                   colours = big_endian_word(data, 19);
    const long x0 = std::atol(argv[2]), y0 = std::atol(argv[3]), x1 = std::atol(argv[4]),
               y1 = std::atol(argv[5]), step = std::atol(argv[6]);
    const bool rgb = argc > 7;
    if (bits != 32) {
        std::fprintf(stderr, "%s: unexpected capture depth %u\n", argv[1], bits);
        return 1;
    }
    const uint64_t start = header + (uint64_t)colours * 12;
    if (x0 < 0 || y0 < 0 || x1 < x0 || y1 < y0 || step < 1 || x1 >= (long)width ||
        y1 >= (long)height || start + (uint64_t)(y1 + 1) * line > data.size()) {
        std::fprintf(stderr, "%s: the rectangle is not inside the %ux%u capture\n", argv[1], width,
                     height);
        return 1;
    }
    for (long y = y0; y <= y1; y += step) {
        for (long x = x0; x <= x1; x += step) {
            const unsigned char *p = &data[start + (uint64_t)y * line + 4 * x];
            const int r = order == 0 ? p[2] : p[1], g = order == 0 ? p[1] : p[2],
                      b = order == 0 ? p[0] : p[3];
            std::printf(rgb ? "%d %d %d\n" : "%02x%02x%02x\n", r, g, b);
        }
    }
    return 0;
}
