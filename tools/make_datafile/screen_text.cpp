/* screen_text.cpp: anti-aliased text on the canvas, from the TrueType faces of the system. */
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "make_datafile.h"

namespace {

/* The faces come from the DejaVu package that the build installs. */
const char *const face_files[FACE_COUNT] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
};

FT_Library library;
FT_Face faces[FACE_COUNT];

FT_Face open_face(const TextStyle &style)
{
    if (!library && FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "make_datafile: cannot start FreeType\n");
        std::exit(1);
    }
    FT_Face &face = faces[style.face];
    if (!face && FT_New_Face(library, face_files[style.face], 0, &face) != 0) {
        std::fprintf(stderr, "make_datafile: cannot open %s\n", face_files[style.face]);
        std::exit(1);
    }
    FT_Set_Pixel_Sizes(face, 0, style.size);
    return face;
}

/* Returns the code point of the UTF-8 letter at *p and steps *p past it. A byte that starts no
   whole letter stands for itself, so a stray one shows rather than swallowing its neighbours. */
unsigned next_letter(const char **p)
{
    const unsigned char *s = (const unsigned char *)*p;
    const int length = s[0] >= 0xF0 && s[0] < 0xF5 ? 4
                       : s[0] >= 0xE0 && s[0] < 0xF0 ? 3
                       : s[0] >= 0xC2 && s[0] < 0xE0 ? 2 : 1;
    unsigned letter = length == 1 ? s[0] : s[0] & (0x7F >> length);
    for (int i = 1; i < length; i++) {
        if ((s[i] & 0xC0) != 0x80) {
            *p += 1;
            return s[0];
        }
        letter = letter << 6 | (s[i] & 0x3F);
    }
    *p += length;
    return letter;
}

/* Runs `place` for every glyph of the text with its pen position, kerning included. */
template <typename Place>
int walk_text(FT_Face face, const char *text, bool render, Place place)
{
    int pen = 0;
    FT_UInt previous = 0;
    for (const char *p = text; *p;) {
        FT_UInt index = FT_Get_Char_Index(face, next_letter(&p));
        if (previous && index && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern);
            pen += (int)(kern.x >> 6);
        }
        FT_Int32 flags = render ? FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT : FT_LOAD_DEFAULT;
        if (FT_Load_Glyph(face, index, flags) == 0) {
            if (render)
                place(face->glyph, pen);
            pen += (int)(face->glyph->advance.x >> 6);
        }
        previous = index;
    }
    return pen;
}

/* The text that came closest to filling its place, for report_tightest_text. */
struct Tightest {
    std::string text;
    int width = 0, place = 1;
} tightest;

}  // namespace

const char *picture_language = "en";

TextStyle plain_text(TextFace face, int size, Colour colour)
{
    return TextStyle{face, size, colour, colour, colour, 0, colour, 0, 0, 0};
}

int text_width(const TextStyle &style, const char *text)
{
    FT_Face face = open_face(style);
    return walk_text(face, text, false, [](FT_GlyphSlot, int) {});
}

const char *fit_text(const TextStyle &style, const char *text, int place)
{
    const int width = text_width(style, text);
    if (width > place) {
        std::fprintf(stderr, "make_datafile: the %s text \"%s\" is %d pixels wide, its place on the "
                     "picture only %d: shorten its translation in po/%s.po\n", picture_language,
                     text, width, place, picture_language);
        too_wide = true;
    }
    if (width * (long)tightest.place > tightest.width * (long)place)
        tightest = Tightest{text, width, place};
    return text;
}

bool too_wide = false;

void report_tightest_text()
{
    std::printf("make_datafile: %s: the widest text for its place is \"%s\", %d of %d pixels\n",
                picture_language, tightest.text.c_str(), tightest.width, tightest.place);
}

int cap_height(const TextStyle &style)
{
    FT_Face face = open_face(style);
    if (FT_Load_Char(face, 'H', FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
        return style.size * 3 / 4;
    return face->glyph->bitmap_top;
}

void draw_text(Canvas &canvas, const TextStyle &style, float x, float y, const char *text,
               TextAlign align)
{
    FT_Face face = open_face(style);
    int width = walk_text(face, text, false, [](FT_GlyphSlot, int) {});
    int ascent = (int)(face->size->metrics.ascender >> 6);
    int descent = (int)(-face->size->metrics.descender >> 6);
    int margin = (int)std::ceil(style.outline_width) + std::abs(style.shadow_dx)
                 + std::abs(style.shadow_dy) + 2;
    int mw = width + 2 * margin + style.size / 2, mh = ascent + descent + 2 * margin;
    std::vector<float> mask((size_t)mw * mh, 0.0f);

    walk_text(face, text, true, [&](FT_GlyphSlot g, int pen) {
        const FT_Bitmap &b = g->bitmap;
        for (unsigned row = 0; row < b.rows; row++)
            for (unsigned col = 0; col < b.width; col++) {
                int mx = margin + pen + g->bitmap_left + (int)col;
                int my = margin + ascent - g->bitmap_top + (int)row;
                if (mx < 0 || my < 0 || mx >= mw || my >= mh)
                    continue;
                float v = b.buffer[row * b.pitch + col] / 255.0f;
                float &m = mask[(size_t)my * mw + mx];
                m = std::fmin(1.0f, m + v);
            }
    });

    /* The outline is the glyph mask grown by a disc of the outline's width. */
    std::vector<float> outer = mask;
    if (style.outline_width > 0) {
        int r = (int)std::ceil(style.outline_width);
        for (int my = 0; my < mh; my++)
            for (int mx = 0; mx < mw; mx++) {
                float best = 0;
                for (int dy = -r; dy <= r; dy++)
                    for (int dx = -r; dx <= r; dx++) {
                        int sx = mx + dx, sy = my + dy;
                        if (sx < 0 || sy < 0 || sx >= mw || sy >= mh)
                            continue;
                        float reach = style.outline_width + 0.5f - std::sqrt(float(dx * dx + dy * dy));
                        if (reach <= 0)
                            continue;
                        float v = mask[(size_t)sy * mw + sx] * std::fmin(1.0f, reach);
                        best = std::fmax(best, v);
                    }
                outer[(size_t)my * mw + mx] = best;
            }
    }

    int left = (int)std::lround(x) - margin;
    if (align == ALIGN_CENTRE)
        left -= width / 2;
    else if (align == ALIGN_RIGHT)
        left -= width;
    int top = (int)std::lround(y) - ascent - margin;
    int caps = cap_height(style);
    FT_Set_Pixel_Sizes(face, 0, style.size);

    if (style.shadow_alpha > 0)
        for (int my = 0; my < mh; my++)
            for (int mx = 0; mx < mw; mx++)
                blend_pixel(canvas, left + mx + style.shadow_dx, top + my + style.shadow_dy,
                            style.shadow, outer[(size_t)my * mw + mx] * style.shadow_alpha);
    if (style.outline_width > 0)
        for (int my = 0; my < mh; my++)
            for (int mx = 0; mx < mw; mx++)
                blend_pixel(canvas, left + mx, top + my, style.outline, outer[(size_t)my * mw + mx]);
    for (int my = 0; my < mh; my++) {
        float t = (my - (margin + ascent - caps)) / float(caps > 0 ? caps : 1);
        Colour colour = mix(style.top, style.bottom, t < 0 ? 0 : (t > 1 ? 1 : t));
        for (int mx = 0; mx < mw; mx++)
            blend_pixel(canvas, left + mx, top + my, colour, mask[(size_t)my * mw + mx]);
    }
}
