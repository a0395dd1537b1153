/* map_panel.cpp: the sliding map panel with the level's squares and actors. */
#include "render/map_panel.h"

#include "base/datafile.h"
#include "render/colour_tables.h"
#include "base/display_options.h"
#include "world/actor.h"
#include "world/actor_kinds.h"
#include "world/level_map.h"
#include "world/world.h"

int map_panel_x;

namespace {

const int MAP_CELL = 7;
const int MAP_PANEL_STEP = 10;

BITMAP *picture(int object)
{
    return (BITMAP *)datafile_object(object);
}

} // namespace

void draw_minimap_tiles(const World &w, BITMAP *target, int ox, int oy)
{
    BITMAP *marker = picture(DAT_MAP_MARKER);
    if (!marker)
        return;
    const int n = w.map.tile_count < MAP_TILE_CAPACITY ? w.map.tile_count : MAP_TILE_CAPACITY;
    for (int i = 0; i < n; i++) {
        const MapTile &t = w.map.tiles[i];
        draw_sprite(target, marker, ox + MAP_CELL * t.x, oy - MAP_CELL * t.z);
    }
    if (display_options.map_heights)
        draw_minimap_heights(w, target, ox, oy);
}

int map_height_shade(int height, int lowest, int highest)
{
    // From a deep blue for the lowest square to near white for the highest; one height, mid way.
    const int span = highest - lowest;
    const int t = span > 0 ? (height - lowest) * 255 / span : 128;
    return makecol(30 + t * 225 / 255, 40 + t * 215 / 255, 110 + t * 145 / 255);
}

void draw_minimap_heights(const World &w, BITMAP *target, int ox, int oy)
{
    const int n = w.map.tile_count < MAP_TILE_CAPACITY ? w.map.tile_count : MAP_TILE_CAPACITY;
    if (n < 1)
        return;
    int lowest = w.map.tiles[0].height, highest = lowest;
    for (int i = 1; i < n; i++) {
        lowest = w.map.tiles[i].height < lowest ? w.map.tiles[i].height : lowest;
        highest = w.map.tiles[i].height > highest ? w.map.tiles[i].height : highest;
    }
    for (int i = 0; i < n; i++) {
        const MapTile &t = w.map.tiles[i];
        const int x = ox + MAP_CELL * t.x, y = oy - MAP_CELL * t.z;
        rectfill(target, x + 1, y + 1, x + MAP_CELL - 2, y + MAP_CELL - 2,
                 map_height_shade(t.height, lowest, highest));
    }
}

void draw_minimap_actors(const World &w, BITMAP *target, int ox, int oy)
{
    for (int i = 0; i < w.actors.count; i++) {
        const Actor &a = w.actors.actors[i];
        const ActorKind *kind = actor_kind(a.map_code);
        if (a.gone || !kind)
            continue;
        BITMAP *icon = picture(kind->map_icon);
        if (!icon)
            continue;
        const int column = (int)((fixtof(a.x) + 50) / 100);
        const int row = (int)((fixtof(a.z) + 50) / 100);
        // The robot's angle_y grows as its heading turns counter-clockwise on the map, while
        // rotate_sprite turns clockwise; the offset must therefore add, not subtract, or the
        // arrow would point right when the robot faces left.
        const fixed angle = kind->type == ACTOR_PLAYER ? itofix(64) + a.angle_y : a.angle_y;
        rotate_sprite(target, icon, ox + MAP_CELL * column, oy - MAP_CELL * row, angle);
    }
}

void draw_map_panel(const World &w, BITMAP *target)
{
    const int screen_w = target->w, screen_h = target->h;
    BITMAP *frame = picture(DAT_MAP_FRAME);
    BITMAP *overlay = picture(DAT_MAP_OVERLAY);
    bool drawn = false;
    if (map_panel_x < 0 && frame && overlay) {
        set_clip_rect(target, 0, 0, screen_w - 1, screen_h - 1);
        set_clip_state(target, TRUE);
        const int left = screen_w + map_panel_x;
        draw_sprite(target, frame, left, screen_h - (frame->h + 20));
        COLOR_MAP *saved = color_map;
        color_map = &trans_table;
        draw_trans_sprite(target, overlay, left, screen_h - (overlay->h + 20));
        color_map = saved;
        draw_minimap_tiles(w, target, left + 50, screen_h - 90);
        draw_minimap_actors(w, target, left + 50, screen_h - 90);
        drawn = true;
    }
    BITMAP *measure = drawn ? overlay : frame;
    const int panel_w = measure ? measure->w : 0;
    if (display_options.map_panel_shown && map_panel_x > 5 - panel_w)
        map_panel_x -= MAP_PANEL_STEP;
    else if (!display_options.map_panel_shown && map_panel_x < 0)
        map_panel_x += MAP_PANEL_STEP;
}
