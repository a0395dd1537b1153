/* shipped_levels_test.cpp: every shipped level in one pass: its recorded solution, read as --watch
   reads it, wins it on its last frame and gives the level's par; wrong commands at four points of
   it are undone back to the solution's world byte for byte; the hint followed alone wins it; its
   actors earn their places; and the editor writes its map back as it was. */
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "level_analysis.h"
#include "level_file.h"
#include "play_test_support.h"
#include "search/level_search.h"
#include "search/search_play.h"
#include "world/level_state.h"
#include "world/player_motion.h"
#include "world/solution_file.h"
#include "world/world_driver.h"

namespace {

using play_test::difference;

Solution solution;          /* some 48 KB, kept off the stack */
ActorWeights weights;
EditLevel edited;

const int32_t move_codes[] = {MOVE_FORWARD, MOVE_BACKWARD, MOVE_TURN_LEFT, MOVE_TURN_RIGHT,
                              MOVE_JUMP, MOVE_STRAFE_LEFT, MOVE_STRAFE_RIGHT};

/* The level's start as a fresh game has it (the solution was recorded in one: the robot's floor
   is not probed during the swoop, and a command then starts from the floor the level before
   left), entered as the game enters it, with an empty undo history. */
void start_fresh(int level)
{
    world = World{};
    session_enter(session, level);
}

/* The solution's frames from `from` to `to`, its moves typed on their frames, played as the play
   loop plays them: the world before each command kept for undo. */
void play_frames(int32_t from, int32_t to, int32_t *next)
{
    for (int32_t frame = from; frame < to; frame++) {
        while (*next < solution.moves.count && log_at(solution.moves, *next).frame == frame)
            driver_push(world, log_at(solution.moves, (*next)++).code);
        play_test::step(solution.ticks_per_frame);
    }
}

/* Follows the hints alone from the world as it stands, each command played as the search plays
   it, the world left as it was while a hint thinks; with `afresh` every hint is searched for
   anew. Returns the commands taken, or -1 when a hint is missing or the level is not won. */
int follow_hints(bool afresh, const std::string &what)
{
    static World before;
    for (int taken = 0; taken < SEARCH_MAX_STEPS; taken++) {
        if (world.level.level_completed)
            return taken;
        if (world.level.level_lost || world.falling) {
            ADD_FAILURE() << what << ": lost after " << taken << " hinted commands";
            return -1;
        }
        if (afresh)
            hint_reset(session);
        before = world;
        int code = -1;
        const HintOutcome outcome = play_test::ask_hint(&code);
        if (outcome != HINT_COMMAND) {
            ADD_FAILURE() << what << ": hint " << taken << " is no command but " << outcome;
            return -1;
        }
        EXPECT_EQ(std::memcmp(&before.actors, &world.actors, sizeof before.actors), 0) << what;
        EXPECT_EQ(std::memcmp(&before.motion, &world.motion, sizeof before.motion), 0) << what;
        EXPECT_EQ(before.clock, world.clock) << what;
        int column, row, shown_code;
        EXPECT_TRUE(hint_shown(session, &column, &row, &shown_code) && shown_code == code) << what;
        run_command(world, code, 2, nullptr);
        hint_cancel(session);          // the robot took a command: the hint shown is stale
        EXPECT_FALSE(hint_shown(session, &column, &row, &shown_code)) << what;
    }
    ADD_FAILURE() << what << ": not completed after " << SEARCH_MAX_STEPS << " hinted commands";
    return -1;
}

/* Each shipped level, from the staged game's own folder, where its maps and solutions are. */
class ShippedLevel : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        std::filesystem::current_path(TIRVEX_GAME_DIR);
        forget_records_state();
    }
    void TearDown() override
    {
        hint_pace_by_states(session, false);
        hint_reset(session);
        undo_clear(session);
        std::filesystem::current_path(saved_dir);
    }
    const std::filesystem::path saved_dir = std::filesystem::current_path();
};

} // namespace

TEST_P(ShippedLevel, IsWonByItsSolutionUndoAndItsHintsAndKeepsItsShape)
{
    const int level = GetParam();
    char path[64], map_path[64], fault[SOLUTION_FAULT_SIZE];
    std::snprintf(path, sizeof path, "solutions/map%02d.txt", level);
    std::snprintf(map_path, sizeof map_path, "maps/map%02d.txt", level);
    const std::string map = game_test::read_file(map_path);
    ASSERT_TRUE(read_solution(path, &solution, fault, sizeof fault)) << fault;
    ASSERT_EQ(solution.ticks_per_frame, 2);
    const int32_t ticks = solution.ticks_per_frame;

    // The par is the solution's moves and game time, as the game reads it.
    const LevelPar par = level_par(session, level);
    EXPECT_EQ(par.state, PAR_KNOWN);
    EXPECT_TRUE(par.moves == solution.moves.count && par.ticks == solution.end_frame * ticks);

    // Played straight as --watch plays it, the solution completes the level on its last frame
    // and no sooner, each command taken on the frame it is typed.
    start_fresh(level);
    int32_t next = 0;
    for (int32_t frame = 0; frame < solution.end_frame; frame++) {
        play_solution_frame(world, solution, frame, &next);
        ASSERT_EQ(world.queue.read_index, world.queue.write_index) << "a command waits, frame " << frame;
        ASSERT_TRUE(solution_agrees(solution, path, frame + 1, world.level.level_completed,
                                    world.level.level_lost, fault, sizeof fault)) << fault;
    }
    ASSERT_TRUE(world.level.level_completed && next == solution.moves.count);
    static World finished, before;
    finished = world;

    // At four points every other command is tried in turn and played on until the level is lost
    // or for three seconds of game time, then undone: the world must be the solution's there,
    // byte for byte. The solution then goes on from the world undo gave back and must win on the
    // very frame, in the very world, it does when played straight, and the session's log must
    // hold its way, frame for frame: the wrong commands taken back, and their frames with them.
    for (int point = 1; point <= 4; point++) {
        const int k = solution.moves.count * point / 5;
        const LoggedCommand &move = log_at(solution.moves, k);
        const std::string where = "level " + std::to_string(level) + ", command " + std::to_string(k);
        start_fresh(level);
        next = 0;
        play_frames(0, move.frame, &next);
        probe_floor(world);         // the frame of command k, up to the robot's command
        before = world;
        for (int32_t code : move_codes) {
            if (code == move.code)
                continue;
            driver_push(world, code);
            play_test::step(ticks);
            for (int i = 0; i < 300 / ticks && !world.level.level_lost; i++)
                play_test::step(ticks);
            ASSERT_TRUE(undo_step_back(session));
            ASSERT_EQ(difference(world, before), "") << where << ", wrong code " << code;
            EXPECT_STREQ(world.message.text, "Undo: 1 move back");
            EXPECT_EQ(undo_steps(session), k) << where;
        }
        // A step costs its changes, not the 24 KB of the whole world.
        if (k >= 2) {
            EXPECT_LT((undo_bytes(session) - sizeof(World)) / (k - 1), 2000u) << where;
        }
        driver_push(world, move.code);
        play_test::step(ticks);
        next = k + 1;
        play_frames(move.frame + 1, solution.end_frame - 1, &next);
        ASSERT_FALSE(world.level.level_completed) << where << ": won early";
        play_frames(solution.end_frame - 1, solution.end_frame, &next);
        EXPECT_EQ(difference(world, finished), "") << where;
        bool logged = session.log.count == solution.moves.count;
        for (int i = 0; logged && i < session.log.count; i++)
            logged = log_at(session.log, i).frame == log_at(solution.moves, i).frame &&
                     log_at(session.log, i).code == log_at(solution.moves, i).code;
        EXPECT_TRUE(logged) << where << ": the session's log is not the solution's way";
    }

    // Followed alone from the first frame, the hint wins the level; in a level whose runners move
    // while the robot stands, and in one of pushes, searched afresh before every command too.
    // The search is paced in states, as in a demo, not in the machine's seconds.
    hint_pace_by_states(session, true);
    for (bool afresh : {false, true}) {
        if (afresh && level != 5 && level != 6)
            continue;
        search_start_world(world, map.c_str());
        hint_reset(session);
        EXPECT_GT(follow_hints(afresh, "level " + std::to_string(level) + (afresh ? " afresh" : "")), 0);
    }

    // From level 5 on (4 is a first lesson) the level's actors earn their places: one matters
    // (the level cannot be won without it, or its way grows), or the way without them all is 5
    // commands shorter. The solution's first line gives the shortest way's commands.
    const std::string text = game_test::read_file(path);
    int moves = 0, waits = 0;
    if (level >= 5 && std::sscanf(text.c_str() + text.find("\": ") + 3, "%d moves and %d waits",
                                  &moves, &waits) == 2) {
        const SearchLimits limits{ticks, 4000000, SEARCH_MAX_STEPS, 256 << 20, 0};
        ASSERT_TRUE(weigh_actors(map.c_str(), limits, moves + waits, true, &weights));
        EXPECT_TRUE(actors_earn_their_places(weights))
            << weights.matter << " of " << weights.count << " actors matter, "
            << actors_saving(weights) << " commands saved without them all";
    }
    // Spared the searches its way settles, the weighing finds the same actors matter and the
    // same kinds change the way (the generator's words and rules read no more of it).
    if (level == 5 || level == 8) {
        static SearchResult way;
        static ActorWeights spared;
        const SearchLimits limits{ticks, 4000000, SEARCH_MAX_STEPS, 256 << 20, 0};
        ASSERT_TRUE(search_level(map.c_str(), limits, &way));
        const WeighShortcut shortcut{&way, [](const ActorWeight &, const void *) { return false; },
                                     nullptr};
        ASSERT_TRUE(weigh_actors(map.c_str(), limits, way.step_count, false, &weights));
        ASSERT_TRUE(weigh_actors(map.c_str(), limits, way.step_count, false, &spared, &shortcut));
        EXPECT_TRUE(spared.matter == weights.matter && spared.states <= weights.states);
        for (int kind : {CONTENT_MIBO, CONTENT_ZIPPER, CONTENT_JAR, CONTENT_MINE}) {
            bool changes[2] = {};
            for (int i = 0; i < weights.count; i++) {
                changes[0] |= weights.actors[i].content == kind && changes_the_way(weights.actors[i], weights);
                changes[1] |= spared.actors[i].content == kind && changes_the_way(spared.actors[i], spared);
            }
            EXPECT_EQ(changes[0], changes[1]) << "kind " << kind;
        }
    }

    // The editor reads and writes the map to the same text, and finds its sides as they are.
    ASSERT_EQ(read_level_text(map.data(), map.size(), &edited).fault, MAP_OK);
    EXPECT_EQ(level_text(edited), map);
    update_sides(&edited);
    EXPECT_EQ(level_text(edited), map);
}

INSTANTIATE_TEST_SUITE_P(Maps, ShippedLevel, ::testing::Range(1, 20));
