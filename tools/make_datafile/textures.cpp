/* textures.cpp: the four square textures: paving, scorched stone, metal plate and cliff stone. */
#include <cmath>

#include "make_datafile.h"
#include "sprite_paint.h"

namespace {

/* Every square texture is this size. The texture mappers wrap coordinates by masking, so it
   must be a power of two, and everything painted here repeats seamlessly at this period. */
const int TEXTURE_SIZE = 128;

int wrap_texel(int v)
{
    return v & (TEXTURE_SIZE - 1);
}

/* Tileable fractal noise over the texture, `cells` noise cells across it. */
float texture_noise(int x, int y, int seed, int cells, int octaves)
{
    return fractal_noise(x * cells / float(TEXTURE_SIZE), y * cells / float(TEXTURE_SIZE), seed,
                         octaves, cells);
}

/* Where a texel lies inside a course-laid stone pattern (rows of stones, joints staggered). */
struct StoneSpot {
    int stone;       /* a number for the stone, the same for all its texels */
    int u, v;        /* texel position inside the stone, from its top left corner */
    int w, h;        /* the stone's size */
};

/* One course of stones: its height and the x of each joint, ascending within 0 ... 127;
   the stone after the last joint runs on across the wrap to the first. */
struct Course {
    int height;
    int joints[5];
    int joint_count;
};

StoneSpot find_stone(const Course *courses, int course_count, int x, int y)
{
    int top = 0, row = 0;
    while (row < course_count - 1 && y >= top + courses[row].height) {
        top += courses[row].height;
        row++;
    }
    const Course &c = courses[row];
    int index = c.joint_count - 1;
    for (int j = 0; j < c.joint_count; j++) {
        if (x >= c.joints[j])
            index = j;
    }
    int start = c.joints[index];
    int end = index + 1 < c.joint_count ? c.joints[index + 1] : c.joints[0] + TEXTURE_SIZE;
    StoneSpot spot;
    spot.stone = row * 8 + index;
    spot.u = wrap_texel(x - start);
    spot.v = y - top;
    spot.w = end - start;
    spot.h = c.height;
    return spot;
}

/* Distance from a texel to the nearest edge of its stone, with the corners rounded off
   by `round` texels. */
float edge_distance(const StoneSpot &s, float round)
{
    float du = std::fmin(s.u, s.w - 1 - s.u), dv = std::fmin(s.v, s.h - 1 - s.v);
    float d = std::fmin(du, dv);
    if (du < round && dv < round) {
        float cu = round - du, cv = round - dv;
        d = round - std::sqrt(cu * cu + cv * cv);
    }
    return d;
}

/* True when the nearest edge of the stone is its top or left one, which catch the light. */
bool lit_edge(const StoneSpot &s)
{
    int left = s.u, right = s.w - 1 - s.u, top = s.v, bottom = s.h - 1 - s.v;
    int nearest_lit = left < top ? left : top;
    int nearest_dark = right < bottom ? right : bottom;
    return nearest_lit <= nearest_dark;
}

/* ---- 48: light paving stone -------------------------------------------------------- */

const Course paving_courses[] = {
    {32, {0, 52, 90}, 3},
    {32, {24, 64, 110}, 3},
    {32, {10, 46, 92}, 3},
    {32, {34, 80, 118}, 3},
};

int paving_texel(int x, int y)
{
    StoneSpot s = find_stone(paving_courses, 4, x, y);
    float edge = edge_distance(s, 3.0f) + (texture_noise(x, y, 11, 16, 2) - 0.5f) * 1.6f;
    if (edge < 1.0f) {
        /* Grout, a little darker where dirt collects. */
        float grout = 8.6f + (texture_noise(x, y, 12, 32, 2) - 0.5f) * 1.6f;
        return grain_shade(RAMP_STONE, grout, x, y);
    }
    float pick = hash_random(s.stone, 3, 13);
    int ramp = pick < 0.2f ? RAMP_STONE : RAMP_SAND;
    float shade = (ramp == RAMP_STONE ? 13.6f : 12.9f);
    shade += (hash_random(s.stone, 1, 14) - 0.5f) * 1.1f;
    shade += (texture_noise(x, y, 15, 8, 3) - 0.5f) * 1.4f;
    float speck = value_noise(x * 0.9f, y * 0.9f, 16);
    if (speck > 0.83f)
        shade -= 0.9f;
    else if (speck < 0.12f)
        shade += 0.6f;
    /* A soft bevel: lit along the top and left edges, shaded along the bottom and right. */
    if (edge < 2.5f) {
        shade += lit_edge(s) ? 0.8f : -1.2f;
    }
    return grain_shade(ramp, shade, x, y);
}

/* ---- 49: the scorched square --------------------------------------------------------- */

/* Crack network: the borders of a tileable Voronoi pattern with 4 x 4 jittered seeds.
   Returns the gap between the nearest and the second nearest seed distance (small on a crack)
   and the number of the nearest cell. */
float crack_gap(int x, int y, int *cell)
{
    const int cells = 4, step = TEXTURE_SIZE / cells;
    float first = 1e9f, second = 1e9f;
    for (int j = -1; j <= cells; j++) {
        for (int i = -1; i <= cells; i++) {
            int wi = (i + cells) % cells, wj = (j + cells) % cells;
            float sx = i * step + step * (0.2f + 0.6f * hash_random(wi, wj, 21));
            float sy = j * step + step * (0.2f + 0.6f * hash_random(wi, wj, 22));
            float dx = x + 0.5f - sx, dy = y + 0.5f - sy;
            float d = std::sqrt(dx * dx + dy * dy);
            if (d < first) {
                second = first;
                first = d;
                *cell = wj * cells + wi;
            } else if (d < second) {
                second = d;
            }
        }
    }
    return second - first;
}

int scorched_texel(int x, int y)
{
    /* Wobble the lookup so the cracks wander instead of running straight. */
    int wx = wrap_texel(x + (int)std::lround((texture_noise(x, y, 23, 8, 2) - 0.5f) * 10.0f));
    int wy = wrap_texel(y + (int)std::lround((texture_noise(x, y, 24, 8, 2) - 0.5f) * 10.0f));
    int cell = 0;
    float gap = crack_gap(wx, wy, &cell);
    float heat = texture_noise(x, y, 25, 4, 2);
    float width = 1.1f + 1.4f * texture_noise(x, y, 26, 8, 1);
    if (gap < width) {
        /* Inside a crack: embers where the heat noise runs high, else a black gap. */
        float glow = (heat - 0.45f) * 4.0f + (1.0f - gap / width) * 0.9f;
        if (glow > 1.45f)
            return ramp_colour(RAMP_YELLOW, 13);
        if (glow > 1.05f)
            return ramp_colour(RAMP_ORANGE, 12);
        if (glow > 0.6f)
            return ramp_colour(RAMP_RED, 10);
        return dither_shade(RAMP_GREY, 1.6f, x, y);
    }
    /* Near a hot crack the soot glows dull red. */
    if (gap < width + 2.5f && heat > 0.58f)
        return dither_shade(RAMP_RED, 5.0f + (heat - 0.58f) * 14.0f - (gap - width), x, y);

    /* Charred stone: the ghost of the paving's joints, blotches of soot and pale ash. */
    StoneSpot s = find_stone(paving_courses, 4, x, y);
    float shade = 4.8f + (hash_random(cell, 1, 27) - 0.5f) * 1.4f;
    shade += (texture_noise(x, y, 28, 8, 4) - 0.5f) * 3.2f;
    if (edge_distance(s, 3.0f) < 1.0f)
        shade -= 1.6f;
    /* The plate of each fragment tilts a little: brighter toward its upper left. */
    float rim = std::fmin(gap - width, 4.0f) / 4.0f;
    shade -= (1.0f - rim) * 1.2f;
    float ash = value_noise(x * 0.8f, y * 0.8f, 29);
    if (ash > 0.86f)
        shade += 2.0f;
    int ramp = texture_noise(x, y, 30, 4, 2) > 0.62f ? RAMP_STONE : RAMP_GREY;
    return grain_shade(ramp, shade, x, y);
}

/* ---- 50: the metal plate floor ------------------------------------------------------- */

/* Height of the plate's relief at a texel: four panels of 64 x 64 sunk at their joints,
   a domed rivet near each panel corner and a tread of short raised bars that alternate
   direction in a checkerboard of 8 x 8 cells. */
float plate_height(int x, int y)
{
    int u = wrap_texel(x) & 63, v = wrap_texel(y) & 63;
    float edge = std::fmin(std::fmin(u, 63 - u), std::fmin(v, 63 - v));
    if (edge < 3.0f)
        return edge * 0.5f - 1.5f;
    const int rivet_at[2] = {7, 56};
    for (int ry : rivet_at) {
        for (int rx : rivet_at) {
            float dx = u - rx, dy = v - ry, d2 = (dx * dx + dy * dy) / 7.0f;
            if (d2 < 1.0f)
                return 2.4f * std::sqrt(1.0f - d2);
        }
    }
    if (u < 5 || u > 58 || v < 5 || v > 58)
        return 0.0f;
    int cu = (u - 5) / 9, cv = (v - 5) / 9;
    float a = (u - 5) - cu * 9 - 4.0f, b = (v - 5) - cv * 9 - 4.0f;
    bool slash = (cu + cv) & 1;
    float along = (slash ? a - b : a + b) * 0.7071f, across = (slash ? a + b : a - b) * 0.7071f;
    float bump = 1.0f - (along / 4.0f) * (along / 4.0f) - (across / 1.3f) * (across / 1.3f);
    return bump > 0 ? 0.8f * std::sqrt(bump) : 0.0f;
}

int plate_texel(int x, int y)
{
    int u = x & 63, v = y & 63;
    if (u == 0 || v == 0 || u == 63 || v == 63)
        return dither_shade(RAMP_STEEL, 7.5f, x, y);
    /* Lit from the upper left: faces that rise toward the lower right catch the light. */
    float slope = plate_height(x + 1, y + 1) - plate_height(x - 1, y - 1);
    float shade = 11.8f + slope * 2.0f;
    shade += (texture_noise(x, y, 41, 4, 3) - 0.5f) * 0.8f;
    /* Brushed grain, and a broad sheen across each panel. */
    shade += (value_noise(x * 0.07f, y * 1.4f, 42 + (x / 64) * 2 + y / 64) - 0.5f) * 0.6f;
    shade += 0.5f * std::sin((u + v) * 3.14159f / 128.0f) - 0.2f;
    return dither_shade(RAMP_STEEL, shade, x, y);
}

/* ---- 51: cliff and side stone ------------------------------------------------------- */

/* Eight courses of about one height level each (side faces show 15 texels per level). */
const Course cliff_courses[] = {
    {16, {0, 40, 86}, 3},
    {15, {18, 62, 100}, 3},
    {17, {6, 48, 76, 112}, 4},
    {16, {30, 70, 120}, 3},
    {15, {14, 58, 92}, 3},
    {17, {2, 44, 84, 106}, 4},
    {16, {26, 66, 116}, 3},
    {16, {10, 52, 94}, 3},
};

float cliff_height(int x, int y)
{
    return texture_noise(x, y, 51, 16, 4);
}

int cliff_texel(int x, int y)
{
    StoneSpot s = find_stone(cliff_courses, 8, x, y);
    float edge = edge_distance(s, 4.0f) + (texture_noise(x, y, 52, 16, 2) - 0.5f) * 3.0f;
    if (edge < 1.0f)
        return grain_shade(RAMP_STONE, edge < 0.0f ? 6.4f : 7.4f, x, y);

    /* A rough face: shade by the slope of a noise height field, lit from the upper left. */
    float slope = cliff_height(wrap_texel(x + 1), wrap_texel(y + 1)) -
                  cliff_height(wrap_texel(x - 1), wrap_texel(y - 1));
    float r = hash_random(s.stone, 5, 53);
    int ramp = r < 0.3f ? RAMP_SAND : RAMP_STONE;
    float shade = (ramp == RAMP_SAND ? 9.9f : 10.8f) + (hash_random(s.stone, 6, 54) - 0.5f) * 1.2f;
    shade += slope * 14.0f;
    shade += (texture_noise(x, y, 55, 32, 2) - 0.5f) * 1.2f;
    /* The upper edge of each stone catches the light, the lower one falls into shadow. */
    if (edge < 3.0f)
        shade += lit_edge(s) ? 1.0f : -1.3f;
    return grain_shade(ramp, shade, x, y);
}

}  // namespace

void make_square_texture(const char *path, int which)
{
    int (*texel)(int, int) = paving_texel;
    switch (which) {
    case 1: texel = scorched_texel; break;
    case 2: texel = plate_texel; break;
    case 3: texel = cliff_texel; break;
    default: break;
    }
    BITMAP *t = create_bitmap_ex(8, TEXTURE_SIZE, TEXTURE_SIZE);
    for (int y = 0; y < TEXTURE_SIZE; y++)
        for (int x = 0; x < TEXTURE_SIZE; x++)
            putpixel(t, x, y, texel(x, y));
    save_picture(path, t);
    destroy_bitmap(t);
}
