/* display_options.h: the in-game switchable settings (camera, light, shading, sound, debug). */
#pragma once

#include <allegro.h>
#include <cstdint>

enum LightMode {
    LIGHT_AMBIENT = 0,
    LIGHT_FOG = 1,
    LIGHT_SOURCE = 2,
    LIGHT_SOURCE_FOG = 3
};

enum ShadingMode {
    SHADE_FLAT = 0,
    SHADE_RANDOM = 1,
    SHADE_LINEAR_TEXTURE = 2,
    SHADE_PERSPECTIVE_TEXTURE = 3
};

enum CameraMode {
    CAMERA_BEHIND = 0,
    CAMERA_LONG_SHOT = 1,
    CAMERA_FIXED = 2,
    CAMERA_HELICOPTER = 3
};

enum { VIEWPORT_SIZES = 4 };

/* The settings the player switches during play. Not saved: every run starts from
   program_start_options. */
struct DisplayOptions {
    bool slow_motion;       /* timer at 3 ticks a second; a completed level is not recorded */
    int light_mode;         /* LightMode */
    int shading_mode;       /* ShadingMode */
    bool sound_off;
    bool music_on;
    bool debug_info;        /* debug text column shown */
    int16_t viewport_size;  /* index into viewport_scales, 0..3 */
    int16_t camera_mode;    /* CameraMode */
    fixed depth_of_view;    /* world units; 0 is infinite, else 300..900 */
    float camera_height;    /* world units above the robot; more negative is higher */
    int camera_distance;    /* world units behind the robot */
    int ambient_light;
    bool map_panel_shown;
    bool map_heights;       /* the map panel shades each square by its height */
};

/* The one set of options of the running program. */
extern DisplayOptions display_options;

/* The values every run starts with. */
extern const DisplayOptions program_start_options;

/* The messages naming each mode, shown when the mode is chosen; indexed by the enum value. */
extern const char *const light_mode_messages[4];
extern const char *const shading_mode_messages[4];
extern const char *const camera_mode_messages[4];

/* Share of SCREEN_W and SCREEN_H covered by the 3D view, indexed by viewport_size. */
extern const float viewport_scales[VIEWPORT_SIZES];

/* Puts every option back to its program-start value. Called once at start-up (and by tests). */
void reset_display_options();

/* Sets the options a fresh view starts from: light source + fog, the full viewport, infinite
   depth of view, no debug text and the camera behind the robot. Camera height and distance and
   the remaining options keep their values. Called by the cast screen and by
   set_play_start_options. */
void set_view_start_options();

/* Loads the camera height, camera distance (behind, long shot only) and light mode that the
   camera key brings with camera mode `mode` (any value above 2 is the helicopter); camera_mode
   itself is left alone. Called by the camera key and the designer tools. */
void apply_camera_preset(int mode);

/* Sets the options play starts with: set_view_start_options, then the placement of the camera
   behind the robot. The options not named there keep their values. Called by the play loop when
   play begins and by the designer tools. */
void set_play_start_options();

/* Returns the scale of viewport_size; a size outside 0..3 is an assertion failure (the fatal
   page). Read by the frame composition. */
float viewport_scale(int viewport_size);
