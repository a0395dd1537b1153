/* search_state_test.cpp: a state's key tells apart the worlds that can play on differently, and
   only those, whatever states were keyed before it. */
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "search/search_state.h"
#include "base/timer.h"
#include "world/actor_behaviours.h"
#include "world/level_state.h"
#include "world/world_clock.h"
#include "world_test_support.h"

namespace {

/* One actor of each kind, all at rest: the robot, a mibo, a jar, a zipper held by the wall it
   faces, a mine, a sweet and the teleport. */
const std::string one_of_each = drawn_map({"1P 1M 1. 1J 1. 5. 1<", "1X 1. 1S 1. 1T 1. 1."}, 64);

int slot_of(int type)
{
    for (int i = 0; i < world.actors.count; i++) {
        if (actor(i).type == type)
            return i;
    }
    return -1;
}

bool operator==(StateKey a, StateKey b)
{
    return a.low == b.low && a.high == b.high;
}

StateHasher hasher;     /* the memo of the keys the tests take */

struct Change {
    const char *what;
    std::function<void()> apply;
};

/* The level with the swoop over and the robot at rest, taken as a record. */
std::vector<uint8_t> settled_level()
{
    begin_level(one_of_each);
    driver_settle(world, 2, 2000);
    EXPECT_EQ(world.intro, 0);
    for (int i = 0; i < world.actors.count; i++)
        EXPECT_TRUE(!actor(i).gone && actor(i).state == 0) << "actor " << i << " has moved";
    std::vector<uint8_t> record(state_record_size(world));
    take_state(world, record.data(), 0);
    return record;
}

} // namespace

// What is drawn and what is counted but never read by the rules is left out of the key: the
// clock, the camera, messages, the shown heading and poses, the teleport's spin and the slide
// fields a resting actor keeps from its last slide.
TEST(StateKey, LeavesOutWhatCannotChangeThePlay)
{
    const std::vector<uint8_t> start = settled_level();
    const StateKey base = state_key(world, &hasher);
    const int mibo = slot_of(ACTOR_MIBO), teleport = slot_of(ACTOR_TELEPORT), mine = slot_of(ACTOR_MINE);
    const Change changes[] = {
        {"the clock", [] { world.clock = level_clock_left(world) - 500; }},
        {"the title's and message's timers", [] { world.title_timer = 7; world.message.ticks_left = 90; }},
        {"the shown heading", [] { world.rot_y += itofix(20); }},
        {"the camera", [] { world.camera_y += 40.0f; world.camera_pitch += 3.0f; }},
        {"the robot's drawn pose", [] { world.crouch = 1; world.stretch = 1; world.moves += 9; hero().x += itofix(7);
                                        hero().angle_y += itofix(30); hero().angle_x = itofix(5); }},
        {"the teleport's spin", [teleport] { actor(teleport).state = 77; actor(teleport).angle_y = itofix(77); }},
        {"a resting mibo's last slide", [mibo] { actor(mibo).step_x = -1; actor(mibo).progress = itofix(60);
                                                 actor(mibo).from_x = itofix(900); actor(mibo).from_z = 3; }},
        {"a mine's drawn heading", [mine] { actor(mine).angle_y = itofix(100); }},
    };
    for (const Change &change : changes) {
        put_state(world, start.data());
        change.apply();
        EXPECT_TRUE(state_key(world, &hasher) == base) << change.what;
    }
}

// Everything a rule reads is in the key: each change gives another key, and putting the world
// back gives the first key again, so an actor's hash kept from before never outlives its record.
TEST(StateKey, TellsApartEveryChangeTheRulesRead)
{
    const std::vector<uint8_t> start = settled_level();
    const StateKey base = state_key(world, &hasher);
    const int mibo = slot_of(ACTOR_MIBO), zipper = slot_of(ACTOR_ZIPPER), jar = slot_of(ACTOR_JAR),
              mine = slot_of(ACTOR_MINE), sweet = slot_of(ACTOR_SWEET), teleport = slot_of(ACTOR_TELEPORT);
    PlayerMotion &p = world.motion;
    std::vector<Change> changes = {
        {"the robot's place", [&p] { p.x += itofix(1); }},
        {"the robot's row", [&p] { p.z -= itofix(1); }},
        {"the robot's square", [&p] { p.playerL[0]++; }},
        {"the robot's heading", [&p] { p.player_rot_y += itofix(64); }},
        {"a sweet eaten", [] { world.level.sweets_eaten++; }},
        {"the teleport woken", [] { world.level.teleport_active = 1; }},
        {"the teleport entered", [] { world.level.teleport_entered = 1; }},
        {"the swoop running", [] { world.intro = 1; }},
        {"the robot's fuse", [] { hero().timer = 40; }},
        {"the robot between two squares", [] { hero().refs = 2; hero().locs[1] = 3; }},
        {"the teleport moved", [teleport] { actor(teleport).y -= itofix(10); }},
        {"the teleport blown up", [teleport] { actor(teleport).gone = 1; }},
        {"a zipper's stopped direction", [zipper] { actor(zipper).step_x = -actor(zipper).step_x; }},
        {"a zipper let go", [zipper] { actor(zipper).armed = 1; }},
        {"a mibo sliding", [mibo] { actor(mibo).state = 1; actor(mibo).motion = slide_step; }},
        {"a jar's think", [jar] { actor(jar).think = zipper_think; }},
        {"a sweet eaten away", [sweet] { actor(sweet).gone = 1; }},
    };
    for (int slot : {mibo, zipper, jar, mine, sweet}) {
        changes.push_back({"an actor's fuse", [slot] { actor(slot).timer = 30; }});
        changes.push_back({"an actor's square", [slot] { actor(slot).locs[0]++; }});
        changes.push_back({"an actor's place", [slot] { actor(slot).x += itofix(100); }});
        changes.push_back({"an actor's height", [slot] { actor(slot).y += itofix(10); }});
        changes.push_back({"an actor's row", [slot] { actor(slot).z -= 1; }});
        changes.push_back({"an actor gone", [slot] { actor(slot).gone = 1; }});
    }
    // A sliding actor's slide counts, field by field.
    const Change slides[] = {
        {"its step", [mibo] { actor(mibo).step_z = 1; }},
        {"its progress", [mibo] { actor(mibo).progress += itofix(10); }},
        {"its start", [mibo] { actor(mibo).from_x += itofix(100); }},
        {"its start row", [mibo] { actor(mibo).from_z += itofix(100); }},
    };
    for (const Change &change : changes) {
        put_state(world, start.data());
        change.apply();
        EXPECT_FALSE(state_key(world, &hasher) == base) << change.what;
        put_state(world, start.data());
        EXPECT_TRUE(state_key(world, &hasher) == base) << change.what << ", put back";
    }
    put_state(world, start.data());
    actor(mibo).state = 1;
    const StateKey sliding = state_key(world, &hasher);
    for (const Change &change : slides) {
        put_state(world, start.data());
        actor(mibo).state = 1;
        change.apply();
        EXPECT_FALSE(state_key(world, &hasher) == sliding) << change.what;
    }
    // The camera's height counts while it swoops: a hop then moves where the swoop ends.
    put_state(world, start.data());
    world.intro = 1;
    const StateKey swooping = state_key(world, &hasher);
    world.camera_y += 25.0f;
    EXPECT_FALSE(state_key(world, &hasher) == swooping);
}
