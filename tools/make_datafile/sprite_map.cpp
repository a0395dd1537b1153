/* sprite_map.cpp: the map panel: square marker, actor icons, frame and translucent overlay. */
#include <cmath>

#include "make_datafile.h"
#include "sprite_paint.h"

/* How the panel is drawn: the frame and then the overlay (through the 50 % translucency
   table) share their top left corner at (panel x, screen height - 20 - PANEL_H); the square
   of column c, row r gets its marker at (panel x + 50 + 7 c, screen height - 90 - 7 r), so row
   0 lies PANEL_H - 70 pixels below the panel's top and higher rows climb toward it. The panel
   is sized for levels of up to 23 columns and 14 rows with this spacing. Its right edge may
   end up to 5 pixels beyond the screen, so nothing important lives there.

   Icons are drawn with rotate_sprite (clockwise for growing angles) around their centre,
   over the square's marker. The player's icon is an arrow pointing DOWN in the bitmap: the
   panel turns it by 192 - angle_y, where the robot's angle_y is 64 - its shown heading, so by
   half a turn plus the heading; a robot facing +z (heading 0) gets an arrow up the map, one
   facing -z an arrow down. A growing heading turns the robot counter-clockwise on the map
   (heading 64 faces -x, to the left), so for the two headings along x the arrow only points
   the robot's way when the panel turns it by 64 + angle_y instead. The zipper's icon points
   UP in the bitmap: it is turned by the zipper's direction, and direction 0 runs toward +z,
   up the map, direction 64 toward +x, to the right. Every other icon is round enough to
   turn freely. */

namespace {

const int CELL = 7;                 /* map squares are this far apart */
const int PANEL_W = 224, PANEL_H = 168;
const int MAP_LEFT = 50;            /* x of column 0 inside the panel */
const int ROW0_TOP = PANEL_H - 70;  /* y of row 0 inside the panel */
const int BORDER = 7;               /* width of the metal rim */
const int CORNER = 10;              /* radius of the rounded corners */

enum PanelPart { PANEL_OUTSIDE, PANEL_RIM, PANEL_INSIDE };

/* Distance from (x, y) to the panel's outer edge, measured inward, with rounded corners. */
float rim_depth(int x, int y)
{
    float px = x + 0.5f, py = y + 0.5f;
    float dx = std::fmin(px, PANEL_W - px), dy = std::fmin(py, PANEL_H - py);
    if (dx < CORNER && dy < CORNER) {
        float cx = CORNER - dx, cy = CORNER - dy;
        return CORNER - std::sqrt(cx * cx + cy * cy);
    }
    return std::fmin(dx, dy);
}

PanelPart panel_part(int x, int y)
{
    float depth = rim_depth(x, y);
    if (depth <= 0.0f)
        return PANEL_OUTSIDE;
    return depth < BORDER ? PANEL_RIM : PANEL_INSIDE;
}

/* The rim: a rounded metal bar, lit from the upper left, with a dark edge outside and in. */
int rim_colour(int x, int y)
{
    float depth = rim_depth(x, y);
    if (depth < 1.0f || depth >= BORDER - 1.0f)
        return ramp_colour(RAMP_STEEL, 3);
    /* Across the bar: -1 at its outer side, 1 at its inner side. */
    float across = (depth - 1.0f) / (BORDER - 2.0f) * 2.0f - 1.0f;
    /* Which way the bar's outer side faces: up or left sides catch the light. */
    float fx = (x + 0.5f < PANEL_W / 2.0f) ? -1.0f : 1.0f;
    float fy = (y + 0.5f < PANEL_H / 2.0f) ? -1.0f : 1.0f;
    float sx = std::fmin(x + 0.5f, PANEL_W - x - 0.5f);
    float sy = std::fmin(y + 0.5f, PANEL_H - y - 0.5f);
    float facing = sx < sy ? -fx * 0.6f : -fy * 0.8f;         /* >0: outer side faces the light */
    float shade = 11.0f + facing * (-across) * 2.2f + (1.0f - across * across) * 1.6f;
    return dither_shade(RAMP_STEEL, shade, x, y);
}

bool on_grid(int x, int y)
{
    /* The gaps after each marker; the offsets keep the remainders positive. */
    return (x - MAP_LEFT + CELL * 40) % CELL == CELL - 1 ||
           (y - ROW0_TOP + CELL * 40) % CELL == CELL - 1;
}

/* A small compass rose in the corner that the map never reaches (left of column 0 and below
   row 0): it tells that the map keeps its orientation while the robot turns. */
const int COMPASS_X = 26, COMPASS_Y = PANEL_H - 30, COMPASS_R = 11;

bool in_compass(int x, int y)
{
    int dx = x - COMPASS_X, dy = y - COMPASS_Y;
    return dx * dx + dy * dy <= (COMPASS_R + 1) * (COMPASS_R + 1);
}

void draw_compass(BITMAP *b)
{
    const int cx = COMPASS_X, cy = COMPASS_Y;
    circlefill(b, cx, cy, COMPASS_R, ramp_colour(RAMP_BLUE, 4));
    int dark = ramp_colour(RAMP_STEEL, 3);
    circle(b, cx, cy, COMPASS_R, dark);
    circle(b, cx, cy, COMPASS_R - 1, ramp_colour(RAMP_STEEL, 10));
    /* Four points, each split into a lit and a shaded half; the upper one, toward higher
       rows, is red. */
    for (int i = 0; i < 4; i++) {
        int dx = (i == 1) - (i == 3), dy = (i == 2) - (i == 0);
        int tip_x = cx + dx * 9, tip_y = cy + dy * 9;
        int side_x = dy * 3, side_y = -dx * 3;
        int ramp = i == 0 ? RAMP_RED : RAMP_STEEL;
        int lit = ramp_colour(ramp, i == 0 ? 12 : 14), shaded = ramp_colour(ramp, i == 0 ? 9 : 10);
        triangle(b, tip_x, tip_y, cx, cy, cx + side_x, cy + side_y, lit);
        triangle(b, tip_x, tip_y, cx, cy, cx - side_x, cy - side_y, shaded);
    }
    circlefill(b, cx, cy, 1, ramp_colour(RAMP_YELLOW, 13));
}

/* ---- 15 ... 21: the actor icons, 7 x 7, one pattern each ---------------------------- */

const char *const player_icon[7] = {
    "..aaa..",
    "..aya..",
    "..aya..",
    "aaayaaa",
    ".ayyya.",
    "..aya..",
    "...a...",
};
const char *const teleport_icon[7] = {
    "..ttt..",
    ".t...t.",
    "t..w..t",
    "t.www.t",
    "t..w..t",
    ".t...t.",
    "..ttt..",
};
const char *const mibo_icon[7] = {
    "..vvv..",
    ".vppvvv",
    "vppvvvv",
    "vvvvvvv",
    "vvvvvvd",
    ".vvvvd.",
    "..ddd..",
};
const char *const zipper_icon[7] = {
    "...r...",
    "..yyy..",
    "..yyy..",
    ".yyyyy.",
    ".yyyyy.",
    "yyyyyyy",
    ".o...o.",
};
const char *const jar_icon[7] = {
    ".ttttt.",
    "..ccc..",
    ".ccccc.",
    "cccccck",
    "ccccckk",
    ".cckkk.",
    "..kkk..",
};
const char *const mine_icon[7] = {
    "s..s..s",
    ".ddddd.",
    ".ddrdd.",
    "sdrrrds",
    ".ddrdd.",
    ".ddddd.",
    "s..s..s",
};
const char *const sweet_icon[7] = {
    ".......",
    "y..m..y",
    "yymmmyy",
    "ymmwmmy",
    "yymmmyy",
    "y..m..y",
    ".......",
};

}  // namespace

void make_map_marker(const char *path)
{
    /* A 6 x 6 tile with a one-pixel gap to its neighbours, lit from the upper left. */
    BITMAP *b = create_bitmap_ex(8, CELL, CELL);
    clear_to_color(b, 0);
    rectfill(b, 0, 0, CELL - 2, CELL - 2, ramp_colour(RAMP_STEEL, 13));
    hline(b, 0, 0, CELL - 2, ramp_colour(RAMP_STEEL, 15));
    vline(b, 0, 0, CELL - 2, ramp_colour(RAMP_STEEL, 15));
    hline(b, 1, CELL - 2, CELL - 2, ramp_colour(RAMP_STEEL, 10));
    vline(b, CELL - 2, 1, CELL - 2, ramp_colour(RAMP_STEEL, 10));
    save_picture(path, b);
    destroy_bitmap(b);
}

void make_map_icon(const char *path, int map_code)
{
    const PatternKey keys[] = {
        {'a', ramp_colour(RAMP_RED, 10)},     {'y', ramp_colour(RAMP_YELLOW, 14)},
        {'t', ramp_colour(RAMP_TEAL, 10)},    {'w', ramp_colour(RAMP_GREY, 15)},
        {'v', ramp_colour(RAMP_VIOLET, 11)},  {'p', ramp_colour(RAMP_PINK, 13)},
        {'d', ramp_colour(RAMP_VIOLET, 7)},   {'r', ramp_colour(RAMP_RED, 11)},
        {'o', ramp_colour(RAMP_ORANGE, 10)},  {'c', ramp_colour(RAMP_CLAY, 11)},
        {'k', ramp_colour(RAMP_CLAY, 8)},     {'s', ramp_colour(RAMP_GREY, 9)},
        {'m', ramp_colour(RAMP_MAGENTA, 11)},
    };
    const char *const *patterns[7] = {player_icon, teleport_icon, mibo_icon, zipper_icon,
                                      jar_icon, mine_icon, sweet_icon};
    if (map_code < 1 || map_code > 7)
        map_code = 1;
    BITMAP *b = create_bitmap_ex(8, CELL, CELL);
    clear_to_color(b, 0);
    PatternKey mine_keys[sizeof keys / sizeof keys[0]];
    for (unsigned i = 0; i < sizeof keys / sizeof keys[0]; i++) {
        mine_keys[i] = keys[i];
        if (map_code == 6 && keys[i].symbol == 'd')
            mine_keys[i].colour = ramp_colour(RAMP_STEEL, 4);   /* the mine's shell is dark steel */
    }
    paint_pattern(b, 0, 0, patterns[map_code - 1], CELL, mine_keys, sizeof keys / sizeof keys[0]);
    save_picture(path, b);
    destroy_bitmap(b);
}

void make_map_frame(const char *path)
{
    BITMAP *b = create_bitmap_ex(8, PANEL_W, PANEL_H);
    clear_to_color(b, 0);
    for (int y = 0; y < PANEL_H; y++)
        for (int x = 0; x < PANEL_W; x++)
            if (panel_part(x, y) == PANEL_RIM)
                putpixel(b, x, y, rim_colour(x, y));
    /* Screws in the rim's corners. */
    const int screw[4][2] = {
        {5, 5}, {PANEL_W - 6, 5}, {5, PANEL_H - 6}, {PANEL_W - 6, PANEL_H - 6}};
    for (const auto &s : screw) {
        circlefill(b, s[0], s[1], 2, ramp_colour(RAMP_STEEL, 12));
        putpixel(b, s[0] - 1, s[1] - 1, ramp_colour(RAMP_STEEL, 15));
        line(b, s[0] - 1, s[1] + 1, s[0] + 1, s[1] - 1, ramp_colour(RAMP_STEEL, 6));
    }
    draw_compass(b);
    save_picture(path, b);
    destroy_bitmap(b);
}

void make_map_overlay(const char *path)
{
    /* Deep blue glass inside the rim, with a faint grid through the gaps between the
       squares; the rim itself stays clear so the frame under it is not dimmed. */
    BITMAP *b = create_bitmap_ex(8, PANEL_W, PANEL_H);
    clear_to_color(b, 0);
    for (int y = 0; y < PANEL_H; y++) {
        for (int x = 0; x < PANEL_W; x++) {
            if (panel_part(x, y) != PANEL_INSIDE)
                continue;
            if (in_compass(x, y))
                continue;
            float depth = rim_depth(x, y);
            float shade = on_grid(x, y) ? 7.6f : 5.6f;
            if (depth < BORDER + 2.0f)
                shade -= 1.5f;          /* a shadow under the rim */
            putpixel(b, x, y, dither_shade(RAMP_BLUE, shade, x, y));
        }
    }
    save_picture(path, b);
    destroy_bitmap(b);
}
