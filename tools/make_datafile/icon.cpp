/* icon.cpp: the game's desktop icon, the robot on a floating block with a sweet, as RGBA PNG,
   as SVG and as the window's icon. */
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "make_datafile.h"

namespace {

/* Lays a dark rim of `width` pixels around everything painted so far, beneath it, so the
   silhouette reads on a light desktop as well as on a dark one. */
void outline_silhouette(Canvas &canvas, float width, Colour colour, float alpha)
{
    const int reach = (int)std::ceil(width) + 1;
    std::vector<float> rim(canvas.cover.size(), 0.0f);
    for (int y = 0; y < canvas.h; y++) {
        for (int x = 0; x < canvas.w; x++) {
            float strongest = 0;
            for (int dy = -reach; dy <= reach; dy++) {
                for (int dx = -reach; dx <= reach; dx++) {
                    int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= canvas.w || sy >= canvas.h)
                        continue;
                    /* Soft edge: full within `width`, fading over the next pixel. */
                    float fall = width + 0.5f - std::sqrt((float)(dx * dx + dy * dy));
                    fall = std::clamp(fall, 0.0f, 1.0f);
                    strongest = std::max(strongest, fall * canvas.cover[(size_t)sy * canvas.w + sx]);
                }
            }
            rim[(size_t)y * canvas.w + x] = strongest * alpha;
        }
    }
    /* The rim goes under the picture: the painted pixel stays over it. */
    for (size_t i = 0; i < rim.size(); i++) {
        float top = canvas.cover[i], under = rim[i] * (1 - top);
        float cover = top + under;
        if (cover <= 0)
            continue;
        canvas.pixels[i] = mix(colour, canvas.pixels[i], top / cover);
        canvas.cover[i] = cover;
    }
}

/* The dark rim around the icon's silhouette: its width at 256 pixels, its colour and opacity. */
const float RIM_WIDTH = 2.5f, RIM_ALPHA = 0.9f;
Colour rim_colour()
{
    return ramp_rgb(RAMP_BLUE, 1.5f);
}

/* Paints the icon on a size x size canvas; every measure is laid out for 256 and scaled. With
   `shapes`, the shapes are also written there as SVG elements. */
Canvas paint_icon(int size, std::string *shapes = nullptr)
{
    Canvas canvas = canvas_create(size, size, ramp_rgb(RAMP_SKY, 13.5f), false);
    canvas.vector_shapes = shapes;
    const float k = size / 256.0f;
    /* The robot's block: a grass top over clay sides, its rock point just inside the frame. */
    const float cx = 128 * k, cy = 146 * k;
    paint_floating_block(canvas, cx, cy, 106 * k, 26 * k, RAMP_LIME, RAMP_CLAY);
    paint_robot(canvas, cx - 18 * k, cy + 6 * k, 2.8f * k);
    /* The sweet waits on the block's right hand, a little behind the robot. */
    paint_sweet(canvas, cx + 58 * k, cy - 2 * k, 1.6f * k, RAMP_MAGENTA);
    outline_silhouette(canvas, std::max(1.0f, RIM_WIDTH * k), rim_colour(), RIM_ALPHA);
    return canvas;
}

void save_png(const char *path, const Canvas &canvas)
{
    std::vector<png_byte> rgba((size_t)canvas.w * canvas.h * 4);
    for (size_t i = 0; i < canvas.pixels.size(); i++) {
        const Colour &c = canvas.pixels[i];
        const float channel[4] = {c.r, c.g, c.b, canvas.cover[i] * 255.0f};
        for (int j = 0; j < 4; j++)
            rgba[i * 4 + j] = (png_byte)std::lround(std::clamp(channel[j], 0.0f, 255.0f));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)canvas.w;
    image.height = (png_uint_32)canvas.h;
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path, 0, rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "make_datafile: cannot write %s: %s\n", path, image.message);
        std::exit(1);
    }
}

/* The XPM name of palette entry n: three characters of a 64-letter alphabet, never a quote or
   a backslash. */
std::string xpm_code(int n)
{
    static const char letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-";
    return {letters[n / 4096 % 64], letters[n / 64 % 64], letters[n % 64]};
}

FILE *open_output(const char *path)
{
    FILE *f = std::fopen(path, "w");
    if (!f) {
        std::fprintf(stderr, "make_datafile: cannot write %s\n", path);
        std::exit(1);
    }
    return f;
}

void close_output(FILE *f, const char *path)
{
    if (std::fclose(f) != 0) {
        std::fprintf(stderr, "make_datafile: cannot write %s\n", path);
        std::exit(1);
    }
}

/* _NET_WM_ICON's colour of a painted pixel: 0xAARRGGBB, not premultiplied. */
uint32_t argb(const Canvas &canvas, size_t i)
{
    auto channel = [](float v) { return (uint32_t)std::lround(std::clamp(v, 0.0f, 255.0f)); };
    const Colour &c = canvas.pixels[i];
    return channel(canvas.cover[i] * 255.0f) << 24 | channel(c.r) << 16 | channel(c.g) << 8 |
           channel(c.b);
}

}  // namespace

const int ICON_SIZES[ICON_SIZE_COUNT] = {16, 24, 32, 48, 64, 128, 256};

void make_icon(const char *path, int size)
{
    save_png(path, paint_icon(size));
}

void make_icon_svg(const char *path)
{
    std::string shapes;
    paint_icon(256, &shapes);
    FILE *f = open_output(path);
    std::fprintf(f, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<!-- tirvex.svg: the game's icon, the shapes make_datafile paints. -->\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                    "viewBox=\"0 0 256 256\">\n");
    // The rim: the silhouette grown by its width, in the rim's colour, laid under the shapes.
    std::fprintf(f, "<filter id=\"rim\" x=\"-0.05\" y=\"-0.05\" width=\"1.1\" height=\"1.1\">"
                    "<feMorphology in=\"SourceAlpha\" operator=\"dilate\" radius=\"%g\" result=\"grown\"/>"
                    "<feFlood flood-color=\"#%06X\" flood-opacity=\"%g\"/>"
                    "<feComposite in2=\"grown\" operator=\"in\" result=\"edge\"/>"
                    "<feMerge><feMergeNode in=\"edge\"/><feMergeNode in=\"SourceGraphic\"/></feMerge>"
                    "</filter>\n<g filter=\"url(#rim)\">\n%s</g>\n</svg>\n",
                 (double)RIM_WIDTH, (unsigned)(argb(canvas_create(1, 1, rim_colour()), 0) & 0xffffff),
                 (double)RIM_ALPHA, shapes.c_str());
    close_output(f, path);
}

/* XPM has no partial cover: a pixel at least half painted shows, the rest is the desktop's. */
void make_window_icon(const char *path, int size)
{
    Canvas canvas = paint_icon(size);
    std::map<long, int> codes;   /* 0xRRGGBB, or -1 for the transparent pixel, to its entry */
    std::vector<long> pixels(canvas.pixels.size());
    for (size_t i = 0; i < pixels.size(); i++) {
        const Colour &c = canvas.pixels[i];
        auto channel = [](float v) { return (long)std::lround(std::clamp(v, 0.0f, 255.0f)); };
        pixels[i] = canvas.cover[i] < 0.5f ? -1
                                           : channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
        codes.emplace(pixels[i], 0);
    }
    int next = 0;
    for (auto &code : codes)
        code.second = next++;

    FILE *f = open_output(path);
    std::fprintf(f, "/* window_icon.cpp: the game's icon for the X11 window in XPM and at every "
                    "size as _NET_WM_ICON lists them, written by make_datafile. */\n"
                    "#include <cstdint>\n\n");
    std::fprintf(f, "extern const char *const tirvex_window_icon[] = {\n\"%d %d %zu 3\",\n", size, size,
                 codes.size());
    for (const auto &[colour, n] : codes) {
        if (colour < 0)
            std::fprintf(f, "\"%s c None\",\n", xpm_code(n).c_str());
        else
            std::fprintf(f, "\"%s c #%06lX\",\n", xpm_code(n).c_str(), colour);
    }
    for (int y = 0; y < size; y++) {
        std::string row;
        for (int x = 0; x < size; x++)
            row += xpm_code(codes[pixels[(size_t)y * size + x]]);
        std::fprintf(f, "\"%s\"%s\n", row.c_str(), y + 1 < size ? "," : "};");
    }

    // Width, height and the rows of each size, smallest first, as the property holds them.
    std::fprintf(f, "\nextern const uint32_t tirvex_window_icon_sizes[] = {\n");
    size_t count = 0;
    for (int s : ICON_SIZES) {
        canvas = paint_icon(s);
        std::fprintf(f, "%d, %d,\n", s, s);
        count += 2;
        for (size_t i = 0; i < canvas.pixels.size(); i++, count++)
            std::fprintf(f, "0x%08X,%s", (unsigned)argb(canvas, i), i % 8 == 7 ? "\n" : "");
    }
    std::fprintf(f, "};\nextern const int tirvex_window_icon_size_count = %zu;\n", count);
    close_output(f, path);
}
