/* fonts.cpp: the three mono fonts, written as glyph grids that dat imports. (interim) */
#include "make_datafile.h"

namespace {

/* Writes the 95 printable ASCII glyphs as a grid of w x h cells, 16 to a row, each cell
   framed by border colour 255; glyph pixels are colour 1 on 0, which the importer reads
   as a mono font. */
void write_grid(const char *path, int w, int h)
{
    const int columns = 16, rows = 6;
    BITMAP *grid = create_bitmap_ex(8, 1 + columns * (w + 1), 1 + rows * (h + 1));
    clear_to_color(grid, 255);
    for (int c = 0; c < 95; c++) {
        int x = 1 + (c % columns) * (w + 1), y = 1 + (c / columns) * (h + 1);
        rectfill(grid, x, y, x + w - 1, y + h - 1, 0);
        if (c != 0)
            rect(grid, x + 1, y + 1, x + w - 2, y + h - 2, 1);
    }
    save_picture(path, grid);
    destroy_bitmap(grid);
}

}  // namespace

void make_font_global(const char *path) { write_grid(path, 8, 8); }
void make_font_large(const char *path) { write_grid(path, 12, 16); }
void make_font_small(const char *path) { write_grid(path, 5, 7); }
