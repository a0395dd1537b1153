/* make_datafile.h: the makers of the datafile's objects and what they share. */
#pragma once

#include <allegro.h>

/* ---- palette.cpp ---------------------------------------------------------------------- */

/* The palette is 16 ramps of 16 shades: index = ramp * 16 + shade. Shade 0 is near black,
   shade 11 the full colour, shades 12 ... 15 tint toward white. Pictures and textures paint
   from the upper shades and leave the dark ones to the light table and the fog.
   Ramp 0 is grey: index 0 is pure black (transparent in masked sprites), 15 pure white.
   Ramp 5 is no ramp: it holds the exact colours the game asks for by value (interface texts,
   frames and the flat-shaded faces), which makecol then finds in every palette. */
enum PaletteRamp {
    RAMP_GREY, RAMP_RED, RAMP_ORANGE, RAMP_YELLOW, RAMP_LIME, RAMP_NAMED, RAMP_TEAL,
    RAMP_SKY, RAMP_BLUE, RAMP_VIOLET, RAMP_MAGENTA, RAMP_PINK, RAMP_CLAY, RAMP_SAND,
    RAMP_STONE, RAMP_STEEL, RAMP_COUNT
};
enum { SHADES_PER_RAMP = 16, SHADE_FULL = 11 };

/* The game palette (objects 30, 31 and 32), built by make_palette(). */
extern PALETTE game_colours;

/* Fills game_colours. Called first by main. */
void make_palette();

/* Returns the palette index of the given ramp and shade (shade clamped to 0 ... 15). */
int ramp_colour(int ramp, int shade);

/* Returns the palette index of a ramp at brightness 0.0 (black) ... 1.0 (white tint),
   with 0.73 the full colour; used by shading code that works in floats. */
int ramp_shade(int ramp, float brightness);

/* Returns the palette index nearest to an 8-bit-per-channel colour. */
int nearest_colour(int r, int g, int b);

/* ---- paint.cpp: small painting helpers --------------------------------------------- */

/* Smooth value noise in 0 ... 1 at (x, y), repeating every `period` units in both axes
   (period 0: no repeat). Different seeds give unrelated noise. */
float value_noise(float x, float y, int seed, int period = 0);

/* Sum of octaves of value_noise, normalised to 0 ... 1, tileable with the given period. */
float fractal_noise(float x, float y, int seed, int octaves, int period = 0);

/* Saves an 8-bit bitmap as BMP with the game palette. Ends the generator on failure. */
void save_picture(const char *path, BITMAP *picture);

/* ---- The makers. Each writes its object's source file at path. ------------------------ */

void make_palette_file(const char *path);            /* 30, 31, 32 */

void make_cast_background(const char *path);         /* 1 */
void make_select_background(const char *path);       /* 2 */
void make_menu_picture(const char *path);            /* 28 */
void make_backdrop(const char *path);                /* 34 */
void make_f1_panel(const char *path);                /* 13 */

void make_explosion(const char *path, int frame);    /* 3 ... 7, frame 0 ... 4 */
void make_cursor(const char *path);                  /* 8 */
void make_map_marker(const char *path);              /* 14 */
void make_map_icon(const char *path, int map_code);  /* 15 ... 21, map code 1 ... 7 */
void make_teleport_icon(const char *path, int active); /* 22, 23 */
void make_sweet_icon(const char *path);              /* 24 */
void make_clock_icon(const char *path);              /* 25 */
void make_map_frame(const char *path);               /* 26 */
void make_map_overlay(const char *path);             /* 27 */
void make_completed_mark(const char *path);          /* 61 */

void make_square_texture(const char *path, int which);  /* 48 ... 51, which 0 ... 3 */
void make_model_texture(const char *path, int object);  /* 52 ... 57 */

/* Each font maker is given FONT.txt, the script dat imports, and writes beside it FONT.bmp (the
   ASCII glyphs' grid) and FONT_more.bmp (the grid of the letters beyond ASCII). */
void make_font_global(const char *path);             /* 10 */
void make_font_large(const char *path);              /* 11 */
void make_font_small(const char *path);              /* 47 */

void make_sample(const char *path, int object);      /* 35, 36, 37, 41, 43, 44, 45, 46 */
void make_music(const char *path, int number);       /* 38, 39, 40: number 0, 1, 2 */

/* Writes a mono 16-bit WAV file of `count` samples in -1 ... 1 at `rate` Hz. */
void save_wav(const char *path, const float *samples, int count, int rate);

/* ---- fonts.cpp, font_global_glyphs.cpp, font_small_glyphs.cpp: the hand-drawn fonts ---- */

/* The letters beyond ASCII that every font draws, range by range in code points: Latin-1, which
   holds what German, French and Spanish write (the accented letters, ß, the inverted marks, the
   angle quotes, the no-break space), the oe ligatures, and the dashes, the curly quotes, the
   ellipsis and the euro sign of General Punctuation, which translations often use. */
struct GlyphRange {
    int first, last;
};
const GlyphRange MORE_GLYPH_RANGES[] = {
    {0xA0, 0xFF}, {0x152, 0x153}, {0x2013, 0x2014}, {0x2018, 0x201A}, {0x201C, 0x201E},
    {0x2026, 0x2026}, {0x20AC, 0x20AC},
};
const int MORE_GLYPH_COUNT = 108;   /* the code points of MORE_GLYPH_RANGES */

/* A hand-drawn font: 95 glyphs (32 ... 126) in `bands` and the MORE_GLYPH_COUNT letters of
   MORE_GLYPH_RANGES in `more_bands`, in order, four side by side per band of cell_h rows, each
   cell_w characters wide and separated by one blank; '#' marks a set pixel. */
struct GlyphSheet {
    const char *const *bands;
    const char *const *more_bands;
    int cell_w, cell_h;         /* every glyph's cell, spacing included */
};

extern const GlyphSheet global_font_glyphs;   /* 8 x 8, object 10 */
extern const GlyphSheet small_font_glyphs;    /* 5 x 7, object 47 */

/* The texts painted into the screens are marked N_() for the game's catalogue (po/tirvex.pot)
   and looked up with tr() where they are painted: English unless main loaded a language's
   catalogue to paint that language's pictures. */
#include "base/translation.h"

/* The language the pictures are painted in ("en" when no catalogue is loaded), for the faults
   of fit_text and its summary. */
extern const char *picture_language;

/* ---- screen_paint.cpp: the RGB canvas the screens and the F1 panel are painted on ---- */

#include <string>
#include <vector>

/* A colour with 0 ... 255 per channel, kept in floats while painting. */
struct Colour {
    float r, g, b;
};

/* A picture being painted in full colour; it meets the palette only when saved. */
struct Canvas {
    int w, h;
    std::vector<Colour> pixels;
    std::vector<float> cover;   /* 0 ... 1 per pixel: how much of it is painted (masked pictures) */
    /* When set, every filled shape is also written here as an SVG element, in the canvas's
       pixels as user units: the same picture in vector form (the scalable icon). */
    std::string *vector_shapes = nullptr;
};

/* Returns a canvas of w x h filled with `fill`; fully covered when `opaque`, else empty. */
Canvas canvas_create(int w, int h, Colour fill, bool opaque = true);

/* The colour of a palette ramp at a shade (fractional shades mix the two nearest). */
Colour ramp_rgb(int ramp, float shade);

/* The colour of a 24-bit triple, and the mix of a and b (t = 0: a, t = 1: b). */
Colour rgb(int r, int g, int b);
Colour mix(Colour a, Colour b, float t);

/* Lays `colour` over pixel (x, y) with opacity alpha (0 ... 1); outside pixels are ignored. */
void blend_pixel(Canvas &canvas, int x, int y, Colour colour, float alpha);

/* Anti-aliased filled shapes with a vertical gradient from `top` (at y0) to `bottom` (at y1).
   Coordinates are in pixels; pixel (x, y) covers x ... x + 1, y ... y + 1. */
void fill_round_rect(Canvas &canvas, float x0, float y0, float x1, float y1, float radius,
                     Colour top, Colour bottom, float alpha = 1.0f);
void fill_ellipse(Canvas &canvas, float cx, float cy, float rx, float ry, Colour top,
                  Colour bottom, float alpha = 1.0f);
/* points holds count (x, y) pairs of a simple polygon, convex or not. */
void fill_polygon(Canvas &canvas, const float *points, int count, Colour top, Colour bottom,
                  float alpha = 1.0f);

/* A rectangle's edge one pixel wide, inside x0 ... x1, y0 ... y1, with rounded corners. */
void stroke_round_rect(Canvas &canvas, float x0, float y0, float x1, float y1, float radius,
                       float width, Colour colour, float alpha = 1.0f);

/* Quantises the canvas to the game palette with an ordered dither of the given strength
   (0: none, 1: half the distance between neighbouring shades) and saves it as BMP.
   A masked picture gets colour 0 where it is less than half covered and never elsewhere. */
void save_canvas(const char *path, const Canvas &canvas, float dither, bool masked = false);

/* ---- screen_text.cpp: anti-aliased text from the game's TrueType faces ---------------- */

enum TextFace { FACE_SANS_BOLD, FACE_SANS, FACE_MONO_BOLD, FACE_COUNT };
enum TextAlign { ALIGN_LEFT, ALIGN_CENTRE, ALIGN_RIGHT };

/* How a line of text is painted: fill, then outline and drop shadow beneath it. */
struct TextStyle {
    TextFace face;
    int size;                   /* pixel size of the em */
    Colour top, bottom;         /* fill: a gradient from the top of the capitals to the baseline */
    Colour outline;
    float outline_width;        /* pixels; 0 draws no outline */
    Colour shadow;
    int shadow_dx, shadow_dy;
    float shadow_alpha;         /* 0 draws no shadow */
};

/* A plain style: one colour, no outline, no shadow. */
TextStyle plain_text(TextFace face, int size, Colour colour);

/* Width in pixels of the text's advance. */
int text_width(const TextStyle &style, const char *text);

/* Height of the capitals above the baseline, in pixels. */
int cap_height(const TextStyle &style);

/* Says on standard error, naming the text, the language and both widths, when the text is
   wider than `place`, the pixels its spot on the picture holds, and sets too_wide, which fails
   the tool once every picture is painted: a translation too long for a button or a row is found
   at build time, all of them at once, for its translator to shorten. Returns the text. */
const char *fit_text(const TextStyle &style, const char *text, int place);
extern bool too_wide;

/* Prints the text that came closest to filling its place since the start, with both widths. */
void report_tightest_text();

/* Paints a line of text with its baseline at y, aligned on x. */
void draw_text(Canvas &canvas, const TextStyle &style, float x, float y, const char *text,
               TextAlign align = ALIGN_LEFT);

/* ---- screens.cpp: the look shared by the menu, cast and level select pictures ---------- */

/* Paints the toy world's sky over the whole canvas: a gradient from deep blue at the top to
   a pale haze at `haze_y` and drifting clouds. Seeds vary the clouds. */
void paint_screen_sky(Canvas &canvas, float haze_y, int seed);

/* A bank of cumulus: billows over a foot line, shaded toward the underside. */
struct CloudBank {
    float top;                  /* row of the bank's foot line */
    int bumps;                  /* puffs across the canvas's width */
    float height;               /* pixels of the tallest puff */
    float thickness;            /* rows from the foot line to where the underside fades out */
    float gaps;                 /* 0: an unbroken bank ... 1: clusters with clear sky between */
    int seed;
};

/* Paints a bank of cloud across the whole width; it repeats seamlessly across that width
   when the canvas is 640 or 1280 wide. */
void paint_cloud_bank(Canvas &canvas, const CloudBank &bank);

/* Paints a block of the toy world floating in the sky, seen from above at an angle: its top
   face centred on (cx, cy), half as deep as wide (half width a), its sides `depth` high.
   top_ramp and side_ramp are palette ramps; haze 0 ... 1 fades it into the sky colour. */
void paint_floating_block(Canvas &canvas, float cx, float cy, float a, float depth,
                          int top_ramp, int side_ramp, float haze = 0.0f);

/* Paints the robot standing with its feet at (x, y), `scale` 1 being 40 pixels tall. */
void paint_robot(Canvas &canvas, float x, float y, float scale);

/* Paints a wrapped sweet centred on (cx, cy), `scale` 1 being 32 pixels wide. */
void paint_sweet(Canvas &canvas, float cx, float cy, float scale, int ramp);

/* Paints a dark glass panel: translucent navy with a light rim. */
void paint_panel(Canvas &canvas, float x0, float y0, float x1, float y1, float radius,
                 float alpha = 0.72f);

/* Paints a raised rounded button of the given ramp over x0 ... x1, y0 ... y1 (exclusive). */
void paint_button(Canvas &canvas, float x0, float y0, float x1, float y1, int ramp);

/* Paints a keyboard key cap with its label over x0 ... x1, y0 ... y1. */
void paint_keycap(Canvas &canvas, float x0, float y0, float x1, float y1, const char *label,
                  int size);

/* The style of the screens' headings: warm gradient, navy outline, soft shadow. */
TextStyle heading_style(int size);

/* White text with a dark drop shadow for labels on the screens. */
TextStyle label_style(TextFace face, int size);

/* ---- icon.cpp: the desktop icon, kept apart from the datafile -------------------------- */

/* The sizes the icon is painted at, for the desktop's icon theme and the window's _NET_WM_ICON. */
extern const int ICON_SIZES[];
enum { ICON_SIZE_COUNT = 7 };

/* Writes the game's icon, size x size pixels, as an RGBA PNG with a transparent background. */
void make_icon(const char *path, int size);

/* Writes the same icon as SVG: the very shapes the painter fills, with their gradients, and the
   dark rim around them as a filter, on a 256-unit square. */
void make_icon_svg(const char *path);

/* Writes the same icon as a C++ source file defining tirvex_window_icon, an XPM picture of
   xpm_size pixels that the game and the editor hand the library for their windows, and
   tirvex_window_icon_sizes, the icon at every one of ICON_SIZES as _NET_WM_ICON lists them
   (src/base/window_identity.cpp). */
void make_window_icon(const char *path, int xpm_size);

/* ---- settle_datafile.cpp ---------------------------------------------------------------- */

/* Zeroes the bytes of the datafile at path that dat fills from uninitialised memory (the
   palettes' fourth bytes), so that the same sources always pack to the same file. Returns 0,
   or 1 after a message naming the file and its fault. Called by pack_datafile.sh. */
int settle_datafile(const char *path);
