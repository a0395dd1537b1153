/* search_state.cpp: the part of the running world a command can change, as a record the search keeps. */
#include "search_state.h"

#include <cstring>

#include "shell/command_queue.h"
#include "shell/timer.h"
#include "ui/display_options.h"
#include "ui/message_line.h"
#include "world/actor.h"
#include "world/level_state.h"
#include "world/player_motion.h"

namespace {

/* Everything outside the actor table that a command changes. */
struct StateHead {
    PlayerMotion motion;
    int32_t crouch, stretch, falling, intro, tumble, moves, title_timer, level_time;
    fixed rot_y;
    float camera_y, camera_pitch;
    LevelState level;
    MessageLine message;
    int32_t read_index, write_index;
    int32_t frame;
    int32_t spare;      /* keeps the head a whole number of 8-byte words */
};

static_assert(sizeof(StateHead) % 8 == 0 && sizeof(Actor) % 4 == 0, "records are whole words");

/* The words of a key are gathered first and then mixed in one pass: eight lanes, each word fed
   to two of them by different mixing, so that a difference in any word must be cancelled in 128
   bits of lane at once; the lanes run side by side in the processor, not one after another. */
enum { KEY_WORDS = 16 + 10 * ACTOR_CAPACITY };

struct KeyWords {
    uint64_t words[KEY_WORDS];
    int count;
    void add(uint64_t v) { words[count++] = v; }
    void add2(uint32_t v, uint32_t w) { add((uint64_t)v | (uint64_t)w << 32); }
};

inline uint64_t rotate(uint64_t v, int by)
{
    return (v << by) | (v >> (64 - by));
}

inline uint64_t finish(uint64_t h)
{
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    return h ^ (h >> 33);
}

/* One word into a lane of each kind. */
inline void mix_word(uint64_t &a, uint64_t &b, uint64_t v)
{
    a = rotate((a ^ v) * 0x87c37b91114253d5ull, 31);
    b = rotate((b + v) * 0x4cf5ad432745937full, 27);
}

StateKey mix_words(KeyWords &k)
{
    while (k.count % 4 != 0)
        k.add(0x5bd1e9955bd1e995ull);
    // Eight lanes in eight registers: written out, so that none of them goes through memory.
    uint64_t a0 = 0x243f6a8885a308d3ull, a1 = 0x13198a2e03707344ull, a2 = 0xa4093822299f31d0ull,
             a3 = 0x082efa98ec4e6c89ull;
    uint64_t b0 = 0x452821e638d01377ull, b1 = 0xbe5466cf34e90c6cull, b2 = 0xc0ac29b7c97c50ddull,
             b3 = 0x3f84d5b5b5470917ull;
    const uint64_t *w = k.words;
    for (int i = 0; i < k.count; i += 4) {
        mix_word(a0, b0, w[i]);
        mix_word(a1, b1, w[i + 1]);
        mix_word(a2, b2, w[i + 2]);
        mix_word(a3, b3, w[i + 3]);
    }
    const uint64_t n = (uint64_t)k.count;
    uint64_t low = finish(a0 ^ n) + rotate(finish(a1), 17) + rotate(finish(a2), 31) +
                   rotate(finish(a3), 47);
    uint64_t high = finish(b0 + n) ^ rotate(finish(b1), 13) ^ rotate(finish(b2), 29) ^
                    rotate(finish(b3), 43);
    return StateKey{finish(low), finish(high ^ low)};
}


uint32_t pointer_word(const void *p)
{
    uint64_t v = 0;
    std::memcpy(&v, &p, sizeof p < sizeof v ? sizeof p : sizeof v);
    return (uint32_t)(v ^ (v >> 32));
}

uint32_t float_word(float f)
{
    uint32_t v;
    std::memcpy(&v, &f, sizeof v);
    return v;
}

} // namespace

size_t state_record_size()
{
    return sizeof(StateHead) + (size_t)actor_table.count * sizeof(Actor);
}

void take_state(uint8_t *out, int32_t frame)
{
    StateHead head;
    std::memset(&head, 0, sizeof head);     // the padding too: equal states, equal bytes
    head.motion = player_motion;
    head.crouch = crouch;
    head.stretch = stretch;
    head.falling = falling;
    head.intro = intro;
    head.tumble = tumble;
    head.moves = moves;
    head.title_timer = title_timer;
    head.level_time = level_time.load(std::memory_order_relaxed);
    head.rot_y = rot_y;
    head.camera_y = camera_y;
    head.camera_pitch = display_options.camera_pitch;
    head.level = level_state;
    head.message = message_line;
    head.read_index = command_queue.read_index;
    head.write_index = command_queue.write_index;
    head.frame = frame;
    std::memcpy(out, &head, sizeof head);
    std::memcpy(out + sizeof head, actor_table.actors, (size_t)actor_table.count * sizeof(Actor));
}

int32_t put_state(const uint8_t *in)
{
    StateHead head;
    std::memcpy(&head, in, sizeof head);
    player_motion = head.motion;
    crouch = head.crouch;
    stretch = head.stretch;
    falling = head.falling;
    intro = head.intro;
    tumble = head.tumble;
    moves = head.moves;
    title_timer = head.title_timer;
    level_time.store(head.level_time, std::memory_order_relaxed);
    rot_y = head.rot_y;
    camera_y = head.camera_y;
    display_options.camera_pitch = head.camera_pitch;
    level_state = head.level;
    message_line = head.message;
    command_queue.read_index = head.read_index;
    command_queue.write_index = head.write_index;
    std::memcpy(actor_table.actors, in + sizeof head, (size_t)actor_table.count * sizeof(Actor));
    return head.frame;
}

StateKey state_key()
{
    static KeyWords s;
    s.count = 0;
    const PlayerMotion &p = player_motion;
    s.add2((uint32_t)p.x, (uint32_t)p.z);
    s.add2((uint32_t)p.playerL[0], (uint32_t)p.playerL[1]);
    s.add2((uint32_t)((p.player_rot_y >> 16) & 255), (uint32_t)level_state.sweets_eaten);
    s.add2((uint32_t)level_state.teleport_active, (uint32_t)level_state.teleport_entered);
    // While the camera swoops the floor is not probed, and a hop moves the swoop's end.
    s.add2((uint32_t)intro, intro ? float_word(camera_y) : 0);
    for (int i = 0; i < actor_table.count; i++) {
        const Actor &a = actor_table.actors[i];
        if (a.gone) {
            s.add(1);
            continue;
        }
        s.add2((uint32_t)a.timer, (uint32_t)a.refs << 1);
        s.add2((uint32_t)a.locs[0], (uint32_t)a.locs[1]);
        if (i == hero_index)
            continue;       // its pose is a copy of the robot's motion
        s.add2((uint32_t)a.x, (uint32_t)a.z);
        if (a.type == ACTOR_TELEPORT) {
            s.add((uint32_t)a.y);
            continue;       // its state is the spin angle
        }
        s.add2((uint32_t)a.y, (uint32_t)a.state);
        s.add2((uint32_t)a.armed, pointer_word((const void *)a.motion));
        s.add(pointer_word((const void *)a.think));
        if (a.state != 0 || a.type == ACTOR_ZIPPER) {
            s.add2((uint32_t)a.step_x, (uint32_t)a.step_z);
            s.add2((uint32_t)a.progress, (uint32_t)a.from_x);
            s.add((uint32_t)a.from_z);
        }
    }
    return mix_words(s);
}
