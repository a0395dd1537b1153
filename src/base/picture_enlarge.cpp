/* picture_enlarge.cpp: an 8-bit picture looked up in its palette and enlarged into 32-bit rows.

   At factor 4 the enlarged picture is 16 times the mode's: 20 MB a frame at 2560 x 1920, far more
   than the caches hold, so the cost is the writing. Each source pixel is looked up once. Where
   the rows are 16-byte aligned (the screen image always is), factors 2 to 4 write 16-byte
   blocks of the enlarged pixels straight to all the rows of the block with stores that bypass
   the cache: nothing written is read again by the game, and the display reads it from memory.
   That took 0.47 ms a frame at 2560 x 1920 where building one row and copying it took 0.70.
   Elsewhere the first row of each block is built and copied factor - 1 times. Given the picture
   as last shown, only the groups of pixels that differ from it are written: in play some 40 %
   of the pixels change from one frame to the next. */
#include "base/picture_enlarge.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

enum {
    SCALE_ROWS_MAX = 4,     /* the rows of a block written at once: the streamed factors' */
    GROUP = 8               /* source pixels compared with the last frame at once (8 bytes); a
                               multiple of 4 keeps every factor's blocks on 16 bytes */
};

/* The library widens a 6-bit component by repeating its top bits, 63 becoming 255. */
int widen(int component)
{
    return (component << 2) | ((component & 0x30) >> 4);
}

/* One enlarged row; the factor a constant where it is common, so each block is a few stores. */
template <int FACTOR>
void enlarge_row_by(const unsigned char *source, int width, const uint32_t *pixels, uint32_t *row)
{
    for (int x = 0; x < width; x++) {
        const uint32_t p = pixels[source[x]];
        for (int k = 0; k < FACTOR; k++)
            row[k] = p;
        row += FACTOR;
    }
}

void enlarge_row(const unsigned char *source, int width, const uint32_t *pixels, int factor,
                 uint32_t *row)
{
    switch (factor) {
    case 1: enlarge_row_by<1>(source, width, pixels, row); return;
    case 2: enlarge_row_by<2>(source, width, pixels, row); return;
    case 3: enlarge_row_by<3>(source, width, pixels, row); return;
    case 4: enlarge_row_by<4>(source, width, pixels, row); return;
    default:
        for (int x = 0; x < width; x++) {
            const uint32_t p = pixels[source[x]];
            for (int k = 0; k < factor; k++)
                *row++ = p;
        }
    }
}

#ifdef __SSE2__
/* Writes v to the same 16 bytes of each of the factor rows, bypassing the cache. */
inline void stream_to_rows(__m128i *const *rows, int factor, int at, __m128i v)
{
    for (int k = 0; k < factor; k++)
        _mm_stream_si128(rows[k] + at, v);
}

/* The rows of one block (factor 2 to 4), each starting on 16 bytes. */
void stream_block_rows(const unsigned char *source, int width, const uint32_t *pixels, int factor,
                       uint32_t *const *rows)
{
    __m128i *vectors[4];
    for (int k = 0; k < factor; k++)
        vectors[k] = reinterpret_cast<__m128i *>(rows[k]);
    int x = 0, at = 0;
    if (factor == 4) {
        for (; x < width; x++)
            stream_to_rows(vectors, 4, at++, _mm_set1_epi32((int)pixels[source[x]]));
    } else if (factor == 2) {
        for (; x + 2 <= width; x += 2) {
            const int a = (int)pixels[source[x]], b = (int)pixels[source[x + 1]];
            stream_to_rows(vectors, 2, at++, _mm_set_epi32(b, b, a, a));
        }
    } else {
        for (; x + 4 <= width; x += 4) {
            const int a = (int)pixels[source[x]], b = (int)pixels[source[x + 1]];
            const int c = (int)pixels[source[x + 2]], d = (int)pixels[source[x + 3]];
            stream_to_rows(vectors, 3, at++, _mm_set_epi32(b, a, a, a));
            stream_to_rows(vectors, 3, at++, _mm_set_epi32(c, c, b, b));
            stream_to_rows(vectors, 3, at++, _mm_set_epi32(d, d, d, c));
        }
    }
    // The last pixels of a width that does not fill 16 bytes.
    for (; x < width; x++)
        for (int k = 0; k < factor; k++)
            for (int i = 0; i < factor; i++)
                rows[k][x * factor + i] = pixels[source[x]];
}

/* True when every row of the block starts on 16 bytes and the factor has a streaming form. */
bool streams(uint32_t *const *rows, int factor)
{
    if (factor < 2 || factor > 4)
        return false;
    for (int k = 0; k < factor; k++)
        if (reinterpret_cast<uintptr_t>(rows[k]) % 16 != 0)
            return false;
    return true;
}
#endif

/* True when the group of pixels from x differs between the two rows of `width` pixels: one
   8-byte comparison for a whole group. A 640 x 480 frame has 38,400 groups, and a call to
   memcmp for each took 5 % of the game's time at factor 4. */
bool group_differs(const unsigned char *row, const unsigned char *before, int x, int width)
{
    if (x + GROUP > width)
        return std::memcmp(row + x, before + x, width - x) != 0;
    uint64_t a, b;
    std::memcpy(&a, row + x, sizeof a);
    std::memcpy(&b, before + x, sizeof b);
    return a != b;
}

/* Writes pixels x0 to x1 - 1 of one source row as the block rows from lines[out] on, the
   picture's left edge at `left`; true when it streamed. */
bool enlarge_span(const unsigned char *row, int x0, int x1, const uint32_t *pixels, int factor,
                  unsigned char *const *lines, int out, int left)
{
    uint32_t *rows[SCALE_ROWS_MAX] = {};
    const int count = factor < SCALE_ROWS_MAX ? factor : SCALE_ROWS_MAX;
    const int at = left + x0 * factor;
    for (int k = 0; k < count; k++)
        rows[k] = reinterpret_cast<uint32_t *>(lines[out + k]) + at;
#ifdef __SSE2__
    if (streams(rows, factor)) {
        stream_block_rows(row + x0, x1 - x0, pixels, factor, rows);
        return true;
    }
#endif
    enlarge_row(row + x0, x1 - x0, pixels, factor, rows[0]);
    const size_t bytes = (size_t)(x1 - x0) * factor * sizeof(uint32_t);
    for (int k = 1; k < factor; k++)
        std::memcpy(reinterpret_cast<uint32_t *>(lines[out + k]) + at, rows[0], bytes);
    return false;
}

} // namespace

void palette_pixels(const RGB *palette, uint32_t pixels[256])
{
    for (int i = 0; i < 256; i++)
        pixels[i] = (uint32_t)makecol32(widen(palette[i].r), widen(palette[i].g),
                                        widen(palette[i].b));
}

void enlarge_rows(const BITMAP *source, const BITMAP *previous, int first_row, int end_row,
                  const uint32_t pixels[256], int factor, unsigned char *const *lines, int left,
                  int top)
{
    const int width = source->w;
    bool streamed = false;
    for (int y = first_row; y < end_row; y++) {
        const unsigned char *row = source->line[y];
        const int out = top + y * factor;
        if (!previous) {
            streamed |= enlarge_span(row, 0, width, pixels, factor, lines, out, left);
            continue;
        }
        // Runs of the groups that changed; a group that did not keeps its blocks.
        const unsigned char *before = previous->line[y];
        for (int x = 0; x < width;) {
            if (!group_differs(row, before, x, width)) {
                x += GROUP;
                continue;
            }
            int run_end = x + GROUP;
            while (run_end < width && group_differs(row, before, run_end, width))
                run_end += GROUP;
            run_end = run_end < width ? run_end : width;
            streamed |= enlarge_span(row, x, run_end, pixels, factor, lines, out, left);
            x = run_end;
        }
    }
#ifdef __SSE2__
    // The streamed stores reach memory before whoever reads it next (the display) is told to.
    if (streamed)
        _mm_sfence();
#endif
}
