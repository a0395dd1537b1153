/* level_overlap.cpp: how much of one level is another moved over: the squares two levels share. */
#include "level_overlap.h"

#include <algorithm>
#include <cstring>

namespace {

/* A shift of columns and rows in one number, for sorting. */
int64_t shift_code(int32_t dx, int32_t dz)
{
    return (int64_t)dx * 4096 + dz;
}

bool same_square(const MapSquareLine &a, const MapSquareLine &b)
{
    return a.height == b.height && a.texture == b.texture && a.content == b.content;
}

/* The shifts that carry one square of a onto a square of b alike; some 20,000 at most. */
int64_t shifts[MAP_SQUARE_LIMIT * MAP_SQUARE_LIMIT];

} // namespace

bool read_level_squares(const char *map_text, LevelSquares *out)
{
    static ParsedMap parsed;    // some 8 KB, kept off the stack
    MapReader reader;
    map_reader_from_text(&reader, map_text, std::strlen(map_text));
    parse_map(&reader, &parsed);
    out->count = parsed.square_count;
    std::memcpy(out->squares, parsed.squares, sizeof(MapSquareLine) * (size_t)parsed.square_count);
    return out->count > 0;
}

int32_t shared_squares(const LevelSquares &a, const LevelSquares &b)
{
    // Each pair of alike squares votes for the shift that lays one on the other; a level's
    // squares are at distinct places, so the votes for one shift count distinct squares.
    int64_t count = 0;
    for (int32_t i = 0; i < a.count; i++)
        for (int32_t j = 0; j < b.count; j++)
            if (same_square(a.squares[i], b.squares[j]))
                shifts[count++] = shift_code(b.squares[j].x - a.squares[i].x,
                                             b.squares[j].z - a.squares[i].z);
    std::sort(shifts, shifts + count);
    int32_t best = 0;
    for (int64_t k = 0; k < count;) {
        int64_t run = k;
        while (run < count && shifts[run] == shifts[k])
            run++;
        best = std::max(best, (int32_t)(run - k));
        k = run;
    }
    return best;
}

double shared_share(const LevelSquares &a, const LevelSquares &b)
{
    const int32_t smaller = std::min(a.count, b.count);
    return smaller > 0 ? (double)shared_squares(a, b) / smaller : 0.0;
}
