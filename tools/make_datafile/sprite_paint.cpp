/* sprite_paint.cpp: pixel helpers shared by the texture and sprite makers. */
#include "sprite_paint.h"

#include <cmath>

#include "make_datafile.h"

namespace {

/* The classic 4x4 Bayer matrix; its entries are ranks 0 ... 15. */
const int bayer4[4][4] = {
    {0, 8, 2, 10},
    {12, 4, 14, 6},
    {3, 11, 1, 9},
    {15, 7, 13, 5},
};

}  // namespace

float dither_threshold(int x, int y)
{
    return (bayer4[y & 3][x & 3] + 0.5f) / 16.0f;
}

int dither_shade(int ramp, float shade, int x, int y)
{
    if (shade <= 0)
        return ramp_colour(ramp, 0);
    if (shade >= 15)
        return ramp_colour(ramp, 15);
    int base = (int)shade;
    float fraction = shade - base;
    return ramp_colour(ramp, fraction > dither_threshold(x, y) ? base + 1 : base);
}

void outline_sprite(BITMAP *sprite, int colour)
{
    /* Read from a copy: painting into the sprite during the scan would grow the outline onto
       itself. */
    int w = sprite->w, h = sprite->h;
    BITMAP *before = create_bitmap_ex(8, w, h);
    blit(sprite, before, 0, 0, 0, 0, w, h);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            if (getpixel(before, x, y) != 0)
                continue;
            bool touches = (x > 0 && getpixel(before, x - 1, y) != 0) ||
                           (x + 1 < w && getpixel(before, x + 1, y) != 0) ||
                           (y > 0 && getpixel(before, x, y - 1) != 0) ||
                           (y + 1 < h && getpixel(before, x, y + 1) != 0);
            if (touches)
                putpixel(sprite, x, y, colour);
        }
    }
    destroy_bitmap(before);
}

void paint_pattern(BITMAP *target, int x, int y, const char *const *rows, int row_count,
                   const PatternKey *keys, int key_count)
{
    for (int row = 0; row < row_count; row++) {
        for (int column = 0; rows[row][column] != '\0'; column++) {
            char symbol = rows[row][column];
            for (int k = 0; k < key_count; k++) {
                if (keys[k].symbol == symbol) {
                    putpixel(target, x + column, y + row, keys[k].colour);
                    break;
                }
            }
        }
    }
}

float disc_coverage(float px, float py, float cx, float cy, float r)
{
    int inside = 0;
    for (int sy = 0; sy < 4; sy++) {
        for (int sx = 0; sx < 4; sx++) {
            float dx = px + (sx + 0.5f) / 4.0f - cx;
            float dy = py + (sy + 0.5f) / 4.0f - cy;
            if (dx * dx + dy * dy <= r * r)
                inside++;
        }
    }
    return inside / 16.0f;
}

float sphere_light(float px, float py, float cx, float cy, float r)
{
    float nx = (px + 0.5f - cx) / r, ny = (py + 0.5f - cy) / r;
    float d2 = nx * nx + ny * ny;
    if (d2 > 1.0f)
        return -1.0f;
    float nz = std::sqrt(1.0f - d2);
    /* Light from the upper left and a little in front. */
    const float lx = -0.48f, ly = -0.62f, lz = 0.62f;
    float diffuse = nx * lx + ny * ly + nz * lz;
    if (diffuse < 0)
        diffuse = 0;
    /* Blinn half vector between the light and the eye (0, 0, 1). */
    float hx = lx, hy = ly, hz = lz + 1.0f;
    float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    float specular = (nx * hx + ny * hy + nz * hz) / hl;
    specular = specular > 0 ? std::pow(specular, 24.0f) : 0;
    return 0.25f + 0.75f * diffuse + 0.35f * specular;
}

float hash_random(int a, int b, int seed)
{
    return value_noise((float)a, (float)b, seed);
}

int grain_shade(int ramp, float shade, int x, int y)
{
    if (shade <= 0)
        return ramp_colour(ramp, 0);
    if (shade >= 15)
        return ramp_colour(ramp, 15);
    int base = (int)shade;
    return ramp_colour(ramp, shade - base > hash_random(x, y, 977) ? base + 1 : base);
}
