/* texture_skins.cpp: the model skins 52 ... 57, each a 4 x 4 sheet of 32 x 32 tiles. */
#include <cmath>

#include "make_datafile.h"
#include "sprite_paint.h"

/* The sheet layout is shared with the model files, whose texture coordinates point into it:
   tile t of a skin lies at x = 32 * (t % 4), y = 32 * (t / 4). Tiles a model does not use
   repeat a variant of tile 0. Details stay clear of the tiles' outer pixels, since polygons
   that map a whole tile sample right up to its border. */

namespace {

const int TILE = 32;
const int SHEET = 128;

/* Paints one texel of a tile: (u, v) inside the tile, 0 ... 31; variant 0 is the tile itself,
   higher variants are slightly different fillers. Returns a palette index. */
typedef int (*TilePainter)(int u, int v, int variant);

float centre_distance(int u, int v, float cx, float cy)
{
    float dx = u + 0.5f - cx, dy = v + 0.5f - cy;
    return std::sqrt(dx * dx + dy * dy);
}

/* Low noise over a tile, `cells` noise cells across it. */
float tile_noise(int u, int v, int seed, float cells)
{
    return fractal_noise(u * cells / TILE, v * cells / TILE, seed, 3);
}

/* A soft 2-pixel bevel: +1 near the top and left edges, -1 near the bottom and right ones,
   0 inside. */
float bevel(int u, int v)
{
    int lit = u < v ? u : v;
    int dark = (TILE - 1 - u) < (TILE - 1 - v) ? TILE - 1 - u : TILE - 1 - v;
    if (lit < 2 && lit <= dark)
        return 1.0f;
    if (dark < 2)
        return -1.0f;
    return 0.0f;
}

/* A glowing round light: white-hot centre falling off through the ramp. Returns -1 outside
   radius r. */
int glow_light(int ramp, int u, int v, float cx, float cy, float r)
{
    float d = centre_distance(u, v, cx, cy) / r;
    if (d > 1.0f)
        return -1;
    return dither_shade(ramp, 15.0f - d * d * 5.5f, u, v);
}

/* ---- 55: the robot ------------------------------------------------------------------ */

int robot_metal(int u, int v, int variant)
{
    /* Brushed across, a little brighter toward the top. */
    float shade = 12.6f - v * 0.03f;
    shade += (value_noise(u * 0.12f, v * 1.7f, 501 + variant) - 0.5f) * 1.3f;
    shade += (tile_noise(u, v, 502 + variant, 2) - 0.5f) * 0.6f;
    return dither_shade(RAMP_STEEL, shade, u, v);
}

int robot_face(int u, int v, int variant)
{
    /* A dark visor over most of the face, two glowing cyan eyes in the middle. */
    float vx = std::fabs(u + 0.5f - 16.0f) - 11.0f, vy = std::fabs(v + 0.5f - 16.0f) - 8.0f;
    float corner = std::sqrt(std::fmax(vx + 3, 0.0f) * std::fmax(vx + 3, 0.0f) +
                             std::fmax(vy + 3, 0.0f) * std::fmax(vy + 3, 0.0f));
    if (vx > 0 || vy > 0 || corner > 3.0f)
        return robot_metal(u, v, variant);
    for (int side = 0; side < 2; side++) {
        int light = glow_light(RAMP_SKY, u, v, side ? 21.0f : 11.0f, 16.0f, 3.6f);
        if (light >= 0)
            return light;
        if (centre_distance(u, v, side ? 21.0f : 11.0f, 16.0f) < 5.0f)
            return ramp_colour(RAMP_TEAL, 6);
    }
    /* Glass: dark blue with a diagonal glint across the upper left. */
    float glint = (u - 6) + (v - 9) * 1.4f;
    if (glint > 2.0f && glint < 4.5f && v < 14)
        return ramp_colour(RAMP_BLUE, 9);
    return dither_shade(RAMP_BLUE, 4.2f + (24 - v) * 0.04f, u, v);
}

int robot_accent_stripe(int u, int v, int variant)
{
    float shade = 11.2f + bevel(u, v) * 0.9f + (tile_noise(u, v, 511, 2) - 0.5f) * 0.6f;
    if (v >= 13 && v <= 18)
        return dither_shade(RAMP_YELLOW, v == 13 ? 14.0f : 12.8f, u, v);
    if (v == 12 || v == 19)
        return dither_shade(RAMP_ORANGE, 9.0f, u, v);
    return dither_shade(RAMP_ORANGE, shade, u, v);
}

int robot_rubber(int u, int v, int variant)
{
    float shade = 6.4f + (tile_noise(u, v, 521, 3) - 0.5f) * 0.8f;
    if (v % 6 == 2 && v > 1 && v < 30)
        shade -= 1.2f;      /* grooves of the tread */
    else if (v % 6 == 3 && v > 1 && v < 30)
        shade += 0.9f;
    return dither_shade(RAMP_GREY, shade, u, v);
}

int robot_riveted(int u, int v, int variant)
{
    const float at[2] = {6.5f, 25.5f};
    for (float ry : at) {
        for (float rx : at) {
            float light = sphere_light(u, v, rx, ry, 2.5f);
            if (light >= 0)
                return dither_shade(RAMP_STEEL, 9.0f + light * 5.5f, u, v);
            if (centre_distance(u, v, rx + 1.0f, ry + 1.0f) < 3.0f)
                return dither_shade(RAMP_STEEL, 10.0f, u, v);
        }
    }
    float shade = 12.2f + bevel(u, v) * 0.8f + (tile_noise(u, v, 531 + variant, 2) - 0.5f) * 0.8f;
    return dither_shade(RAMP_STEEL, shade, u, v);
}

int robot_chest(int u, int v, int variant)
{
    /* An inset panel with three status lights and a speaker grille. */
    if (u < 5 || u > 26 || v < 5 || v > 26)
        return robot_metal(u, v, variant);
    if (u == 5 || v == 5)
        return ramp_colour(RAMP_STEEL, 8);
    if (u == 26 || v == 26)
        return ramp_colour(RAMP_STEEL, 14);
    const int lamp_ramp[3] = {RAMP_RED, RAMP_YELLOW, RAMP_LIME};
    for (int i = 0; i < 3; i++) {
        float cx = 10.5f + i * 5.5f;
        int light = glow_light(lamp_ramp[i], u, v, cx, 11.5f, 2.2f);
        if (light >= 0)
            return light;
    }
    if (v >= 17 && v <= 23 && u >= 9 && u <= 22 && (v & 1))
        return ramp_colour(RAMP_STEEL, 7);
    return dither_shade(RAMP_STEEL, 10.6f, u, v);
}

int robot_lamp(int u, int v, int variant)
{
    float d = centre_distance(u, v, 16.0f, 16.0f) / 16.0f;
    float shade = 15.0f - d * 5.5f;
    /* A glint off the glass, up and to the left. */
    if (centre_distance(u, v, 11.0f, 10.0f) < 3.0f)
        shade = 15.0f;
    return dither_shade(RAMP_RED, shade, u, v);
}

int robot_accent(int u, int v, int variant)
{
    float shade = 11.3f + (tile_noise(u, v, 541 + variant, 2) - 0.5f) * 0.9f;
    return dither_shade(RAMP_ORANGE, shade, u, v);
}

/* ---- 53: the mibo ------------------------------------------------------------------- */

/* Fur: short strands in a soft mottle of violet and pink. */
int mibo_fur(int u, int v, int variant)
{
    float strands = value_noise(u * 0.55f + v * 0.2f, v * 0.18f, 601 + variant);
    float mottle = tile_noise(u, v, 602 + variant, 2.5f);
    float shade = 10.6f + (strands - 0.5f) * 2.2f + (mottle - 0.5f) * 1.0f;
    if (mottle + (strands - 0.5f) * 0.3f > 0.66f)
        return grain_shade(RAMP_MAGENTA, shade - 0.7f, u, v);
    return grain_shade(RAMP_VIOLET, shade, u, v);
}

int mibo_face(int u, int v, int variant)
{
    /* Two big eyes, each with a pupil looking slightly down and a white catch light. */
    for (int side = 0; side < 2; side++) {
        float cx = side ? 22.0f : 10.0f, cy = 13.0f;
        float d = centre_distance(u, v, cx, cy);
        if (d < 5.6f) {
            if (centre_distance(u, v, cx - 1.3f, cy - 1.0f) < 1.4f)
                return ramp_colour(RAMP_GREY, 15);
            if (centre_distance(u, v, cx, cy + 0.8f) < 3.2f)
                return ramp_colour(RAMP_BLUE, 2);
            if (d > 4.7f)
                return ramp_colour(RAMP_VIOLET, 4);
            return ramp_colour(RAMP_GREY, v > cy + 2 ? 13 : 15);
        }
    }
    /* A small smile and rosy cheeks. */
    float smile = centre_distance(u, v, 16.0f, 19.5f);
    if (smile > 3.0f && smile < 4.3f && v > 20)
        return ramp_colour(RAMP_VIOLET, 3);
    if (centre_distance(u, v, 6.0f, 21.0f) < 2.5f || centre_distance(u, v, 26.0f, 21.0f) < 2.5f)
        return ramp_colour(RAMP_PINK, 12);
    return mibo_fur(u, v, variant);
}

int mibo_belly(int u, int v, int variant)
{
    float shade = 11.2f + (value_noise(u * 0.5f, v * 0.2f, 611) - 0.5f) * 1.4f;
    return grain_shade(RAMP_PINK, shade, u, v);
}

int mibo_feet(int u, int v, int variant)
{
    float shade = 8.4f + (value_noise(u * 0.5f, v * 0.2f, 621) - 0.5f) * 1.4f;
    return grain_shade(RAMP_VIOLET, shade, u, v);
}

/* ---- 54: the zipper ----------------------------------------------------------------- */

/* Scalloped feathers: rows of round-tipped feathers, each row lying over the one below it
   like roof tiles and shifted by half a feather. Returns the shade of the feather's face,
   or -1 on its rim. */
float feather_shade(int u, int v, int seed)
{
    const float width = 8.0f, rise = 5.0f, radius = 4.9f;
    float px = u + 0.5f, py = v + 0.5f;
    int row = (int)std::floor(py / rise);
    for (int r = row - 1; r <= row + 1; r++) {
        float shift = (r & 1) ? width / 2 : 0.0f;
        float cx = std::floor((px - shift) / width) * width + shift + width / 2;
        float cy = r * rise;
        float dx = px - cx, dy = py - cy;
        float d = std::sqrt(dx * dx + dy * dy);
        if (dy > -2.5f && d < radius) {
            if (d > radius - 1.0f && dy > 0.0f)
                return -1.0f;
            float grain = value_noise(px * 0.7f, py * 0.7f, seed) - 0.5f;
            return 12.2f - (d / radius) * 1.6f + grain * 0.5f;
        }
    }
    return 10.8f;
}

int zipper_feathers(int u, int v, int variant)
{
    float shade = feather_shade(u, v, 701 + variant);
    if (shade < 0)
        return dither_shade(RAMP_ORANGE, 11.6f, u, v);
    return dither_shade(RAMP_YELLOW, shade, u, v);
}

int zipper_head(int u, int v, int variant)
{
    float d = centre_distance(u, v, 16.0f, 16.0f);
    if (d < 8.0f) {
        if (centre_distance(u, v, 15.3f, 15.0f) < 1.6f)
            return ramp_colour(RAMP_GREY, 15);
        if (centre_distance(u, v, 16.8f, 16.6f) < 4.2f)
            return ramp_colour(RAMP_GREY, 1);
        if (d > 6.9f)
            return ramp_colour(RAMP_ORANGE, 6);
        return ramp_colour(RAMP_GREY, v > 19 ? 13 : 15);
    }
    float shade = 11.6f + (value_noise(u * 0.6f, v * 0.6f, 711) - 0.5f) * 0.9f;
    return dither_shade(RAMP_YELLOW, shade, u, v);
}

int zipper_beak(int u, int v, int variant)
{
    float shade = 12.0f - v * 0.05f + (tile_noise(u, v, 721, 2) - 0.5f) * 0.8f;
    return dither_shade(RAMP_ORANGE, shade, u, v);
}

int zipper_wing(int u, int v, int variant)
{
    /* Long flight feathers: darker quills between them. */
    int along = (u + v / 3) % 6;
    float shade = 10.6f - (along == 0 ? 1.3f : 0.0f) + (along == 1 ? 0.7f : 0.0f);
    shade += (value_noise(u * 0.4f, v * 0.9f, 731) - 0.5f) * 0.8f;
    return dither_shade(RAMP_ORANGE, shade, u, v);
}

int zipper_crest(int u, int v, int variant)
{
    float flame = value_noise(u * 0.45f, v * 0.12f, 741);
    float shade = 10.4f + (flame - 0.5f) * 3.0f + (16 - v) * 0.05f;
    return dither_shade(RAMP_RED, shade, u, v);
}

/* ---- 56: the sweet ------------------------------------------------------------------ */

int sweet_stripes(int u, int v, int variant)
{
    /* Diagonal pink and white stripes under a glossy band. */
    int band = ((u + v + variant * 3) / 5) % 2;
    float gloss = std::fabs((u - v) * 0.7071f) < 2.2f ? 1.0f : 0.0f;
    if (band)
        return dither_shade(RAMP_GREY, 14.6f + gloss * 0.4f, u, v);
    float shade = 10.8f + gloss * 2.2f + (tile_noise(u, v, 801, 2) - 0.5f) * 0.6f;
    return dither_shade(RAMP_PINK, shade, u, v);
}

int sweet_wrapper(int u, int v, int variant)
{
    /* Crinkled foil: folds that run along the twist, with sharp glints. */
    float fold = std::sin(u * 0.9f + value_noise(u * 0.2f, v * 0.25f, 811) * 6.0f);
    float shade = 11.4f + fold * 1.3f;
    if (hash_random(u, v, 812) > 0.96f && fold > 0.3f)
        return ramp_colour(RAMP_GREY, 15);
    return dither_shade(RAMP_YELLOW, shade, u, v);
}

int sweet_magenta(int u, int v, int variant)
{
    float shade = 11.0f + (tile_noise(u, v, 821, 2) - 0.5f) * 0.7f;
    return dither_shade(RAMP_MAGENTA, shade, u, v);
}

/* ---- 57: the jar and the mine ------------------------------------------------------- */

int jar_body(int u, int v, int variant)
{
    float shade = 10.6f + (tile_noise(u, v, 901 + variant, 3) - 0.5f) * 1.0f;
    /* A painted band: cream zigzag between two dark lines, dots above and below. */
    float zig = std::fabs(std::fmod(u + 32.0f, 8.0f) - 4.0f);   /* 0 ... 4 */
    if (v == 10 || v == 22)
        return ramp_colour(RAMP_CLAY, 6);
    if (v > 11 && v < 21) {
        float line = 12.0f + zig * 2.0f;
        if (std::fabs(v + 0.5f - line) < 1.2f)
            return dither_shade(RAMP_SAND, 13.5f, u, v);
    }
    if ((v == 6 || v == 26) && (u % 8) == 3)
        return ramp_colour(RAMP_SAND, 13);
    return grain_shade(RAMP_CLAY, shade, u, v);
}

int jar_rim(int u, int v, int variant)
{
    /* Glossy glaze with a bright streak where the light catches the curve. */
    float shade = 10.6f + std::sin((v - 4) * 3.14159f / 28.0f) * 1.0f;
    if (v >= 9 && v <= 11)
        shade = 14.0f;
    shade += (tile_noise(u, v, 911, 2) - 0.5f) * 0.5f;
    return dither_shade(RAMP_TEAL, shade, u, v);
}

int mine_shell(int u, int v, int variant)
{
    float shade = 6.4f + (16 - v) * 0.05f + (tile_noise(u, v, 921, 2) - 0.5f) * 0.8f;
    if (v == 15)
        shade = 4.5f;            /* the seam of the two halves */
    else if (v == 16)
        shade = 8.5f;
    if (std::fabs(u + 0.5f - 8.0f) < 1.5f && std::fabs(v + 0.5f - 8.0f) < 1.5f)
        shade = 10.5f;           /* bolts */
    if (std::fabs(u + 0.5f - 24.0f) < 1.5f && std::fabs(v + 0.5f - 24.0f) < 1.5f)
        shade = 10.5f;
    return dither_shade(RAMP_STEEL, shade, u, v);
}

int mine_spike(int u, int v, int variant)
{
    /* A turned metal part: a bright highlight line left of centre. */
    float across = std::fabs(u + 0.5f - 12.0f);
    float shade = 7.0f + std::fmax(0.0f, 5.5f - across * 1.4f);
    shade += (tile_noise(u, v, 931, 2) - 0.5f) * 0.5f;
    return dither_shade(RAMP_GREY, shade, u, v);
}

int mine_spark(int u, int v, int variant)
{
    float d = centre_distance(u, v, 16.0f, 16.0f) / 16.0f;
    if (d < 0.35f)
        return dither_shade(RAMP_YELLOW, 15.0f - d * 6.0f, u, v);
    if (d < 0.7f)
        return dither_shade(RAMP_ORANGE, 13.5f - (d - 0.35f) * 8.0f, u, v);
    return dither_shade(RAMP_RED, 11.5f - (d - 0.7f) * 4.0f, u, v);
}

int jar_inside(int u, int v, int variant)
{
    float shade = 6.6f + (tile_noise(u, v, 941, 3) - 0.5f) * 0.8f;
    return grain_shade(RAMP_CLAY, shade, u, v);
}

/* ---- 52: the teleport --------------------------------------------------------------- */

int teleport_ring(int u, int v, int variant)
{
    /* Bands of energy running around the ring. */
    float wave = std::sin(v * 0.78f + std::sin(u * 0.39f) * 0.8f + variant);
    float shade = 11.2f + wave * 1.4f;
    return dither_shade(wave > 0.55f ? RAMP_GREY : RAMP_SKY, wave > 0.55f ? 14.5f : shade, u, v);
}

int teleport_pad(int u, int v, int variant)
{
    float d = centre_distance(u, v, 16.0f, 16.0f);
    float ring = std::cos(d * 1.15f);
    float shade = 10.0f + ring * 1.4f + (1.0f - d / 23.0f) * 1.2f;
    return dither_shade(RAMP_TEAL, shade, u, v);
}

int teleport_base(int u, int v, int variant)
{
    float shade = 11.4f + (v % 8 == 3 ? -1.3f : 0.0f) + (v % 8 == 4 ? 1.0f : 0.0f);
    shade += (value_noise(u * 0.1f, v * 1.5f, 1001) - 0.5f) * 0.8f;
    return dither_shade(RAMP_STEEL, shade, u, v);
}

int teleport_core(int u, int v, int variant)
{
    float d = centre_distance(u, v, 16.0f, 16.0f) / 22.6f;
    if (d < 0.45f)
        return ramp_colour(RAMP_GREY, 15);
    return dither_shade(RAMP_YELLOW, 15.0f - (d - 0.45f) * 6.0f, u, v);
}

/* ---- the sheets --------------------------------------------------------------------- */

struct Skin {
    int object;                 /* datafile object number */
    TilePainter tiles[8];
    int tile_count;             /* tiles from this one on repeat variants of tile 0 */
};

const Skin skins[] = {
    {52, {teleport_ring, teleport_pad, teleport_base, teleport_core}, 4},
    {53, {mibo_fur, mibo_face, mibo_belly, mibo_feet}, 4},
    {54, {zipper_feathers, zipper_head, zipper_beak, zipper_wing, zipper_crest}, 5},
    {55, {robot_metal, robot_face, robot_accent_stripe, robot_rubber, robot_riveted, robot_chest,
          robot_lamp, robot_accent}, 8},
    {56, {sweet_stripes, sweet_wrapper, sweet_magenta}, 3},
    {57, {jar_body, jar_rim, mine_shell, mine_spike, mine_spark, jar_inside}, 6},
};

}  // namespace

void make_model_texture(const char *path, int object)
{
    const Skin *skin = &skins[0];
    for (const Skin &s : skins)
        if (s.object == object)
            skin = &s;
    BITMAP *sheet = create_bitmap_ex(8, SHEET, SHEET);
    for (int t = 0; t < 16; t++) {
        TilePainter paint = t < skin->tile_count ? skin->tiles[t] : skin->tiles[0];
        int variant = t < skin->tile_count ? 0 : t;
        for (int v = 0; v < TILE; v++)
            for (int u = 0; u < TILE; u++)
                putpixel(sheet, TILE * (t % 4) + u, TILE * (t / 4) + v, paint(u, v, variant));
    }
    save_picture(path, sheet);
    destroy_bitmap(sheet);
}
