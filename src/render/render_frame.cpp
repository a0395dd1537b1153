/* render_frame.cpp: one frame of play, composed far to near and then overlaid, in a fixed order. */
#include "render/render_frame.h"

#include "render/camera.h"
#include "render/clipping.h"
#include "render/hint_arrow.h"
#include "render/map_panel.h"
#include "render/squares.h"
#include "render/viewport.h"
#include "render/backdrop.h"
#include "render/debug_column.h"
#include "base/display_options.h"
#include "render/hud.h"
#include "render/message_line.h"
#include "world/tile_grid.h"

int frames;
int polys_drawn;
int actors_drawn;
int squares_in_view;

namespace {

/* The squares' drawing order of the last frame: where this frame's sort starts. */
SquareOrder square_order;

} // namespace

void render_frame(BITMAP *bitmap, const World &w, const FrameOverlay &overlay)
{
    frames++;
    polys_drawn = 0;
    actors_drawn = 0;

    set_viewport(compute_viewport(bitmap->w, bitmap->h, display_options.viewport_size));
    /* The frustum keeps every polygon inside the viewport; the bitmap's own clipping stays on
       over the whole bitmap as a guard against rounding at the viewport's edges. */
    set_clip_rect(bitmap, 0, 0, bitmap->w - 1, bitmap->h - 1);
    set_clip_state(bitmap, TRUE);

    Camera camera;
    setup_camera(w, &camera);
    ClipPlane planes[FRUSTUM_PLANES];
    int plane_count;
    make_clip_planes(&camera.matrix, planes, &plane_count);

    draw_backdrop(bitmap, viewport.x, viewport.y, viewport.w, viewport.h, camera.heading);

    for (int i = 0; i < plane_count; i++)
        debug_printf(bitmap, "clip[%d] (%g %g %g) d=%g", i, fixtof(planes[i].a),
                     fixtof(planes[i].b), fixtof(planes[i].c), fixtof(planes[i].d));
    debug_printf(bitmap, "cam at (%d %d %d) rot-y=%d/256", fixtoi(camera.x), fixtoi(camera.y),
                 fixtoi(camera.z), fixtoi(camera.heading));

    int eye_column, eye_row;
    const int quadrant = view_quadrant_and_tile(camera.heading, camera.x, camera.z, &eye_column,
                                                &eye_row);
    debug_printf(bitmap, "cam_tile_x/z= (%d, %d)", eye_column, eye_row);

    sort_tiles(w, eye_column, eye_row, &square_order);
    actors_drawn += draw_squares(bitmap, w, square_order, &camera, planes, plane_count, quadrant,
                                 eye_column, eye_row, &squares_in_view);

    debug_printf(bitmap, "polys drawn: %d", polys_drawn);
    debug_printf(bitmap, "actors drawn: %d", actors_drawn);

    if (overlay.hint_shown)
        draw_hint_arrow(bitmap, w, &camera, planes, plane_count, overlay.hint_column,
                        overlay.hint_row, overlay.hint_code);
    draw_message_line(bitmap, w.message, viewport.x, viewport.y, viewport.w, viewport.h,
                      overlay.message_note);
    draw_hud(w, bitmap);
    draw_f1_panel(bitmap, overlay.idea, overlay.card_keys);
    if (w.title_timer > 0)
        draw_level_title(w, bitmap, overlay.level);
    draw_debug_block(w, bitmap);
    draw_map_panel(w, bitmap);
}
