/* editor_screen.cpp: what the level editor shows: the grid as the game's map panel draws the level
   (columns to the right, rows up), the level in 3D, the palette, the status, and a page. */
#include "base/translation.h"
#include "editor_screen.h"

#include <cstdio>

#include "editor_play.h"
#include "render/render_frame.h"
#include "base/datafile.h"
#include "base/display_options.h"
#include "world/actor_kinds.h"
#include "world/player_motion.h"

namespace {

enum {
    PALETTE_Y = VIEW_HEIGHT + 2,    /* rows of four contents (the floor, then the kinds) */
    PALETTE_CELL_W = 80, CONTENT_CELL_H = 20, TEXTURE_ROW_H = 13,
    PALETTE_ROWS = (ACTOR_KIND_COUNT + 1 + 3) / 4,
    TEXTURE_Y = PALETTE_Y + PALETTE_ROWS * CONTENT_CELL_H,
    BRUSH_Y = TEXTURE_Y + TEXTURE_ROW_H + 2,
    DETAILS_Y = BRUSH_Y + 12, DETAILS_LINE = 11
};

bool directed(int content)
{
    const ActorKind *kind = actor_kind(content);
    return kind && kind->facing != FACING_NONE;
}

int texture_colour(int texture, int height)
{
    static const int base[4][3] = {{150, 150, 140}, {70, 60, 50}, {120, 140, 170}, {140, 110, 80}};
    // Higher squares lighter, so that heights read at a glance.
    int shade = 100 + 10 * (height < -6 ? -6 : height > 6 ? 6 : height);
    const int *c = base[texture & 3];
    return makecol(c[0] * shade / 140, c[1] * shade / 140, c[2] * shade / 140);
}

bool in_block(const EditorView &view, int x, int z)
{
    if (view.mark_x < 0)
        return false;
    const int left = view.mark_x < view.cursor_x ? view.mark_x : view.cursor_x;
    const int right = view.mark_x < view.cursor_x ? view.cursor_x : view.mark_x;
    const int low = view.mark_z < view.cursor_z ? view.mark_z : view.cursor_z;
    const int high = view.mark_z < view.cursor_z ? view.cursor_z : view.mark_z;
    return x >= left && x <= right && z >= low && z <= high;
}

/* An arrow from the centre of the box (x, y, size) in direction `dir` (0 +z, up the grid; 64
   +x, right; 128 -z; 192 -x): a triangle, its point where the thing faces. */
void draw_heading(BITMAP *target, int x, int y, int size, int dir, int colour, int edge)
{
    const int cx = x + size / 2, cy = y + size / 2, r = size / 2 - 1;
    int px[3], py[3];
    switch ((dir / 64) & 3) {
    case 0: px[0] = cx; py[0] = cy - r; px[1] = cx - r; py[1] = cy + r; px[2] = cx + r; py[2] = cy + r; break;
    case 1: px[0] = cx + r; py[0] = cy; px[1] = cx - r; py[1] = cy - r; px[2] = cx - r; py[2] = cy + r; break;
    case 2: px[0] = cx; py[0] = cy + r; px[1] = cx - r; py[1] = cy - r; px[2] = cx + r; py[2] = cy - r; break;
    default: px[0] = cx - r; py[0] = cy; px[1] = cx + r; py[1] = cy - r; px[2] = cx + r; py[2] = cy + r; break;
    }
    triangle(target, px[0], py[0], px[1], py[1], px[2], py[2], colour);
    line(target, px[0], py[0], px[1], py[1], edge);
    line(target, px[1], py[1], px[2], py[2], edge);
    line(target, px[2], py[2], px[0], py[0], edge);
}

/* The map panel's picture for content `content`, when the datafile has one small enough. */
BITMAP *content_icon(int content)
{
    const ActorKind *kind = actor_kind(content);
    BITMAP *icon = kind ? (BITMAP *)datafile_object(kind->map_icon) : nullptr;
    return icon && icon->w <= GRID_CELL && icon->h <= GRID_CELL / 2 ? icon : nullptr;
}

void draw_square(BITMAP *target, const EditSquare &s, int px, int py)
{
    rectfill(target, px + 1, py + 1, px + GRID_CELL - 2, py + GRID_CELL - 2, texture_colour(s.texture, s.height));
    char text[8];
    std::snprintf(text, sizeof text, "%d", (int)s.height);
    textout_ex(target, font, text, px + 3, py + 1, makecol(255, 255, 255), -1);
    if (s.content == CONTENT_START) {
        // The robot: a white arrow the way it faces.
        draw_heading(target, px + 4, py + 4, 12, s.dir, makecol(255, 255, 255), makecol(0, 0, 0));
        return;
    }
    const ActorKind *kind = actor_kind(s.content);
    if (!kind)
        return;
    if (BITMAP *icon = content_icon(s.content))
        draw_sprite(target, icon, px + 2, py + GRID_CELL - 1 - icon->h);
    else
        textout_ex(target, font, std::string(1, kind->letter).c_str(), px + 2, py + 8,
                   makecol(255, 230, 60), -1);
    if (directed(s.content))
        draw_heading(target, px + 9, py + 8, 7, s.dir, makecol(255, 230, 60), makecol(255, 230, 60));
}

void draw_compass(BITMAP *target)
{
    const int x = GRID_WIDTH - 44, y = GRID_HEIGHT - 34;
    rectfill(target, x, y, x + 42, y + 32, makecol(0, 0, 0));
    rect(target, x, y, x + 42, y + 32, makecol(90, 90, 110));
    const int ox = x + 8, oy = y + 24, colour = makecol(200, 200, 230);
    line(target, ox, oy, ox, oy - 16, colour);
    triangle(target, ox - 3, oy - 13, ox + 3, oy - 13, ox, oy - 18, colour);
    line(target, ox, oy, ox + 16, oy, colour);
    triangle(target, ox + 13, oy - 3, ox + 13, oy + 3, ox + 18, oy, colour);
    textout_ex(target, font, "z", ox + 4, oy - 20, colour, -1);
    textout_ex(target, font, "x", ox + 22, oy - 4, colour, -1);
}

void draw_grid(BITMAP *target, const EditLevel &level, const EditorView &view)
{
    rectfill(target, 0, 0, GRID_WIDTH - 1, GRID_HEIGHT - 1, makecol(16, 16, 24));
    const int wall = makecol(80, 220, 255);
    for (int r = 0; r < GRID_ROWS; r++) {
        for (int c = 0; c < GRID_COLUMNS; c++) {
            const int x = view.first_x + c, z = view.top_z - r;
            const int px = c * GRID_CELL, py = r * GRID_CELL;
            if (z < 0)
                continue;
            rect(target, px, py, px + GRID_CELL - 1, py + GRID_CELL - 1, makecol(36, 36, 48));
            const int at = find_square(level, x, z);
            if (at < 0)
                continue;
            draw_square(target, level.squares[at], px, py);
            // A step toward column -1 or row -1 stays on the square: that edge is a wall.
            if (x == 0)
                rectfill(target, px, py, px + 1, py + GRID_CELL - 1, wall);
            if (z == 0)
                rectfill(target, px, py + GRID_CELL - 2, px + GRID_CELL - 1, py + GRID_CELL - 1, wall);
        }
    }
    for (int r = 0; r < GRID_ROWS; r++) {
        for (int c = 0; c < GRID_COLUMNS; c++) {
            if (in_block(view, view.first_x + c, view.top_z - r))
                rect(target, c * GRID_CELL, r * GRID_CELL, c * GRID_CELL + GRID_CELL - 1,
                     r * GRID_CELL + GRID_CELL - 1, makecol(80, 160, 255));
        }
    }
    const int cx = (view.cursor_x - view.first_x) * GRID_CELL, cz = (view.top_z - view.cursor_z) * GRID_CELL;
    rect(target, cx, cz, cx + GRID_CELL - 1, cz + GRID_CELL - 1, makecol(255, 255, 0));
    rect(target, cx + 1, cz + 1, cx + GRID_CELL - 2, cz + GRID_CELL - 2, makecol(255, 255, 0));
    draw_compass(target);
}

void draw_palette(BITMAP *target, const EditorView &view)
{
    const int chosen = makecol(255, 255, 0), idle = makecol(70, 70, 90), text = makecol(230, 230, 230);
    for (int content = 0; content <= ACTOR_KIND_COUNT; content++) {
        const int x = VIEW_X + (content % 4) * PALETTE_CELL_W, y = PALETTE_Y + (content / 4) * CONTENT_CELL_H;
        const bool is = view.brush.content == content;
        rect(target, x, y, x + PALETTE_CELL_W - 2, y + CONTENT_CELL_H - 2, is ? chosen : idle);
        char digit[4];
        std::snprintf(digit, sizeof digit, "%d", content);
        textout_ex(target, font, digit, x + 3, y + 2, makecol(255, 230, 60), -1);
        if (content == CONTENT_START)
            draw_heading(target, x + 14, y + 1, 9, view.brush.dir, makecol(255, 255, 255), makecol(0, 0, 0));
        else if (BITMAP *icon = content_icon(content))
            draw_sprite(target, icon, x + 14, y + 2);
        textout_ex(target, font, content_name(content), x + 3, y + 11, is ? chosen : text, -1);
    }
    for (int texture = 0; texture < 4; texture++) {
        const int x = VIEW_X + texture * PALETTE_CELL_W, y = TEXTURE_Y;
        const bool is = view.brush.texture == texture;
        rect(target, x, y, x + PALETTE_CELL_W - 2, y + TEXTURE_ROW_H - 2, is ? chosen : idle);
        BITMAP *picture = (BITMAP *)datafile_object(DAT_TEXTURE_FIRST + texture);
        if (picture && picture->w > 0 && picture->h > 0)
            stretch_blit(picture, target, 0, 0, picture->w, picture->h, x + 2, y + 2, 22, TEXTURE_ROW_H - 5);
        else
            rectfill(target, x + 2, y + 2, x + 23, y + TEXTURE_ROW_H - 4, texture_colour(texture, 0));
        char name[16];
        std::snprintf(name, sizeof name, "tex %d", texture);
        textout_ex(target, font, name, x + 28, y + 3, is ? chosen : text, -1);
    }
    // Fixed places for what a click picks: [-] and [+] the first six characters, [R] from 20 on.
    static const char *const ways[4] = {"+z", "+x", "-z", "-x"};
    char brush[80];
    std::snprintf(brush, sizeof brush, _("[-][+] height %-5d [R] faces %s"), (int)view.brush.height,
                  ways[(view.brush.dir / 64) & 3]);
    textout_ex(target, font, brush, VIEW_X + 3, BRUSH_Y, text, -1);
}

void draw_details(BITMAP *target, const EditLevel &level, const EditorView &view)
{
    char line[100];
    std::snprintf(line, sizeof line, _("\"%s\", %d min, %d squares"), level_name(level),
                  (int)level_minutes(level), (int)level.square_count);
    textout_ex(target, font, line, VIEW_X + 3, DETAILS_Y, makecol(255, 255, 255), -1);
    const int at = find_square(level, view.cursor_x, view.cursor_z);
    if (at < 0) {
        std::snprintf(line, sizeof line, _("cell %d,%d: empty"), (int)view.cursor_x, (int)view.cursor_z);
    } else {
        const EditSquare &s = level.squares[at];
        std::snprintf(line, sizeof line, _("cell %d,%d: height %d, tex %d, %s"), (int)s.x, (int)s.z,
                      (int)s.height, (int)s.texture, content_name(s.content));
    }
    textout_ex(target, font, line, VIEW_X + 3, DETAILS_Y + DETAILS_LINE, makecol(200, 200, 200), -1);
    if (at >= 0) {
        const EditSquare &s = level.squares[at];
        static const char *const edges[EDIT_EDGES] = {"+z", "-x", "-z", "+x"};
        std::snprintf(line, sizeof line, _("side %s (E): %d, %s"), edges[view.edge & 3],
                      (int)s.side[view.edge & 3],
                      s.side_by_hand[view.edge & 3] ? _("by hand (F8 resets)") : _("automatic"));
        textout_ex(target, font, line, VIEW_X + 3, DETAILS_Y + 2 * DETAILS_LINE, makecol(200, 200, 200), -1);
    }
    std::snprintf(line, sizeof line, "%.39s", view.place.c_str());
    textout_ex(target, font, line, VIEW_X + 3, DETAILS_Y + 3 * DETAILS_LINE, makecol(170, 170, 190), -1);
}

/* The status under the grid: the faults' summary, what came of the last key, each wrapped, and
   the keys that matter most. */
void draw_status(BITMAP *target, const EditorView &view)
{
    int row = 0;
    for (const std::string &line : wrap_text(view.validation, TEXT_COLUMNS + 1, 2)) {
        if (row >= VALIDATION_ROWS)
            break;
        textout_ex(target, font, line.c_str(), 4, STATUS_Y + STATUS_LINE * row++, makecol(255, 200, 120), -1);
    }
    for (const std::string &line : wrap_text(view.message, TEXT_COLUMNS + 1, 2)) {
        if (row >= STATUS_ROWS - KEY_ROWS)
            break;
        textout_ex(target, font, line.c_str(), 4, STATUS_Y + STATUS_LINE * row++, makecol(255, 255, 255), -1);
    }
    static const char *const keys[KEY_ROWS] = {
        _("F1 help F2 save F3 faults F5 prove A report W way P play N name I idea Esc"),
        _("mouse: left paints, right erases, Shift+left selects, wheel height, palette"),
    };
    for (int i = 0; i < KEY_ROWS; i++)
        textout_ex(target, font, keys[i], 4, STATUS_Y + STATUS_LINE * (STATUS_ROWS - KEY_ROWS + i),
                   makecol(150, 170, 210), -1);
}

/* The 3D view, its camera on the robot, or on the cursor's cell while the view follows it. */
void draw_view(BITMAP *target, BITMAP *world_view, const EditLevel &level, const EditorView &view)
{
    if (!view.world_valid) {
        rectfill(target, VIEW_X, 0, VIEW_X + VIEW_WIDTH - 1, VIEW_HEIGHT - 1, makecol(0, 0, 0));
        textout_centre_ex(target, font, _("no view: the level has faults (F3)"), VIEW_X + VIEW_WIDTH / 2,
                          VIEW_HEIGHT / 2, makecol(255, 120, 120), -1);
        return;
    }
    static World shown;     /* the world as the view shows it: some 25 KB, off the stack */
    shown = view_world;
    if (view.follow) {
        const int at = find_square(level, view.cursor_x, view.cursor_z);
        shown.motion.x = itofix(100 * view.cursor_x);
        shown.motion.z = itofix(100 * view.cursor_z);
        shown.camera_y = -10.0f * (float)(at < 0 ? 0 : level.squares[at].height) +
                         display_options.camera_height;
    }
    clear_bitmap(world_view);
    render_frame(world_view, shown, FrameOverlay{1, false, 0, 0, 0});
    blit(world_view, target, 0, 0, VIEW_X, 0, VIEW_WIDTH, VIEW_HEIGHT);
}

} // namespace

const char *content_name(int content)
{
    const ActorKind *kind = actor_kind(content);
    return kind ? kind->name : "floor";
}

void follow_cursor(EditorView *view)
{
    if (view->cursor_x < view->first_x)
        view->first_x = view->cursor_x;
    if (view->cursor_x >= view->first_x + GRID_COLUMNS)
        view->first_x = view->cursor_x - GRID_COLUMNS + 1;
    if (view->cursor_z > view->top_z)
        view->top_z = view->cursor_z;
    if (view->cursor_z <= view->top_z - GRID_ROWS)
        view->top_z = view->cursor_z + GRID_ROWS - 1;
    if (view->top_z < GRID_ROWS - 1)
        view->top_z = GRID_ROWS - 1;    // row 0 never leaves the bottom for empty rows below it
}

bool grid_cell_at(const EditorView &view, int px, int py, int32_t *x, int32_t *z)
{
    if (px < 0 || py < 0 || px >= GRID_WIDTH || py >= GRID_HEIGHT)
        return false;
    *x = view.first_x + px / GRID_CELL;
    *z = view.top_z - py / GRID_CELL;
    return *z >= 0 && *x <= MAP_COLUMN_LIMIT && *z <= MAP_COLUMN_LIMIT;
}

PalettePick palette_at(int px, int py, int32_t *value)
{
    if (px < VIEW_X || px >= VIEW_X + 4 * PALETTE_CELL_W)
        return PICK_NONE;
    const int column = (px - VIEW_X) / PALETTE_CELL_W;
    if (py >= PALETTE_Y && py < TEXTURE_Y) {
        *value = column + 4 * ((py - PALETTE_Y) / CONTENT_CELL_H);
        return *value <= ACTOR_KIND_COUNT ? PICK_CONTENT : PICK_NONE;
    }
    if (py >= TEXTURE_Y && py < TEXTURE_Y + TEXTURE_ROW_H) {
        *value = column;
        return PICK_TEXTURE;
    }
    if (py >= BRUSH_Y - 2 && py < BRUSH_Y + 10) {
        const int character = (px - VIEW_X - 3) / 8;
        return character < 0 ? PICK_NONE : character < 3 ? PICK_LOWER : character < 6 ? PICK_HIGHER :
               character >= 20 && character < 23 ? PICK_TURN : PICK_NONE;
    }
    return PICK_NONE;
}

void draw_editor(BITMAP *target, BITMAP *world_view, const EditLevel &level, const EditorView &view,
                 const TextPage *page)
{
    if (page) {
        draw_page(target, *page);
        return;
    }
    clear_to_color(target, makecol(0, 0, 0));
    draw_grid(target, level, view);
    draw_view(target, world_view, level, view);
    draw_palette(target, view);
    draw_details(target, level, view);
    draw_status(target, view);
}
