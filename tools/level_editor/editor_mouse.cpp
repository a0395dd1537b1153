/* editor_mouse.cpp: the level editor's mouse: painting, erasing and selecting on the grid, the
   palette, the wheel, and the 3D view's turns. */
#include "editor_mouse.h"

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "editor_proof.h"
#include "editor_state.h"
#include "base/screen_scale.h"
#include "base/translation.h"
#include "world/player_motion.h"

namespace {

/* Button changes as the library's mouse thread sees them, in order, each with where the pointer
   was: clicks and drags between two looks of the main loop are not lost, nor their order. */
enum { MOUSE_EVENTS = 64 };
volatile int event_flags[MOUSE_EVENTS], event_x[MOUSE_EVENTS], event_y[MOUSE_EVENTS];
volatile int events_written = 0, events_read = 0;

const int BUTTON_FLAGS = MOUSE_FLAG_LEFT_DOWN | MOUSE_FLAG_LEFT_UP | MOUSE_FLAG_RIGHT_DOWN |
                         MOUSE_FLAG_RIGHT_UP;

void on_mouse(int flags)
{
    const int at = events_written, next = (at + 1) % MOUSE_EVENTS;
    if (!(flags & BUTTON_FLAGS) || next == events_read)
        return;     // not a button, or a queue full of clicks the editor has not looked at
    event_flags[at] = flags;
    event_x[at] = mouse_x;
    event_y[at] = mouse_y;
    events_written = next;
}
END_OF_STATIC_FUNCTION(on_mouse)

/* The point of the 640x480 picture under the screen point (sx, sy) of the window, which shows the
   picture enlarged by the screen's factor; false in the black around it (full screen), where
   a click must not land on the nearest cell of the grid's edge. */
bool picture_point(int sx, int sy, int *px, int *py)
{
    const ScreenLayout &l = screen_layout;
    const int x = sx - l.left, y = sy - l.top;
    if (x < 0 || y < 0)
        return false;
    *px = x / l.factor;
    *py = y / l.factor;
    return *px < picture_w() && *py < picture_h();
}

/* A held button on the grid: paints or erases each cell it passes, or stretches the selection.
   The pointer may have moved several cells since the last look: the cells on the line between
   are painted too. A drag is one edit. */
void drag_over(int32_t x, int32_t z)
{
    Editor &e = editor;
    if (x == e.drag_x && z == e.drag_z)
        return;
    const int32_t from_x = e.drag_x < 0 ? x : e.drag_x, from_z = e.drag_x < 0 ? z : e.drag_z;
    e.drag_x = x;
    e.drag_z = z;
    e.view.cursor_x = x;
    e.view.cursor_z = z;
    if (e.drag == DRAG_SELECT)
        return;
    const int32_t dx = x - from_x, dz = z - from_z;
    const int32_t steps = std::max(std::abs(dx), std::abs(dz));
    bool made = false;
    for (int32_t i = from_x == x && from_z == z ? 0 : 1; i <= steps; i++) {
        const int32_t cx = from_x + (int32_t)std::lround((double)dx * i / (steps ? steps : 1));
        const int32_t cz = from_z + (int32_t)std::lround((double)dz * i / (steps ? steps : 1));
        made = (e.drag == DRAG_PAINT ? paint_square(&e.level, cx, cz, e.view.brush) :
                remove_square(&e.level, cx, cz)) || made;
    }
    if (made) {
        e.drag_changed = true;
        refresh();
    }
}

void drag_end()
{
    Editor &e = editor;
    if (e.drag_changed) {
        history_note(&e.history, e.drag_before);
        proof_forget();
        say("");
    }
    e.drag = DRAG_NONE;
}

/* A click on the palette: the brush's content, texture, height or way. */
void palette_click(int px, int py)
{
    EditBrush &brush = editor.view.brush;
    int32_t value = 0;
    switch (palette_at(px, py, &value)) {
    case PICK_CONTENT:
        brush.content = value;
        say(std::string(_("the brush paints ")) + (value ? content_name(value) : _("floor, keeping contents")));
        break;
    case PICK_TEXTURE:
        brush.texture = value;
        break;
    case PICK_LOWER:
    case PICK_HIGHER:
        brush.height += palette_at(px, py, &value) == PICK_LOWER ? (brush.height > -MAP_HEIGHT_LIMIT ? -1 : 0) :
                        (brush.height < MAP_HEIGHT_LIMIT ? 1 : 0);
        break;
    case PICK_TURN:
        brush.dir = (brush.dir + 64) % 256;
        break;
    default:
        break;
    }
}

/* A button going down or up at the screen point (sx, sy): on the grid a drag begins (the left
   button paints, or with Shift selects; the right erases) or ends where it was let go; on the
   palette a left click picks; on the 3D view the buttons turn the robot and the view with it. */
void mouse_button(int flags, int sx, int sy)
{
    Editor &e = editor;
    int32_t x, z;
    int mx = -1, my = -1;
    picture_point(sx, sy, &mx, &my);
    const bool down = flags & (MOUSE_FLAG_LEFT_DOWN | MOUSE_FLAG_RIGHT_DOWN);
    const bool left = flags & (MOUSE_FLAG_LEFT_DOWN | MOUSE_FLAG_LEFT_UP);
    if (!down) {
        if (e.drag != DRAG_NONE && left == (e.drag != DRAG_ERASE)) {
            if (grid_cell_at(e.view, mx, my, &x, &z))
                drag_over(x, z);
            drag_end();
        }
        return;
    }
    if (e.drag != DRAG_NONE)
        return;         // the other button, during a drag
    e.asked_key = 0;
    if (grid_cell_at(e.view, mx, my, &x, &z)) {
        e.drag = left ? (key_shifts & KB_SHIFT_FLAG ? DRAG_SELECT : DRAG_PAINT) : DRAG_ERASE;
        e.drag_before = e.level;
        e.drag_changed = false;
        e.drag_x = e.drag_z = -1;
        e.view.mark_x = e.drag == DRAG_SELECT ? x : -1;
        e.view.mark_z = e.drag == DRAG_SELECT ? z : -1;
        drag_over(x, z);
        return;
    }
    int32_t value;
    if (left && palette_at(mx, my, &value) != PICK_NONE) {
        palette_click(mx, my);
        return;
    }
    if (mx >= VIEW_X && my >= 0 && my < VIEW_HEIGHT && e.view.world_valid)
        turn_view(left ? MOVE_TURN_LEFT : MOVE_TURN_RIGHT);
}

} // namespace

int wheel_turned()
{
    static int seen = 0;
    const int turned = mouse_z - seen;
    seen = mouse_z;
    return turned;
}

// The wheel raises or lowers the square under the pointer on the grid and zooms on the 3D view.
bool mouse_edit()
{
    Editor &e = editor;
    bool changed = false;
    while (events_read != events_written) {
        const int at = events_read;
        mouse_button(event_flags[at], event_x[at], event_y[at]);
        events_read = (at + 1) % MOUSE_EVENTS;
        changed = true;
    }
    int32_t x, z;
    int mx = -1, my = -1;
    picture_point(mouse_x, mouse_y, &mx, &my);
    if (e.drag != DRAG_NONE) {
        if (grid_cell_at(e.view, mx, my, &x, &z))
            drag_over(x, z);
        changed = true;
    }
    const int turned = wheel_turned();
    if (!turned || e.drag != DRAG_NONE)
        return changed;
    if (grid_cell_at(e.view, mx, my, &x, &z)) {
        e.view.cursor_x = x;
        e.view.cursor_z = z;
        e.before = e.level;
        edited(raise_square(&e.level, x, z, turned), "no square here");
        const int at = find_square(e.level, x, z);
        if (at >= 0)
            e.view.brush.height = e.level.squares[at].height;
    } else if (mx >= VIEW_X && my >= 0 && my < VIEW_HEIGHT && e.view.world_valid) {
        zoom(-turned);
    }
    return true;
}

void drop_mouse_events()
{
    events_read = events_written;
    if (editor.drag != DRAG_NONE)
        drag_end();
}

bool install_editor_mouse()
{
    if (install_mouse() < 0)
        return false;
    show_os_cursor(MOUSE_CURSOR_ARROW);
    LOCK_VARIABLE(event_flags);
    LOCK_VARIABLE(event_x);
    LOCK_VARIABLE(event_y);
    LOCK_VARIABLE(events_written);
    LOCK_FUNCTION(on_mouse);
    mouse_callback = on_mouse;
    return true;
}
