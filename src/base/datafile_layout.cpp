/* datafile_layout.cpp: checks that the bytes of a datafile hold together before the library reads
   them. */
#include "base/datafile_layout.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr uint32_t chunk_id(char a, char b, char c, char d)
{
    return (uint32_t)(unsigned char)a << 24 | (uint32_t)(unsigned char)b << 16 |
           (uint32_t)(unsigned char)c << 8 | (uint32_t)(unsigned char)d;
}

const uint32_t SIGNATURE_PACKED = chunk_id('s', 'l', 'h', '!');
const uint32_t SIGNATURE_PLAIN = chunk_id('s', 'l', 'h', '.');
const uint32_t DATAFILE_MAGIC = chunk_id('A', 'L', 'L', '.');
const uint32_t TYPE_PROPERTY = chunk_id('p', 'r', 'o', 'p');
const uint32_t TYPE_FILE = chunk_id('F', 'I', 'L', 'E');
const uint32_t TYPE_BITMAP = chunk_id('B', 'M', 'P', ' ');
const uint32_t TYPE_COMPILED = chunk_id('C', 'M', 'P', ' ');
const uint32_t TYPE_MODEX_COMPILED = chunk_id('X', 'C', 'M', 'P');
const uint32_t TYPE_RLE = chunk_id('R', 'L', 'E', ' ');
const uint32_t TYPE_FONT = chunk_id('F', 'O', 'N', 'T');
const uint32_t TYPE_SAMPLE = chunk_id('S', 'A', 'M', 'P');
const uint32_t TYPE_PALETTE = chunk_id('P', 'A', 'L', ' ');
const uint32_t TYPE_MIDI = chunk_id('M', 'I', 'D', 'I');

/* Unpacked data of a whole file or of one packed object is held to this, far above any game
   data, so that a forged size cannot take all memory. */
const size_t UNPACK_LIMIT = (size_t)512 << 20;
/* Datafiles inside datafiles, deeper than any real file nests them. */
const int NESTING_LIMIT = 16;
/* Pictures the library could not allocate, or whose byte count would overflow. */
const int64_t PICTURE_SIDE_LIMIT = 16384;
/* Glyphs of one font range: all of Unicode. */
const int64_t GLYPH_RANGE_LIMIT = 0x110000;

/* The bytes still to read. */
struct Cursor {
    const unsigned char *p;
    size_t left;
};

bool skip(Cursor *c, uint64_t n)
{
    if (n > c->left)
        return false;
    c->p += n;
    c->left -= n;
    return true;
}

bool get8(Cursor *c, uint32_t *v)
{
    if (c->left < 1)
        return false;
    *v = c->p[0];
    return skip(c, 1);
}

bool get16(Cursor *c, uint32_t *v)
{
    if (c->left < 2)
        return false;
    *v = (uint32_t)c->p[0] << 8 | c->p[1];
    return skip(c, 2);
}

bool get32(Cursor *c, uint32_t *v)
{
    if (c->left < 4)
        return false;
    *v = (uint32_t)c->p[0] << 24 | (uint32_t)c->p[1] << 16 | (uint32_t)c->p[2] << 8 | c->p[3];
    return skip(c, 4);
}

int32_t as_signed16(uint32_t v) { return (int16_t)(uint16_t)v; }
int32_t as_signed32(uint32_t v) { return (int32_t)v; }

/* Unpacks the library's LZSS stream: a flag byte for every eight tokens, a set bit a literal
   byte, a clear one a 12-bit ring position and a length of 3 to 18. Stops at `want` bytes.
   Returns the bytes unpacked. */
size_t unpack(const unsigned char *src, size_t n, size_t want, std::vector<unsigned char> *out)
{
    enum { RING = 4096, LONGEST = 18 };
    unsigned char ring[RING] = {};
    unsigned r = RING - LONGEST;
    out->clear();
    size_t i = 0;
    while (i < n && out->size() < want) {
        const unsigned flags = src[i++];
        for (int bit = 0; bit < 8 && i < n && out->size() < want; bit++) {
            if (flags & (1u << bit)) {
                out->push_back(src[i]);
                ring[r] = src[i++];
                r = (r + 1) % RING;
                continue;
            }
            if (i + 1 >= n)
                return out->size();
            unsigned position = src[i] | (src[i + 1] & 0xF0u) << 4;
            const unsigned length = (src[i + 1] & 0x0Fu) + 3;
            i += 2;
            for (unsigned k = 0; k < length && out->size() < want; k++) {
                const unsigned char b = ring[(position + k) % RING];
                out->push_back(b);
                ring[r] = b;
                r = (r + 1) % RING;
            }
        }
    }
    return out->size();
}

/* One walk: where the first fault is written, and the root object being read. */
struct Walk {
    char *fault;
    int32_t object;
};

bool fail(Walk *w, const char *format, ...)
{
    char reason[DATAFILE_FAULT_SIZE - 20];     // room for "object N: " before it
    va_list args;
    va_start(args, format);
    std::vsnprintf(reason, sizeof reason, format, args);
    va_end(args);
    std::snprintf(w->fault, DATAFILE_FAULT_SIZE, "object %d: %s", (int)w->object, reason);
    return false;
}

bool truncated(Walk *w)
{
    std::snprintf(w->fault, DATAFILE_FAULT_SIZE, "truncated at object %d", (int)w->object);
    return false;
}

/* Bytes a picture of this colour depth holds per pixel, 0 for a depth the library has not. */
int pixel_bytes(int32_t bits)
{
    switch (bits) {
    case 8: return 1;
    case 15: case 16: return 2;
    case 24: case 32: return 3;     // stored as 8.8.8 RGB either way
    case -32: return 4;             // RGBA
    default: return 0;
    }
}

bool check_picture(Walk *w, Cursor c, bool rle)
{
    uint32_t bits, width, height;
    if (!get16(&c, &bits) || !get16(&c, &width) || !get16(&c, &height))
        return fail(w, "the picture's header is cut short");
    const int per_pixel = pixel_bytes(as_signed16(bits));
    if (!per_pixel)
        return fail(w, "colour depth %d is unknown", (int)as_signed16(bits));
    if (width > PICTURE_SIDE_LIMIT || height > PICTURE_SIDE_LIMIT)
        return fail(w, "a %ux%u picture is too large", (unsigned)width, (unsigned)height);
    uint64_t need = (uint64_t)width * height * per_pixel;
    if (rle) {
        uint32_t size;
        if (!get32(&c, &size))
            return fail(w, "the sprite's header is cut short");
        need = size;
    }
    if (need > c.left)
        return fail(w, "a %ux%u picture needs %llu bytes, the object holds %llu", (unsigned)width,
                    (unsigned)height, (unsigned long long)need, (unsigned long long)c.left);
    return true;
}

bool check_glyphs(Walk *w, Cursor *c, int64_t count, bool mono, bool sized)
{
    for (int64_t g = 0; g < count; g++) {
        uint32_t width = 8, height = 8;
        if (sized && (!get16(c, &width) || !get16(c, &height)))
            return fail(w, "glyph %lld is cut short", (long long)g);
        const uint64_t row = mono ? (width + 7) / 8 : width;
        if (!skip(c, row * height))
            return fail(w, "glyph %lld is cut short", (long long)g);
    }
    return true;
}

bool check_font(Walk *w, Cursor c)
{
    uint32_t layout;
    if (!get16(&c, &layout))
        return fail(w, "the font's header is cut short");
    switch (as_signed16(layout)) {
    case 8: case 16: {
        // The old fixed layouts: 95 glyphs of 8 x 8 or 8 x 16 bits.
        if (!skip(&c, 95 * (uint64_t)as_signed16(layout)))
            return fail(w, "the font's glyphs are cut short");
        return true;
    }
    case -1:
        return check_glyphs(w, &c, 95, false, true);
    case 0:
        break;
    default:
        return fail(w, "font layout %d is unknown", (int)as_signed16(layout));
    }
    uint32_t ranges;
    if (!get16(&c, &ranges))
        return fail(w, "the font's header is cut short");
    if (ranges == 0)
        return fail(w, "the font has no glyphs");
    for (uint32_t r = 0; r < ranges; r++) {
        uint32_t mono, first, last;
        if (!get8(&c, &mono) || !get32(&c, &first) || !get32(&c, &last))
            return fail(w, "font range %u is cut short", (unsigned)r);
        const int64_t count = (int64_t)as_signed32(last) - as_signed32(first) + 1;
        if (as_signed32(first) < 0 || count < 1 || count > GLYPH_RANGE_LIMIT)
            return fail(w, "font range %u runs from %d to %d", (unsigned)r,
                        (int)as_signed32(first), (int)as_signed32(last));
        if (!check_glyphs(w, &c, count, mono != 0, true))
            return false;
    }
    return true;
}

bool check_sample(Walk *w, Cursor c)
{
    uint32_t bits, frequency, length;
    if (!get16(&c, &bits) || !get16(&c, &frequency) || !get32(&c, &length))
        return fail(w, "the sample's header is cut short");
    const int32_t b = as_signed16(bits);
    const int channels = b < 0 ? 2 : 1;
    if (b != 8 && b != 16 && b != -8 && b != -16)
        return fail(w, "%d-bit samples are unknown", (int)b);
    if (as_signed32(length) < 1)
        return fail(w, "the sample is %d frames long", (int)as_signed32(length));
    const uint64_t need = (uint64_t)length * channels * ((b < 0 ? -b : b) / 8);
    if (need > c.left)
        return fail(w, "the sample needs %llu bytes, the object holds %llu",
                    (unsigned long long)need, (unsigned long long)c.left);
    return true;
}

bool check_palette(Walk *w, Cursor c)
{
    if (c.left < 1024)
        return fail(w, "a palette of %llu bytes (1024 needed)", (unsigned long long)c.left);
    // The colour tables index arrays by these values: the library's palettes are 6 bits a channel.
    for (int i = 0; i < 256; i++) {
        const unsigned char *entry = c.p + 4 * i;
        if (entry[0] > 63 || entry[1] > 63 || entry[2] > 63)
            return fail(w, "palette colour %d is out of range", i);
    }
    return true;
}

bool check_midi(Walk *w, Cursor c)
{
    uint32_t divisions, length;
    if (!get16(&c, &divisions))
        return fail(w, "the music's header is cut short");
    for (int track = 0; track < 32; track++) {
        if (!get32(&c, &length) || !skip(&c, length))
            return fail(w, "music track %d is cut short", track);
    }
    return true;
}

bool check_objects(Walk *w, Cursor *c, int depth, bool root);

bool check_contents(Walk *w, uint32_t type, Cursor data, int depth)
{
    if (type == TYPE_FILE) {
        if (depth >= NESTING_LIMIT)
            return fail(w, "datafiles nested more than %d deep", NESTING_LIMIT);
        return check_objects(w, &data, depth + 1, false);
    }
    if (type == TYPE_BITMAP || type == TYPE_COMPILED || type == TYPE_MODEX_COMPILED)
        return check_picture(w, data, false);
    if (type == TYPE_RLE)
        return check_picture(w, data, true);
    if (type == TYPE_FONT)
        return check_font(w, data);
    if (type == TYPE_SAMPLE)
        return check_sample(w, data);
    if (type == TYPE_PALETTE)
        return check_palette(w, data);
    if (type == TYPE_MIDI)
        return check_midi(w, data);
    return true;    // anything else is read as plain bytes
}

bool check_object(Walk *w, Cursor *c, int depth)
{
    uint32_t type;
    for (;;) {
        if (!get32(c, &type))
            return truncated(w);
        if (type != TYPE_PROPERTY)
            break;
        uint32_t property, size;
        if (!get32(c, &property) || !get32(c, &size))
            return truncated(w);
        if (as_signed32(size) < 0)
            return fail(w, "a property of %d bytes", (int)as_signed32(size));
        if (!skip(c, size))
            return truncated(w);
    }
    uint32_t stored, unpacked;
    if (!get32(c, &stored) || !get32(c, &unpacked))
        return truncated(w);
    if (as_signed32(stored) < 0)
        return fail(w, "a size of %d bytes", (int)as_signed32(stored));
    if (stored > c->left)
        return truncated(w);
    Cursor data = {c->p, stored};
    skip(c, stored);
    if (as_signed32(unpacked) >= 0) {
        if (unpacked != stored)
            return fail(w, "its sizes disagree (%u and %u bytes)", (unsigned)stored,
                        (unsigned)unpacked);
        return check_contents(w, type, data, depth);
    }
    // A packed object: its contents are checked as they will be unpacked.
    const uint64_t want = (uint64_t)-(int64_t)as_signed32(unpacked);
    if (want > UNPACK_LIMIT)
        return fail(w, "unpacks to %llu bytes", (unsigned long long)want);
    std::vector<unsigned char> plain;
    if (unpack(data.p, data.left, want, &plain) < want)
        return fail(w, "its packed data is cut short");
    return check_contents(w, type, Cursor{plain.data(), plain.size()}, depth);
}

bool check_objects(Walk *w, Cursor *c, int depth, bool root)
{
    uint32_t count;
    if (!get32(c, &count))
        return root ? truncated(w) : fail(w, "the nested datafile is cut short");
    if (as_signed32(count) < 0)
        return fail(w, "a datafile of %d objects", (int)as_signed32(count));
    for (uint32_t i = 0; i < count; i++) {
        if (root)
            w->object = (int32_t)i;
        if (!check_object(w, c, depth))
            return false;
    }
    return true;
}

} // namespace

int check_datafile_layout(const unsigned char *bytes, size_t size, char fault[DATAFILE_FAULT_SIZE])
{
    fault[0] = '\0';
    Walk w = {fault, 0};
    Cursor c = {bytes, size};
    uint32_t signature;
    if (size == 0) {
        std::snprintf(fault, DATAFILE_FAULT_SIZE, "the file is empty");
        return 0;
    }
    if (!get32(&c, &signature) || (signature != SIGNATURE_PACKED && signature != SIGNATURE_PLAIN)) {
        std::snprintf(fault, DATAFILE_FAULT_SIZE, "not a datafile (no packfile signature)");
        return 0;
    }
    std::vector<unsigned char> plain;
    if (signature == SIGNATURE_PACKED) {
        unpack(c.p, c.left, UNPACK_LIMIT, &plain);
        c = Cursor{plain.data(), plain.size()};
    }
    uint32_t magic;
    if (!get32(&c, &magic) || magic != DATAFILE_MAGIC) {
        std::snprintf(fault, DATAFILE_FAULT_SIZE, "not a datafile (no datafile signature)");
        return 0;
    }
    return check_objects(&w, &c, 0, true) ? 1 : 0;
}
