/* camera.cpp: the eye, camera matrix and heading in the four camera modes; the light direction. */
#include "render/camera.h"

#include <cmath>

#include "base/display_options.h"
#include "world/player_motion.h"
#include "world/world.h"

fixed light_dir[3];

namespace {

/* 48/256 of a turn across the view, and the picture's height to width ratio. */
const fixed CAMERA_FOV = itofix(48);
const double CAMERA_ASPECT = 0.8;

/* Edge of the lattice on which the fixed camera stands: five squares. */
const int FIXED_LATTICE = 500;

void set_light(fixed x, fixed y, fixed z)
{
    normalize_vector(&x, &y, &z);
    light_dir[0] = x;
    light_dir[1] = y;
    light_dir[2] = z;
}

/* Lattice coordinate nearest to a player coordinate (half-way goes up). */
fixed lattice_point(fixed p)
{
    const int k = fixtoi(fixdiv(p, itofix(FIXED_LATTICE)) + ftofix(0.5));
    return fixmul(itofix(k), itofix(FIXED_LATTICE));
}

} // namespace

void set_play_light()
{
    set_light(itofix(15), itofix(-20), itofix(5));
}

void set_cast_light()
{
    set_light(itofix(-15), itofix(500), itofix(-400));
}

void build_camera(int mode, float pitch, float height, int distance, float camera_y,
                  fixed rot_y, fixed player_x, fixed player_z, Camera *out)
{
    /* The heading's angle in radians uses the same short pi as the rest of the game's maths. */
    const double yaw = -fixtof(rot_y) * 3.14159 / 128.0;
    const double p = pitch;
    const fixed along_x = ftofix(std::cos(p) * std::sin(yaw));
    const fixed along_y = ftofix(std::sin(p));
    const fixed along_z = ftofix(std::cos(p) * std::cos(yaw));

    fixed front_x, front_y, front_z;
    fixed up_x = 0, up_y = itofix(-1), up_z = 0;
    switch (mode) {
    case 0:
    case 1:
        out->x = player_x + fixmul(itofix(distance), fixsin(rot_y));
        out->y = ftofix(camera_y);
        out->z = player_z - fixmul(itofix(distance), fixcos(rot_y));
        if (mode == 1)
            out->y -= itofix(100);
        front_x = along_x;
        front_y = along_y;
        front_z = along_z;
        break;
    case 2:
        out->x = lattice_point(player_x);
        out->y = ftofix(camera_y);
        out->z = lattice_point(player_z);
        /* Aim at the floor level below the player. */
        front_x = player_x - out->x;
        front_y = -out->y;
        front_z = player_z - out->z;
        break;
    default:
        out->x = player_x;
        out->y = itofix((int)height);
        out->z = player_z;
        front_x = 0;
        front_y = itofix(1);
        front_z = 0;
        up_x = along_x;
        up_y = along_y;
        up_z = along_z;
        break;
    }
    /* Looking straight down a vertical up vector leaves the picture without a top (the fixed
       camera with the player right below it, or a pitch of a quarter turn): the top of the
       picture then points along the heading, as in the helicopter view. */
    if (up_y != 0 && up_x == 0 && up_z == 0 &&
        std::fabs(fixtof(front_x)) + std::fabs(fixtof(front_z)) < std::fabs(fixtof(front_y)) * 1e-3) {
        up_x = ftofix(std::sin(yaw));
        up_y = 0;
        up_z = ftofix(std::cos(yaw));
    }
    get_camera_matrix(&out->matrix, out->x, out->y, out->z, front_x, front_y, front_z,
                      up_x, up_y, up_z, CAMERA_FOV, ftofix(CAMERA_ASPECT));
    if (mode == 2)
        out->heading = fixatan2(out->matrix.v[0][2], out->matrix.v[2][2]);
    else
        out->heading = rot_y;
}

void setup_camera(const World &w, Camera *out)
{
    const DisplayOptions &o = display_options;
    build_camera(o.camera_mode, w.camera_pitch, o.camera_height, o.camera_distance,
                 w.camera_y, w.rot_y, w.motion.x, w.motion.z, out);
}
