/* undo_history_test.cpp: undo puts the world back byte for byte: after wrong commands at several
   points of every shipped level's recorded solution, after each kind of loss and a restart, all
   the way back to the start, and past the history's bound. */
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/timer.h"
#include "render/message_line.h"
#include "play/undo_history.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/player.h"
#include "world/player_motion.h"
#include "world/solution_file.h"
#include "world/world_clock.h"
#include "world/world_driver.h"
#include "world/world_messages.h"
#include "world_test_support.h"

namespace {

enum { SHIPPED_LEVELS = 19 };

/* The world as it stands, less what a step back sets on purpose: the command queue (emptied),
   the message line (the confirmation) and the sounds heard (they stay heard). */
struct Kept {
    World s;
};

Kept world_now()
{
    Kept k;
    k.s = world;
    k.s.queue = CommandQueue{};
    k.s.message = MessageLine{};
    k.s.cues = CueLog{};
    return k;
}

/* Where two worlds first differ, by the world's field, or "" when they are the same. */
std::string difference(const Kept &a, const Kept &b)
{
    const unsigned char *x = reinterpret_cast<const unsigned char *>(&a.s);
    const unsigned char *y = reinterpret_cast<const unsigned char *>(&b.s);
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
        {"title", offsetof(World, title_timer)}, {"queue", offsetof(World, queue)},
        {"cues", offsetof(World, cues)}, {"starts", offsetof(World, starts)},
    };
    const char *name = "?";
    for (const auto &f : fields)
        if (f.offset <= at)
            name = f.name;
    return std::string(name) + " (byte " + std::to_string(at) + ")";
}

/* Every world a command was taken in, in order: the reference a step back must give again. */
std::vector<Kept> taken;
bool keeping = true;    /* noting a command also keeps the step in the undo history */

void note_command()
{
    taken.push_back(world_now());
    if (keeping)
        undo_keep_command(session);
}

const int32_t move_codes[] = {MOVE_FORWARD, MOVE_BACKWARD, MOVE_TURN_LEFT, MOVE_TURN_RIGHT,
                              MOVE_JUMP, MOVE_STRAFE_LEFT, MOVE_STRAFE_RIGHT};

/* The rest of a frame whose keys and first half ran before a step back: the queued command (the
   world before it noted, as the play session keeps it for undo) and the update, as the play loop
   goes on after its keys. */
void finish_frame(int32_t ticks)
{
    if (command_ready(world))
        note_command();
    player_command(world);
    update_player(world, ticks);
}

/* One frame as the world driver runs it, the world before a command noted. */
void frame(int32_t ticks)
{
    run_level_clock(world, ticks);
    probe_floor(world);
    finish_frame(ticks);
}

void run(int frames, int32_t ticks)
{
    for (int i = 0; i < frames; i++)
        frame(ticks);
}

/* Frames until the robot stands at rest, as driver_settle runs them. */
void settle(int32_t ticks, int limit)
{
    for (int i = 0; i < limit; i++) {
        const PlayerMotion &p = world.motion;
        if (!world.intro && p.jump_ctr <= -5 && queue_empty() && world.rot_y == p.player_rot_y &&
            p.loc_y == p.floor_y)
            return;
        frame(ticks);
    }
}

/* A frame of a recorded solution, as play_solution_frame plays it. */
void solution_frame(const Solution &solution, int32_t at, int32_t *next)
{
    while (*next < solution.move_count && solution.moves[*next].frame == at)
        driver_push(world, solution.moves[(*next)++].code);
    frame(solution.ticks_per_frame);
}

/* A move played to rest, as move() does. */
void step(int code)
{
    driver_push(world, code);
    settle(1, 500);
}

/* The history for every test, and none after. */
class Undo : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        taken.clear();
        keeping = true;
        undo_clear(session);
        world.moves = 0;
    }
    void TearDown() override
    {
        undo_clear(session);
    }

    void start(const std::string &text)
    {
        begin_level(text);
        undo_clear(session);
        undo_attempt_started(session);
        taken.clear();
    }

    /* Runs frames of `ticks` until the level is lost, at most `limit`; returns whether it was. */
    bool run_until_lost(int32_t ticks, int limit)
    {
        for (int i = 0; i < limit && !world.level.level_lost; i++)
            frame(ticks);
        return world.level.level_lost;
    }
};

/* A level's recorded solution and the game's own directory, where its maps are. */
class UndoShippedLevels : public Undo {
protected:
    void SetUp() override
    {
        Undo::SetUp();
        std::filesystem::current_path(TIRVEX_GAME_DIR);
    }
    void TearDown() override
    {
        std::filesystem::current_path(saved_dir);
        Undo::TearDown();
    }
    const std::filesystem::path saved_dir = std::filesystem::current_path();
};

} // namespace

/* At four points of each shipped level's solution every other command is tried in turn and
   played on until the level is lost or for three seconds of game time; each is undone, and the
   world must be the one the solution had when it took its own command there, byte for byte.
   The solution then goes on from the world undo gave back and must win the level on the very
   frame it does when played straight, in the very same world. */
TEST_F(UndoShippedLevels, WrongCommandsUndoneGiveBackTheSolutionsWorldExactly)
{
    int falls = 0, blasts = 0, alive = 0;
    size_t most_bytes_a_step = 0, all_changes = 0, all_steps = 0;
    for (int level = 1; level <= SHIPPED_LEVELS; level++) {
        char path[256], fault[SOLUTION_FAULT_SIZE];
        std::snprintf(path, sizeof path, "%s/assets/solutions/map%02d.txt", TIRVEX_SOURCE_DIR, level);
        static Solution solution;
        ASSERT_TRUE(read_solution(path, &solution, fault, sizeof fault)) << fault;
        const int32_t ticks = solution.ticks_per_frame;

        // Played straight, noting the world before every command and the frame it came on. Every
        // run starts from a fresh game's world, the one the solution was recorded in: the robot's
        // floor is not probed during the swoop, and a command then starts from the floor the
        // level before left (whatever test ran before this one).
        static World before_start;
        before_start = World{};
        std::vector<int> command_frames;
        keeping = false;
        world = before_start;
        driver_start_level(world, level);
        taken.clear();
        int32_t next = 0;
        for (int32_t frame = 0; frame < solution.end_frame; frame++) {
            const size_t before = taken.size();
            solution_frame(solution, frame, &next);
            if (taken.size() != before)
                command_frames.push_back(frame);
        }
        ASSERT_TRUE(world.level.level_completed) << "level " << level;
        const Kept finished = world_now();
        const std::vector<Kept> straight = taken;
        ASSERT_EQ((int)command_frames.size(), solution.move_count) << "level " << level;
        for (int i = 0; i < solution.move_count; i++)
            ASSERT_EQ(command_frames[i], solution.moves[i].frame)
                << "level " << level << ": a command is taken on the frame it is typed";

        for (int point = 1; point <= 4; point++) {
            const int k = solution.move_count * point / 5;
            const int32_t at_frame = solution.moves[k].frame;
            keeping = true;
            world = before_start;
            world.moves = 0;
            driver_start_level(world, level);
            undo_clear(session);
            undo_attempt_started(session);
            taken.clear();
            next = 0;
            for (int32_t frame = 0; frame < at_frame; frame++)
                solution_frame(solution, frame, &next);

            bool first = true;
            for (int32_t code : move_codes) {
                if (code == solution.moves[k].code)
                    continue;
                driver_push(world, code);
                if (first)
                    frame(ticks);
                else
                    finish_frame(ticks);
                first = false;
                const bool lost = run_until_lost(ticks, 300 / ticks);
                falls += lost && world.falling;
                blasts += lost && !world.falling;
                alive += !lost;
                ASSERT_TRUE(undo_step_back(session));
                const std::string where = difference(world_now(), straight[k]);
                ASSERT_EQ(where, "") << "level " << level << ", command " << k << ", wrong code "
                                     << code << (lost ? " (lost)" : "");
                EXPECT_STREQ(message(), "Undo: 1 move back");
                EXPECT_EQ(undo_steps(session), k) << "level " << level;
            }
            if (k >= 2) {
                const size_t changes = undo_bytes(session) - sizeof(World);
                most_bytes_a_step = std::max(most_bytes_a_step, changes / (k - 1));
                all_changes += changes;
                all_steps += k - 1;
            }

            driver_push(world, solution.moves[k].code);
            finish_frame(ticks);
            next = k + 1;
            for (int32_t frame = at_frame + 1; frame < solution.end_frame; frame++) {
                ASSERT_FALSE(world.level.level_completed) << "level " << level << " won early";
                solution_frame(solution, frame, &next);
            }
            ASSERT_TRUE(world.level.level_completed) << "level " << level << ", point " << point;
            EXPECT_EQ(difference(world_now(), finished), "") << "level " << level << ", point " << point;
        }
    }
    // The wrong commands tried lose by a fall and by a blast, and some only lead astray.
    EXPECT_GT(falls, 0);
    EXPECT_GT(blasts, 0);
    EXPECT_GT(alive, 0);
    // A step costs its changes, not the 20 KB of the whole world.
    EXPECT_LT(most_bytes_a_step, 2000u) << "bytes a step but the newest, kept whole";
    std::printf("undo: %zu bytes a step on average, at most %zu over a stretch of a shipped "
                "level (the newest kept whole: %zu bytes)\n",
                all_changes / std::max<size_t>(1, all_steps), most_bytes_a_step, sizeof(World));
}

/* Fallen, blown up, run over, out of time: the command that led there is undone, the clock and
   the squares with it. */
TEST_F(Undo, EachKindOfLossIsUndoneWithTheCommandThatLedThere)
{
    // Off the edge behind the start (a point left of column 0 still counts as on it).
    start(drawn_map({"-- 1P 1. 1T"}, 64));
    settle(10, 1000);
    driver_push(world, MOVE_BACKWARD);
    ASSERT_TRUE(run_until_lost(2, 2000));
    EXPECT_TRUE(world.falling);
    ASSERT_TRUE(undo_step_back(session));
    EXPECT_EQ(difference(world_now(), taken.back()), "");
    EXPECT_TRUE(!world.falling && !world.level.level_lost && world.motion.playerL[0] == 1);

    // Onto a mine: the mine, its square's scorch and the explosion under way all go back.
    start(drawn_map({"1P 1X 1T"}, 64));
    settle(10, 1000);
    driver_push(world, MOVE_FORWARD);
    run(5, 2);
    const int mine = actor_on(1, 0);
    ASSERT_GT(actor(mine).timer, 0) << "the explosion is under way";
    ASSERT_TRUE(run_until_lost(2, 2000));
    ASSERT_TRUE(undo_step_back(session));
    EXPECT_EQ(difference(world_now(), taken.back()), "");
    EXPECT_TRUE(actor(mine).timer == 0 && square(1, 0)->texture == 0 && !world.level.level_lost);

    // Run over: the runner waits behind the robot until it steps away.
    start(drawn_map({"1> 1P 1. 1. 1T"}, 64));
    settle(10, 1000);
    const int runner = actor_on(0, 0);
    driver_push(world, MOVE_FORWARD);
    ASSERT_TRUE(run_until_lost(2, 2000));
    EXPECT_FALSE(world.falling);
    ASSERT_TRUE(undo_step_back(session));
    EXPECT_EQ(difference(world_now(), taken.back()), "");
    EXPECT_TRUE(actor_on(0, 0) == runner && actor(runner).state == 0);

    // Out of time: a turn, then the minute runs out.
    start(drawn_map({"1P 1. 1T"}, 64, 1));
    settle(10, 1000);
    driver_push(world, MOVE_TURN_LEFT);
    ASSERT_TRUE(run_until_lost(50, 200));
    EXPECT_LT(level_clock_left(world), 1);
    ASSERT_TRUE(undo_step_back(session));
    EXPECT_EQ(difference(world_now(), taken.back()), "");
    EXPECT_GT(level_clock_left(world), 5000);
    EXPECT_FALSE(world.level.level_lost);
    frame(2);
    EXPECT_FALSE(world.level.level_lost) << "the clock runs on from where it was";
}

/* A restart is a step of its own; a restart with no command since the last one keeps nothing, so
   held R, which restarts every frame, is undone at once. */
TEST_F(Undo, ARestartIsUndoneAsAStepAndHeldRestartsKeepOne)
{
    start(drawn_map({"1P 1. 1S 1. 1T"}, 64));
    settle(10, 1000);
    step(MOVE_FORWARD);
    step(MOVE_FORWARD);
    ASSERT_EQ(world.level.sweets_eaten, 1);
    const Kept before_restart = world_now();
    const UndoAttempt attempt = undo_attempt(session);
    for (int restart = 0; restart < 3; restart++) {
        undo_keep_restart(session);
        driver_restart(world);
        undo_attempt_started(session);
        frame(2);
    }
    EXPECT_EQ(undo_steps(session), 3) << "two commands and one restart";
    ASSERT_TRUE(undo_step_back(session));
    EXPECT_STREQ(message(), "Undo: restart undone");
    EXPECT_EQ(difference(world_now(), before_restart), "");
    EXPECT_EQ(undo_attempt(session).commands, attempt.commands);
    ASSERT_TRUE(undo_step_back(session));
    EXPECT_EQ(difference(world_now(), taken[1]), "");
    EXPECT_EQ(world.level.sweets_eaten, 0) << "the sweet is back";
    ASSERT_TRUE(undo_step_back(session));
    EXPECT_EQ(difference(world_now(), taken[0]), "");
    EXPECT_STREQ(message(), "Undo: 2 moves back");
    EXPECT_FALSE(undo_step_back(session));
    EXPECT_STREQ(message(), "Nothing to undo");
}

/* A level of 190 squares, each with its own height, texture and faces; the second kind has them
   in the opposite order, so every word of its squares differs from the first's. */
std::string big_map(int kind)
{
    std::vector<std::string> squares;
    for (int z = 0; z < 10; z++)
        for (int x = 0; x < 19; x++) {
            char line[80];
            std::snprintf(line, sizeof line, "%d %d %d %d %d 64 %d %d %d %d\n", x,
                          (x * 7 + z * 3 + kind * 5) % 9 - 4, z, (x + z + kind) % 4,
                          x == 0 && z == 0 ? 1 : 0, (x * 3 + z) % 4 - 1, (x + kind) % 3 - 1,
                          (z * 5 + kind) % 4 - 1, (x + z) % 3 - 1);
            squares.push_back(line);
        }
    if (kind == 1)
        std::reverse(squares.begin(), squares.end());
    std::string text = "drawn for a test\nBig level " + std::to_string(kind) +
                       "\n7\nminutes:\n3\n\nsquares:\n190\n";
    for (const std::string &line : squares)
        text += line;
    return text;
}

/* Beyond UNDO_STEP_LIMIT steps the oldest go, said once on the message line; every step kept
   still comes back exactly, down to the oldest. Worlds of two levels in turn, each restart a
   step of some 9 KB, fill the ring of changes past its end too. */
TEST_F(Undo, TheOldestStepsAreDroppedAndSaidSoAndTheRestComeBackExactly)
{
    const std::string level_a = big_map(0), level_b = big_map(1);
    start(level_a);
    settle(10, 1000);
    int shown = 0;
    for (int i = 0; i < UNDO_STEP_LIMIT + 200; i++) {
        driver_push(world, i % 2 ? MOVE_TURN_LEFT : MOVE_TURN_RIGHT);
        frame(1);
        if (world.message.text && std::strcmp(world.message.text, "Undo keeps the last 4096 moves only") == 0) {
            shown++;
            clear_message(world);
        }
    }
    EXPECT_EQ(undo_steps(session), UNDO_STEP_LIMIT);
    EXPECT_EQ(shown, 1) << "said once, not at every command";
    EXPECT_LT(undo_bytes(session), (size_t)UNDO_STEP_LIMIT * 200) << "a turn changes a few words";
    for (int i = 0; i < UNDO_STEP_LIMIT; i++) {
        ASSERT_TRUE(undo_step_back(session));
        ASSERT_EQ(difference(world_now(), taken[taken.size() - 1 - i]), "") << "step back " << i;
    }
    EXPECT_FALSE(undo_step_back(session));
    EXPECT_STREQ(message(), "No more undo: older moves were dropped");

    // Restarts into the other level and back: every change is a whole map and its actors.
    start(level_a);
    std::vector<Kept> kept;
    for (int i = 0; i < 700; i++) {
        driver_push(world, MOVE_TURN_LEFT);
        frame(1);
        kept.push_back(taken.back());
        kept.push_back(world_now());
        undo_keep_restart(session);
        begin_level(i % 2 ? level_a : level_b);
        undo_attempt_started(session);
    }
    const int steps = undo_steps(session);
    EXPECT_LT(steps, 1400) << "the ring of changes is full";
    EXPECT_GT(steps, 200);
    for (int i = 0; i < steps; i++) {
        ASSERT_TRUE(undo_step_back(session));
        ASSERT_EQ(difference(world_now(), kept[kept.size() - 1 - i]), "") << "step back " << i;
    }
    EXPECT_FALSE(undo_step_back(session));
}
