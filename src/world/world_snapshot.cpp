/* world_snapshot.cpp: the whole state of a running level as one plain record, to copy and restore. */
#include "world/world_snapshot.h"

#include "base/timer.h"
#include "render/display_options.h"

void take_snapshot(WorldSnapshot *snapshot)
{
    snapshot->map = level_map;
    snapshot->actors = actor_table;
    snapshot->motion = player_motion;
    snapshot->hero_index = hero_index;
    snapshot->crouch = crouch;
    snapshot->stretch = stretch;
    snapshot->rot_y = rot_y;
    snapshot->falling = falling;
    snapshot->intro = intro;
    snapshot->tumble = tumble;
    snapshot->camera_y = camera_y;
    snapshot->camera_pitch = display_options.camera_pitch;
    snapshot->moves = moves;
    snapshot->level = level_state;
    snapshot->level_time = level_time.load();
    snapshot->message = message_line;
    snapshot->title_timer = title_timer;
    snapshot->queue = command_queue;
}

void restore_snapshot(const WorldSnapshot *snapshot)
{
    // start_tile keeps pointing into level_map's own list, where it was taken.
    level_map = snapshot->map;
    actor_table = snapshot->actors;
    player_motion = snapshot->motion;
    hero_index = snapshot->hero_index;
    crouch = snapshot->crouch;
    stretch = snapshot->stretch;
    rot_y = snapshot->rot_y;
    falling = snapshot->falling;
    intro = snapshot->intro;
    tumble = snapshot->tumble;
    camera_y = snapshot->camera_y;
    display_options.camera_pitch = snapshot->camera_pitch;
    moves = snapshot->moves;
    level_state = snapshot->level;
    level_time.store(snapshot->level_time);
    message_line = snapshot->message;
    title_timer = snapshot->title_timer;
    command_queue = snapshot->queue;
}
