/* palette.cpp: the game palette, fifteen hue ramps from near black to a white tint and the named colours. */
#include <cmath>

#include "make_datafile.h"

PALETTE game_colours;

namespace {

/* Full colour of each ramp (shade SHADE_FULL), 8 bits per channel. */
const int ramp_top[RAMP_COUNT][3] = {
    {200, 200, 200},  /* grey: handled apart, a straight line from black to white */
    {220, 40, 40},    /* red */
    {240, 130, 30},   /* orange */
    {245, 215, 50},   /* yellow */
    {140, 215, 50},   /* lime */
    {40, 170, 70},    /* named colours: handled apart */
    {30, 170, 160},   /* teal */
    {80, 170, 240},   /* sky */
    {50, 80, 220},    /* blue */
    {140, 70, 210},   /* violet */
    {215, 50, 180},   /* magenta */
    {245, 130, 170},  /* pink */
    {190, 100, 55},   /* clay */
    {215, 185, 130},  /* sand */
    {160, 150, 135},  /* stone: warm grey */
    {120, 140, 165},  /* steel: cool grey-blue */
};

/* The colours the game draws by value with makecol, 8 bits per channel: the message line, HUD
   and title texts, the console, the screens' texts and frames, and the faces of flat shading
   (the squares' tops and sides, the models' default, and the greys of the lit modes). */
const int named_colours[SHADES_PER_RAMP][3] = {
    {0, 255, 0}, {255, 0, 0}, {100, 255, 100}, {50, 255, 50},
    {50, 255, 255}, {200, 200, 255}, {50, 200, 50}, {0, 100, 100},
    {0, 0, 255}, {0, 0, 128}, {0, 128, 0}, {0, 0, 100},
    {20, 20, 20}, {128, 128, 128}, {192, 192, 192}, {40, 170, 70},
};

}  // namespace

void make_palette()
{
    for (int ramp = 0; ramp < RAMP_COUNT; ramp++) {
        for (int shade = 0; shade < SHADES_PER_RAMP; shade++) {
            float r, g, b;
            if (ramp == RAMP_NAMED) {
                r = named_colours[shade][0];
                g = named_colours[shade][1];
                b = named_colours[shade][2];
            } else if (ramp == RAMP_GREY) {
                r = g = b = 255.0f * shade / 15.0f;
            } else if (shade <= SHADE_FULL) {
                /* Darker shades fall off a little faster than linear so the light table
                   finds a real near-black for every hue. */
                float t = std::pow((shade + 1) / float(SHADE_FULL + 1), 1.25f);
                r = ramp_top[ramp][0] * t;
                g = ramp_top[ramp][1] * t;
                b = ramp_top[ramp][2] * t;
            } else {
                float t = (shade - SHADE_FULL) / 5.0f;   /* up to 80 % toward white */
                r = ramp_top[ramp][0] + (255 - ramp_top[ramp][0]) * t;
                g = ramp_top[ramp][1] + (255 - ramp_top[ramp][1]) * t;
                b = ramp_top[ramp][2] + (255 - ramp_top[ramp][2]) * t;
            }
            RGB &c = game_colours[ramp * SHADES_PER_RAMP + shade];
            c.r = (unsigned char)(std::lround(r) >> 2);
            c.g = (unsigned char)(std::lround(g) >> 2);
            c.b = (unsigned char)(std::lround(b) >> 2);
            c.filler = 0;
        }
    }
}

int ramp_colour(int ramp, int shade)
{
    if (shade < 0)
        shade = 0;
    if (shade > 15)
        shade = 15;
    return ramp * SHADES_PER_RAMP + shade;
}

int ramp_shade(int ramp, float brightness)
{
    return ramp_colour(ramp, (int)std::lround(brightness * 15.0f));
}

int nearest_colour(int r, int g, int b)
{
    return bestfit_color(game_colours, r >> 2, g >> 2, b >> 2);
}

void make_palette_file(const char *path)
{
    BITMAP *swatch = create_bitmap_ex(8, 16, 16);
    for (int i = 0; i < 256; i++)
        putpixel(swatch, i % 16, i / 16, i);
    save_picture(path, swatch);
    destroy_bitmap(swatch);
}
