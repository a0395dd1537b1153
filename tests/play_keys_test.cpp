/* play_keys_test.cpp: a level played by its keys, one frame at a time as the play loop runs it:
   Backspace and U, typed and held, after a loss and a restart; the hint, records, pause and map
   heights keys; what play teaches (the first-loss line once per player); and the ideas shown. */
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/datafile.h"
#include "play_test_support.h"
#include "ui/demo_input.h"
#include "ui/key_card.h"
#include "ui/lessons_file.h"
#include "ui/level_select.h"
#include "world/actor.h"
#include "world/level_state.h"
#include "world/world_clock.h"

namespace {

using namespace game_test;

class PlayKeys : public play_test::PlayTest {
protected:
    void SetUp() override
    {
        PlayTest::SetUp();
        forget_lessons_state();
        forget_records_state();
        pause_requested = false;
        enter(1);
    }
    void TearDown() override
    {
        demo_mode = DEMO_OFF;
        pause_requested = false;
        forget_lessons_state();
        forget_records_state();
        PlayTest::TearDown();
    }

    /* Level 2's mine, one step ahead: a loss. */
    void lose()
    {
        enter(2);
        frame({KEY_UP});
        for (int i = 0; i < 300 && !world.level.level_lost; i++)
            frame();
        ASSERT_TRUE(world.level.level_lost);
    }

    /* A restart by the key held, played until the robot may move again. */
    void restart(int key = KEY_R)
    {
        hold({key});
        for (int i = 0; i < 200 && world.intro; i++)
            frame();
        frame();
    }

    std::string note() { return lessons_note() ? lessons_note() : "(none)"; }
};

} // namespace

TEST_F(PlayKeys, BackspaceAndUStepBackOneCommandEachAndSaySo)
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
    EXPECT_TRUE(row() == 0 && world.level.sweets_eaten == 0 && world.actors.actors[1].gone == 0 &&
                message() == "Undo: 2 moves back" && undo_steps(session) == 0);

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
TEST_F(PlayKeys, HeldUndoRepeatsAtItsOwnPaceBackToTheStart)
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

    hold({KEY_U}, 100);
    EXPECT_EQ(world.motion.player_rot_y, heading);
    frame({KEY_U});
    EXPECT_EQ(message(), "Nothing to undo");
}

/* Space after a loss and R restart the level; each restart is undone as a step of its own, and
   the loss behind it comes back before the command that led to it. */
TEST_F(PlayKeys, RestartsAfterALossAndByRAreUndone)
{
    lose();
    const int mine = 1;
    ASSERT_EQ(world.actors.actors[mine].type, ACTOR_MINE);
    hold({KEY_SPACE});
    ASSERT_TRUE(!world.level.level_lost && world.intro);
    frame({KEY_BACKSPACE});
    EXPECT_EQ(message(), "Undo: restart undone");
    EXPECT_TRUE(world.level.level_lost && !world.intro && row() == 1);
    frame({KEY_BACKSPACE});
    EXPECT_EQ(message(), "Undo: 1 move back");
    EXPECT_TRUE(!world.level.level_lost && row() == 0 && world.actors.actors[mine].timer == 0);

    // Turn to the sweet, then R held for several frames: one restart to undo.
    frame({KEY_RIGHT});
    hold({KEY_R}, 5);
    EXPECT_EQ(undo_steps(session), 2);
    frame({KEY_BACKSPACE});
    EXPECT_EQ(message(), "Undo: restart undone");
    EXPECT_EQ(world.motion.player_rot_y, itofix(-64)) << "turned right, as before the restart";
}

/* An undone restart gives back the attempt it ended, its moves counted again: the undo of a
   restart used to leave the new attempt's count (0 moves), so that a completion recorded fewer
   moves than were made; and undone restarts one after the other each give back their own. Tab
   held shows the records panel, and I asks for a hint, which is no command. */
TEST_F(PlayKeys, AnUndoneRestartGivesBackTheAttemptsMovesAndTabAndIAreNoCommands)
{
    hold({KEY_TAB}, 2);
    EXPECT_TRUE(records_panel_held);
    frame();
    EXPECT_FALSE(records_panel_held);
    frame({KEY_I});
    EXPECT_EQ(undo_steps(session), 0) << "a hint is no command of the robot's";

    frame({KEY_UP});                // the sweet
    settle();
    ASSERT_EQ(records_attempt_moves(session.log), 1);
    restart();
    EXPECT_EQ(records_attempt_moves(session.log), 0);
    frame({KEY_LEFT});
    settle();
    restart();
    frame({KEY_BACKSPACE});
    EXPECT_EQ(message(), "Undo: restart undone");
    EXPECT_EQ(records_attempt_moves(session.log), 1) << "the turn before the second restart";
    frame({KEY_BACKSPACE});
    EXPECT_EQ(records_attempt_moves(session.log), 0);
    frame({KEY_BACKSPACE});
    EXPECT_EQ(records_attempt_moves(session.log), 1) << "the step to the sweet before the first restart";
    EXPECT_EQ(session.attempt.undos, 3);

    frame({KEY_UP});                // the teleport
    settle();
    ASSERT_TRUE(world.level.level_completed && records_attempt_moves(session.log) == 2);
    records_level_completed(session, 1, records_attempt_ticks(session.attempt, world.clock));
    EXPECT_EQ(level_record(session, 1).moves[RECORD_HELPED], 2);
}

/* The first loss ever adds its line under the message, which stays as it was; the lesson is
   written to the player's folder at once; the line goes with the loss (a restart, or an undo)
   and never comes again, neither on the next loss nor in a later run. */
TEST_F(PlayKeys, TheFirstLossTeachesUndoOncePerPlayer)
{
    EXPECT_EQ(note(), "(none)");
    lose();
    EXPECT_EQ(note(), "Backspace undoes it, Space tries again, I asks for a hint");
    EXPECT_EQ(message(), "You are dead! Probably cause you are a idiot");
    EXPECT_NE(read_file(dir / "tirvex-lessons.txt").find("\nfirst-loss\n"), std::string::npos);
    for (int i = 0; i < 100; i++)
        frame();
    EXPECT_EQ(message(), "(none)") << "the message has had its time";
    EXPECT_NE(note(), "(none)") << "the line stays while the level is lost";
    frame({KEY_BACKSPACE});
    EXPECT_FALSE(world.level.level_lost);
    EXPECT_EQ(note(), "(none)") << "an undo out of the loss ends it";
    lose();
    EXPECT_EQ(note(), "(none)") << "a second loss of the same player";

    forget_lessons_state();     // a later run reads the file
    lose();
    EXPECT_EQ(note(), "(none)");
    for (const auto &entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find("tirvex-lessons.txt."), std::string::npos)
            << "no temporary file left: " << entry.path();
}

/* A lessons file the game cannot read is named on standard error, never written over, and
   teaches as though empty; a demo played back teaches nothing and writes nothing. */
TEST_F(PlayKeys, AnUnreadableLessonsFileIsKeptAndPlaybackTeachesNothing)
{
    write_file(dir / "tirvex-lessons.txt", "tirvex-lessons 9\nwhatever\n");
    lose();
    EXPECT_NE(note(), "(none)");
    EXPECT_EQ(read_file(dir / "tirvex-lessons.txt"), "tirvex-lessons 9\nwhatever\n");

    fs::remove(dir / "tirvex-lessons.txt");
    forget_lessons_state();
    for (DemoMode mode : {DEMO_PLAYBACK, DEMO_TIMEDEMO}) {
        enter(2);
        demo_mode = mode;
        lessons_frame_done(session);    // the loss as a playback's frame meets it
        world.level.level_lost = 1;
        lessons_frame_done(session);
        EXPECT_EQ(note(), "(none)");
        demo_mode = DEMO_OFF;
    }
    EXPECT_FALSE(fs::exists(dir / "tirvex-lessons.txt"));
}

/* After a loss the hint key says to undo first, with the undo key keys.cfg gives, and counts
   no hint; before it, it asks for a hint as ever. */
TEST_F(PlayKeys, TheHintKeyAfterALossSaysUndoFirst)
{
    lose();
    frame({KEY_I});
    EXPECT_EQ(message(), "undo first: Backspace");
    EXPECT_EQ(session.attempt.hints, 0) << "no hint was given";
    write_file(dir / "keys.cfg", "undo = Z\n");
    ASSERT_EQ(load_key_map((dir / "keys.cfg").c_str(), stderr), 0);
    frame({KEY_I});
    EXPECT_EQ(message(), "undo first: Z");
    restart(KEY_SPACE);
    frame({KEY_I});
    EXPECT_EQ(session.attempt.hints, 1) << "out of the loss, I is the hint again";
}

/* P asks the play loop for a pause and leaves the keys typed after it for the pause; in a
   recording the pause key is not written (the playback goes on as though it had not come), and
   a playback never pauses. A pause asked for and not taken (the editor's playtest has none)
   lapses at the next frame's keys, which are read as ever. */
TEST_F(PlayKeys, ThePauseKeyIsNeitherRecordedNorPlayedBackNorHoldsKeysBack)
{
    const std::string demo = (dir / "pause.demo").string();
    char fault[DEMO_FAULT_SIZE];
    ASSERT_TRUE(demo_record_start(demo.c_str(), fault, sizeof fault)) << fault;
    type_keys({KEY_LEFT, KEY_P, KEY_RIGHT});
    read_game_keys(session, actions);
    EXPECT_TRUE(pause_requested);
    EXPECT_TRUE(keypressed()) << "Right waits for the pause";
    demo_frame_done(session);
    demo_finish();
    clear_keybuf();
    const std::string text = read_file(demo);
    EXPECT_NE(text.find(" r" + std::to_string(KEY_LEFT << 8)), std::string::npos) << text;
    EXPECT_EQ(text.find(" r" + std::to_string(KEY_P << 8)), std::string::npos) << text;
    EXPECT_EQ(text.find(" r" + std::to_string(KEY_RIGHT << 8)), std::string::npos) << text;

    // A demo of a version that knew no pause holds P as a key that did nothing.
    pause_requested = false;
    write_file(dir / "old.demo", "tirvex-demo 1\nlevel 1\nf r" + std::to_string(KEY_P << 8) +
                                     " t2\nend x 1 0 0\n");
    ASSERT_TRUE(demo_playback_start((dir / "old.demo").c_str(), false, fault, sizeof fault)) << fault;
    ASSERT_EQ(demo_select_level([](void *) { return -1; }, nullptr, session), 1);
    read_game_keys(session, actions);
    EXPECT_EQ(demo_ticks_since_last(), 2) << "the frame was read whole";
    EXPECT_FALSE(pause_requested);
    demo_finish();

    enter(1);
    frame({KEY_P});
    EXPECT_TRUE(pause_requested);
    frame({KEY_UP});
    EXPECT_FALSE(pause_requested);
    settle();
    EXPECT_EQ(row(), 1) << "Up was read";
    // keys.cfg may give P to another action; the pause then has the key it is given.
    write_file(dir / "keys.cfg", "jump = P\npause = F\n");
    ASSERT_EQ(load_key_map((dir / "keys.cfg").c_str(), stderr), 0);
    frame({KEY_P});
    EXPECT_FALSE(pause_requested);
    frame({KEY_F});
    EXPECT_TRUE(pause_requested);
}

/* L switches the map panel's heights, and says so. */
TEST_F(PlayKeys, LSwitchesTheMapHeights)
{
    for (bool on : {true, false}) {
        frame({KEY_L});
        EXPECT_EQ(display_options.map_heights, on);
        EXPECT_EQ(message(), on ? "Map heights on" : "Map heights off");
    }
}

/* Undo gives the level clock back, and a completion that used it is recorded as helped, never
   as the player's own best: the time undone is not in it. */
TEST_F(PlayKeys, UndoGivesTheClockBackAndItsCompletionIsRecordedAsHelped)
{
    const int start = level_clock_left(world);
    frame({KEY_UP});                // the sweet
    for (int i = 0; i < 200; i++)
        frame();                    // four seconds of game time
    ASSERT_LE(level_clock_left(world), start - 400);
    frame({KEY_BACKSPACE});
    EXPECT_GT(level_clock_left(world), start - 100) << "the clock as it stood before the step";
    EXPECT_EQ(world.level.sweets_eaten, 0);
    frame({KEY_UP});
    settle();
    frame({KEY_UP});
    settle();
    ASSERT_TRUE(world.level.level_completed);
    const int ticks = records_attempt_ticks(session.attempt, world.clock);
    EXPECT_LT(ticks, 400) << "the four seconds undone are not counted";
    records_level_completed(session, 1, ticks);
    EXPECT_EQ(level_record(session, 1).ticks[RECORD_HELPED], ticks);
    EXPECT_EQ(level_record(session, 1).moves[RECORD_HELPED], 2);
    EXPECT_EQ(level_record(session, 1).moves[RECORD_UNHELPED], RECORD_NONE) << "not the player's own best";
}

/* The frame's ticks were counted before its keys: a restart among them gives the new attempt
   its whole clock (they used to run it down by up to a frame's ticks). While the hint thinks,
   the world is held and what it would have done is not heard: a mine a frame from going off
   stays silent (it used to sound every frame). */
TEST_F(PlayKeys, ARestartKeepsTheWholeClockAndAHeldWorldIsSilent)
{
    enter(2);
    const int limit = 3 * 6000;     // the map's three minutes
    ASSERT_LT(level_clock_left(world), limit);
    hold_keys({KEY_R});
    frame({}, 3);
    release_all_keys();
    EXPECT_EQ(level_clock_left(world), limit);

    // A zipper that runs into a mine once it has waited, the robot out of the blast's way.
    write_file(dir / "maps" / "map03.txt",
               "a zipper sets off a mine\nFuse\n7\nminutes:\n3\n\nsquares:\n7\n"
               "0 1 0 0 4 64 -1 -1 -1 -1\n1 1 0 0 0 0 -1 -1 -1 -1\n2 1 0 0 0 0 -1 -1 -1 -1\n"
               "3 1 0 0 6 0 -1 -1 -1 -1\n0 1 2 0 1 64 -1 -1 -1 -1\n1 1 2 0 7 0 -1 -1 -1 -1\n"
               "2 1 2 0 2 0 -1 -1 -1 -1\n");
    enter(3, false);                // the zipper runs during the camera's swoop
    auto blasts = [](const World &w) { return w.cues.plays[DAT_SAMPLE_EXPLOSION]; };
    auto before = std::make_unique<World>(world);
    for (int i = 0; i < 300 && blasts(world) == blasts(*before); i++) {
        *before = world;
        frame();
    }
    ASSERT_GT(blasts(world), blasts(*before)) << "the mine never went off";
    world = *before;                // the frame before the blast
    hint_reset(session);            // no way known from before: the hint must think
    frame({KEY_I});
    ASSERT_EQ(world.clock, before->clock) << "the world was not held";
    EXPECT_EQ(blasts(world), blasts(*before));
}

/* Each level's idea is its map's first line, read again when the level is entered again: the
   play's, and the level select's for every listed level, drawn beside the list right of the
   bars and level with the cursor's; the list itself is drawn as before, and a level without an
   idea adds nothing. */
TEST_F(PlayKeys, TheIdeasAreTheMapsFirstLinesShownBesideTheList)
{
    EXPECT_STREQ(level_idea(1),
                 "test map: a sweet and then the teleport straight ahead, between raised rails");
    EXPECT_STREQ(level_idea(2), "test map: a mine straight ahead; the sweet and the teleport to the right");
    write_file(dir / "maps/map02.txt", "Tirvex level 2: changed\n" +
                                           read_file(dir / "maps/map01.txt").substr(77));
    EXPECT_STRNE(level_idea(2), "changed") << "read once while the level is played";
    lessons_level_started();
    EXPECT_STREQ(level_idea(2), "changed");
    EXPECT_STREQ(level_idea(3), "") << "no map";

    auto select = std::make_unique<LevelSelect>();
    open_level_select(select.get());
    ASSERT_EQ(select->list.count, 2);
    EXPECT_STREQ(select->list.level_ideas[1], level_idea(1));
    EXPECT_STREQ(select->list.level_ideas[2], "changed");
    BITMAP *with = create_bitmap_ex(8, 640, 480), *without = create_bitmap_ex(8, 640, 480);
    clear_bitmap(with);
    clear_bitmap(without);
    select->cursor = 2;
    draw_level_select(with, select.get());
    select->list.level_ideas[2][0] = '\0';
    draw_level_select(without, select.get());
    int beside = 0, elsewhere = 0, top = 480, bottom = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            if (getpixel(with, x, y) != getpixel(without, x, y)) {
                (x > 640 / 3 + 220 ? beside : elsewhere)++;
                top = y < top ? y : top;
                bottom = y > bottom ? y : bottom;
            }
    EXPECT_GT(beside, 100);
    EXPECT_EQ(elsewhere, 0) << "the list is as it was";
    EXPECT_EQ(top, 20 * 2 + 35 - 4) << "level with the cursor's bar";
    EXPECT_LT(bottom, 480 - 8);
    destroy_bitmap(with);
    destroy_bitmap(without);
}
