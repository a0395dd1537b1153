/* level_rules.cpp: starting a level and the outcomes that win, lose or spoil it. */
#include "world/level_rules.h"

#include <cstdio>

#include "base/datafile.h"
#include "base/fatal.h"
#include "base/game_paths.h"
#include "base/translation.h"
#include "world/actor.h"
#include "world/actor_table.h"
#include "world/level_map.h"
#include "world/level_state.h"
#include "world/map_file.h"
#include "world/player_motion.h"
#include "world/world_assert.h"
#include "world/world_clock.h"
#include "world/world_cues.h"
#include "world/world_messages.h"

namespace {

void prepare_level(World &w)
{
    command_queue_reset(w);
    w.starts++;
    w.level.level_completed = 0;
    w.level.teleport_entered = 0;
    w.level.level_lost = 0;
    clear_message(w);
    clear_actors(w);
}

/* source: what to name in error.log when there is no map to place the player on. */
void place_player(World &w, const char *source)
{
    check_detail(w.map.tile_count > 0, "Can't load the map\n", source);
    w.level.teleport_active = w.level.sweets_eaten >= w.level.sweets_total ? 1 : 0;
    if (w.level.teleport_active)
        set_motion_for_type(w, ACTOR_TELEPORT);

    world_assert(w.map.start_index >= 0 && w.map.start_index < w.map.tile_count, "level");
    const MapTile *start = &w.map.tiles[w.map.start_index];
    PlayerMotion &p = w.motion;
    p.playerL[0] = start->x;
    p.playerL[1] = start->z;
    p.player_rot_y = itofix(-w.map.start_dir);
    p.x = itofix(100 * start->x);
    p.z = itofix(100 * start->z);
    p.loc_y = itofix(-10 * start->height);
    p.step_x = 0;
    p.step_z = 0;
    p.jump_ctr = 0;

    w.falling = 0;
    w.intro = 1;
    w.camera_pitch = 1.55f;
    w.camera_y = -680.0f;
    // The shown heading starts half a turn away and comes round during the swoop.
    w.rot_y = p.player_rot_y + itofix(128);
    w.title_timer = 200;
}

} // namespace

void start_level(World &w, int level)
{
    prepare_level(w);
    char path[GAME_PATH_SIZE];
    level_file_path(level, path, sizeof path);
    char fault[MAP_FAULT_SIZE] = "";
    w.map.tile_count = load_map(w, path, fault);
    place_player(w, fault);
}

void start_level_from_text(World &w, const char *text, size_t length)
{
    prepare_level(w);
    w.map.tile_count = load_map_text(w, text, length);
    place_player(w, nullptr);
}

void player_dies(World &w)
{
    show_message(w, N_("You are dead! Probably cause you are a idiot"), 100);
    w.level.level_lost = 1;
}

void sweet_eaten(World &w)
{
    show_message(w, N_("Yum yum..."), 100);
    w.level.sweets_eaten++;
    world_cue(w, DAT_SAMPLE_SWEET);
    if (w.level.sweets_eaten >= w.level.sweets_total) {
        w.level.teleport_active = 1;
        set_motion_for_type(w, ACTOR_TELEPORT);
        // Only the text changes: the 100 ticks of "Yum yum..." keep running.
        w.message.text = N_("Teleport activated!");
    }
}

void sweet_lost(World &w)
{
    show_message(w, N_("You lost a sweet, you're stuck"), 200);
}

int try_teleport(World &w)
{
    if (!w.level.teleport_active)
        show_message(w, N_("Eat all sweets to activate teleport"), 100);
    else
        w.level.teleport_entered = 1;
    return w.level.teleport_active;
}

void time_up(World &w)
{
    show_message(w, N_("Time is up, your to waaaay to slooooow!"), 200);
    w.level.level_lost = 1;
}
