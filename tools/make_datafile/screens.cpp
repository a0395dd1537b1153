/* screens.cpp: the look shared by the full-screen pictures: sky, floating blocks, panels, buttons. */
#include <cmath>

#include "make_datafile.h"

namespace {

float smooth(float edge0, float edge1, float v)
{
    float t = (v - edge0) / (edge1 - edge0);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return t * t * (3 - 2 * t);
}

void quad(Canvas &canvas, float x0, float y0, float x1, float y1, float x2, float y2, float x3,
          float y3, Colour top, Colour bottom, float alpha = 1.0f)
{
    const float points[8] = {x0, y0, x1, y1, x2, y2, x3, y3};
    fill_polygon(canvas, points, 4, top, bottom, alpha);
}

}  // namespace

void paint_screen_sky(Canvas &canvas, float haze_y, int seed)
{
    Colour zenith = ramp_rgb(RAMP_SKY, 9.0f);
    Colour middle = ramp_rgb(RAMP_SKY, 11.0f);
    Colour haze = ramp_rgb(RAMP_SKY, 13.8f);
    Colour cloud = ramp_rgb(RAMP_GREY, 15.0f);
    Colour cloud_shade = ramp_rgb(RAMP_SKY, 13.0f);
    auto cloud_density = [&](float x, float y) {
        /* Clouds gather toward the haze and thin out above. */
        float layer = smooth(haze_y * 0.4f, haze_y * 0.9f, y);
        float threshold = 0.8f - 0.3f * layer;
        return smooth(threshold, threshold + 0.1f, fractal_noise(x / 120.0f, y / 42.0f, seed, 5));
    };
    for (int y = 0; y < canvas.h; y++) {
        float t = y / haze_y;
        Colour base = t < 0.55f ? mix(zenith, middle, smooth(0, 0.55f, t))
                                : mix(middle, haze, smooth(0.55f, 1.0f, t));
        for (int x = 0; x < canvas.w; x++) {
            Colour c = base;
            float density = cloud_density(x, y);
            if (density > 0) {
                /* Lit from above: cloud overhead shades what lies beneath it. */
                float above = cloud_density(x + 4, y - 9);
                Colour puff = mix(cloud, cloud_shade, above * 0.85f);
                c = mix(c, puff, density * 0.95f);
            }
            canvas.pixels[(size_t)y * canvas.w + x] = c;
        }
    }
}

void paint_cloud_bank(Canvas &canvas, const CloudBank &bank)
{
    Colour cloud = ramp_rgb(RAMP_GREY, 15.0f), cloud_shade = ramp_rgb(RAMP_SKY, 13.0f);
    /* Noise that repeats across the canvas's width, so a panorama's ends still meet. */
    auto noise = [&](float x, float y, float scale, int seed, int octaves) {
        return fractal_noise(x / scale, y / scale, seed, octaves, (int)(canvas.w / scale));
    };
    for (int x = 0; x < canvas.w; x++) {
        /* Two rows of puffs of unlike sizes, so no two neighbours look alike. */
        float phase = x * bank.bumps / (float)canvas.w + 0.9f * noise(x, bank.top, 160.0f, bank.seed, 2);
        float small = x * (bank.bumps * 5 / 3) / (float)canvas.w
                      + 0.7f * noise(x, bank.top + 80.0f, 64.0f, bank.seed + 4, 2);
        float billow = std::fmax(std::sqrt(std::fabs(std::sin(3.14159265f * phase))),
                                 0.75f * std::sqrt(std::fabs(std::sin(3.14159265f * small))));
        /* Where the bank breaks up its edge sinks below its underside, so every cluster
           ends in a rounded taper. */
        float presence = 1.0f - bank.gaps * (1.0f - smooth(0.3f, 0.65f,
                                                           noise(x, bank.top + 40.0f, 128.0f, bank.seed + 9, 3)));
        float swell = std::sqrt(presence);
        float edge = bank.top - bank.height * billow * swell + (1.0f - swell) * bank.thickness * 1.3f;
        for (int y = (int)std::floor(edge) - 1; y < canvas.h; y++) {
            if (y < 0)
                continue;
            float body = std::fmin(1.0f, std::fmax(0.0f, y - edge + 1.0f));
            float fade = 1.0f - smooth(bank.top + bank.thickness * 0.3f, bank.top + bank.thickness, y);
            if (fade <= 0)
                break;
            /* Shaded by height in the bank, with a white crown along the edge. */
            float low = smooth(bank.top - bank.height * 0.5f, bank.top + bank.thickness, y);
            Colour puff = mix(cloud, cloud_shade, low * smooth(0.0f, 5.0f, y - edge));
            blend_pixel(canvas, x, y, puff, body * fade);
        }
    }
}

void paint_floating_block(Canvas &canvas, float cx, float cy, float a, float depth, int top_ramp,
                          int side_ramp, float haze)
{
    float b = a * 0.5f;
    Colour sky = ramp_rgb(RAMP_SKY, 13.5f);
    auto tone = [&](int ramp, float shade) { return mix(ramp_rgb(ramp, shade), sky, haze); };

    /* The underside tapers into a rough rock point, as if torn from the ground. */
    float tip = depth * 1.9f;
    quad(canvas, cx - a, cy + depth, cx, cy + b + depth, cx, cy + b + tip, cx - a * 0.45f,
         cy + depth + tip * 0.55f, tone(side_ramp, 7.5f), tone(side_ramp, 5.0f));
    quad(canvas, cx, cy + b + depth, cx + a, cy + depth, cx + a * 0.5f, cy + depth + tip * 0.6f,
         cx, cy + b + tip, tone(side_ramp, 6.0f), tone(side_ramp, 4.0f));

    /* Left side catches the light, the right one is in shade. */
    quad(canvas, cx - a, cy, cx, cy + b, cx, cy + b + depth, cx - a, cy + depth,
         tone(side_ramp, 11.5f), tone(side_ramp, 9.5f));
    quad(canvas, cx, cy + b, cx + a, cy, cx + a, cy + depth, cx, cy + b + depth,
         tone(side_ramp, 9.5f), tone(side_ramp, 8.0f));
    /* A lip of the top material over the sides. */
    float lip = depth * 0.22f;
    quad(canvas, cx - a, cy, cx, cy + b, cx, cy + b + lip, cx - a, cy + lip, tone(top_ramp, 10.5f),
         tone(top_ramp, 10.0f));
    quad(canvas, cx, cy + b, cx + a, cy, cx + a, cy + lip, cx, cy + b + lip, tone(top_ramp, 9.0f),
         tone(top_ramp, 8.5f));
    quad(canvas, cx, cy - b, cx + a, cy, cx, cy + b, cx - a, cy, tone(top_ramp, 13.0f),
         tone(top_ramp, 11.5f));
    /* A bright rim along the near edges of the top face. */
    const float rim[8] = {cx - a, cy, cx, cy + b, cx, cy + b - 1.5f, cx - a + 3.0f, cy};
    fill_polygon(canvas, rim, 4, tone(top_ramp, 14.5f), tone(top_ramp, 14.5f), 0.8f);
}

void paint_robot(Canvas &canvas, float x, float y, float s)
{
    Colour metal_light = ramp_rgb(RAMP_STEEL, 13.5f), metal = ramp_rgb(RAMP_STEEL, 11.0f);
    Colour metal_dark = ramp_rgb(RAMP_STEEL, 7.0f);
    Colour accent = ramp_rgb(RAMP_ORANGE, 11.5f), accent_light = ramp_rgb(RAMP_ORANGE, 13.5f);
    Colour visor = ramp_rgb(RAMP_BLUE, 3.0f), eye = ramp_rgb(RAMP_SKY, 14.5f);
    float u = 1.0f * s;

    fill_ellipse(canvas, x, y, 15 * u, 4 * u, ramp_rgb(RAMP_GREY, 2), ramp_rgb(RAMP_GREY, 2), 0.35f);
    /* Feet and legs. */
    fill_round_rect(canvas, x - 11 * u, y - 5 * u, x - 3 * u, y, 2 * u, metal, metal_dark);
    fill_round_rect(canvas, x + 3 * u, y - 5 * u, x + 11 * u, y, 2 * u, metal, metal_dark);
    /* Body with its accent plate. */
    fill_round_rect(canvas, x - 13 * u, y - 22 * u, x + 13 * u, y - 4 * u, 4 * u, metal_light,
                    metal);
    fill_round_rect(canvas, x - 8 * u, y - 17 * u, x + 8 * u, y - 9 * u, 2 * u, accent_light,
                    accent);
    /* Head, visor and eyes. */
    fill_round_rect(canvas, x - 11 * u, y - 38 * u, x + 11 * u, y - 23 * u, 4 * u, metal_light,
                    metal);
    fill_round_rect(canvas, x - 8 * u, y - 34 * u, x + 8 * u, y - 27 * u, 3 * u, visor, visor);
    fill_ellipse(canvas, x - 4 * u, y - 30.5f * u, 2 * u, 2 * u, eye, eye);
    fill_ellipse(canvas, x + 4 * u, y - 30.5f * u, 2 * u, 2 * u, eye, eye);
    /* Antenna. */
    fill_round_rect(canvas, x - 0.8f * u, y - 44 * u, x + 0.8f * u, y - 38 * u, 0.5f * u, metal_dark,
                    metal_dark);
    fill_ellipse(canvas, x, y - 45 * u, 2.6f * u, 2.6f * u, ramp_rgb(RAMP_RED, 14),
                 ramp_rgb(RAMP_RED, 10));
}

void paint_sweet(Canvas &canvas, float cx, float cy, float s, int ramp)
{
    Colour light = ramp_rgb(ramp, 14.0f), full = ramp_rgb(ramp, 11.0f), dark = ramp_rgb(ramp, 8.0f);
    /* Twisted wrapper ends, then the round candy, then a shine. */
    const float left[6] = {cx - 8 * s, cy, cx - 16 * s, cy - 7 * s, cx - 16 * s, cy + 7 * s};
    const float right[6] = {cx + 8 * s, cy, cx + 16 * s, cy - 7 * s, cx + 16 * s, cy + 7 * s};
    fill_polygon(canvas, left, 3, light, dark);
    fill_polygon(canvas, right, 3, light, dark);
    fill_ellipse(canvas, cx, cy, 10 * s, 8 * s, light, dark);
    fill_round_rect(canvas, cx - 3 * s, cy - 8 * s, cx + 1 * s, cy + 8 * s, 1.5f * s, full, full, 0.6f);
    fill_ellipse(canvas, cx - 4 * s, cy - 3.5f * s, 3 * s, 2 * s, ramp_rgb(RAMP_GREY, 15),
                 ramp_rgb(RAMP_GREY, 15), 0.8f);
}

void paint_panel(Canvas &canvas, float x0, float y0, float x1, float y1, float radius, float alpha)
{
    fill_round_rect(canvas, x0 + 3, y0 + 4, x1 + 3, y1 + 4, radius, ramp_rgb(RAMP_BLUE, 1),
                    ramp_rgb(RAMP_BLUE, 1), 0.25f);
    fill_round_rect(canvas, x0, y0, x1, y1, radius, ramp_rgb(RAMP_BLUE, 3.0f),
                    ramp_rgb(RAMP_BLUE, 1.5f), alpha);
    stroke_round_rect(canvas, x0, y0, x1, y1, radius, 2.0f, ramp_rgb(RAMP_SKY, 13.0f), 0.85f);
}

void paint_button(Canvas &canvas, float x0, float y0, float x1, float y1, int ramp)
{
    float r = (y1 - y0) * 0.3f;
    fill_round_rect(canvas, x0, y0, x1, y1, r, ramp_rgb(ramp, 5.0f), ramp_rgb(ramp, 4.0f));
    fill_round_rect(canvas, x0 + 1, y0 + 1, x1 - 1, y1 - 2.5f, r - 1, ramp_rgb(ramp, 13.0f),
                    ramp_rgb(ramp, 10.0f));
    fill_round_rect(canvas, x0 + 3, y0 + 2, x1 - 3, y0 + (y1 - y0) * 0.45f, r - 2,
                    ramp_rgb(RAMP_GREY, 15), ramp_rgb(RAMP_GREY, 15), 0.22f);
}

void paint_keycap(Canvas &canvas, float x0, float y0, float x1, float y1, const char *label,
                  int size)
{
    float r = 5.0f;
    fill_round_rect(canvas, x0, y0, x1, y1, r, ramp_rgb(RAMP_STEEL, 6.0f), ramp_rgb(RAMP_STEEL, 4.0f));
    fill_round_rect(canvas, x0 + 2, y0 + 1, x1 - 2, y1 - 4, r - 1, ramp_rgb(RAMP_GREY, 15.0f),
                    ramp_rgb(RAMP_STEEL, 13.0f));
    TextStyle text = plain_text(FACE_SANS_BOLD, size, ramp_rgb(RAMP_BLUE, 3.0f));
    float baseline = (y0 + 1 + y1 - 4) * 0.5f + cap_height(text) * 0.5f;
    draw_text(canvas, text, (x0 + x1) * 0.5f, std::floor(baseline), label, ALIGN_CENTRE);
}

TextStyle heading_style(int size)
{
    TextStyle style;
    style.face = FACE_SANS_BOLD;
    style.size = size;
    style.top = ramp_rgb(RAMP_YELLOW, 14.0f);
    style.bottom = ramp_rgb(RAMP_ORANGE, 11.0f);
    style.outline = ramp_rgb(RAMP_BLUE, 2.0f);
    style.outline_width = size / 22.0f + 1.5f;
    style.shadow = ramp_rgb(RAMP_BLUE, 1.0f);
    style.shadow_dx = size / 24 + 1;
    style.shadow_dy = size / 16 + 2;
    style.shadow_alpha = 0.45f;
    return style;
}

TextStyle label_style(TextFace face, int size)
{
    TextStyle style = plain_text(face, size, ramp_rgb(RAMP_GREY, 15.0f));
    style.shadow = ramp_rgb(RAMP_BLUE, 1.0f);
    style.shadow_dx = 1;
    style.shadow_dy = 1;
    style.shadow_alpha = 0.8f;
    return style;
}
