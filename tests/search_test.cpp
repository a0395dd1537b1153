/* search_test.cpp: a state's key tells apart the worlds that can play on differently, whatever
   states were keyed before it (that it leaves out what cannot change the play shows in the states
   the level table counts, e2e_level_checker); and the frames the search leaves the actors' think
   pass out of change nothing: a command it plays leaves the world whole frames of the play loop
   leave. */
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/datafile.h"
#include "base/timer.h"
#include "game_test_support.h"
#include "search/level_search.h"
#include "search/search_play.h"
#include "search/search_state.h"
#include "world/actor_behaviours.h"
#include "world/actor_table.h"
#include "world/level_state.h"
#include "world/world_clock.h"
#include "world/world_driver.h"
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


// Random commands in every shipped level, the level started again when it ends: pushes, slides,
// running zippers and blasts all come by. After each, the world the search played on equals,
// byte for byte, one that ran the same code through as many whole frames. At 12 ticks a frame
// a slide ends in the frame it starts in, and a running zipper begins every frame at rest: its
// thinks were left out as if it stood still, and it stopped a square on.
TEST(SearchFrames, EveryCommandLeavesTheWorldWholeFramesLeave)
{
    for (const int32_t ticks : {2, 12}) {
        std::mt19937 random(20261208);
        static World whole;     // two worlds of some 25 KB each, kept off the stack
        static World played;
        for (int level = 1; level <= 19; level++) {
            const std::string text = shipped_map(level);
            ASSERT_FALSE(text.empty()) << "map " << level;
            search_start_world(played, text.c_str());
            whole = played;
            for (int n = 0; n < 300; n++) {
                if (level_over(played) || !robot_ready(played)) {
                    search_start_world(played, text.c_str());
                    whole = played;
                }
                const int32_t code = action_codes[random() % SEARCH_ACTIONS];
                bool cut = false;
                const int32_t frames = run_command(played, code, ticks, n % 2 ? &cut : nullptr);
                if (code != SEARCH_WAIT)
                    driver_push(whole, code);
                for (int32_t f = 0; f < frames; f++)
                    driver_frame(whole, ticks);
                ASSERT_EQ(std::memcmp(&played, &whole, sizeof(World)), 0)
                    << ticks << " ticks a frame, level " << level << ", command " << n << " (code "
                    << code << ")";
            }
        }
    }
}

// The same random play with every command begun from a state record, as the search plays: the
// passes then look only at the actors live in the record and at those given a countdown or a
// callback since. The world left is the one whole frames leave, and no actor the passes have
// anything to do for is ever missing from the ones they look at.
TEST(SearchFrames, PassesOverTheLiveActorsLeaveTheWorldWholeFramesLeave)
{
    std::mt19937 random(20261209);
    static World whole;
    static World played;
    static uint8_t record[1 << 16];
    for (int level = 1; level <= 19; level++) {
        const std::string text = shipped_map(level);
        ASSERT_FALSE(text.empty()) << "map " << level;
        search_start_world(played, text.c_str());
        ASSERT_LE(state_record_size(played), sizeof record);
        whole = played;
        for (int n = 0; n < 300; n++) {
            if (level_over(played) || !robot_ready(played)) {
                search_start_world(played, text.c_str());
                whole = played;
            }
            take_state(played, record, 0);
            put_state(played, record);
            const int32_t code = action_codes[random() % SEARCH_ACTIONS];
            bool cut = false;
            const int32_t frames = run_command(played, code, 2, n % 2 ? &cut : nullptr);
            if (code != SEARCH_WAIT)
                driver_push(whole, code);
            for (int32_t f = 0; f < frames; f++)
                driver_frame(whole, 2);
            uint64_t live[2];
            find_live_actors(played, live);
            ASSERT_EQ(live[0] & ~played.actors.live[0], 0u) << "level " << level << ", command " << n;
            ASSERT_EQ(live[1] & ~played.actors.live[1], 0u) << "level " << level << ", command " << n;
            whole.actors.live_known = played.actors.live_known;
            whole.actors.live[0] = played.actors.live[0];
            whole.actors.live[1] = played.actors.live[1];
            ASSERT_EQ(std::memcmp(&played, &whole, sizeof(World)), 0)
                << "level " << level << ", command " << n << " (code " << code << ")";
        }
    }
}

// After a command from a state the level could still be won from, looking at the sweets and the
// teleport only when something was blown up says what looking at them always says: nothing else
// takes one away for good. Random play over every shipped level, blasts and lost sweets among it.
TEST(SearchFrames, OnlyABlastSpoilsALevelACommandBeganSound)
{
    std::mt19937 random(8122026);
    static World played;
    int blasts_seen = 0, spoiled_seen = 0;
    for (int level = 1; level <= 19; level++) {
        const std::string text = shipped_map(level);
        ASSERT_FALSE(text.empty()) << "map " << level;
        search_start_world(played, text.c_str());
        for (int n = 0; n < 400; n++) {
            if (level_over(played) || !robot_ready(played) || hopeless(played))
                search_start_world(played, text.c_str());
            const int32_t blasts = played.cues.plays[DAT_SAMPLE_EXPLOSION];
            run_command(played, action_codes[random() % SEARCH_ACTIONS], 2, nullptr);
            blasts_seen += played.cues.plays[DAT_SAMPLE_EXPLOSION] != blasts;
            spoiled_seen += spoiled(played);
            ASSERT_EQ(hopeless_since(played, blasts), hopeless(played))
                << "level " << level << ", command " << n;
        }
    }
    EXPECT_TRUE(blasts_seen > 0 && spoiled_seen > 0);
}

// The search puts a state back into a world it played on from that state by copying only the
// actors the command can have changed, and keys it with those actors alone compared with its
// memo: the worlds and their keys are the ones a whole put and a key taken afresh give, over
// random walks through every shipped level where each state's eight commands are played in turn
// on two worlds, as the search plays them, sweets eaten and things blown up among them.
TEST(SearchFrames, WorldsPlayedAgainFromAStateAndTheirKeysAreTheOnesTakenAfresh)
{
    std::mt19937 random(20261209);
    static World walk, worlds[2], whole;
    static StateHasher played_hasher, fresh_hasher;
    std::vector<uint32_t> record, played_record, whole_record;
    int keys = 0, sweets_eaten = 0;
    for (int level = 1; level <= 19; level++) {
        const std::string text = shipped_map(level);
        ASSERT_FALSE(text.empty()) << "map " << level;
        search_start_world(walk, text.c_str());
        worlds[0] = worlds[1] = walk;
        record.assign(state_record_size(walk) / 4, 0);
        played_record = whole_record = record;
        for (int n = 0; n < 120; n++) {
            if (level_over(walk) || !robot_ready(walk) || hopeless(walk)) {
                search_start_world(walk, text.c_str());
                worlds[0] = worlds[1] = walk;
            }
            take_state(walk, (uint8_t *)record.data(), 0);
            state_key_begin_put(&played_hasher, (const uint8_t *)record.data());
            for (int action = 0; action < SEARCH_ACTIONS; action++) {
                World &w = worlds[action & 1];
                if (action >= 2)
                    put_state_again(w, (const uint8_t *)record.data());
                else
                    put_state(w, (const uint8_t *)record.data());
                whole = w;
                put_state(whole, (const uint8_t *)record.data());
                take_state(w, (uint8_t *)played_record.data(), 0);
                take_state(whole, (uint8_t *)whole_record.data(), 0);
                ASSERT_EQ(played_record, whole_record)
                    << "put again: level " << level << ", state " << n << ", action " << action;
                const int32_t eaten = w.level.sweets_eaten;
                bool cut = false;
                run_command(w, action_codes[action], 2, &cut);
                if (cut || !robot_ready(w))
                    continue;
                sweets_eaten += w.level.sweets_eaten != eaten;
                fresh_hasher = StateHasher{};
                const StateKey played = state_key_played(w, &played_hasher);
                const StateKey fresh = state_key(w, &fresh_hasher);
                ASSERT_TRUE(played.low == fresh.low && played.high == fresh.high)
                    << "level " << level << ", state " << n << ", action " << action;
                keys++;
            }
            run_command(walk, action_codes[random() % SEARCH_ACTIONS], 2, nullptr);
        }
    }
    EXPECT_TRUE(keys > 10000 && sweets_eaten > 0);
}
