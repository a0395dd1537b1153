/* settle_datafile.cpp: clears the bytes of a packed datafile that dat leaves to chance. */
#include <cstdint>
#include <cstdio>
#include <vector>

#include "make_datafile.h"

namespace {

uint32_t read_word(const std::vector<unsigned char> &bytes, size_t at)
{
    return (uint32_t)bytes[at] << 24 | (uint32_t)bytes[at + 1] << 16 |
           (uint32_t)bytes[at + 2] << 8 | bytes[at + 3];
}

bool word_is(const std::vector<unsigned char> &bytes, size_t at, const char *id)
{
    for (int i = 0; i < 4; i++)
        if (bytes[at + i] != (unsigned char)id[i])
            return false;
    return true;
}

int settle_fault(const char *path, const char *fault)
{
    std::fprintf(stderr, "make_datafile: %s: %s\n", path, fault);
    return 1;
}

}  // namespace

/* dat copies a palette's entries whole, the fourth byte of each (RGB.filler) unset by the
   picture reader, so it holds whatever the tool's stack held. Only an unpacked datafile of
   plain objects is walked, as pack_datafile.sh writes it. */
int settle_datafile(const char *path)
{
    FILE *f = std::fopen(path, "rb");
    if (!f)
        return settle_fault(path, "cannot be read");
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);

    if (bytes.size() < 12 || !word_is(bytes, 0, "slh.") || !word_is(bytes, 4, "ALL."))
        return settle_fault(path, "not an unpacked datafile");
    const uint32_t objects = read_word(bytes, 8);
    size_t at = 12;
    for (uint32_t object = 0; object < objects; object++) {
        while (at + 12 <= bytes.size() && word_is(bytes, at, "prop"))
            at += 12 + read_word(bytes, at + 8);
        if (at + 12 > bytes.size())
            return settle_fault(path, "cut short");
        const bool palette = word_is(bytes, at, "PAL ");
        const size_t size = read_word(bytes, at + 4);
        at += 12;
        if (size > bytes.size() - at)
            return settle_fault(path, "cut short");
        if (palette)
            for (size_t filler = at + 3; filler < at + size; filler += 4)
                bytes[filler] = 0;
        at += size;
    }

    f = std::fopen(path, "r+b");
    if (!f)
        return settle_fault(path, "cannot be written");
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    written = std::fclose(f) == 0 && written;
    return written ? 0 : settle_fault(path, "cannot be written");
}
