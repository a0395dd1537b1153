/* camera.h: the eye and camera matrix of a frame, and the light direction of the light modes. */
#pragma once

#include "world/world.h"

#include <allegro.h>

/* The camera of one frame. */
struct Camera {
    fixed x, y, z;      /* the eye in world units */
    MATRIX matrix;      /* world to camera space, field-of-view scaling included */
    fixed heading;      /* 1/256 turns; what the backdrop and the side choice of the squares follow */
};

/* Unit vector toward which the light-source modes light a face fully (x, y, z). */
extern fixed light_dir[3];

/* Sets light_dir for play: the normalised (15, -20, 5). Called when the play loop starts. */
void set_play_light();

/* Sets light_dir for the cast screen: the normalised (-15, 500, -400). Called when it opens. */
void set_cast_light();

/* Builds the camera for one frame from explicit inputs: camera mode (any value other than 0, 1
   or 2 acts as the helicopter), pitch (radians), the set height and distance, the eye height
   camera_y, the shown heading rot_y and the player's position. Used by setup_camera and by the
   tests, which vary the inputs directly. */
void build_camera(int mode, float pitch, float height, int distance, float camera_y,
                  fixed rot_y, fixed player_x, fixed player_z, Camera *out);

/* Builds this frame's camera of world w from the display options, the world's pitch and eye
   height and the player's motion record. Called once per frame by render_frame. */
void setup_camera(const World &w, Camera *out);
