/* paint.cpp: noise and file helpers shared by the picture makers. */
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "make_datafile.h"

namespace {

float lattice(int x, int y, int seed)
{
    unsigned h = (unsigned)x * 374761393u + (unsigned)y * 668265263u + (unsigned)seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / float(0xffffff);
}

int wrap(int v, int period)
{
    if (period <= 0)
        return v;
    v %= period;
    return v < 0 ? v + period : v;
}

}  // namespace

float value_noise(float x, float y, int seed, int period)
{
    int x0 = (int)std::floor(x), y0 = (int)std::floor(y);
    float fx = x - x0, fy = y - y0;
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    int xa = wrap(x0, period), xb = wrap(x0 + 1, period);
    int ya = wrap(y0, period), yb = wrap(y0 + 1, period);
    float a = lattice(xa, ya, seed), b = lattice(xb, ya, seed);
    float c = lattice(xa, yb, seed), d = lattice(xb, yb, seed);
    float top = a + (b - a) * sx, bottom = c + (d - c) * sx;
    return top + (bottom - top) * sy;
}

float fractal_noise(float x, float y, int seed, int octaves, int period)
{
    float sum = 0, weight = 1, total = 0;
    for (int i = 0; i < octaves; i++) {
        sum += value_noise(x, y, seed + i * 101, period) * weight;
        total += weight;
        weight *= 0.5f;
        x *= 2;
        y *= 2;
        period *= 2;
    }
    return sum / total;
}

void save_picture(const char *path, BITMAP *picture)
{
    if (save_bitmap(path, picture, game_colours) != 0) {
        std::fprintf(stderr, "make_datafile: cannot write %s\n", path);
        std::exit(1);
    }
}

void save_wav(const char *path, const float *samples, int count, int rate)
{
    FILE *f = std::fopen(path, "wb");
    if (!f) {
        std::fprintf(stderr, "make_datafile: cannot write %s\n", path);
        std::exit(1);
    }
    auto put32 = [f](unsigned v) { for (int i = 0; i < 4; i++) std::fputc((v >> (8 * i)) & 255, f); };
    auto put16 = [f](unsigned v) { std::fputc(v & 255, f); std::fputc((v >> 8) & 255, f); };
    unsigned bytes = (unsigned)count * 2;
    std::fwrite("RIFF", 1, 4, f);
    put32(36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(16);
    put16(1);             /* PCM */
    put16(1);             /* mono */
    put32((unsigned)rate);
    put32((unsigned)rate * 2);
    put16(2);
    put16(16);
    std::fwrite("data", 1, 4, f);
    put32(bytes);
    for (int i = 0; i < count; i++) {
        float s = samples[i];
        s = s > 1 ? 1 : (s < -1 ? -1 : s);
        put16((unsigned)(short)std::lround(s * 32767.0f));
    }
    std::fclose(f);
}
