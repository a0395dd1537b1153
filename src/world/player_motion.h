/* player_motion.h: the robot's motion record and the flags of its pose, camera and fall. */
#pragma once

#include <allegro.h>
#include <cstdint>

/* Move codes that reach the player through the command queue. */
enum MoveCode {
    MOVE_FORWARD = 72,          /* Up */
    MOVE_BACKWARD = 80,         /* Down */
    MOVE_TURN_LEFT = 75,        /* Left */
    MOVE_TURN_RIGHT = 77,       /* Right */
    MOVE_JUMP = 57,             /* Space */
    MOVE_STRAFE_LEFT = 1001,    /* Shift+Left */
    MOVE_STRAFE_RIGHT = 1002    /* Shift+Right */
};

/* The robot's motion. Angles in 1/256 turns; a heading a faces the grid direction (-sin a, cos a). */
struct PlayerMotion {
    fixed x;
    fixed loc_y;            /* world y of the feet (y grows downward) */
    fixed z;
    fixed step_x;           /* movement per tick of the current hop; 0 for a jump */
    fixed step_z;
    fixed player_rot_y;     /* heading for movement; a turn changes it by 64 at once */
    int32_t playerL[2];     /* logical square (column, row): where the robot stands or is going */
    int32_t jump_ctr;       /* hop counter: > 10 wind-up, 1..10 flight, 0 landed, < 0 landing/rest */
    int32_t hopping;        /* the current movement is drawn as a hop */
    fixed floor_y;          /* top of the square at playerL */
    fixed base_y;           /* floor under the robot, interpolated during a hop */
    fixed from_floor_y;     /* floor_y when the current hop started */
    fixed from_x;           /* where the current step started */
    fixed from_z;
};
