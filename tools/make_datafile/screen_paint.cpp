/* screen_paint.cpp: the full-colour canvas of the screens, its shapes and its quantising. */
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "make_datafile.h"

namespace {

/* Samples per pixel edge of the anti-aliased shapes: 4 x 4 gives 17 levels of coverage. */
const int SUPERSAMPLE = 4;

/* Paints a shape given by an inside test over the box x0 ... x1, y0 ... y1 with a vertical
   gradient between gy0 and gy1. */
template <typename Inside>
void paint_shape(Canvas &canvas, float x0, float y0, float x1, float y1, float gy0, float gy1,
                 Colour top, Colour bottom, float alpha, Inside inside)
{
    int px0 = (int)std::floor(x0), py0 = (int)std::floor(y0);
    int px1 = (int)std::ceil(x1), py1 = (int)std::ceil(y1);
    if (px0 < 0)
        px0 = 0;
    if (py0 < 0)
        py0 = 0;
    if (px1 > canvas.w)
        px1 = canvas.w;
    if (py1 > canvas.h)
        py1 = canvas.h;
    float span = gy1 - gy0 > 0.001f ? gy1 - gy0 : 1.0f;
    for (int y = py0; y < py1; y++) {
        float t = (y + 0.5f - gy0) / span;
        Colour colour = mix(top, bottom, t < 0 ? 0 : (t > 1 ? 1 : t));
        for (int x = px0; x < px1; x++) {
            int hits = 0;
            for (int sy = 0; sy < SUPERSAMPLE; sy++)
                for (int sx = 0; sx < SUPERSAMPLE; sx++)
                    hits += inside(x + (sx + 0.5f) / SUPERSAMPLE, y + (sy + 0.5f) / SUPERSAMPLE);
            if (hits)
                blend_pixel(canvas, x, y, colour, alpha * hits / float(SUPERSAMPLE * SUPERSAMPLE));
        }
    }
}

bool inside_round_rect(float x, float y, float x0, float y0, float x1, float y1, float r)
{
    if (x < x0 || x > x1 || y < y0 || y > y1)
        return false;
    float cx = x < x0 + r ? x0 + r : (x > x1 - r ? x1 - r : x);
    float cy = y < y0 + r ? y0 + r : (y > y1 - r ? y1 - r : y);
    float dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= r * r;
}

/* The nearest palette index (never 0) of each 6-bit colour, filled in as asked for. */
short nearest_cache[64 * 64 * 64];
bool cache_ready = false;

int nearest_index(int r, int g, int b)
{
    if (!cache_ready) {
        for (short &entry : nearest_cache)
            entry = -1;
        cache_ready = true;
    }
    int key = ((r >> 2) << 12) | ((g >> 2) << 6) | (b >> 2);
    if (nearest_cache[key] >= 0)
        return nearest_cache[key];
    /* Weighted like the eye: green differences count most, blue least. */
    int best = 1;
    long best_distance = -1;
    for (int i = 1; i < PAL_SIZE; i++) {
        long dr = game_colours[i].r * 4 - r, dg = game_colours[i].g * 4 - g;
        long db = game_colours[i].b * 4 - b;
        long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (best_distance < 0 || d < best_distance) {
            best_distance = d;
            best = i;
        }
    }
    nearest_cache[key] = (short)best;
    return best;
}

const int bayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},   {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38},  {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},   {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
};

int clamp_channel(float v)
{
    int i = (int)std::lround(v);
    return i < 0 ? 0 : (i > 255 ? 255 : i);
}

/* A measure in user units, to a hundredth of a pixel. */
std::string units(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string hex_colour(Colour c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", clamp_channel(c.r), clamp_channel(c.g),
                  clamp_channel(c.b));
    return text;
}

/* Writes `element` (an SVG shape without its closing "/>") filled as paint_shape fills: a
   vertical gradient from top at gy0 to bottom at gy1, in user space so that it runs over the
   same rows, and the shape's opacity. */
void record_shape(const Canvas &canvas, const std::string &element, float gy0, float gy1,
                  Colour top, Colour bottom, float alpha)
{
    if (!canvas.vector_shapes)
        return;
    std::string &out = *canvas.vector_shapes;
    std::string fill = hex_colour(top);
    if (fill != hex_colour(bottom)) {
        static int gradients = 0;
        const std::string id = "g" + std::to_string(gradients++);
        out += "<linearGradient id=\"" + id + "\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"" +
               units(gy0) + "\" x2=\"0\" y2=\"" + units(gy1) + "\"><stop offset=\"0\" stop-color=\"" +
               fill + "\"/><stop offset=\"1\" stop-color=\"" + hex_colour(bottom) +
               "\"/></linearGradient>\n";
        fill = "url(#" + id + ")";
    }
    out += element + " fill=\"" + fill + "\"";
    if (alpha < 1.0f)
        out += " fill-opacity=\"" + units(alpha) + "\"";
    out += "/>\n";
}

}  // namespace

Canvas canvas_create(int w, int h, Colour fill, bool opaque)
{
    Canvas canvas;
    canvas.w = w;
    canvas.h = h;
    canvas.pixels.assign((size_t)w * h, fill);
    canvas.cover.assign((size_t)w * h, opaque ? 1.0f : 0.0f);
    return canvas;
}

Colour rgb(int r, int g, int b)
{
    return Colour{(float)r, (float)g, (float)b};
}

Colour ramp_rgb(int ramp, float shade)
{
    if (shade < 0)
        shade = 0;
    if (shade > 15)
        shade = 15;
    int low = (int)std::floor(shade);
    int high = low < 15 ? low + 1 : 15;
    const RGB &a = game_colours[ramp_colour(ramp, low)];
    const RGB &b = game_colours[ramp_colour(ramp, high)];
    /* Palette channels are 6 bits; 63 maps to 255. */
    Colour ca{a.r * 255.0f / 63, a.g * 255.0f / 63, a.b * 255.0f / 63};
    Colour cb{b.r * 255.0f / 63, b.g * 255.0f / 63, b.b * 255.0f / 63};
    return mix(ca, cb, shade - low);
}

Colour mix(Colour a, Colour b, float t)
{
    return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void blend_pixel(Canvas &canvas, int x, int y, Colour colour, float alpha)
{
    if (x < 0 || y < 0 || x >= canvas.w || y >= canvas.h || alpha <= 0)
        return;
    if (alpha > 1)
        alpha = 1;
    size_t i = (size_t)y * canvas.w + x;
    /* Over an uncovered pixel the colour is taken whole: coverage carries the blend. */
    float old_cover = canvas.cover[i];
    float new_cover = old_cover + alpha * (1 - old_cover);
    float t = new_cover > 0 ? alpha / new_cover : 1;
    canvas.pixels[i] = mix(canvas.pixels[i], colour, t);
    canvas.cover[i] = new_cover;
}

void fill_round_rect(Canvas &canvas, float x0, float y0, float x1, float y1, float radius,
                     Colour top, Colour bottom, float alpha)
{
    paint_shape(canvas, x0, y0, x1, y1, y0, y1, top, bottom, alpha, [&](float x, float y) {
        return inside_round_rect(x, y, x0, y0, x1, y1, radius);
    });
    record_shape(canvas, "<rect x=\"" + units(x0) + "\" y=\"" + units(y0) + "\" width=\"" +
                 units(x1 - x0) + "\" height=\"" + units(y1 - y0) + "\" rx=\"" + units(radius) + "\"",
                 y0, y1, top, bottom, alpha);
}

void stroke_round_rect(Canvas &canvas, float x0, float y0, float x1, float y1, float radius,
                       float width, Colour colour, float alpha)
{
    float inner = radius - width > 0 ? radius - width : 0;
    paint_shape(canvas, x0, y0, x1, y1, y0, y1, colour, colour, alpha, [&](float x, float y) {
        return inside_round_rect(x, y, x0, y0, x1, y1, radius)
               && !inside_round_rect(x, y, x0 + width, y0 + width, x1 - width, y1 - width, inner);
    });
    // The band between the two rounded rectangles, as one path filled even-odd.
    if (canvas.vector_shapes) {
        auto outline = [](float ax, float ay, float bx, float by, float r) {
            return "M" + units(ax + r) + "," + units(ay) + "H" + units(bx - r) + "A" + units(r) + "," +
                   units(r) + " 0 0 1 " + units(bx) + "," + units(ay + r) + "V" + units(by - r) + "A" +
                   units(r) + "," + units(r) + " 0 0 1 " + units(bx - r) + "," + units(by) + "H" +
                   units(ax + r) + "A" + units(r) + "," + units(r) + " 0 0 1 " + units(ax) + "," +
                   units(by - r) + "V" + units(ay + r) + "A" + units(r) + "," + units(r) + " 0 0 1 " +
                   units(ax + r) + "," + units(ay) + "Z";
        };
        record_shape(canvas, "<path fill-rule=\"evenodd\" d=\"" + outline(x0, y0, x1, y1, radius) +
                     outline(x0 + width, y0 + width, x1 - width, y1 - width, inner) + "\"",
                     y0, y1, colour, colour, alpha);
    }
}

void fill_ellipse(Canvas &canvas, float cx, float cy, float rx, float ry, Colour top,
                  Colour bottom, float alpha)
{
    paint_shape(canvas, cx - rx, cy - ry, cx + rx, cy + ry, cy - ry, cy + ry, top, bottom, alpha,
                [&](float x, float y) {
                    float dx = (x - cx) / rx, dy = (y - cy) / ry;
                    return dx * dx + dy * dy <= 1.0f;
                });
    record_shape(canvas, "<ellipse cx=\"" + units(cx) + "\" cy=\"" + units(cy) + "\" rx=\"" +
                 units(rx) + "\" ry=\"" + units(ry) + "\"", cy - ry, cy + ry, top, bottom, alpha);
}

void fill_polygon(Canvas &canvas, const float *points, int count, Colour top, Colour bottom,
                  float alpha)
{
    if (count < 3)
        return;
    float x0 = points[0], x1 = points[0], y0 = points[1], y1 = points[1];
    for (int i = 1; i < count; i++) {
        x0 = std::fmin(x0, points[2 * i]);
        x1 = std::fmax(x1, points[2 * i]);
        y0 = std::fmin(y0, points[2 * i + 1]);
        y1 = std::fmax(y1, points[2 * i + 1]);
    }
    paint_shape(canvas, x0, y0, x1, y1, y0, y1, top, bottom, alpha, [&](float x, float y) {
        bool in = false;
        for (int i = 0, j = count - 1; i < count; j = i++) {
            float xi = points[2 * i], yi = points[2 * i + 1];
            float xj = points[2 * j], yj = points[2 * j + 1];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                in = !in;
        }
        return in;
    });
    std::string element = "<polygon fill-rule=\"evenodd\" points=\"";
    for (int i = 0; i < count; i++)
        element += (i ? " " : "") + units(points[2 * i]) + "," + units(points[2 * i + 1]);
    record_shape(canvas, element + "\"", y0, y1, top, bottom, alpha);
}

void save_canvas(const char *path, const Canvas &canvas, float dither, bool masked)
{
    BITMAP *picture = create_bitmap_ex(8, canvas.w, canvas.h);
    if (!picture) {
        std::fprintf(stderr, "make_datafile: out of memory for %s\n", path);
        std::exit(1);
    }
    /* One shade step of a ramp is some 20 units of brightness; the dither spreads half
       a step either way at strength 1. */
    const float amplitude = 20.0f * dither;
    for (int y = 0; y < canvas.h; y++) {
        for (int x = 0; x < canvas.w; x++) {
            size_t i = (size_t)y * canvas.w + x;
            if (masked && canvas.cover[i] < 0.5f) {
                putpixel(picture, x, y, 0);
                continue;
            }
            float offset = (bayer[y & 7][x & 7] + 0.5f) / 64.0f - 0.5f;
            const Colour &c = canvas.pixels[i];
            putpixel(picture, x, y,
                     nearest_index(clamp_channel(c.r + offset * amplitude),
                                   clamp_channel(c.g + offset * amplitude),
                                   clamp_channel(c.b + offset * amplitude)));
        }
    }
    save_picture(path, picture);
    destroy_bitmap(picture);
}
