/* level_search.cpp: finds the shortest way to win a level by trying every command the player has. */
#include "level_search.h"

#include <cstring>
#include <unordered_set>
#include <vector>

#include "shell/command_queue.h"
#include "shell/timer.h"
#include "world/actor.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/tile_grid.h"
#include "world/world_driver.h"
#include "world/world_snapshot.h"

namespace {

const int32_t action_codes[SEARCH_ACTIONS] = {
    SEARCH_WAIT, MOVE_FORWARD, MOVE_TURN_LEFT, MOVE_TURN_RIGHT, MOVE_BACKWARD,
    MOVE_STRAFE_LEFT, MOVE_STRAFE_RIGHT, MOVE_JUMP
};

/* A command that has not given the robot back after this many frames has gone wrong. */
enum { COMMAND_FRAME_LIMIT = 400 };

/* Where a state of the search came from, to read the solution back. */
struct SearchNode {
    int32_t parent;     /* index of the node it was reached from; -1 for the start */
    int16_t action;
};

/* The part of the world a command can change, packed for the stored layers of the search. The
   squares are left out: the rules only ever scorch their texture, which no rule reads. */
struct PackedHead {
    PlayerMotion motion;
    int32_t crouch, stretch, falling, intro, tumble, moves, title_timer, level_time;
    fixed rot_y;
    float camera_y, camera_pitch;
    LevelState level;
    MessageLine message;
    int read_index, write_index;
    int32_t frame;      /* frames run since the level's start */
};

WorldSnapshot scratch;  /* the world of the level's start, overwritten by each unpacked state */

size_t packed_size()
{
    return sizeof(PackedHead) + (size_t)actor_table.count * sizeof(Actor);
}

void pack_world(uint8_t *out, int32_t frame)
{
    take_snapshot(&scratch);
    PackedHead head;
    std::memset(&head, 0, sizeof head);
    head.motion = scratch.motion;
    head.crouch = scratch.crouch;
    head.stretch = scratch.stretch;
    head.falling = scratch.falling;
    head.intro = scratch.intro;
    head.tumble = scratch.tumble;
    head.moves = scratch.moves;
    head.title_timer = scratch.title_timer;
    head.level_time = scratch.level_time;
    head.rot_y = scratch.rot_y;
    head.camera_y = scratch.camera_y;
    head.camera_pitch = scratch.camera_pitch;
    head.level = scratch.level;
    head.message = scratch.message;
    head.read_index = scratch.queue.read_index;
    head.write_index = scratch.queue.write_index;
    head.frame = frame;
    std::memcpy(out, &head, sizeof head);
    std::memcpy(out + sizeof head, scratch.actors.actors, (size_t)scratch.actors.count * sizeof(Actor));
}

/* Puts the packed state back into the world; returns its frame. */
int32_t unpack_world(const uint8_t *in)
{
    PackedHead head;
    std::memcpy(&head, in, sizeof head);
    scratch.motion = head.motion;
    scratch.crouch = head.crouch;
    scratch.stretch = head.stretch;
    scratch.falling = head.falling;
    scratch.intro = head.intro;
    scratch.tumble = head.tumble;
    scratch.moves = head.moves;
    scratch.title_timer = head.title_timer;
    scratch.level_time = head.level_time;
    scratch.rot_y = head.rot_y;
    scratch.camera_y = head.camera_y;
    scratch.camera_pitch = head.camera_pitch;
    scratch.level = head.level;
    scratch.message = head.message;
    scratch.queue.read_index = head.read_index;
    scratch.queue.write_index = head.write_index;
    std::memcpy(scratch.actors.actors, in + sizeof head, (size_t)scratch.actors.count * sizeof(Actor));
    restore_snapshot(&scratch);
    return head.frame;
}

/* 64-bit mixing of the state words that decide what can still happen. */
struct StateHash {
    uint64_t h = 0x9e3779b97f4a7c15ull;
    void add(uint64_t v)
    {
        h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
    }
};

uint64_t pointer_word(const void *p)
{
    uint64_t v = 0;
    std::memcpy(&v, &p, sizeof p < sizeof v ? sizeof p : sizeof v);
    return v;
}

/* Leaves out the clock, the camera, the drawn heading and poses, messages, a spinning
   teleport's angle and the stale fields of actors at rest: two states equal in the rest play on
   alike. */
uint64_t hash_world()
{
    StateHash s;
    const PlayerMotion &p = player_motion;
    s.add((uint32_t)p.x);
    s.add((uint32_t)p.z);
    s.add((uint32_t)p.playerL[0]);
    s.add((uint32_t)p.playerL[1]);
    s.add((uint32_t)((p.player_rot_y >> 16) & 255));
    s.add((uint32_t)level_state.sweets_eaten);
    s.add((uint32_t)level_state.teleport_active);
    s.add((uint32_t)level_state.teleport_entered);
    for (int i = 0; i < actor_table.count; i++) {
        const Actor &a = actor_table.actors[i];
        s.add((uint32_t)a.gone);
        if (a.gone)
            continue;
        s.add((uint32_t)a.timer);
        s.add((uint32_t)a.refs);
        s.add((uint32_t)a.locs[0]);
        s.add((uint32_t)a.locs[1]);
        if (i == hero_index)
            continue;       // its pose is a copy of the robot's motion
        s.add((uint32_t)a.x);
        s.add((uint32_t)a.y);
        s.add((uint32_t)a.z);
        if (a.type == ACTOR_TELEPORT)
            continue;       // its state is the spin angle
        s.add((uint32_t)a.state);
        s.add((uint32_t)a.armed);
        s.add(pointer_word((const void *)a.motion));
        s.add(pointer_word((const void *)a.think));
        if (a.state != 0 || a.type == ACTOR_ZIPPER) {
            s.add((uint32_t)a.step_x);
            s.add((uint32_t)a.step_z);
            s.add((uint32_t)a.progress);
            s.add((uint32_t)a.from_x);
            s.add((uint32_t)a.from_z);
        }
    }
    return s.h;
}

bool robot_ready()
{
    return player_motion.jump_ctr < 1;
}

bool level_over()
{
    return level_state.level_completed || level_state.level_lost || falling;
}

/* A state from which the level can no longer be won: the robot is lost, falling or about to
   fall (it has landed over no square; during the swoop it would hover there, unable to move
   onto a square again), a sweet is gone for good, the teleport is blown up, or time is out. */
bool hopeless()
{
    if (level_state.level_lost || falling || get_level_time() < 1)
        return true;
    if (tile_serial_at(itofix(100 * player_motion.playerL[0]),
                       itofix(100 * player_motion.playerL[1])) == -1)
        return true;
    int sweets_left = 0;
    bool teleport = false;
    for (int i = 0; i < actor_table.count; i++) {
        const Actor &a = actor_table.actors[i];
        if (a.gone || a.timer > 0)
            continue;
        if (a.type == ACTOR_SWEET)
            sweets_left++;
        if (a.type == ACTOR_TELEPORT)
            teleport = true;
    }
    if (!teleport)
        return true;
    return level_state.sweets_eaten + sweets_left < level_state.sweets_total;
}

int32_t wait_frames(int32_t ticks_per_frame)
{
    return ticks_per_frame >= 10 ? 1 : (10 + ticks_per_frame - 1) / ticks_per_frame;
}

/* Types one command (or waits) at a state where the robot takes commands and runs frames until
   it takes the next one or the level is over. Returns the frames run. */
int32_t run_command(int32_t code, int32_t ticks_per_frame)
{
    if (code == SEARCH_WAIT) {
        int32_t frames = wait_frames(ticks_per_frame);
        driver_run(frames, ticks_per_frame);
        return frames;
    }
    driver_push(code);
    int32_t frames = 0;
    do {
        driver_frame(ticks_per_frame);
        frames++;
    } while (!robot_ready() && !level_over() && frames < COMMAND_FRAME_LIMIT);
    return frames;
}

} // namespace

void search_level(const char *map_text, const SearchLimits &limits, SearchResult *result)
{
    std::memset(result, 0, sizeof *result);
    result->outcome = SEARCH_GAVE_UP;
    const int32_t tpf = limits.ticks_per_frame;

    driver_start_text(map_text);
    result->limit_ticks = level_time.load();
    take_snapshot(&scratch);
    const size_t record = packed_size();

    std::vector<SearchNode> nodes;
    std::unordered_set<uint64_t> seen;
    std::vector<uint8_t> layer(record), next_layer;
    std::vector<int32_t> layer_nodes(1, 0), next_nodes;
    nodes.push_back(SearchNode{-1, 0});
    pack_world(layer.data(), 0);
    seen.insert(hash_world());
    result->states = 1;

    int32_t solved_node = -1;
    for (int32_t depth = 0; depth < limits.depth_limit && solved_node < 0; depth++) {
        next_layer.clear();
        next_nodes.clear();
        for (size_t n = 0; n < layer_nodes.size() && solved_node < 0; n++) {
            const uint8_t *state = layer.data() + n * record;
            for (int action = 0; action < SEARCH_ACTIONS; action++) {
                int32_t frame = unpack_world(state);
                frame += run_command(action_codes[action], tpf);
                if (level_state.level_completed) {
                    nodes.push_back(SearchNode{layer_nodes[n], (int16_t)action});
                    solved_node = (int32_t)nodes.size() - 1;
                    break;
                }
                if (hopeless() || !robot_ready())
                    continue;
                if (!seen.insert(hash_world()).second)
                    continue;
                nodes.push_back(SearchNode{layer_nodes[n], (int16_t)action});
                next_nodes.push_back((int32_t)nodes.size() - 1);
                next_layer.resize(next_layer.size() + record);
                pack_world(next_layer.data() + next_layer.size() - record, frame);
                if ((int64_t)seen.size() >= limits.state_limit)
                    break;
            }
            if ((int64_t)seen.size() >= limits.state_limit)
                break;
        }
        result->states = (int64_t)seen.size();
        if (solved_node >= 0 || (int64_t)seen.size() >= limits.state_limit)
            break;
        if (next_nodes.empty()) {
            result->outcome = SEARCH_NO_SOLUTION;
            return;
        }
        layer.swap(next_layer);
        layer_nodes.swap(next_nodes);
    }
    if (solved_node < 0)
        return;

    // Read the commands back from the solving node, then play them once more from the start to
    // learn the frame each is typed on.
    int32_t chain[SEARCH_MAX_STEPS];
    int32_t length = 0;
    for (int32_t n = solved_node; nodes[n].parent >= 0 && length < SEARCH_MAX_STEPS; n = nodes[n].parent)
        chain[length++] = nodes[n].action;
    driver_start_text(map_text);
    int32_t frame = 0;
    for (int32_t i = length - 1; i >= 0; i--) {
        SearchStep &step = result->steps[result->step_count++];
        step.frame = frame;
        step.code = action_codes[chain[i]];
        if (step.code == SEARCH_WAIT)
            result->waits++;
        else
            result->moves++;
        frame += run_command(step.code, tpf);
        step.column = player_motion.playerL[0];
        step.row = player_motion.playerL[1];
    }
    result->frames = frame;
    result->ticks = frame * tpf;
    result->outcome = level_state.level_completed ? SEARCH_SOLVED : SEARCH_GAVE_UP;
}
