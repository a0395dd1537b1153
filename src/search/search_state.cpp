/* search_state.cpp: the part of the running world a command can change, as a record the search keeps. */
#include "search/search_state.h"

#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "world/actor.h"
#include "world/actor_kinds.h"
#include "world/actor_table.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/world.h"

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
    uint64_t live[2];   /* the actors the passes have anything to do for (find_live_actors) */
};

static_assert(sizeof(StateHead) % 8 == 0 && sizeof(Actor) % 4 == 0, "records are whole words");

/* A key is the sum, half by half, of 128-bit hashes of its parts: the robot and the level, and
   each actor with its place in the table. A part's words go into two 64-bit lanes by different
   mixing, its place and its length with them, so that parts that differ must cancel in 128 bits
   of sum at once. An actor that stands as it stood when last hashed keeps its hash: most of a
   level stands still through a command, so an actor mostly costs a comparison of its record. */
struct PartHash {
    uint64_t low, high;
};

struct Lanes {
    uint64_t a, b;
    uint64_t words;
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

/* The lanes of part `place`: 0 the robot and the level, 1 + i the actor in slot i. */
inline Lanes lanes_of(uint64_t place)
{
    return Lanes{0x243f6a8885a308d3ull ^ place * 0x9e3779b97f4a7c15ull,
                 0x452821e638d01377ull + place * 0xc2b2ae3d27d4eb4full, 0};
}

/* One word into a lane of each kind. */
inline void mix(Lanes &l, uint64_t v)
{
    l.a = rotate((l.a ^ v) * 0x87c37b91114253d5ull, 31);
    l.b = rotate((l.b + v) * 0x4cf5ad432745937full, 27);
    l.words++;
}

inline PartHash finish_part(const Lanes &l)
{
    return PartHash{finish(l.a ^ l.words), finish(rotate(l.b, 32) + l.words)};
}

/* Two 32-bit values as one word. */
inline uint64_t join(uint32_t low, uint32_t high)
{
    return (uint64_t)low | (uint64_t)high << 32;
}

/* A procedure's address as 32 bits: the few an actor runs differ there. */
uint32_t pointer_word(const void *p)
{
    uint64_t v = 0;
    std::memcpy(&v, &p, sizeof p < sizeof v ? sizeof p : sizeof v);
    return (uint32_t)(v ^ (v >> 32));
}

/* A float's bits as a word, without converting it. */
uint32_t float_word(float f)
{
    uint32_t v;
    std::memcpy(&v, &f, sizeof v);
    return v;
}

/* The hash of the actor in slot `i`, from what decides what it can still do. */
__attribute__((always_inline)) inline PartHash actor_hash(int i, const Actor &a, int32_t hero_index)
{
    Lanes l = lanes_of(1 + (uint64_t)i);
    if (a.gone) {
        mix(l, 1);
        return finish_part(l);
    }
    mix(l, join((uint32_t)a.timer, (uint32_t)a.refs));
    mix(l, join((uint32_t)a.locs[0], (uint32_t)a.locs[1]));
    if (i == hero_index)
        return finish_part(l);      // its pose is a copy of the robot's motion
    const ActorKind *kind = kind_of_type(a.type);
    const int32_t keep = kind ? kind->search_keep : KEEP_MOTION;
    if (keep == KEEP_PLACE) {
        mix(l, join((uint32_t)a.x, (uint32_t)a.z));
        mix(l, (uint32_t)a.y);
        return finish_part(l);      // its state is the spin angle
    }
    mix(l, join((uint32_t)a.x, (uint32_t)a.z));
    mix(l, join((uint32_t)a.y, (uint32_t)a.state));
    mix(l, join((uint32_t)a.armed, pointer_word((const void *)a.motion)));
    mix(l, pointer_word((const void *)a.think));
    if (a.state != 0 || keep == KEEP_SLIDE) {
        mix(l, join((uint32_t)a.step_x, (uint32_t)a.step_z));
        mix(l, join((uint32_t)a.progress, (uint32_t)a.from_x));
        mix(l, (uint32_t)a.from_z);
    }
    return finish_part(l);
}


#if defined(__SSE2__)
/* The bytes of blocks K of two records compared sixteen at a time, written out by the compiler:
   a loop of a few rounds would cost as much again in its counting. */
template <size_t... K>
inline __m128i alike_blocks(const uint8_t *p, const uint8_t *q, std::index_sequence<K...>)
{
    __m128i alike = _mm_set1_epi8(-1);
    ((alike = _mm_and_si128(alike, _mm_cmpeq_epi8(_mm_loadu_si128((const __m128i *)(p + 16 * K)),
                                                  _mm_loadu_si128((const __m128i *)(q + 16 * K))))),
     ...);
    return alike;
}
#endif

inline bool same_record(const Actor &a, const Actor &b)
{
#if defined(__SSE2__)
    enum { BLOCKS = sizeof(Actor) / 16, REST = sizeof(Actor) % 16 };
    static_assert(REST % 8 == 0, "an actor's record is a whole number of 8-byte words");
    const uint8_t *p = (const uint8_t *)&a, *q = (const uint8_t *)&b;
    const __m128i alike = alike_blocks(p, q, std::make_index_sequence<BLOCKS>());
    uint64_t rest = 0;
    for (int k = 0; k < REST / 8; k++) {
        uint64_t x, y;
        std::memcpy(&x, p + 16 * BLOCKS + 8 * k, 8);
        std::memcpy(&y, q + 16 * BLOCKS + 8 * k, 8);
        rest |= x ^ y;
    }
    return _mm_movemask_epi8(alike) == 0xffff && rest == 0;
#else
    return std::memcmp(&a, &b, sizeof a) == 0;
#endif
}

} // namespace

size_t state_record_size(const World &w)
{
    return sizeof(StateHead) + (size_t)w.actors.count * sizeof(Actor);
}

void take_state(const World &w, uint8_t *out, int32_t frame)
{
    StateHead head;
    std::memset(&head, 0, sizeof head);     // the padding too: equal states, equal bytes
    head.motion = w.motion;
    head.crouch = w.crouch;
    head.stretch = w.stretch;
    head.falling = w.falling;
    head.intro = w.intro;
    head.tumble = w.tumble;
    head.moves = w.moves;
    head.title_timer = w.title_timer;
    head.level_time = w.clock;
    head.rot_y = w.rot_y;
    head.camera_y = w.camera_y;
    head.camera_pitch = w.camera_pitch;
    head.level = w.level;
    head.message = w.message;
    head.read_index = w.queue.read_index;
    head.write_index = w.queue.write_index;
    head.frame = frame;
    find_live_actors(w, head.live);
    std::memcpy(out, &head, sizeof head);
    std::memcpy(out + sizeof head, w.actors.actors, (size_t)w.actors.count * sizeof(Actor));
}

namespace {

/* Puts the head of a state record back into world w. */
void put_head(World &w, const StateHead &head)
{
    w.motion = head.motion;
    w.crouch = head.crouch;
    w.stretch = head.stretch;
    w.falling = head.falling;
    w.intro = head.intro;
    w.tumble = head.tumble;
    w.moves = head.moves;
    w.title_timer = head.title_timer;
    w.clock = head.level_time;
    w.rot_y = head.rot_y;
    w.camera_y = head.camera_y;
    w.camera_pitch = head.camera_pitch;
    w.level = head.level;
    w.message = head.message;
    w.queue.read_index = head.read_index;
    w.queue.write_index = head.write_index;
}

} // namespace

int32_t put_state(World &w, const uint8_t *in)
{
    StateHead head;
    std::memcpy(&head, in, sizeof head);
    put_head(w, head);
    std::memcpy(w.actors.actors, in + sizeof head, (size_t)w.actors.count * sizeof(Actor));
    // Most actors of a state stand still for good: the frames played on from it look at the rest.
    limit_passes_to(w, head.live);
    return head.frame;
}

int32_t put_state_again(World &w, const uint8_t *in)
{
    StateHead head;
    std::memcpy(&head, in, sizeof head);
    const bool every = !w.actors.live_known || w.level.sweets_eaten != head.level.sweets_eaten;
    put_head(w, head);
    const Actor *actors = (const Actor *)(in + sizeof head);
    if (every) {
        std::memcpy(w.actors.actors, actors, (size_t)w.actors.count * sizeof(Actor));
    } else {
        // Every actor a command changes is live in w, the robot's aside: a sweet eaten is not.
        uint64_t changed[2] = {w.actors.live[0], w.actors.live[1]};
        if (w.hero_index >= 0 && w.hero_index < ACTOR_CAPACITY)
            changed[w.hero_index >> 6] |= (uint64_t)1 << (w.hero_index & 63);
        for (int word = 0; word < 2; word++) {
            for (uint64_t bits = changed[word]; bits; bits &= bits - 1) {
                const int i = word * 64 + __builtin_ctzll(bits);
                if (i < w.actors.count)
                    std::memcpy(&w.actors.actors[i], &actors[i], sizeof(Actor));
            }
        }
    }
    limit_passes_to(w, head.live);
    return head.frame;
}

namespace {

/* The part of a key that is the robot and the level. */
__attribute__((always_inline)) inline PartHash head_hash(const World &w)
{
    const PlayerMotion &p = w.motion;
    const LevelState &level = w.level;
    Lanes head = lanes_of(0);
    mix(head, join((uint32_t)p.x, (uint32_t)p.z));
    mix(head, join((uint32_t)p.playerL[0], (uint32_t)p.playerL[1]));
    mix(head, join((uint32_t)((p.player_rot_y >> 16) & 255), (uint32_t)level.sweets_eaten));
    mix(head, join((uint32_t)level.teleport_active, (uint32_t)level.teleport_entered));
    // While the camera swoops the floor is not probed, and a hop moves the swoop's end.
    mix(head, join((uint32_t)w.intro, w.intro ? float_word(w.camera_y) : 0));
    return finish_part(head);
}

/* Brings the memo of the actor in slot i up to date with `a`; true when it changed. */
__attribute__((always_inline)) inline bool remember(ActorMemo &m, int i, const Actor &a, int32_t hero_index)
{
    if (m.held && same_record(m.seen, a))
        return false;
    m.seen = a;
    const PartHash fresh = actor_hash(i, a, hero_index);
    m.low = fresh.low;
    m.high = fresh.high;
    m.held = true;
    return true;
}

/* The key of world w with every actor compared with the memo; notes the memo's sum and the
   actors hashed afresh each time (the robot's, and those of a kind the search keeps only the
   place of: the teleports, whose spin would miss the memo every frame). */
StateKey key_of_every_actor(const World &w, StateHasher *hasher)
{
    PartHash sum = head_hash(w), memo_sum{0, 0};
    hasher->fresh[0] = hasher->fresh[1] = 0;
    for (int i = 0; i < w.actors.count; i++) {
        const Actor &a = w.actors.actors[i];
        const ActorKind *kind = kind_of_type(a.type);
        if (i == w.hero_index || (kind && kind->search_keep == KEEP_PLACE)) {
            const PartHash h = actor_hash(i, a, w.hero_index);
            sum.low += h.low;
            sum.high += h.high;
            hasher->fresh[i >> 6] |= (uint64_t)1 << (i & 63);
        } else {
            ActorMemo &m = hasher->memos[i];
            remember(m, i, a, w.hero_index);
            memo_sum.low += m.low;
            memo_sum.high += m.high;
        }
    }
    hasher->memo_low = memo_sum.low;
    hasher->memo_high = memo_sum.high;
    return StateKey{sum.low + memo_sum.low, sum.high + memo_sum.high};
}

/* The key of world w with only the actors of `look` compared with the memo, the rest as the memo
   holds them (their sum kept), after a key_of_every_actor of a world of the same level. */
StateKey key_looking_at(const World &w, StateHasher *hasher, const uint64_t look[2])
{
    PartHash sum = head_hash(w);
    for (int word = 0; word < 2; word++) {
        for (uint64_t bits = hasher->fresh[word]; bits; bits &= bits - 1) {
            const int i = word * 64 + __builtin_ctzll(bits);
            const PartHash h = actor_hash(i, w.actors.actors[i], w.hero_index);
            sum.low += h.low;
            sum.high += h.high;
        }
        for (uint64_t bits = look[word] & ~hasher->fresh[word]; bits; bits &= bits - 1) {
            const int i = word * 64 + __builtin_ctzll(bits);
            if (i >= w.actors.count)
                break;
            ActorMemo &m = hasher->memos[i];
            const uint64_t low = m.low, high = m.high;
            if (remember(m, i, w.actors.actors[i], w.hero_index)) {
                hasher->memo_low += m.low - low;
                hasher->memo_high += m.high - high;
            }
        }
    }
    return StateKey{sum.low + hasher->memo_low, sum.high + hasher->memo_high};
}

} // namespace

StateKey state_key(const World &w, StateHasher *hasher)
{
    hasher->known = false;      // no state put is known
    return key_of_every_actor(w, hasher);
}

void state_key_begin_put(StateHasher *hasher, const uint8_t *record)
{
    StateHead head;
    std::memcpy(&head, record, sizeof head);
    hasher->known = false;      // the memo holds another state's records
    hasher->put_sweets = head.level.sweets_eaten;
}

size_t state_head_words()
{
    return sizeof(StateHead) / sizeof(uint32_t);
}

size_t state_actor_words()
{
    return sizeof(Actor) / sizeof(uint32_t);
}

void state_key_begin_put_changed(StateHasher *hasher, const uint8_t *record,
                                 const uint64_t changed[2])
{
    if (!hasher->known) {
        state_key_begin_put(hasher, record);
        return;
    }
    // The memo holds the records of the world keyed last, which differ from the state it was
    // put from only in `look`; that state differs from this one only in `changed`.
    StateHead head;
    std::memcpy(&head, record, sizeof head);
    hasher->put_sweets = head.level.sweets_eaten;
    hasher->look[0] |= changed[0];
    hasher->look[1] |= changed[1];
}

StateKey state_key_played(const World &w, StateHasher *hasher)
{
    // Every actor a command changes is live in w but a sweet it eats; the memo of the others
    // holds their record in the state put, unless an earlier key left it elsewhere (look).
    const bool every = !w.actors.live_known || w.level.sweets_eaten != hasher->put_sweets;
    StateKey key;
    if (!hasher->known) {
        key = key_of_every_actor(w, hasher);
    } else {
        const uint64_t all[2] = {~(uint64_t)0, ~(uint64_t)0};
        const uint64_t look[2] = {hasher->look[0] | w.actors.live[0],
                                  hasher->look[1] | w.actors.live[1]};
        key = key_looking_at(w, hasher, every ? all : look);
    }
    // Now the memo holds w's records, which differ from the state put's only where w is live.
    hasher->known = true;
    hasher->look[0] = every ? ~(uint64_t)0 : w.actors.live[0];
    hasher->look[1] = every ? ~(uint64_t)0 : w.actors.live[1];
    return key;
}
