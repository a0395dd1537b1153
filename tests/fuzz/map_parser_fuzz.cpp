/* map_parser_fuzz.cpp: feeds arbitrary bytes to the level file reader, from memory and as a file. */
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "world/map_parser.h"

namespace {

ParsedMap parsed;

void check_verdict(const MapVerdict &verdict)
{
    // The fatal page shows the message inside a 180-character frame: it must always fit.
    if (std::strlen(verdict.message) >= 150)
        __builtin_trap();
    if (verdict.fault == MAP_OK &&
        (parsed.square_count < 1 || parsed.square_count > MAP_SQUARE_LIMIT || parsed.start_square < 0 ||
         parsed.start_square >= parsed.square_count))
        __builtin_trap();
    if (std::strlen(parsed.name) > 38)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    MapReader reader;
    map_reader_from_text(&reader, (const char *)data, size);
    check_verdict(parse_map(&reader, &parsed));

    map_reader_from_text(&reader, (const char *)data, size);
    char name[MAP_NAME_BUFFER];
    int32_t code = 0;
    parse_level_header(&reader, name, &code);
    if (std::strlen(name) > 38)
        __builtin_trap();

    // The same bytes through a stream, as the game reads its files.
    if (size > 0) {
        if (FILE *file = fmemopen((void *)data, size, "r")) {
            map_reader_from_file(&reader, file);
            check_verdict(parse_map(&reader, &parsed));
            std::fclose(file);
        }
    }
    return 0;
}
