/* sprite_hud.cpp: the HUD icons: teleport (inactive and active), sweet and clock. */
#include <cmath>

#include "make_datafile.h"
#include "sprite_paint.h"

namespace {

/* All HUD icons share one size; the HUD places the sweet counter and the clock text beside
   them by fixed offsets, which leave room for this width. */
const int ICON = 24;

float distance(int x, int y, float cx, float cy)
{
    float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
    return std::sqrt(dx * dx + dy * dy);
}

BITMAP *new_icon()
{
    BITMAP *b = create_bitmap_ex(8, ICON, ICON);
    clear_to_color(b, 0);
    return b;
}

void finish_icon(const char *path, BITMAP *b)
{
    outline_sprite(b, ramp_colour(RAMP_GREY, 1));
    save_picture(path, b);
    destroy_bitmap(b);
}

/* A ring (torus seen from the front) between radii inner and outer, shaded as a tube lit from
   the upper left. Returns the tube's brightness 0 ... 1.3, or -1 off the ring. */
float ring_light(int x, int y, float cx, float cy, float inner, float outer)
{
    float d = distance(x, y, cx, cy);
    if (d < inner || d > outer)
        return -1.0f;
    float mid = (inner + outer) / 2, half = (outer - inner) / 2;
    float across = (d - mid) / half;                    /* -1 inner edge ... 1 outer edge */
    float nz = std::sqrt(std::fmax(0.0f, 1.0f - across * across));
    float dx = (x + 0.5f - cx) / d, dy = (y + 0.5f - cy) / d;
    float nx = dx * across, ny = dy * across;
    float diffuse = std::fmax(0.0f, -0.5f * nx - 0.6f * ny + 0.62f * nz);
    float specular = std::pow(std::fmax(0.0f, -0.3f * nx - 0.4f * ny + 0.87f * nz), 18.0f);
    return 0.2f + 0.8f * diffuse + 0.4f * specular;
}

}  // namespace

void make_teleport_icon(const char *path, int active)
{
    BITMAP *b = new_icon();
    const float c = ICON / 2.0f;
    for (int y = 1; y < ICON - 1; y++) {
        for (int x = 1; x < ICON - 1; x++) {
            float ring = ring_light(x, y, c, c, 6.0f, 10.5f);
            float d = distance(x, y, c, c);
            if (ring >= 0) {
                int ramp = active ? RAMP_TEAL : RAMP_STEEL;
                putpixel(b, x, y, dither_shade(ramp, (active ? 8.5f : 7.0f) + ring * 4.5f, x, y));
            } else if (d < 6.0f) {
                /* The gate: a dark well while closed, a white-blue glow once open. */
                if (active)
                    putpixel(b, x, y, d < 2.5f ? ramp_colour(RAMP_GREY, 15)
                                               : dither_shade(RAMP_SKY, 15.5f - d * 0.75f, x, y));
                else
                    putpixel(b, x, y, dither_shade(RAMP_BLUE, 2.5f + (c - y) * 0.15f, x, y));
            }
        }
    }
    if (active) {
        /* Sparkles on the rim: little four-pointed stars. */
        const int spark[3][2] = {{5, 5}, {19, 6}, {17, 19}};
        for (const auto &s : spark) {
            int rays = ramp_colour(RAMP_YELLOW, 14);
            putpixel(b, s[0], s[1], ramp_colour(RAMP_GREY, 15));
            putpixel(b, s[0] - 1, s[1], rays);
            putpixel(b, s[0] + 1, s[1], rays);
            putpixel(b, s[0], s[1] - 1, rays);
            putpixel(b, s[0], s[1] + 1, rays);
        }
    }
    finish_icon(path, b);
}

void make_sweet_icon(const char *path)
{
    BITMAP *b = new_icon();
    const float cx = ICON / 2.0f, cy = ICON / 2.0f;
    for (int y = 1; y < ICON - 1; y++) {
        for (int x = 1; x < ICON - 1; x++) {
            float light = sphere_light(x, y, cx, cy, 7.2f);
            if (light >= 0) {
                /* The candy: pink and white stripes that wind around it. */
                bool stripe = (int)std::floor((x - y + 40) / 3.0f) % 2 == 0;
                float shade = (stripe ? 9.5f : 11.0f) + light * 4.0f;
                int colour = stripe ? dither_shade(RAMP_PINK, shade, x, y)
                                    : dither_shade(RAMP_GREY, shade + 2.0f, x, y);
                putpixel(b, x, y, colour);
                continue;
            }
            /* Wrapper twists: fans of yellow foil on either side. */
            float ax = std::fabs(x + 0.5f - cx);
            float ay = std::fabs(y + 0.5f - cy);
            if (ax > 6.0f && ax < 10.5f && ay < 1.2f + (ax - 6.0f) * 1.05f) {
                bool fold = ((int)ay + (int)ax) % 3 == 0;
                int shade = ax < 7.5f ? 10 : (fold ? 11 : (y < cy ? 14 : 12));
                putpixel(b, x, y, ramp_colour(RAMP_YELLOW, shade));
            }
        }
    }
    finish_icon(path, b);
}

void make_clock_icon(const char *path)
{
    BITMAP *b = new_icon();
    const float cx = ICON / 2.0f, cy = ICON / 2.0f + 1.0f;
    /* A stopwatch: the crown first, the case over its foot. */
    rectfill(b, 10, 2, 13, 3, ramp_colour(RAMP_STEEL, 12));
    hline(b, 10, 2, 13, ramp_colour(RAMP_STEEL, 14));
    rectfill(b, 11, 4, 12, 4, ramp_colour(RAMP_STEEL, 9));
    for (int y = 1; y < ICON - 1; y++) {
        for (int x = 1; x < ICON - 1; x++) {
            float d = distance(x, y, cx, cy);
            if (d > 9.0f)
                continue;
            if (d > 7.0f) {
                /* Red case, lit on its upper left. */
                float lit = -((x + 0.5f - cx) * 0.6f + (y + 0.5f - cy) * 0.8f) / d;
                putpixel(b, x, y, ramp_colour(RAMP_RED, lit > 0.45f ? 13 : (lit > -0.3f ? 11 : 9)));
            } else {
                putpixel(b, x, y, ramp_colour(RAMP_GREY, y > cy + 4 ? 13 : 15));
            }
        }
    }
    /* Ticks at twelve, three, six and nine. */
    int tick = ramp_colour(RAMP_GREY, 6);
    putpixel(b, (int)cx, (int)cy - 6, tick);
    putpixel(b, (int)cx + 5, (int)cy, tick);
    putpixel(b, (int)cx, (int)cy + 5, tick);
    putpixel(b, (int)cx - 6, (int)cy, tick);
    /* Hands: one to twelve, one to two o'clock. */
    int hand = ramp_colour(RAMP_GREY, 2);
    vline(b, (int)cx, (int)cy - 5, (int)cy, hand);
    line(b, (int)cx, (int)cy, (int)cx + 4, (int)cy - 3, hand);
    putpixel(b, (int)cx, (int)cy, ramp_colour(RAMP_RED, 10));
    finish_icon(path, b);
}
