/* fonts.cpp: the three mono fonts, written as glyph grids and the scripts dat imports them by. */
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "make_datafile.h"

namespace {

enum { FIRST_CHAR = 32, GLYPH_COUNT = 95, GRID_COLUMNS = 16, GRID_BORDER = 255 };

/* The HUD font: bold sans, rendered without anti-aliasing so every pixel is crisp, and
   thickened by one pixel to the right so it holds up over a bright backdrop. */
const char *const large_font_file = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const int large_font_pixels = 15;

/* One glyph of a font on its way into the grid: colour 1 on 0, w x h. */
struct GridGlyph {
    BITMAP *pixels;
};

/* The glyphs of a font: the ASCII ones (32 ... 126), then the MORE_GLYPH_COUNT others. */
const int ALL_GLYPHS = GLYPH_COUNT + MORE_GLYPH_COUNT;

/* The code point of glyph `index` of ALL_GLYPHS. */
int glyph_code(int index)
{
    if (index < GLYPH_COUNT)
        return FIRST_CHAR + index;
    index -= GLYPH_COUNT;
    for (const GlyphRange &range : MORE_GLYPH_RANGES) {
        if (index <= range.last - range.first)
            return range.first + index;
        index -= range.last - range.first + 1;
    }
    return 0;
}

/* Writes `count` glyphs as a grid, GRID_COLUMNS to a row, each cell framed by GRID_BORDER.
   Cells may differ in width (a proportional font) but share one height: the importer
   finds every cell by its top-left corner and takes the font's height from the first. */
void write_grid(const std::string &path, GridGlyph *glyphs, int count)
{
    int height = glyphs[0].pixels->h;
    int rows = (count + GRID_COLUMNS - 1) / GRID_COLUMNS;
    int width = 1;
    for (int row = 0; row < rows; row++) {
        int w = 1;
        for (int c = row * GRID_COLUMNS; c < count && c < (row + 1) * GRID_COLUMNS; c++)
            w += glyphs[c].pixels->w + 1;
        if (w > width)
            width = w;
    }
    BITMAP *grid = create_bitmap_ex(8, width, 1 + rows * (height + 1));
    clear_to_color(grid, GRID_BORDER);
    int x = 1;
    for (int c = 0; c < count; c++) {
        if (c % GRID_COLUMNS == 0)
            x = 1;
        int y = 1 + (c / GRID_COLUMNS) * (height + 1);
        blit(glyphs[c].pixels, grid, 0, 0, x, y, glyphs[c].pixels->w, height);
        x += glyphs[c].pixels->w + 1;
    }
    save_picture(path.c_str(), grid);
    destroy_bitmap(grid);
}

void fail_font(const char *what, const char *file)
{
    std::fprintf(stderr, "make_datafile: %s (%s)\n", what, file);
    std::exit(1);
}

/* Writes the font's two grids beside `script` (FONT.txt), the ASCII glyphs into FONT.bmp as
   they always were, so that their bytes in the datafile stay the same, and the others into
   FONT_more.bmp, and the script that tells dat which code points each grid's glyphs are. */
void write_font(const char *script, GridGlyph *glyphs)
{
    const std::string base = std::string(script, std::strlen(script) - 4);
    const std::string ascii = base + ".bmp", more = base + "_more.bmp";
    write_grid(ascii, glyphs, GLYPH_COUNT);
    write_grid(more, glyphs + GLYPH_COUNT, MORE_GLYPH_COUNT);
    FILE *f = std::fopen(script, "w");
    if (!f)
        fail_font("cannot write the font's script", script);
    // A line names a grid and the code points of its glyphs; "-" goes on in the same grid.
    auto file_name = [](const std::string &path) { return path.substr(path.rfind('/') + 1); };
    std::fprintf(f, "%s %d %d\n", file_name(ascii).c_str(), FIRST_CHAR, FIRST_CHAR + GLYPH_COUNT - 1);
    const std::string more_name = file_name(more);
    const char *grid = more_name.c_str();
    for (const GlyphRange &range : MORE_GLYPH_RANGES) {
        std::fprintf(f, "%s %d %d\n", grid, range.first, range.last);
        grid = "-";
    }
    if (std::fclose(f) != 0)
        fail_font("cannot write the font's script", script);
    for (int c = 0; c < ALL_GLYPHS; c++)
        destroy_bitmap(glyphs[c].pixels);
}

/* Returns 1 when pixel (x, y) of glyph `index` of ALL_GLYPHS is set, else 0. */
int glyph_pixel(const GlyphSheet &sheet, int index, int x, int y)
{
    if (index < 0 || index >= ALL_GLYPHS || x < 0 || x >= sheet.cell_w || y < 0 || y >= sheet.cell_h)
        return 0;
    const char *const *bands = sheet.bands;
    if (index >= GLYPH_COUNT) {
        bands = sheet.more_bands;
        index -= GLYPH_COUNT;
    }
    const char *row = bands[(index / 4) * sheet.cell_h + y];
    int offset = (index % 4) * (sheet.cell_w + 1) + x;
    if ((int)std::strlen(row) <= offset)
        return 0;
    return row[offset] == '#';
}

void write_sheet_font(const char *path, const GlyphSheet &sheet)
{
    GridGlyph glyphs[ALL_GLYPHS];
    for (int c = 0; c < ALL_GLYPHS; c++) {
        glyphs[c].pixels = create_bitmap_ex(8, sheet.cell_w, sheet.cell_h);
        for (int y = 0; y < sheet.cell_h; y++)
            for (int x = 0; x < sheet.cell_w; x++)
                putpixel(glyphs[c].pixels, x, y, glyph_pixel(sheet, c, x, y));
    }
    write_font(path, glyphs);
}

/* Renders a proportional mono font from a TrueType face: each cell is as wide as the
   glyph's advance and as high as the tallest ascent plus the deepest descent of the ASCII
   set, so no row is wasted above the capitals or below the descenders. A letter that would
   reach past them (a capital under an accent) is rendered less high, as wide as ever, until it
   fits, rather than every line of text growing. Every stroke is doubled one pixel to the right. */
void write_truetype_font(const char *path, const char *file, int pixels)
{
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0)
        fail_font("cannot start FreeType", file);
    if (FT_New_Face(library, file, 0, &face) != 0)
        fail_font("cannot open the font file", file);
    FT_Set_Pixel_Sizes(face, 0, pixels);

    int ascent = 0, descent = 0;
    for (int c = 0; c < GLYPH_COUNT; c++) {
        if (FT_Load_Char(face, FIRST_CHAR + c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
            fail_font("cannot render a glyph", file);
        FT_GlyphSlot g = face->glyph;
        if (g->bitmap.rows == 0)
            continue;
        if (g->bitmap_top > ascent)
            ascent = g->bitmap_top;
        if ((int)g->bitmap.rows - g->bitmap_top > descent)
            descent = (int)g->bitmap.rows - g->bitmap_top;
    }

    GridGlyph glyphs[ALL_GLYPHS];
    for (int c = 0; c < ALL_GLYPHS; c++) {
        FT_GlyphSlot g = face->glyph;
        for (int height = pixels; height > 0; height--) {
            FT_Set_Pixel_Sizes(face, pixels, height);
            if (FT_Load_Char(face, glyph_code(c), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
                fail_font("cannot render a glyph", file);
            if (g->bitmap_top <= ascent && (int)g->bitmap.rows - g->bitmap_top <= descent)
                break;
        }
        const FT_Bitmap &b = g->bitmap;
        /* A glyph that hangs outside its advance widens its cell, except a digit: digits
           keep one width so the clock does not wobble, and are moved in instead, the
           doubled column cut at the cell's edge where it must be. */
        int w = (int)(g->advance.x >> 6);
        int left = g->bitmap_left < 0 ? 0 : g->bitmap_left;
        bool digit = glyph_code(c) >= '0' && glyph_code(c) <= '9';
        if (digit && left + (int)b.width + 1 > w)
            left = w - (int)b.width - 1 > 0 ? w - (int)b.width - 1 : 0;
        int inked = left + (int)b.width + (digit ? 0 : 1);
        if (inked > w)
            w = inked;
        if (w < 1)
            w = 1;
        glyphs[c].pixels = create_bitmap_ex(8, w, ascent + descent);
        clear_to_color(glyphs[c].pixels, 0);
        auto inked_at = [&b](unsigned x, unsigned y) {
            return x < b.width && ((b.buffer[y * b.pitch + x / 8] >> (7 - x % 8)) & 1);
        };
        // An accent's marks (the rows above a blank one above the baseline, in a letter beyond
        // ASCII) and a sign beyond ASCII (Latin-1's before its letters, the quotes and dashes)
        // keep the one-pixel gaps the doubling would close: two dots stay two.
        const bool sign = c >= GLYPH_COUNT && (glyph_code(c) < 0xC0 || glyph_code(c) >= 0x2000);
        unsigned mark_rows = sign ? b.rows : 0;
        for (unsigned y = 1; c >= GLYPH_COUNT && (int)y < g->bitmap_top && y < b.rows && !mark_rows; y++) {
            bool blank = true;
            for (unsigned x = 0; x < b.width; x++)
                blank = blank && !inked_at(x, y);
            if (blank)
                mark_rows = y;
        }
        for (unsigned y = 0; y < b.rows; y++)
            for (unsigned x = 0; x < b.width; x++)
                if (inked_at(x, y)) {
                    int gx = left + (int)x, gy = ascent - g->bitmap_top + (int)y;
                    putpixel(glyphs[c].pixels, gx, gy, 1);
                    if (gx + 1 < w && !(y < mark_rows && inked_at(x + 2, y)))
                        putpixel(glyphs[c].pixels, gx + 1, gy, 1);
                }
    }
    write_font(path, glyphs);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

}  // namespace

void make_font_global(const char *path) { write_sheet_font(path, global_font_glyphs); }
void make_font_large(const char *path) { write_truetype_font(path, large_font_file, large_font_pixels); }
void make_font_small(const char *path) { write_sheet_font(path, small_font_glyphs); }
