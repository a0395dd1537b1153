/* polygon_drawing.cpp: light values and polygon types of the light and shading modes. */
#include "render/polygon_drawing.h"

#include <cstring>

#include "base/fatal.h"
#include "base/display_options.h"
#include "render/render_frame.h"

namespace {

/* Remembered makecol answers: a small open-addressed table keyed by the packed colour. */
const int COLOUR_CACHE_SIZE = 64;
struct ColourCacheEntry {
    int rgb;        /* packed r, g, b; -1 when the slot is empty */
    int index;      /* the palette index makecol gave */
};
ColourCacheEntry colour_cache[COLOUR_CACHE_SIZE];
PALETTE cached_palette;
RGB_MAP *cached_rgb_map;
bool colour_cache_ready;

int clamp_light(int c)
{
    return c < 0 ? 0 : (c > 255 ? 255 : c);
}

/* Per-corner light of the light modes; the ambient mode leaves c alone. */
void light_corners(Polygon *polygon, int light)
{
    const int n = polygon->count;
    switch (display_options.light_mode) {
    case LIGHT_SOURCE_FOG:
        for (int i = 0; i < n; i++) {
            V3D &v = polygon->vtx[i];
            v.c = clamp_light(light + display_options.ambient_light - fixtoi(v.z / 4));
        }
        break;
    case LIGHT_FOG:
        for (int i = 0; i < n; i++) {
            V3D &v = polygon->vtx[i];
            v.c = clamp_light(255 - fixtoi(v.z / 2));
        }
        break;
    case LIGHT_SOURCE:
        for (int i = 0; i < n; i++)
            polygon->vtx[i].c = light;
        break;
    default:
        break;
    }
}

} // namespace

int cached_makecol(int r, int g, int b)
{
    if (!colour_cache_ready || cached_rgb_map != rgb_map ||
        std::memcmp(cached_palette, _current_palette, sizeof(PALETTE)) != 0) {
        std::memcpy(cached_palette, _current_palette, sizeof(PALETTE));
        cached_rgb_map = rgb_map;
        for (ColourCacheEntry &e : colour_cache)
            e.rgb = -1;
        colour_cache_ready = true;
    }
    const int rgb = ((r & 255) << 16) | ((g & 255) << 8) | (b & 255);
    int slot = (int)(((unsigned)rgb * 2654435761u) >> 26) & (COLOUR_CACHE_SIZE - 1);
    for (int probe = 0; probe < COLOUR_CACHE_SIZE; probe++) {
        ColourCacheEntry &e = colour_cache[slot];
        if (e.rgb == rgb)
            return e.index;
        if (e.rgb == -1) {
            e.rgb = rgb;
            e.index = makecol(r, g, b);
            return e.index;
        }
        slot = (slot + 1) & (COLOUR_CACHE_SIZE - 1);
    }
    return makecol(r, g, b);
}

void draw_polygon(BITMAP *bitmap, Polygon *polygon, BITMAP *texture, int colour, int light)
{
    const int n = polygon->count;
    game_assert(n >= 3 && n <= MAX_POLYGON_VERTICES);
    polys_drawn++;

    /* A corner at the eye itself projects to no point; such a face lies edge-on anyway. */
    V3D *corners[MAX_POLYGON_VERTICES];
    for (int i = 0; i < n; i++) {
        if (polygon->vtx[i].z <= 0)
            return;
        corners[i] = &polygon->vtx[i];
    }

    light_corners(polygon, light);

    /* The library fills the rows from the first whole row at or below the top corner to the
       last one above the bottom corner: a face that spans none of them would draw nothing, so
       its setup is spared (far faces of the models often span no row). */
    fixed top = polygon->vtx[0].y, bottom = top;
    for (int i = 1; i < n; i++) {
        top = polygon->vtx[i].y < top ? polygon->vtx[i].y : top;
        bottom = polygon->vtx[i].y > bottom ? polygon->vtx[i].y : bottom;
    }
    if (fixceil(top) == fixceil(bottom))
        return;
    const bool ambient = display_options.light_mode == LIGHT_AMBIENT;
    int shading = display_options.shading_mode;
    /* Without its picture a textured face still shows, flat in its colour. */
    if (!texture && (shading == SHADE_LINEAR_TEXTURE || shading == SHADE_PERSPECTIVE_TEXTURE))
        shading = SHADE_RANDOM;
    /* The lit mappers read the light table through color_map. */
    const bool lit = !ambient && color_map;
    switch (shading) {
    case SHADE_FLAT:
        if (!ambient) {
            const int g = light / 2 + 128;
            colour = cached_makecol(g, g, g);
        }
        polygon->vtx[0].c = colour;
        polygon3d(bitmap, POLYTYPE_FLAT, nullptr, n, corners);
        break;
    case SHADE_RANDOM:
        polygon->vtx[0].c = colour;
        polygon3d(bitmap, POLYTYPE_FLAT, nullptr, n, corners);
        break;
    case SHADE_LINEAR_TEXTURE:
        polygon3d(bitmap, lit ? POLYTYPE_ATEX_LIT : POLYTYPE_ATEX, texture, n, corners);
        break;
    case SHADE_PERSPECTIVE_TEXTURE:
        polygon3d(bitmap, lit ? POLYTYPE_PTEX_LIT : POLYTYPE_PTEX, texture, n, corners);
        break;
    default:
        break;
    }
}
