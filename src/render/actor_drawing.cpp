/* actor_drawing.cpp: actors on a square, their object matrices, models and explosion pictures. */
#include "render/actor_drawing.h"

#include <cmath>

#include "base/datafile.h"
#include "base/fatal.h"
#include "render/bsp/bsp_drawing.h"
#include "render/bsp/bsp_model.h"
#include "render/debug_column.h"
#include "render/polygon_drawing.h"
#include "render/viewport.h"
#include "world/actor_table.h"
#include "world/player_motion.h"

namespace {

/* An explosion lasts 80 ticks and shows five pictures. */
const int EXPLOSION_TICKS = 80;
const int EXPLOSION_PICTURES = 5;

/* Beyond this the picture covers any view many times over; bounding it keeps the scaling sane
   for a centre right in front of the eye. */
const int EXPLOSION_MAX_SIZE = 16384;

/* Screen offsets from the view's centre that the fixed-point projection holds with room to
   spare; past it a sprite, at most EXPLOSION_MAX_SIZE wide, cannot reach any screen. */
const double PROJECTION_SAFE = 30000.0;

/* The model an actor is drawn with: the robot's pose variants replace its standing model. */
int model_slot(const World &w, const Actor &actor)
{
    game_assert(actor.type >= 0 && actor.type < MODEL_COUNT);
    if (actor.type == ACTOR_PLAYER) {
        if (w.stretch)
            return MODEL_PLAYER_STRETCHED;
        if (w.crouch)
            return MODEL_PLAYER_CROUCHED;
    }
    return actor.type;
}

void draw_exploding_actor(const World &w, const Actor &actor, BITMAP *bitmap, const Camera *camera)
{
    const BspModel &model = model_table[actor.type];
    fixed cx, cy, cz;
    apply_matrix(const_cast<MATRIX *>(&camera->matrix), model.centre.x + actor.x,
                 model.centre.y + actor.y, model.centre.z + actor.z, &cx, &cy, &cz);
    const int depth = fixtoi(cz);
    if (depth < 1)
        return;
    // The library's projection, as every model corner is projected. A centre close to the eye
    // may lie so far outside the view that the fixed-point result would overflow; such a sprite
    // is off screen whatever its exact place, so it is placed in doubles, held far outside.
    const double dx = fixtof(cx) / fixtof(cz) * fixtof(_persp_xscale);
    const double dy = fixtof(cy) / fixtof(cz) * fixtof(_persp_yscale);
    int x, y;
    if (std::fabs(dx) < PROJECTION_SAFE && std::fabs(dy) < PROJECTION_SAFE) {
        fixed sx, sy;
        persp_project(cx, cy, cz, &sx, &sy);
        x = fixtoi(sx);
        y = fixtoi(sy);
    } else {
        x = (int)std::fmax(-1e6, std::fmin(1e6, dx + fixtof(_persp_xoffset)));
        y = (int)std::fmax(-1e6, std::fmin(1e6, dy + fixtof(_persp_yoffset)));
    }
    draw_explosion_sprite(bitmap, actor.timer, x, y, depth);
}

} // namespace

void actor_matrix(const Actor *actor, MATRIX *out)
{
    MATRIX y_turn, x_turn, rotation, move;
    get_y_rotate_matrix(&y_turn, itofix(64) + actor->angle_y);
    get_x_rotate_matrix(&x_turn, actor->angle_x);
    matrix_mul(&x_turn, &y_turn, &rotation);
    get_translation_matrix(&move, actor->x, actor->y, actor->z);
    matrix_mul(&rotation, &move, out);
}

int explosion_picture(int t)
{
    int object = (EXPLOSION_TICKS - t) * EXPLOSION_PICTURES / EXPLOSION_TICKS + DAT_EXPLOSION_FIRST;
    if (object < DAT_EXPLOSION_FIRST)
        object = DAT_EXPLOSION_FIRST;
    if (object > DAT_EXPLOSION_LAST)
        object = DAT_EXPLOSION_LAST;
    return object;
}

int explosion_size(int viewport_w, int depth)
{
    const long s = (long)viewport_w * 50 / depth;
    return s > EXPLOSION_MAX_SIZE ? EXPLOSION_MAX_SIZE : (int)s;
}

void draw_explosion_sprite(BITMAP *bitmap, int t, int x, int y, int depth)
{
    if (t <= 0 || depth < 1)
        return;
    BITMAP *picture = (BITMAP *)datafile_object(explosion_picture(t));
    if (!picture)
        return;
    const int s = explosion_size(viewport.w, depth);
    const int half = s / 2;
    if (s < 1)
        return;
    set_clip_rect(bitmap, viewport.x, viewport.y, viewport.x + viewport.w - 1,
                  viewport.y + viewport.h - 1);
    set_clip_state(bitmap, TRUE);
    stretch_sprite(bitmap, picture, x - half, y - half, s, s);
    /* Back to the frame's guard: the whole bitmap. */
    set_clip_rect(bitmap, 0, 0, bitmap->w - 1, bitmap->h - 1);
}

void draw_actor(const World &w, int index, BITMAP *bitmap, const Camera *camera)
{
    game_assert(index >= 0 && index < w.actors.count);
    const Actor &actor = w.actors.actors[index];
    game_assert(actor.type >= 0 && actor.type < MODEL_COUNT);
    if (actor.timer > 0) {
        draw_exploding_actor(w, actor, bitmap, camera);
        return;
    }
    const BspModel *model = &model_table[model_slot(w, actor)];
    if (model->node_count < 1 || !model->nodes)
        return;

    BspDrawing d;
    d.bitmap = bitmap;
    d.model = model;
    d.colour = cached_makecol(0, 0, 100) & 255;
    MATRIX object;
    actor_matrix(&actor, &object);
    matrix_mul(&object, &camera->matrix, &d.model_to_camera);
    make_clip_planes(&d.model_to_camera, d.planes, &d.plane_count);
    /* A model wholly in view needs no clipping at all, and most are. */
    if (sphere_inside_frustum(d.planes, d.plane_count, model->centre.x, model->centre.y,
                              model->centre.z, model->radius))
        d.plane_count = 0;
    /* The rotation is orthonormal, so its transpose carries the eye back into model space. */
    normal_to_source(&object, camera->x - actor.x, camera->y - actor.y, camera->z - actor.z,
                     &d.eye_x, &d.eye_y, &d.eye_z);
    d.rotation = object;
    d.rotation.t[0] = d.rotation.t[1] = d.rotation.t[2] = 0;
    prepare_bsp_drawing(&d);
    draw_bsp_node(&d, &model->nodes[0]);
}

int draw_tile_actors(const World &w, BITMAP *bitmap, int serial, const Camera *camera, const ClipPlane *planes,
                     int plane_count)
{
    int drawn = 0;
    for (int i = 0; i < w.actors.count; i++) {
        const Actor &actor = w.actors.actors[i];
        if (actor.gone || (actor.locs[0] != serial && actor.locs[1] != serial))
            continue;
        game_assert(actor.type >= 0 && actor.type < MODEL_COUNT);
        const BspModel &model = model_table[actor.type];
        if (!sphere_in_frustum(planes, plane_count, model.centre.x + actor.x,
                               model.centre.y + actor.y, model.centre.z + actor.z, model.radius))
            continue;
        debug_printf(bitmap, "tile=%2d actor=%2d type=%d state=%d x=%2d z=%2d refs=%d locs=(%2d,%2d) occ=%d",
                     serial, i, (int)actor.type, (int)actor.state, fixtoi(actor.x) / 100,
                     fixtoi(actor.z) / 100, (int)actor.refs, (int)actor.locs[0],
                     (int)actor.locs[1], actor_at(w, actor.x, actor.z));
        draw_actor(w, i, bitmap, camera);
        drawn++;
    }
    return drawn;
}
