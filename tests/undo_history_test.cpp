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
#include "ui/message_line.h"
#include "ui/undo_history.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/player.h"
#include "world/player_motion.h"
#include "world/solution_file.h"
#include "world/world_driver.h"
#include "world/world_snapshot.h"
#include "world_test_support.h"

namespace {

enum { SHIPPED_LEVELS = 19 };

/* The world as take_snapshot gives it, less what a step back sets on purpose: the command queue
   (emptied) and the message line (the confirmation). */
struct World {
    WorldSnapshot s{};
};

World world_now()
{
    World w;
    take_snapshot(&w.s);
    w.s.queue = CommandQueue{};
    w.s.message = MessageLine{};
    return w;
}

/* Where two worlds first differ, by the snapshot's field, or "" when they are the same. */
std::string difference(const World &a, const World &b)
{
    const unsigned char *x = reinterpret_cast<const unsigned char *>(&a.s);
    const unsigned char *y = reinterpret_cast<const unsigned char *>(&b.s);
    size_t at = 0;
    while (at < sizeof(WorldSnapshot) && x[at] == y[at])
        at++;
    if (at == sizeof(WorldSnapshot))
        return "";
    const struct { const char *name; size_t offset; } fields[] = {
        {"map", offsetof(WorldSnapshot, map)}, {"actors", offsetof(WorldSnapshot, actors)},
        {"motion", offsetof(WorldSnapshot, motion)}, {"hero_index", offsetof(WorldSnapshot, hero_index)},
        {"pose", offsetof(WorldSnapshot, crouch)}, {"falling", offsetof(WorldSnapshot, falling)},
        {"intro", offsetof(WorldSnapshot, intro)}, {"camera", offsetof(WorldSnapshot, camera_y)},
        {"moves", offsetof(WorldSnapshot, moves)}, {"level", offsetof(WorldSnapshot, level)},
        {"clock", offsetof(WorldSnapshot, level_time)}, {"title", offsetof(WorldSnapshot, title_timer)},
        {"queue", offsetof(WorldSnapshot, queue)},
    };
    const char *name = "?";
    for (const auto &f : fields)
        if (f.offset <= at)
            name = f.name;
    return std::string(name) + " (byte " + std::to_string(at) + ")";
}

/* Every world the hook was called in, in order: the reference a step back must give again. */
std::vector<World> taken;
bool keeping = true;    /* the hook also keeps the step in the undo history */

void note_command()
{
    taken.push_back(world_now());
    if (keeping)
        undo_keep_command();
}

const int32_t move_codes[] = {MOVE_FORWARD, MOVE_BACKWARD, MOVE_TURN_LEFT, MOVE_TURN_RIGHT,
                              MOVE_JUMP, MOVE_STRAFE_LEFT, MOVE_STRAFE_RIGHT};

/* The rest of a frame whose keys and first half ran before a step back: the queued command and
   the update, as the play loop goes on after its keys. */
void finish_frame(int32_t ticks)
{
    player_command();
    update_player(ticks);
}

/* Reorders the squares and marks them, as the renderer does every frame. */
void draw_squares()
{
    std::reverse(level_map.tiles, level_map.tiles + level_map.tile_count);
    for (int i = 0; i < level_map.tile_count; i++) {
        level_map.tiles[i].depth_key = 1000 - i;
        level_map.tiles[i].visible = 1;
    }
}

/* The world test's hook and the history for every test, and none after. */
class Undo : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        taken.clear();
        keeping = true;
        undo_clear();
        command_taken_hook = note_command;
        moves = 0;
    }
    void TearDown() override
    {
        command_taken_hook = nullptr;
        undo_clear();
    }

    void start(const std::string &text)
    {
        begin_level(text);
        undo_clear();
        undo_attempt_started();
        taken.clear();
    }

    /* Runs frames of `ticks` until the level is lost, at most `limit`; returns whether it was. */
    bool run_until_lost(int32_t ticks, int limit)
    {
        for (int i = 0; i < limit && !level_state.level_lost; i++)
            driver_frame(ticks);
        return level_state.level_lost;
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
        // run starts from the same world: the robot's floor is not probed during the swoop, and
        // a command then starts from the floor the level before left.
        static WorldSnapshot before_start;
        take_snapshot(&before_start);
        std::vector<int> command_frames;
        keeping = false;
        moves = 0;
        driver_start_level(level);
        taken.clear();
        int32_t next = 0;
        for (int32_t frame = 0; frame < solution.end_frame; frame++) {
            const size_t before = taken.size();
            play_solution_frame(solution, frame, &next);
            if (taken.size() != before)
                command_frames.push_back(frame);
        }
        ASSERT_TRUE(level_state.level_completed) << "level " << level;
        const World finished = world_now();
        const std::vector<World> straight = taken;
        ASSERT_EQ((int)command_frames.size(), solution.move_count) << "level " << level;
        for (int i = 0; i < solution.move_count; i++)
            ASSERT_EQ(command_frames[i], solution.moves[i].frame)
                << "level " << level << ": a command is taken on the frame it is typed";

        for (int point = 1; point <= 4; point++) {
            const int k = solution.move_count * point / 5;
            const int32_t at_frame = solution.moves[k].frame;
            keeping = true;
            restore_snapshot(&before_start);
            moves = 0;
            driver_start_level(level);
            undo_clear();
            undo_attempt_started();
            taken.clear();
            next = 0;
            for (int32_t frame = 0; frame < at_frame; frame++)
                play_solution_frame(solution, frame, &next);

            bool first = true;
            for (int32_t code : move_codes) {
                if (code == solution.moves[k].code)
                    continue;
                driver_push(code);
                if (first)
                    driver_frame(ticks);
                else
                    finish_frame(ticks);
                first = false;
                const bool lost = run_until_lost(ticks, 300 / ticks);
                falls += lost && falling;
                blasts += lost && !falling;
                alive += !lost;
                ASSERT_TRUE(undo_step_back());
                const std::string where = difference(world_now(), straight[k]);
                ASSERT_EQ(where, "") << "level " << level << ", command " << k << ", wrong code "
                                     << code << (lost ? " (lost)" : "");
                EXPECT_STREQ(message(), "Undo: 1 move back");
                EXPECT_EQ(undo_steps(), k) << "level " << level;
            }
            if (k >= 2) {
                const size_t changes = undo_bytes() - sizeof(WorldSnapshot);
                most_bytes_a_step = std::max(most_bytes_a_step, changes / (k - 1));
                all_changes += changes;
                all_steps += k - 1;
            }

            driver_push(solution.moves[k].code);
            finish_frame(ticks);
            next = k + 1;
            for (int32_t frame = at_frame + 1; frame < solution.end_frame; frame++) {
                ASSERT_FALSE(level_state.level_completed) << "level " << level << " won early";
                play_solution_frame(solution, frame, &next);
            }
            ASSERT_TRUE(level_state.level_completed) << "level " << level << ", point " << point;
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
                all_changes / std::max<size_t>(1, all_steps), most_bytes_a_step, sizeof(WorldSnapshot));
}

/* Fallen, blown up, run over, out of time: the command that led there is undone, the clock and
   the squares with it. */
TEST_F(Undo, EachKindOfLossIsUndoneWithTheCommandThatLedThere)
{
    // Off the edge behind the start (a point left of column 0 still counts as on it).
    start(drawn_map({"-- 1P 1. 1T"}, 64));
    driver_settle(10, 1000);
    driver_push(MOVE_BACKWARD);
    ASSERT_TRUE(run_until_lost(2, 2000));
    EXPECT_TRUE(falling);
    ASSERT_TRUE(undo_step_back());
    EXPECT_EQ(difference(world_now(), taken.back()), "");
    EXPECT_TRUE(!falling && !level_state.level_lost && player_motion.playerL[0] == 1);

    // Onto a mine: the mine, its square's scorch and the explosion under way all go back.
    start(drawn_map({"1P 1X 1T"}, 64));
    driver_settle(10, 1000);
    driver_push(MOVE_FORWARD);
    driver_run(5, 2);
    const int mine = actor_on(1, 0);
    ASSERT_GT(actor(mine).timer, 0) << "the explosion is under way";
    ASSERT_TRUE(run_until_lost(2, 2000));
    ASSERT_TRUE(undo_step_back());
    EXPECT_EQ(difference(world_now(), taken.back()), "");
    EXPECT_TRUE(actor(mine).timer == 0 && square(1, 0)->texture == 0 && !level_state.level_lost);

    // Run over: the runner waits behind the robot until it steps away.
    start(drawn_map({"1> 1P 1. 1. 1T"}, 64));
    driver_settle(10, 1000);
    const int runner = actor_on(0, 0);
    driver_push(MOVE_FORWARD);
    ASSERT_TRUE(run_until_lost(2, 2000));
    EXPECT_FALSE(falling);
    ASSERT_TRUE(undo_step_back());
    EXPECT_EQ(difference(world_now(), taken.back()), "");
    EXPECT_TRUE(actor_on(0, 0) == runner && actor(runner).state == 0);

    // Out of time: a turn, then the minute runs out.
    start(drawn_map({"1P 1. 1T"}, 64, 1));
    driver_settle(10, 1000);
    driver_push(MOVE_TURN_LEFT);
    ASSERT_TRUE(run_until_lost(50, 200));
    EXPECT_LT(get_level_time(), 1);
    ASSERT_TRUE(undo_step_back());
    EXPECT_EQ(difference(world_now(), taken.back()), "");
    EXPECT_GT(get_level_time(), 5000);
    EXPECT_FALSE(level_state.level_lost);
    driver_frame(2);
    EXPECT_FALSE(level_state.level_lost) << "the clock runs on from where it was";
}

/* A restart is a step of its own; a restart with no command since the last one keeps nothing, so
   held R, which restarts every frame, is undone at once. The squares the renderer has reordered
   come back in their own order. */
TEST_F(Undo, ARestartIsUndoneAsAStepAndHeldRestartsKeepOne)
{
    start(drawn_map({"1P 1. 1S 1. 1T"}, 64));
    driver_settle(10, 1000);
    move(MOVE_FORWARD);
    move(MOVE_FORWARD);
    ASSERT_EQ(level_state.sweets_eaten, 1);
    const World before_restart = world_now();
    const UndoAttempt attempt = undo_attempt;
    draw_squares();
    for (int frame = 0; frame < 3; frame++) {
        undo_keep_restart();
        driver_restart();
        undo_attempt_started();
        driver_frame(2);
    }
    EXPECT_EQ(undo_steps(), 3) << "two commands and one restart";
    draw_squares();
    ASSERT_TRUE(undo_step_back());
    EXPECT_STREQ(message(), "Undo: restart undone");
    EXPECT_EQ(difference(world_now(), before_restart), "");
    EXPECT_EQ(undo_attempt.commands, attempt.commands);
    draw_squares();
    ASSERT_TRUE(undo_step_back());
    EXPECT_EQ(difference(world_now(), taken[1]), "");
    EXPECT_EQ(level_state.sweets_eaten, 0) << "the sweet is back";
    ASSERT_TRUE(undo_step_back());
    EXPECT_EQ(difference(world_now(), taken[0]), "");
    EXPECT_STREQ(message(), "Undo: 2 moves back");
    EXPECT_FALSE(undo_step_back());
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
    driver_settle(10, 1000);
    int shown = 0;
    for (int i = 0; i < UNDO_STEP_LIMIT + 200; i++) {
        driver_push(i % 2 ? MOVE_TURN_LEFT : MOVE_TURN_RIGHT);
        driver_frame(1);
        if (message_line.text && std::strcmp(message_line.text, "Undo keeps the last 4096 moves only") == 0) {
            shown++;
            clear_message();
        }
    }
    EXPECT_EQ(undo_steps(), UNDO_STEP_LIMIT);
    EXPECT_EQ(shown, 1) << "said once, not at every command";
    EXPECT_LT(undo_bytes(), (size_t)UNDO_STEP_LIMIT * 200) << "a turn changes a few words";
    for (int i = 0; i < UNDO_STEP_LIMIT; i++) {
        ASSERT_TRUE(undo_step_back());
        ASSERT_EQ(difference(world_now(), taken[taken.size() - 1 - i]), "") << "step back " << i;
    }
    EXPECT_FALSE(undo_step_back());
    EXPECT_STREQ(message(), "No more undo: older moves were dropped");

    // Restarts into the other level and back: every change is a whole map and its actors.
    start(level_a);
    std::vector<World> kept;
    for (int i = 0; i < 700; i++) {
        driver_push(MOVE_TURN_LEFT);
        driver_frame(1);
        kept.push_back(taken.back());
        kept.push_back(world_now());
        undo_keep_restart();
        begin_level(i % 2 ? level_a : level_b);
        undo_attempt_started();
    }
    const int steps = undo_steps();
    EXPECT_LT(steps, 1400) << "the ring of changes is full";
    EXPECT_GT(steps, 200);
    for (int i = 0; i < steps; i++) {
        ASSERT_TRUE(undo_step_back());
        ASSERT_EQ(difference(world_now(), kept[kept.size() - 1 - i]), "") << "step back " << i;
    }
    EXPECT_FALSE(undo_step_back());
}
