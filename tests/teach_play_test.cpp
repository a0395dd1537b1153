/* teach_play_test.cpp: what play teaches and the pause key, one handle_game_keys call a frame as
   play makes it: the first-loss line once per player, the hint key after a loss, the pause key
   in play, in a recording and in playback, the map heights key, and the ideas shown. */
#include <gtest/gtest.h>

#include <memory>

#include "game_test_support.h"
#include "base/datafile.h"
#include "play/hint.h"
#include "play/play_session.h"
#include "play/undo_history.h"
#include "render_test_support.h"
#include "ui/demo_input.h"
#include "ui/game_keys.h"
#include "ui/key_card.h"
#include "ui/key_map.h"
#include "ui/lessons.h"
#include "ui/lessons_file.h"
#include "ui/level_records.h"
#include "ui/level_select.h"
#include "world/level_rules.h"
#include "world/level_state.h"
#include "world/player.h"
#include "world/player_motion.h"
#include "world/world_clock.h"

namespace {

using namespace game_test;

class TeachPlay : public GameDirectoryTest {
protected:
    void SetUp() override
    {
        GameDirectoryTest::SetUp();
        add_map("play_walk.txt", {1});
        add_map("play_mine.txt", {2});
        reset_display_options();
        reset_key_map();
        forget_lessons_state();
        pause_requested = false;
    }

    void TearDown() override
    {
        demo_mode = DEMO_OFF;
        pause_requested = false;
        // A hint still thinking would hold the next test's world still.
        hint_cancel(session);
        undo_clear(session);
        forget_lessons_state();
        reset_key_map();
        GameDirectoryTest::TearDown();
    }

    /* A level entered as the play loop enters it, played until the robot may move when
       `settled`. */
    void enter(int level, bool settled = true)
    {
        session.level = level;
        start_level(world, session.level);
        undo_clear(session);
        undo_attempt_started(session);
        records_attempt_started(level);
        lessons_level_started();
        for (int i = 0; settled && i < 200 && world.intro; i++)
            frame();
        if (settled)
            frame();
    }

    /* One frame as the play loop runs it, after typing the keys given. */
    int frame(std::initializer_list<int> typed = {}, int ticks = 2)
    {
        type_keys(typed);
        probe_floor(world);
        const int confirmed = handle_game_keys();
        session_step(session, ticks);
        lessons_frame_done(session);
        note_frame_ticks(ticks);
        return confirmed;
    }

    /* Level 2's mine, one step ahead: a loss. */
    void lose()
    {
        frame({KEY_UP});
        for (int i = 0; i < 300 && !world.level.level_lost; i++)
            frame();
        ASSERT_TRUE(world.level.level_lost);
    }

    void restart_held()
    {
        hold_keys({KEY_SPACE});
        frame();
        release_all_keys();
        for (int i = 0; i < 200 && world.intro; i++)
            frame();
    }

    std::string note() { return lessons_note() ? lessons_note() : "(none)"; }
    std::string message() { return world.message.text ? world.message.text : "(none)"; }

    Keep<int> level{session.level};
};

} // namespace

/* The first loss ever adds its line under the message, which stays as it was; the lesson is
   written to the player's folder at once; the line goes with the loss (a restart) and never
   comes again, neither on the next loss nor in a later run. */
TEST_F(TeachPlay, TheFirstLossTeachesUndoOncePerPlayer)
{
    enter(2);
    EXPECT_EQ(note(), "(none)");
    lose();
    EXPECT_EQ(note(), "Backspace undoes it, Space tries again, I asks for a hint");
    EXPECT_EQ(message(), "You are dead! Probably cause you are a idiot");
    EXPECT_NE(read_file(dir / "tirvex-lessons.txt").find("\nfirst-loss\n"), std::string::npos);
    for (int i = 0; i < 100; i++)
        frame();
    EXPECT_EQ(message(), "(none)") << "the message has had its time";
    EXPECT_NE(note(), "(none)") << "the line stays while the level is lost";
    restart_held();
    EXPECT_FALSE(world.level.level_lost);
    EXPECT_EQ(note(), "(none)");
    lose();
    EXPECT_EQ(note(), "(none)") << "a second loss of the same player";

    forget_lessons_state();     // a later run reads the file
    enter(2);
    lose();
    EXPECT_EQ(note(), "(none)");
    for (const auto &entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find("tirvex-lessons.txt."), std::string::npos)
            << "no temporary file left: " << entry.path();
}

/* An undo out of the loss ends the line as a restart does. */
TEST_F(TeachPlay, AnUndoOutOfTheFirstLossEndsItsLine)
{
    enter(2);
    lose();
    ASSERT_NE(note(), "(none)");
    frame({KEY_BACKSPACE});
    EXPECT_FALSE(world.level.level_lost);
    EXPECT_EQ(note(), "(none)");
}

/* A lessons file the game cannot read is named on standard error, never written over, and
   teaches as though empty; a demo played back teaches nothing and writes nothing. */
TEST_F(TeachPlay, AnUnreadableLessonsFileIsKeptAndPlaybackTeachesNothing)
{
    write_file(dir / "tirvex-lessons.txt", "tirvex-lessons 9\nwhatever\n");
    enter(2);
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
TEST_F(TeachPlay, TheHintKeyAfterALossSaysUndoFirst)
{
    enter(2);
    lose();
    frame({KEY_I});
    EXPECT_EQ(message(), "undo first: Backspace");
    EXPECT_EQ(session.attempt.hints, 0) << "no hint was given";
    write_file(dir / "keys.cfg", "undo = Z\n");
    ASSERT_EQ(load_key_map((dir / "keys.cfg").c_str(), stderr), 0);
    frame({KEY_I});
    EXPECT_EQ(message(), "undo first: Z");
    restart_held();
    frame({KEY_I});
    EXPECT_EQ(session.attempt.hints, 1) << "out of the loss, I is the hint again";
}

/* P asks the play loop for a pause and leaves the keys typed after it for the pause; in a
   recording the pause key is not written (the playback goes on as though it had not come), and
   a playback never pauses. */
TEST_F(TeachPlay, ThePauseKeyIsNeitherRecordedNorPlayedBack)
{
    enter(1);
    const std::string demo = (dir / "pause.demo").string();
    char fault[DEMO_FAULT_SIZE];
    ASSERT_TRUE(demo_record_start(demo.c_str(), fault, sizeof fault)) << fault;
    type_keys({KEY_LEFT, KEY_P, KEY_RIGHT});
    handle_game_keys();
    EXPECT_TRUE(pause_requested);
    EXPECT_TRUE(keypressed()) << "Right waits for the pause";
    demo_frame_done();
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
    ASSERT_EQ(demo_select_level([](void *) { return -1; }, nullptr), 1);
    handle_game_keys();
    EXPECT_EQ(demo_ticks_since_last(), 2) << "the frame was read whole";
    EXPECT_FALSE(pause_requested);
    demo_finish();
    // keys.cfg may give P to another action; the pause then has the key it is given.
    write_file(dir / "keys.cfg", "jump = P\npause = F\n");
    ASSERT_EQ(load_key_map((dir / "keys.cfg").c_str(), stderr), 0);
    frame({KEY_P});
    EXPECT_FALSE(pause_requested);
    frame({KEY_F});
    EXPECT_TRUE(pause_requested);
}

/* L switches the map panel's heights, and says so. */
TEST_F(TeachPlay, LSwitchesTheMapHeights)
{
    enter(1);
    EXPECT_FALSE(display_options.map_heights);
    frame({KEY_L});
    EXPECT_TRUE(display_options.map_heights);
    EXPECT_EQ(message(), "Map heights on");
    frame({KEY_L});
    EXPECT_FALSE(display_options.map_heights);
    EXPECT_EQ(message(), "Map heights off");
}

/* Each level's idea is its map's first line, read again when the level is entered again: the
   play's, and the level select's for every listed level. */
TEST_F(TeachPlay, TheIdeasAreTheMapsFirstLines)
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
    LevelList list;
    ASSERT_EQ(list_levels(&list), 2);
    EXPECT_STREQ(list.level_ideas[1], level_idea(1));
    EXPECT_STREQ(list.level_ideas[2], "changed");
}

/* Undo gives the level clock back, as the README says plainly now, and a completion that used it
   is recorded as helped, never as the player's own best: the time undone is not in it. */
TEST_F(TeachPlay, UndoGivesTheClockBackAndItsCompletionIsRecordedAsHelped)
{
    forget_records_state();
    enter(1);
    const int start = level_clock_left(world);
    frame({KEY_UP});                // the sweet
    for (int i = 0; i < 200; i++)
        frame();                    // four seconds of game time
    const int before_undo = level_clock_left(world);
    ASSERT_LE(before_undo, start - 400);
    frame({KEY_BACKSPACE});
    EXPECT_GT(level_clock_left(world), start - 100) << "the clock as it stood before the step";
    EXPECT_EQ(world.level.sweets_eaten, 0);
    frame({KEY_UP});
    for (int i = 0; i < 30; i++)
        frame();
    frame({KEY_UP});
    for (int i = 0; i < 30 && !world.level.level_completed; i++)
        frame();
    ASSERT_TRUE(world.level.level_completed);
    const int ticks = records_attempt_ticks(session.attempt, world.clock);
    EXPECT_LT(ticks, 400) << "the four seconds undone are not counted";
    records_level_completed(1, ticks);
    EXPECT_EQ(level_record(1).ticks[RECORD_HELPED], ticks);
    EXPECT_EQ(level_record(1).moves[RECORD_HELPED], 2);
    EXPECT_EQ(level_record(1).moves[RECORD_UNHELPED], RECORD_NONE) << "not the player's own best";
    forget_records_state();
}

/* The frame's ticks were counted before its keys: a restart among them gives the new attempt
   its whole clock (they used to run it down by up to a frame's ticks). While the hint thinks,
   the world is held and what it would have done is not heard: a mine a frame from going off
   stays silent (it used to sound every frame). */
TEST_F(TeachPlay, ARestartKeepsTheWholeClockAndAHeldWorldIsSilent)
{
    enter(2);
    const int limit = 3 * 6000;     // the map's three minutes
    ASSERT_LT(level_clock_left(world), limit);
    hold_keys({KEY_R});
    frame({}, 3);
    release_all_keys();
    EXPECT_EQ(level_clock_left(world), limit);
    for (int i = 0; i < 200 && world.intro; i++)
        frame();

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

/* A pause asked for and not taken (the editor's playtest has none) lapses at the next frame's
   keys: the keys typed then are read as ever. */
TEST_F(TeachPlay, APauseNotTakenHoldsNoKeyBack)
{
    enter(1);
    const int row = world.motion.playerL[1];
    frame({KEY_P});
    EXPECT_TRUE(pause_requested);
    frame({KEY_UP});
    EXPECT_FALSE(pause_requested);
    for (int i = 0; i < 30; i++)
        frame();
    EXPECT_EQ(world.motion.playerL[1], row + 1) << "Up was read";
}

/* The level select adds the idea of the level under the cursor beside the list, right of the
   bars and level with the cursor's; the list itself is drawn as before, and a level without an
   idea adds nothing. */
TEST_F(TeachPlay, TheLevelSelectShowsTheCursorsIdeaBesideTheList)
{
    LevelSelect *select = new LevelSelect{};
    open_level_select(select);
    ASSERT_EQ(select->list.count, 2);
    BITMAP *with = create_bitmap_ex(8, 640, 480), *without = create_bitmap_ex(8, 640, 480);
    clear_bitmap(with);
    clear_bitmap(without);
    select->cursor = 2;
    draw_level_select(with, select);
    select->list.level_ideas[2][0] = '\0';
    draw_level_select(without, select);
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
    delete select;
}
