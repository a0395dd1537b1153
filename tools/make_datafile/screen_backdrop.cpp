/* screen_backdrop.cpp: the backdrop panorama behind the 3D view (object 34), one full turn wide. */
#include <cmath>

#include "make_datafile.h"

namespace {

/* 1280 pixels are one full turn (5 per 1/256 turn). The picture is drawn centred on the
   viewport, so 768 rows fill every screen up to 1024 x 768; at 640 x 480 rows 144 ... 623
   show. The horizon of the level camera falls near row 326 (290 ... 355 over the screen
   sizes and viewport scales), where the mountains stand in the haze above banks of cloud. */
const int SKY_W = 1280, SKY_H = 768;
const float HORIZON = 330.0f;

float smooth(float edge0, float edge1, float v)
{
    float t = (v - edge0) / (edge1 - edge0);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return t * t * (3 - 2 * t);
}

/* Tileable noise across the panorama: `scale` pixels per lattice cell, which must divide
   the width so the two ends meet. */
float wrap_noise(float x, float y, float scale, int seed, int octaves)
{
    return fractal_noise(x / scale, y / scale, seed, octaves, (int)(SKY_W / scale));
}

/* A low-poly mountain range: straight flanks between peaks and saddles every `spacing`
   pixels (a divisor of the width). Returns the height above the foot at x and whether the
   flank there faces the light (rising to the right). */
float range_height(float x, int spacing, float low, float high, int seed, bool *lit)
{
    int count = SKY_W / spacing;
    float f = x / spacing;
    int i = (int)std::floor(f);
    float t = f - i;
    auto point = [&](int k) {
        int wrapped = ((k % count) + count) % count;
        float r = value_noise((float)wrapped, 0.0f, seed);
        /* Swelling by a slower wave groups the peaks into massifs. */
        float massif = 0.4f + 0.6f * wrap_noise((float)(wrapped * spacing), 0.0f, 320.0f, seed + 3, 2);
        return low + (high - low) * massif * r * r;
    };
    float a = point(i), b = point(i + 1);
    *lit = b > a;
    return a + (b - a) * t;
}

/* Density of the loose clouds high in the sky. */
float sky_cloud(float x, float y)
{
    float band = smooth(190, 240, y) * (1 - smooth(270, 300, y));
    float n = wrap_noise(x, y * 2.4f, 128.0f, 77, 5);
    return band * smooth(0.6f, 0.7f, n);
}

const CloudBank banks[] = {
    {338, 64, 12, 22, 0.25f, 5},
    {372, 40, 22, 34, 0.7f, 6},
    {436, 26, 36, 50, 1.0f, 7},
    {550, 20, 40, 70, 1.0f, 8},
    {720, 14, 56, 90, 1.0f, 9},
};

}  // namespace

void make_backdrop(const char *path)
{
    Canvas canvas = canvas_create(SKY_W, SKY_H, rgb(0, 0, 0));
    Colour zenith = ramp_rgb(RAMP_SKY, 5.5f), middle = ramp_rgb(RAMP_SKY, 10.0f);
    Colour haze = ramp_rgb(RAMP_SKY, 13.8f), deep = ramp_rgb(RAMP_SKY, 9.5f);
    Colour abyss = ramp_rgb(RAMP_SKY, 6.5f);
    Colour far_lit = mix(ramp_rgb(RAMP_VIOLET, 12.5f), haze, 0.45f);
    Colour far_dark = mix(ramp_rgb(RAMP_VIOLET, 10.0f), haze, 0.4f);
    Colour near_lit = mix(ramp_rgb(RAMP_TEAL, 12.0f), haze, 0.35f);
    Colour near_dark = mix(ramp_rgb(RAMP_TEAL, 9.5f), haze, 0.3f);
    Colour snow = ramp_rgb(RAMP_GREY, 15.0f), snow_dark = ramp_rgb(RAMP_SKY, 14.5f);
    Colour wisp = mix(ramp_rgb(RAMP_GREY, 15.0f), ramp_rgb(RAMP_PINK, 14.0f), 0.2f);

    for (int x = 0; x < SKY_W; x++) {
        bool far_side_lit, near_side_lit;
        float far_top = HORIZON + 4 - range_height(x, 40, 16.0f, 130.0f, 11, &far_side_lit);
        float near_top = HORIZON + 8 - range_height(x + 20, 32, 6.0f, 52.0f, 29, &near_side_lit);
        for (int y = 0; y < SKY_H; y++) {
            Colour c;
            if (y < HORIZON) {
                /* Deep at the top, where the HUD's green counters must stand out. */
                c = y < 230 ? mix(zenith, middle, smooth(0, 230, y))
                            : mix(middle, haze, smooth(230, HORIZON, y));
                float w = sky_cloud(x, y);
                if (w > 0)
                    c = mix(c, wisp, w * 0.85f);
            } else {
                float t = (y - HORIZON) / (SKY_H - HORIZON);
                c = t < 0.45f ? mix(haze, deep, smooth(0, 0.45f, t))
                              : mix(deep, abyss, smooth(0.45f, 1.0f, t));
            }
            /* Two ranges of mountains, the far one paler, snow on its high peaks. */
            float cover = std::fmin(1.0f, std::fmax(0.0f, y - far_top + 0.5f));
            if (cover > 0 && y < HORIZON + 30) {
                Colour rock = far_side_lit ? far_lit : far_dark;
                if (y < HORIZON - 78 + 10 * wrap_noise(x, 0, 16.0f, 5, 2))
                    rock = far_side_lit ? snow : snow_dark;
                rock = mix(rock, haze, smooth(far_top + 20, HORIZON + 10, y) * 0.6f);
                c = mix(c, rock, cover);
            }
            cover = std::fmin(1.0f, std::fmax(0.0f, y - near_top + 0.5f));
            if (cover > 0 && y < HORIZON + 30) {
                Colour rock = near_side_lit ? near_lit : near_dark;
                rock = mix(rock, haze, smooth(near_top, HORIZON + 14, y) * 0.55f);
                c = mix(c, rock, cover);
            }
            canvas.pixels[(size_t)y * SKY_W + x] = c;
        }
    }
    /* Banks of cloud from the far one to the near one. */
    for (const CloudBank &bank : banks)
        paint_cloud_bank(canvas, bank);
    save_canvas(path, canvas, 0.7f);
}
