/* reference_level.cpp: a large level with many squares and actors in view, for the benchmark. */
#include "reference_level.h"

#include <cstdio>

namespace {

const int SIDE = 14;

int height_at(int x, int z)
{
    return 1 + (x / 3 + z / 4) % 3 + (x == 6 && z > 4 && z < 9 ? 3 : 0);
}

/* What stands on a square: content code and direction (0 for nothing). Zippers face off the
   grid, so they wait where they are; nothing is placed where it could be set off. */
void content_at(int x, int z, int *code, int *dir)
{
    *code = 0;
    *dir = 0;
    if (x == 7 && z == 0) {
        *code = 1;              /* the robot, looking along +z across the level */
        return;
    }
    if (x == 7 && z == SIDE - 1) {
        *code = 2;
        return;
    }
    if (x == 0 && z % 3 == 1) {
        *code = 4;
        *dir = 192;
        return;
    }
    if (x == SIDE - 1 && z % 3 == 2) {
        *code = 4;
        *dir = 64;
        return;
    }
    if (z < 2 || x == 0 || x == SIDE - 1 || (x + z) % 2 != 0)
        return;
    static const int kinds[4] = {7, 3, 5, 6};
    *code = kinds[(x / 2 + z) % 4];
    if (*code == 3)
        *dir = (x * 64) % 256;
}

int side_value(int h, int x, int z)
{
    const bool inside = x >= 0 && z >= 0 && x < SIDE && z < SIDE;
    const int drop = inside ? h - height_at(x, z) : h + 2;
    return drop > 0 ? drop - 1 : -1;
}

} // namespace

size_t write_reference_level(char *buffer, size_t size)
{
    size_t n = 0;
    auto put = [&](const char *format, auto... args) {
        if (n >= size)
            return;
        const int w = std::snprintf(buffer + n, size - n, format, args...);
        n = w < 0 ? size : n + (size_t)w;
    };
    put("Benchmark reference level\nTerraces\n1\nminutes:\n9\n\nsquares:\n%d\n", SIDE * SIDE);
    for (int z = 0; z < SIDE; z++)
        for (int x = 0; x < SIDE; x++) {
            const int h = height_at(x, z);
            int code, dir;
            content_at(x, z, &code, &dir);
            put("%d %d %d %d %d %d %d %d %d %d\n", x, h, z, (x * 7 + z * 3) % 3 == 1 ? 2 : (x + z) % 4 == 0 ? 3 : 0,
                code, dir, side_value(h, x, z + 1), side_value(h, x - 1, z),
                side_value(h, x, z - 1), side_value(h, x + 1, z));
        }
    return n < size ? n : 0;
}
