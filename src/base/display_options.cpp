/* display_options.cpp: the in-game settings, their program-start values and mode names. */
#include "base/display_options.h"

#include "base/fatal.h"
#include "base/translation.h"

const DisplayOptions program_start_options = {
    .slow_motion = false,
    .light_mode = LIGHT_AMBIENT,
    .shading_mode = SHADE_FLAT,
    .sound_off = false,
    .music_on = true,
    .debug_info = false,
    .viewport_size = 0,
    .camera_mode = CAMERA_BEHIND,
    .depth_of_view = 0,
    .camera_height = -120.0f,      /* the world's DEFAULT_CAMERA_HEIGHT */
    .camera_distance = 80,
    .ambient_light = 100,
    .map_panel_shown = false,
    .map_heights = false,
};

DisplayOptions display_options = program_start_options;

const char *const light_mode_messages[4] = {
    N_("ambient light"),
    N_("fog"),
    N_("light source"),
    N_("light source + fog"),
};

const char *const shading_mode_messages[4] = {
    N_("flat shading"),
    N_("random shading"),
    N_("lineair texture mapping"),
    N_("persp. correct texture mapping"),
};

const char *const camera_mode_messages[4] = {
    N_("Camera position: behind player"),
    N_("Camera position: long shot"),
    N_("Camera position: fixed position"),
    N_("Camera position: helicopter"),
};

const float viewport_scales[VIEWPORT_SIZES] = {1.0f, 0.8f, 0.625f, 0.5f};

void reset_display_options()
{
    display_options = program_start_options;
}

void set_view_start_options()
{
    DisplayOptions &o = display_options;
    o.light_mode = LIGHT_SOURCE_FOG;
    o.viewport_size = 0;
    o.depth_of_view = 0;
    o.debug_info = false;
    o.camera_mode = CAMERA_BEHIND;
}

void apply_camera_preset(int mode)
{
    DisplayOptions &o = display_options;
    switch (mode) {
    case CAMERA_BEHIND:
        o.camera_height = -120.0f;
        o.camera_distance = 200;
        o.light_mode = LIGHT_SOURCE_FOG;
        break;
    case CAMERA_LONG_SHOT:
        o.camera_height = -90.0f;
        o.camera_distance = 320;
        o.light_mode = LIGHT_SOURCE_FOG;
        break;
    case CAMERA_FIXED:
        o.camera_height = -150.0f;
        o.light_mode = LIGHT_SOURCE_FOG;
        break;
    default:
        o.camera_height = -800.0f;
        o.light_mode = LIGHT_AMBIENT;
        break;
    }
}

void set_play_start_options()
{
    set_view_start_options();
    apply_camera_preset(CAMERA_BEHIND);
}

float viewport_scale(int viewport_size)
{
    game_assert(viewport_size >= 0 && viewport_size < VIEWPORT_SIZES);
    return viewport_scales[viewport_size];
}
