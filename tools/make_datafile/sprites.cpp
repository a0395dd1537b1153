/* sprites.cpp: the explosion frames, the level select cursor and the completed-level mark. */
#include <cmath>

#include "make_datafile.h"
#include "sprite_paint.h"

namespace {

/* ---- 3 ... 7: the explosion --------------------------------------------------------- */

const int BLAST_SIZE = 64;

/* How each of the five frames looks: the fireball's reach (fraction of the half size), how
   hot it still burns, how much of it has turned to smoke, and how much of the smoke has
   thinned away. */
struct BlastFrame {
    float reach;
    float heat;
    float smoke;    /* heat below this is smoke */
    float thin;     /* 0: solid; higher: more holes toward the rim */
};

const BlastFrame blast_frames[5] = {
    {0.46f, 1.50f, 0.00f, 0.0f},
    {0.68f, 1.22f, 0.00f, 0.0f},
    {0.84f, 0.98f, 0.16f, 0.0f},
    {0.94f, 0.80f, 0.32f, 0.25f},
    {1.00f, 0.50f, 0.46f, 0.75f},
};

int fire_colour(float heat, int x, int y)
{
    if (heat > 0.92f)
        return ramp_colour(RAMP_GREY, 15);
    if (heat > 0.80f)
        return ramp_colour(RAMP_YELLOW, 14);
    if (heat > 0.68f)
        return dither_shade(RAMP_YELLOW, 12.5f, x, y);
    if (heat > 0.55f)
        return ramp_colour(RAMP_ORANGE, 12);
    if (heat > 0.42f)
        return ramp_colour(RAMP_ORANGE, 10);
    if (heat > 0.30f)
        return ramp_colour(RAMP_RED, 10);
    return ramp_colour(RAMP_RED, 7);
}

int blast_pixel(const BlastFrame &f, int frame, int x, int y)
{
    const float half = BLAST_SIZE / 2.0f;
    float dx = (x + 0.5f - half) / half, dy = (y + 0.5f - half) / half;
    float r = std::sqrt(dx * dx + dy * dy);
    /* One noise field for all frames, so the cloud keeps its shape as it grows. */
    float lumps = fractal_noise(x * 0.11f, y * 0.11f, 310, 3);
    float swirl = fractal_noise(x * 0.2f + frame * 0.7f, y * 0.2f, 320, 2);
    /* Kept off the outermost pixels: a stretched frame must not end in a straight cut. */
    float edge = std::fmin(f.reach * (0.72f + 0.45f * lumps), 0.96f);
    if (r > edge || edge <= 0)
        return 0;
    float inner = 1.0f - r / edge;                    /* 1 at the centre, 0 at the rim */
    float heat = (0.35f + 0.75f * inner) * f.heat + (swirl - 0.5f) * 0.45f - 0.25f;
    if (heat < f.smoke) {
        /* Smoke: puffs lit from above, thinning toward the rim in the late frames. */
        float gaps = (1.0f - inner) * f.thin + (0.5f - swirl) * 1.2f * f.thin +
                     (0.5f - lumps) * 0.8f * f.thin;
        if (f.thin > 0 && gaps > 0.15f + dither_threshold(x, y) * 0.35f)
            return 0;
        float shade = 4.0f + (lumps - 0.5f) * 5.0f - dy * 2.0f + (swirl - 0.5f) * 3.0f;
        return dither_shade(RAMP_GREY, shade, x, y);
    }
    return fire_colour(heat, x, y);
}

/* Sparks flung out of the fireball in the middle frames. */
void add_sparks(BITMAP *b, int frame)
{
    if (frame < 1 || frame > 3)
        return;
    const float half = BLAST_SIZE / 2.0f;
    for (int i = 0; i < 14; i++) {
        float angle = hash_random(i, 1, 330) * 6.2832f;
        float speed = 0.55f + 0.45f * hash_random(i, 2, 330);
        float reach = half * (0.35f + 0.3f * frame) * speed;
        int x = (int)(half + std::cos(angle) * reach), y = (int)(half + std::sin(angle) * reach);
        if (x < 1 || y < 1 || x >= BLAST_SIZE - 1 || y >= BLAST_SIZE - 1)
            continue;
        putpixel(b, x, y, ramp_colour(frame < 3 ? RAMP_YELLOW : RAMP_ORANGE, frame < 3 ? 14 : 12));
        if (frame < 3)
            putpixel(b, x - (int)std::round(std::cos(angle)), y - (int)std::round(std::sin(angle)),
                     ramp_colour(RAMP_ORANGE, 11));
    }
}

/* ---- 8: the level select cursor ------------------------------------------------------- */

const int CURSOR_W = 18, CURSOR_H = 22;

bool in_cursor_arrow(int x, int y)
{
    /* A fat arrow pointing right: a shaft and a head whose tip sits at the bar's middle
       (the bar is 22 rows high and the cursor's top is level with the bar's top). The
       outermost pixels stay clear for the outline. */
    float py = y + 0.5f, px = x + 0.5f;
    if (px >= 2.5f && px <= 8.0f && py >= 7.0f && py <= 15.0f)
        return true;
    float half_height = (15.5f - px) * 1.1f;
    return px >= 7.5f && px <= 15.5f && std::fabs(py - 11.0f) <= half_height && py >= 2.5f &&
           py <= 19.5f;
}

/* ---- 61: the completed mark -------------------------------------------------------- */

const int MARK_SIZE = 22;

/* True when (px, py) lies in a five-pointed star centred at (cx, cy), one point up. */
bool in_star(float px, float py, float cx, float cy, float outer, float inner)
{
    float vx[10], vy[10];
    for (int i = 0; i < 10; i++) {
        float a = i * 3.14159265f / 5.0f;
        float r = (i & 1) ? inner : outer;
        vx[i] = cx + r * std::sin(a);
        vy[i] = cy - r * std::cos(a);
    }
    /* Even-odd rule: count the edges a ray to the right crosses. */
    bool inside = false;
    for (int i = 0, j = 9; i < 10; j = i++) {
        if ((vy[i] > py) != (vy[j] > py) &&
            px < vx[j] + (vx[i] - vx[j]) * (py - vy[j]) / (vy[i] - vy[j]))
            inside = !inside;
    }
    return inside;
}

}  // namespace

void make_explosion(const char *path, int frame)
{
    if (frame < 0)
        frame = 0;
    if (frame > 4)
        frame = 4;
    BITMAP *b = create_bitmap_ex(8, BLAST_SIZE, BLAST_SIZE);
    for (int y = 0; y < BLAST_SIZE; y++)
        for (int x = 0; x < BLAST_SIZE; x++)
            putpixel(b, x, y, blast_pixel(blast_frames[frame], frame, x, y));
    add_sparks(b, frame);
    save_picture(path, b);
    destroy_bitmap(b);
}

void make_cursor(const char *path)
{
    BITMAP *b = create_bitmap_ex(8, CURSOR_W, CURSOR_H);
    clear_to_color(b, 0);
    for (int y = 0; y < CURSOR_H; y++) {
        for (int x = 0; x < CURSOR_W; x++) {
            if (!in_cursor_arrow(x, y))
                continue;
            /* Gold, lighter along the upper edges, deeper toward the bottom. */
            bool top_edge = !in_cursor_arrow(x, y - 1) || !in_cursor_arrow(x - 1, y);
            bool low_edge = !in_cursor_arrow(x, y + 1);
            int colour = ramp_colour(RAMP_YELLOW, y < 8 ? 14 : (y < 14 ? 13 : 12));
            if (top_edge)
                colour = ramp_colour(RAMP_YELLOW, 15);
            else if (low_edge)
                colour = ramp_colour(RAMP_ORANGE, 10);
            putpixel(b, x, y, colour);
        }
    }
    outline_sprite(b, ramp_colour(RAMP_GREY, 1));
    save_picture(path, b);
    destroy_bitmap(b);
}

void make_completed_mark(const char *path)
{
    BITMAP *b = create_bitmap_ex(8, MARK_SIZE, MARK_SIZE);
    clear_to_color(b, 0);
    const float c = MARK_SIZE / 2.0f;
    for (int y = 1; y < MARK_SIZE - 1; y++) {
        for (int x = 1; x < MARK_SIZE - 1; x++) {
            int inside = 0;
            for (int s = 0; s < 4; s++) {
                float sx = x + 0.25f + 0.5f * (s & 1), sy = y + 0.25f + 0.5f * (s >> 1);
                inside += in_star(sx, sy, c, c + 0.7f, 10.0f, 4.2f);
            }
            if (inside < 2)
                continue;
            /* Each arm is a ridge: the half facing the upper left is lit. */
            float dx = x + 0.5f - c, dy = y + 0.5f - (c + 0.7f);
            float arm = std::atan2(dx, -dy);
            float nearest = std::round(arm / (6.2832f / 5.0f)) * (6.2832f / 5.0f);
            float side = arm - nearest;
            float ax = std::sin(nearest), ay = -std::cos(nearest);
            /* The outward side of the facet the pixel lies on. */
            float nx = side > 0 ? -ay : ay, ny = side > 0 ? ax : -ax;
            float light = -(nx * 0.6f + ny * 0.8f);
            int colour = ramp_colour(RAMP_ORANGE, 12);
            if (light > 0.25f)
                colour = ramp_colour(RAMP_YELLOW, 14);
            else if (light > -0.25f)
                colour = ramp_colour(RAMP_YELLOW, 12);
            putpixel(b, x, y, colour);
        }
    }
    outline_sprite(b, ramp_colour(RAMP_ORANGE, 3));
    save_picture(path, b);
    destroy_bitmap(b);
}
