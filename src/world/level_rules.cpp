/* level_rules.cpp: starting a level and the outcomes that win, lose or spoil it. */
#include "world/level_rules.h"

#include <cstdio>

#include "base/datafile.h"
#include "base/fatal.h"
#include "base/game_paths.h"
#include "render/display_options.h"
#include "ui/message_line.h"
#include "world/actor.h"
#include "world/actor_table.h"
#include "world/command_queue.h"
#include "world/level_map.h"
#include "world/level_state.h"
#include "world/map_file.h"
#include "world/player_motion.h"
#include "world/world_assert.h"
#include "world/world_cues.h"

int current_level = 1;

namespace {

void prepare_level()
{
    command_queue_reset();
    level_state.level_completed = 0;
    level_state.teleport_entered = 0;
    level_state.level_lost = 0;
    clear_message();
    clear_actors();
}

/* source: what to name in error.log when there is no map to place the player on. */
void place_player(const char *source)
{
    check_detail(level_map.tile_count > 0, "Can't load the map\n", source);
    level_state.teleport_active = level_state.sweets_eaten >= level_state.sweets_total ? 1 : 0;
    if (level_state.teleport_active)
        set_motion_for_type(ACTOR_TELEPORT);

    const MapTile *start = level_map.start_tile;
    world_assert(start != nullptr, "level");
    PlayerMotion &p = player_motion;
    p.playerL[0] = start->x;
    p.playerL[1] = start->z;
    p.player_rot_y = itofix(-level_map.start_dir);
    p.x = itofix(100 * start->x);
    p.z = itofix(100 * start->z);
    p.loc_y = itofix(-10 * start->height);
    p.step_x = 0;
    p.step_z = 0;
    p.jump_ctr = 0;

    falling = 0;
    intro = 1;
    display_options.camera_pitch = 1.55f;
    camera_y = -680.0f;
    // The shown heading starts half a turn away and comes round during the swoop.
    rot_y = p.player_rot_y + itofix(128);
    title_timer = 200;
}

} // namespace

void start_level()
{
    prepare_level();
    char path[GAME_PATH_SIZE];
    level_file_path(current_level, path, sizeof path);
    level_map.tile_count = load_map(path, &level_map);
    place_player(map_open_fault());
}

void start_level_from_text(const char *text, size_t length)
{
    prepare_level();
    level_map.tile_count = load_map_text(text, length, &level_map);
    place_player(nullptr);
}

void player_dies()
{
    show_message("You are dead! Probably cause you are a idiot", 100);
    level_state.level_lost = 1;
}

void sweet_eaten()
{
    show_message("Yum yum...", 100);
    level_state.sweets_eaten++;
    world_cue(DAT_SAMPLE_SWEET);
    if (level_state.sweets_eaten >= level_state.sweets_total) {
        level_state.teleport_active = 1;
        set_motion_for_type(ACTOR_TELEPORT);
        // Only the text changes: the 100 ticks of "Yum yum..." keep running.
        message_line.text = "Teleport activated!";
    }
}

void sweet_lost()
{
    show_message("You lost a sweet, you're stuck", 200);
}

int try_teleport()
{
    if (!level_state.teleport_active)
        show_message("Eat all sweets to activate teleport", 100);
    else
        level_state.teleport_entered = 1;
    return level_state.teleport_active;
}

void time_up()
{
    show_message("Time is up, your to waaaay to slooooow!", 200);
    level_state.level_lost = 1;
}
