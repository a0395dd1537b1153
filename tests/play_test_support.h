/* play_test_support.h: one harness for the tests that play a level frame by frame: the tests'
   session, its frame as the programs run it (keys read into actions, then session_frame), and
   worlds compared byte for byte. */
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "game_test_support.h"
#include "play/hint.h"
#include "play/play_session.h"
#include "play/undo_history.h"
#include "render_test_support.h"
#include "ui/game_keys.h"
#include "ui/key_map.h"
#include "ui/lessons.h"
#include "ui/level_records.h"
#include "world/level_rules.h"
#include "world/player.h"

namespace play_test {

/* The world as it stands, less what a step back sets on purpose: the command queue (emptied),
   the message line (the confirmation) and the sounds heard (they stay heard). */
inline World comparable(const World &w)
{
    World c = w;
    c.queue = CommandQueue{};
    c.message = MessageLine{};
    c.cues = CueLog{};
    return c;
}

/* Where two worlds first differ, by the world's field, or "" when they are the same. */
inline std::string difference(const World &a_world, const World &b_world)
{
    static World a, b;
    a = comparable(a_world), b = comparable(b_world);
    const unsigned char *x = reinterpret_cast<const unsigned char *>(&a);
    const unsigned char *y = reinterpret_cast<const unsigned char *>(&b);
    size_t at = 0;
    while (at < sizeof(World) && x[at] == y[at])
        at++;
    if (at == sizeof(World))
        return "";
    const struct { const char *name; size_t offset; } fields[] = {
        {"map", offsetof(World, map)}, {"index", offsetof(World, tile_index)},
        {"actors", offsetof(World, actors)}, {"motion", offsetof(World, motion)},
        {"hero_index", offsetof(World, hero_index)}, {"pose", offsetof(World, crouch)},
        {"falling", offsetof(World, falling)}, {"intro", offsetof(World, intro)},
        {"camera", offsetof(World, camera_y)}, {"moves", offsetof(World, moves)},
        {"level", offsetof(World, level)}, {"clock", offsetof(World, clock)},
        {"title", offsetof(World, title_timer)}, {"starts", offsetof(World, starts)},
    };
    const char *name = "?";
    for (const auto &f : fields)
        if (f.offset <= at)
            name = f.name;
    return std::string(name) + " (byte " + std::to_string(at) + ")";
}

/* Asks for a hint and lets it think, a slice at a time, as the play loop would. */
inline HintOutcome ask_hint(int *code)
{
    hint_request(session);
    while (hint_thinking(session))
        hint_frame(session);
    double seconds;
    return hint_outcome(session, code, &seconds);
}

/* One frame as the programs run it with no key pressed: the world readied for drawing, then
   session_frame. The world before a command the robot takes is added to `taken` when given. */
inline void step(int ticks, std::vector<World> *taken = nullptr)
{
    session_overlay(session);
    if (taken && command_ready(session.world))
        taken->push_back(comparable(session.world));
    session_frame(session, PlayActions{}, ticks);
}

/* The session on a level of a game folder of the test's own: level 1 a sweet and the teleport
   straight ahead (tests/maps/play_walk.txt), level 2 a mine straight ahead (play_mine.txt). */
class PlayTest : public game_test::GameDirectoryTest {
protected:
    void SetUp() override
    {
        GameDirectoryTest::SetUp();
        add_map("play_walk.txt", {1});
        add_map("play_mine.txt", {2});
        reset_display_options();
        reset_key_map();
    }

    void TearDown() override
    {
        hint_cancel(session);   // a hint still thinking would hold the next test's world still
        undo_clear(session);
        reset_key_map();
        records_panel_held = false;
        GameDirectoryTest::TearDown();
    }

    /* A level entered as the play loop enters it, played until the robot may move when
       `settled`. */
    void enter(int level, bool settled = true)
    {
        session_enter(session, level);
        records_attempt_started(session);
        lessons_level_started();
        for (int i = 0; settled && i < 200 && session.world.intro; i++)
            frame();
        if (settled)
            frame();
    }

    /* One frame as the play loop runs it, after typing the keys given; returns the frame's
       answer's FRAME_CONFIRMED (1 when the keys confirmed the level's end). Its actions are
       left in `actions`. */
    int frame(std::initializer_list<int> typed = {}, int ticks = 2)
    {
        game_test::type_keys(typed);
        session_overlay(session);
        read_game_keys(session, actions);
        const int confirmed = play_frame(session, actions, ticks) & FRAME_CONFIRMED;
        lessons_frame_done(session);
        return confirmed;
    }

    /* Frames with the keys given held down, then released. */
    void hold(std::initializer_list<int> keys, int frames = 1)
    {
        game_test::hold_keys(keys);
        for (int i = 0; i < frames; i++)
            frame();
        game_test::release_all_keys();
    }

    /* Frames until the robot stands at rest. */
    void settle()
    {
        for (int i = 0; i < 100 && session.world.motion.jump_ctr > -5; i++)
            frame();
    }

    int row() const { return session.world.motion.playerL[1]; }
    std::string message() const
    {
        return session.world.message.text ? session.world.message.text : "(none)";
    }

    PlayActions actions{};
};

} // namespace play_test
