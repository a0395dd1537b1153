/* editor_screen.cpp: what the level editor shows: the grid from above, the level in 3D, the status. */
#include "editor_screen.h"

#include <cstdio>

#include "render/render_frame.h"
#include "shell/datafile.h"

namespace {

/* The letters of the contents, by content code, as the map panel names them. */
const char content_letters[] = " PTMZJXS";
/* An arrow for each direction: 0 +z (down the grid), 64 +x, 128 -z, 192 -x. */
const char direction_marks[] = "v>^<";

int texture_colour(int texture, int height)
{
    static const int base[4][3] = {{150, 150, 140}, {70, 60, 50}, {120, 140, 170}, {140, 110, 80}};
    // Higher squares lighter, as the map panel shows them.
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
    const int top = view.mark_z < view.cursor_z ? view.mark_z : view.cursor_z;
    const int bottom = view.mark_z < view.cursor_z ? view.cursor_z : view.mark_z;
    return x >= left && x <= right && z >= top && z <= bottom;
}

void draw_grid(BITMAP *target, const EditLevel &level, const EditorView &view)
{
    rectfill(target, 0, 0, GRID_WIDTH - 1, GRID_HEIGHT - 1, makecol(16, 16, 24));
    const int columns = GRID_WIDTH / GRID_CELL, rows = GRID_HEIGHT / GRID_CELL;
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < columns; c++) {
            const int x = view.first_x + c, z = view.first_z + r;
            const int px = c * GRID_CELL, py = r * GRID_CELL;
            rect(target, px, py, px + GRID_CELL - 1, py + GRID_CELL - 1, makecol(36, 36, 48));
            int at = find_square(level, x, z);
            if (at < 0)
                continue;
            const EditSquare &s = level.squares[at];
            rectfill(target, px + 1, py + 1, px + GRID_CELL - 2, py + GRID_CELL - 2,
                     texture_colour(s.texture, s.height));
            char text[8];
            std::snprintf(text, sizeof text, "%d", (int)s.height);
            textout_ex(target, font, text, px + 2, py + 1, makecol(255, 255, 255), -1);
            if (s.content > 0 && s.content <= 7) {
                // The map panel's icon for what stands there, else its letter; an arrow for
                // the direction of a start, mibo or zipper.
                BITMAP *icon = (BITMAP *)datafile_object(DAT_MAP_MARKER + s.content);
                char mark[3] = {icon ? ' ' : content_letters[s.content], 0, 0};
                if (s.content == 1 || s.content == 3 || s.content == 4)
                    mark[1] = direction_marks[(s.dir / 64) & 3];
                if (icon && icon->w <= GRID_CELL && icon->h <= GRID_CELL / 2)
                    draw_sprite(target, icon, px + 2, py + GRID_CELL - 1 - icon->h);
                else
                    mark[0] = content_letters[s.content];
                textout_ex(target, font, mark, px + 2, py + 8, makecol(255, 230, 60), -1);
            }
        }
    }
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < columns; c++) {
            if (in_block(view, view.first_x + c, view.first_z + r))
                rect(target, c * GRID_CELL, r * GRID_CELL, c * GRID_CELL + GRID_CELL - 1,
                     r * GRID_CELL + GRID_CELL - 1, makecol(80, 160, 255));
        }
    }
    const int cx = (view.cursor_x - view.first_x) * GRID_CELL, cz = (view.cursor_z - view.first_z) * GRID_CELL;
    rect(target, cx, cz, cx + GRID_CELL - 1, cz + GRID_CELL - 1, makecol(255, 255, 0));
    rect(target, cx + 1, cz + 1, cx + GRID_CELL - 2, cz + GRID_CELL - 2, makecol(255, 255, 0));
}

} // namespace

void follow_cursor(EditorView *view)
{
    const int columns = GRID_WIDTH / GRID_CELL, rows = GRID_HEIGHT / GRID_CELL;
    if (view->cursor_x < view->first_x)
        view->first_x = view->cursor_x;
    if (view->cursor_x >= view->first_x + columns)
        view->first_x = view->cursor_x - columns + 1;
    if (view->cursor_z < view->first_z)
        view->first_z = view->cursor_z;
    if (view->cursor_z >= view->first_z + rows)
        view->first_z = view->cursor_z - rows + 1;
}

void draw_editor(BITMAP *target, BITMAP *world_view, const EditLevel &level, const EditorView &view)
{
    clear_to_color(target, makecol(0, 0, 0));
    draw_grid(target, level, view);
    if (view.world_valid) {
        clear_bitmap(world_view);
        render_frame(world_view);
        blit(world_view, target, 0, 0, VIEW_X, 0, VIEW_WIDTH, VIEW_HEIGHT);
    } else {
        textout_centre_ex(target, font, "no view: the level has faults", VIEW_X + VIEW_WIDTH / 2,
                          VIEW_HEIGHT / 2, makecol(255, 120, 120), -1);
    }
    char heading[100];
    std::snprintf(heading, sizeof heading, "\"%s\", %d minutes, %d squares", level_name(level),
                  (int)level_minutes(level), (int)level.square_count);
    textout_ex(target, font, heading, VIEW_X + 4, VIEW_HEIGHT + 8, makecol(255, 255, 255), -1);
    char cell[100];
    int at = find_square(level, view.cursor_x, view.cursor_z);
    if (at < 0) {
        std::snprintf(cell, sizeof cell, "cell %d,%d: empty", (int)view.cursor_x, (int)view.cursor_z);
    } else {
        const EditSquare &s = level.squares[at];
        std::snprintf(cell, sizeof cell, "cell %d,%d: height %d tex %d what %d dir %d",
                      (int)s.x, (int)s.z, (int)s.height, (int)s.texture, (int)s.content, (int)s.dir);
        static const char *const edges[EDIT_EDGES] = {"+z", "-x", "-z", "+x"};
        char side[100];
        std::snprintf(side, sizeof side, "side %s (E): %d, %s", edges[view.edge & 3],
                      (int)s.side[view.edge & 3],
                      s.side_by_hand[view.edge & 3] ? "set by hand (F8 resets)" : "automatic");
        textout_ex(target, font, side, VIEW_X + 4, VIEW_HEIGHT + 32, makecol(200, 200, 200), -1);
    }
    textout_ex(target, font, cell, VIEW_X + 4, VIEW_HEIGHT + 20, makecol(200, 200, 200), -1);
    textout_ex(target, font, "P plays, W shows the way, V L S camera light", VIEW_X + 4,
               VIEW_HEIGHT + 52, makecol(170, 170, 190), -1);
    textout_ex(target, font, "shading, - = zoom, F6 F7 side", VIEW_X + 4, VIEW_HEIGHT + 64,
               makecol(170, 170, 190), -1);
    for (int i = 0; i < EDITOR_STATUS_LINES; i++)
        textout_ex(target, font, view.lines[i], 4, GRID_HEIGHT + 6 + 18 * i,
                   i == 0 ? makecol(255, 200, 120) : i == 1 ? makecol(255, 255, 255) :
                   makecol(170, 170, 190), -1);
}
