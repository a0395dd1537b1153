/* undo_keys_test.cpp: Backspace and U in play, typed and held, after a loss and a restart, and
   the hint and records keys beside them, one handle_game_keys call a frame as play makes it. */
#include <gtest/gtest.h>

#include "game_test_support.h"
#include "play/play_session.h"
#include "render_test_support.h"
#include "app/play_loop.h"
#include "base/timer.h"
#include "ui/game_keys.h"
#include "ui/level_records.h"
#include "render/message_line.h"
#include "play/undo_history.h"
#include "world/actor.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/player.h"
#include "world/player_motion.h"
#include "world/world_clock.h"

namespace {

using namespace game_test;

void keep_command()
{
    undo_keep_command(session);
}

/* What the play loop does as the robot takes a command: the command kept for undo and counted
   into the attempt's record. */
void keep_and_count_command()
{
    undo_keep_command(session);
    records_note_command(session.attempt);
}

/* What a frame does as the robot takes a command, as the test has set it. */
void (*on_command)() = keep_command;

class UndoKeys : public GameDirectoryTest {
protected:
    void SetUp() override
    {
        GameDirectoryTest::SetUp();
        add_map("play_walk.txt", {1});
        add_map("play_mine.txt", {2});
        reset_display_options();
        session.not_recorded = false;
        enter(1);
        on_command = keep_command;
    }

    void TearDown() override
    {
        on_command = keep_command;
        undo_clear(session);
        records_panel_held = false;
        GameDirectoryTest::TearDown();
    }

    /* A level entered as the play loop enters it, played until the robot may move. */
    void enter(int level)
    {
        session.level = level;
        start_level(world, session.level);
        undo_clear(session);
        undo_attempt_started(session);
        for (int i = 0; i < 200 && world.intro; i++)
            frame();
        frame();
    }

    /* One frame as the play loop runs it, after typing the keys given; returns the keys' answer. */
    int frame(std::initializer_list<int> typed = {}, int ticks = 2)
    {
        type_keys(typed);
        probe_floor(world);
        const int confirmed = handle_game_keys();
        if (command_ready(world))
            on_command();
        player_command(world);
        run_level_clock(world, ticks);
        update_player(world, ticks);
        note_frame_ticks(ticks);
        return confirmed;
    }

    /* Frames until the robot stands at rest. */
    void settle()
    {
        for (int i = 0; i < 100 && world.motion.jump_ctr > -5; i++)
            frame();
    }

    int column() { return world.motion.playerL[0]; }
    int row() { return world.motion.playerL[1]; }
    std::string message() { return world.message.text ? world.message.text : "(none)"; }

    Keep<int> level{session.level};
    Keep<bool> recorded{session.not_recorded};
};

} // namespace

TEST_F(UndoKeys, BackspaceAndUStepBackOneCommandEachAndSaySo)
{
    frame({KEY_BACKSPACE});
    EXPECT_EQ(message(), "Nothing to undo");
    EXPECT_EQ(world.message.ticks_left, 100 - 2);

    // The sweet one square ahead, the teleport beyond it.
    frame({KEY_UP});
    settle();
    ASSERT_TRUE(row() == 1 && world.level.sweets_eaten == 1);
    frame({KEY_UP});
    settle();
    ASSERT_TRUE(world.level.level_completed);

    frame({KEY_U});
    EXPECT_TRUE(row() == 1 && !world.level.level_completed && world.level.sweets_eaten == 1);
    EXPECT_EQ(message(), "Undo: 1 move back");
    frame({KEY_BACKSPACE});
    EXPECT_TRUE(row() == 0 && world.level.sweets_eaten == 0 && world.actors.actors[1].gone == 0);
    EXPECT_EQ(message(), "Undo: 2 moves back");
    EXPECT_EQ(undo_steps(session), 0);

    // An arrow typed after Backspace in the same frame is the next command.
    frame({KEY_UP});
    settle();
    frame({KEY_BACKSPACE, KEY_UP});
    EXPECT_EQ(undo_steps(session), 1) << "stepped back, and the step taken again kept";
    settle();
    EXPECT_TRUE(row() == 1 && world.level.sweets_eaten == 1) << "the step is taken again";
}

/* Held, the key steps back at the press, again 40 ticks later and every 15 ticks after, however
   fast the keyboard repeats its typed key meanwhile. */
TEST_F(UndoKeys, HeldUndoRepeatsAtItsOwnPaceBackToTheStart)
{
    const fixed heading = world.motion.player_rot_y;
    for (int i = 0; i < 12; i++)
        frame({KEY_LEFT});
    ASSERT_EQ(undo_steps(session), 12);

    key[KEY_BACKSPACE] = 1;
    std::vector<int> undone_at;
    for (int f = 0; f <= 50; f++) {
        const int before = undo_steps(session);
        frame({KEY_BACKSPACE});     // the keyboard's own repeat, every frame
        if (undo_steps(session) < before)
            undone_at.push_back(f);
    }
    EXPECT_EQ(undone_at, (std::vector<int>{0, 20, 28, 35, 43, 50}));
    key[KEY_BACKSPACE] = 0;
    frame();
    frame({KEY_BACKSPACE});
    EXPECT_EQ(undo_steps(session), 5) << "a new press steps back at once";

    key[KEY_U] = 1;
    for (int f = 0; f < 100 && undo_steps(session) > 0; f++)
        frame();
    key[KEY_U] = 0;
    EXPECT_EQ(world.motion.player_rot_y, heading);
    frame();
    frame({KEY_U});
    EXPECT_EQ(message(), "Nothing to undo");
}

/* Space after a loss and R restart the level; each restart is undone as a step of its own, and
   the loss behind it comes back before the command that led to it. */
TEST_F(UndoKeys, RestartsAfterALossAndByRAreUndone)
{
    enter(2);   // a mine straight ahead
    frame({KEY_UP});
    settle();
    ASSERT_TRUE(world.level.level_lost);
    const int mine = 1;
    ASSERT_EQ(world.actors.actors[mine].type, ACTOR_MINE);

    hold_keys({KEY_SPACE});
    frame();
    release_all_keys();
    ASSERT_TRUE(!world.level.level_lost && world.intro);
    frame({KEY_BACKSPACE});
    EXPECT_EQ(message(), "Undo: restart undone");
    EXPECT_TRUE(world.level.level_lost && !world.intro && row() == 1);
    frame({KEY_BACKSPACE});
    EXPECT_EQ(message(), "Undo: 1 move back");
    EXPECT_TRUE(!world.level.level_lost && row() == 0 && world.actors.actors[mine].timer == 0);

    // Turn to the sweet, then R held for several frames: one restart to undo.
    frame({KEY_RIGHT});
    hold_keys({KEY_R});
    for (int i = 0; i < 5; i++)
        frame();
    release_all_keys();
    EXPECT_EQ(undo_steps(session), 2);
    frame({KEY_BACKSPACE});
    EXPECT_EQ(message(), "Undo: restart undone");
    EXPECT_EQ(world.motion.player_rot_y, itofix(-64)) << "turned right, as before the restart";
}

TEST_F(UndoKeys, TabHeldShowsTheRecordsPanelAndIAsksForAHintWithoutACommand)
{
    hold_keys({KEY_TAB});
    frame();
    EXPECT_TRUE(records_panel_held);
    frame();
    EXPECT_TRUE(records_panel_held);
    release_all_keys();
    frame();
    EXPECT_FALSE(records_panel_held);

    frame({KEY_I});
    EXPECT_EQ(undo_steps(session), 0) << "a hint is no command of the robot's";
    EXPECT_EQ(command_queue_pop(world), 0);
}

/* An undone restart gives back the attempt it ended, its moves counted again: the undo of a
   restart used to leave the new attempt's count (0 moves), so that a completion recorded fewer
   moves than were made; and undone restarts one after the other each give back their own. */
TEST_F(UndoKeys, AnUndoneRestartGivesBackTheAttemptsMoves)
{
    forget_records_state();
    on_command = keep_and_count_command;
    records_attempt_started(1);
    frame({KEY_UP});                // the sweet
    settle();
    ASSERT_EQ(records_attempt_moves(session.attempt), 1);
    auto restart = [&] {
        hold_keys({KEY_R});
        frame();
        release_all_keys();
        for (int i = 0; i < 200 && world.intro; i++)
            frame();
        frame();
    };
    restart();
    EXPECT_EQ(records_attempt_moves(session.attempt), 0);
    frame({KEY_LEFT});
    settle();
    restart();
    frame({KEY_BACKSPACE});
    EXPECT_EQ(message(), "Undo: restart undone");
    EXPECT_EQ(records_attempt_moves(session.attempt), 1) << "the turn before the second restart";
    frame({KEY_BACKSPACE});
    EXPECT_EQ(records_attempt_moves(session.attempt), 0);
    frame({KEY_BACKSPACE});
    EXPECT_EQ(message(), "Undo: restart undone");
    EXPECT_EQ(records_attempt_moves(session.attempt), 1) << "the step to the sweet before the first restart";
    EXPECT_EQ(session.attempt.undos, 3);

    frame({KEY_UP});                // the teleport
    settle();
    ASSERT_TRUE(world.level.level_completed);
    EXPECT_EQ(records_attempt_moves(session.attempt), 2);
    records_level_completed(1, records_attempt_ticks(session.attempt, world.clock));
    EXPECT_EQ(level_record(1).moves[RECORD_HELPED], 2);
    forget_records_state();
}
