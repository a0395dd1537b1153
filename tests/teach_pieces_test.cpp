/* teach_pieces_test.cpp: the pure pieces of what play teaches: a map's idea line, the lessons
   file, the key card's key names from a key table, and the game's time across a pause. */
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "game_test_support.h"
#include "base/timer.h"
#include "base/translation.h"
#include "render/map_panel.h"
#include "ui/key_card.h"
#include "ui/key_map.h"
#include "ui/lessons_file.h"
#include "world/level_idea.h"

namespace {

using namespace game_test;

std::string idea_of(const char *line, size_t size = LEVEL_IDEA_SIZE)
{
    char idea[LEVEL_IDEA_SIZE];
    return clean_level_idea(line, idea, size);
}

/* The identity key table: every key read as itself, as without keys.cfg. */
struct KeyTable {
    int key_of[128];
    KeyTable()
    {
        for (int k = 0; k < 128; k++)
            key_of[k] = k;
    }
};

std::string keys_of(const KeyTable &t, const char *action, bool first_only = false)
{
    char out[KEY_CARD_TEXT];
    return action_keys_text(t.key_of, key_action_index(action), first_only, out, sizeof out);
}

} // namespace

/* The idea is the first line as the player should read it: without its line end, the blanks
   around it and the "Tirvex level N:" the title already gives; a byte the font cannot draw is a
   blank, and a prefix that is not quite that one stays. */
TEST(LevelIdea, TheFirstLineLosesItsEndItsBlanksAndTheLevelPrefix)
{
    EXPECT_EQ(idea_of("Tirvex level 11: push a jar into the zipper's lane\n"),
              "push a jar into the zipper's lane");
    EXPECT_EQ(idea_of("  test map: a mine ahead  \r\n"), "test map: a mine ahead");
    EXPECT_EQ(idea_of("Tirvex level: no number\n"), "Tirvex level: no number");
    EXPECT_EQ(idea_of("Tirvex level 7 no colon\n"), "Tirvex level 7 no colon");
    EXPECT_EQ(idea_of("tab\there, bell\a! caf\xc3\xa9 au lait\n"), "tab here, bell ! caf   au lait");
    EXPECT_EQ(idea_of("\n"), "");
    EXPECT_EQ(idea_of(""), "");
    EXPECT_EQ(idea_of("abcdef", 4), "abc") << "never past the buffer";
}

TEST(LevelIdea, ReadsTheFirstLineOfAMapFileAndNothingFromWhatIsNoFile)
{
    start_headless_library();
    const std::string dir = ::testing::TempDir() + "tirvex_idea_" + std::to_string(getpid());
    fs::create_directories(dir);
    const std::string map = dir + "/map01.txt", fifo = dir + "/fifo.txt";
    write_file(map, "Tirvex level 3: a drop of three is a one-way door\rName\r12\r");
    char idea[LEVEL_IDEA_SIZE];
    EXPECT_TRUE(read_level_idea(map.c_str(), idea, sizeof idea));
    EXPECT_STREQ(idea, "a drop of three is a one-way door") << "a bare CR ends the line too";
    write_file(map, std::string(200, 'x') + "\nName\n");
    EXPECT_TRUE(read_level_idea(map.c_str(), idea, sizeof idea));
    EXPECT_EQ(std::strlen(idea), (size_t)LEVEL_IDEA_SIZE - 1) << "a long line is cut, not overrun";
    EXPECT_FALSE(read_level_idea((dir + "/none.txt").c_str(), idea, sizeof idea));
    EXPECT_STREQ(idea, "");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(read_level_idea(fifo.c_str(), idea, sizeof idea)) << "a FIFO holds nothing up";
    fs::remove_all(dir);
}

/* A lessons file reads back as written; a hand-edited one with comments, blank lines and CR LF
   reads too, names the game does not know are kept; anything else is refused with its line. */
TEST(LessonsFile, ReadsBackAsWrittenAndRefusesWhatIsNoLessonsFile)
{
    LessonSet set{};
    char fault[200];
    std::snprintf(set.names[0], LESSON_NAME_SIZE, "%s", LESSON_FIRST_LOSS);
    std::snprintf(set.names[1], LESSON_NAME_SIZE, "a-later-one");
    set.count = 2;
    char text[LESSONS_FILE_LIMIT];
    const size_t length = format_lessons(&set, text, sizeof text);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(std::string(text, length).rfind("tirvex-lessons 1\n", 0), 0u);
    LessonSet back{};
    ASSERT_TRUE(parse_lessons(text, length, &back, fault, sizeof fault)) << fault;
    ASSERT_TRUE(back.count == 2 && lesson_in(&back, "first-loss") &&
                lesson_in(&back, "a-later-one") && !(lesson_in(&back, "first")));

    const std::string by_hand = "tirvex-lessons 1\r\n# mine\r\n\r\nfirst-loss\r\nfirst-loss\r\n";
    ASSERT_TRUE(parse_lessons(by_hand.data(), by_hand.size(), &back, fault, sizeof fault)) << fault;
    EXPECT_EQ(back.count, 1) << "a lesson named twice is one";
    ASSERT_TRUE(parse_lessons("tirvex-lessons 1", 16, &back, fault, sizeof fault));
    EXPECT_EQ(back.count, 0) << "no line end after the last line is fine";

    const struct {
        std::string text;
        const char *fault;
    } refused[] = {
        {"", "line 1: not \"tirvex-lessons 1\""},
        {"tirvex-records 2\nfirst-loss\n", "line 1: not \"tirvex-lessons 1\""},
        {"tirvex-lessons 1\nfirst loss\n", "line 2: not a lesson name"},
        {"tirvex-lessons 1\n# fine\n" + std::string(300, 'a') + "\n", "line 3: not a lesson name"},
        {std::string("tirvex-lessons 1\nfirst-\0loss\n", 29), "line 2: a byte that is not text"},
    };
    for (const auto &r : refused) {
        EXPECT_FALSE(parse_lessons(r.text.data(), r.text.size(), &back, fault, sizeof fault)) << r.fault;
        EXPECT_EQ(std::string(fault).rfind(r.fault, 0), 0u) << fault;
        EXPECT_EQ(back.count, 0);
    }
    std::string many = "tirvex-lessons 1\n";
    for (int i = 0; i <= LESSONS_LIMIT; i++)
        many += "lesson-" + std::to_string(i) + "\n";
    EXPECT_FALSE(parse_lessons(many.data(), many.size(), &back, fault, sizeof fault));
    EXPECT_NE(std::string(fault).find("more than"), std::string::npos) << fault;
    EXPECT_EQ(format_lessons(&set, text, 20), 0u) << "a text that does not fit is not cut";
}

/* The names a player reads: the library's key names made readable, both Shift keys one. */
TEST(KeyCard, KeysAreNamedAsAPlayerKnowsThem)
{
    char name[24];
    const struct {
        int scancode;
        const char *name;
    } names[] = {{KEY_UP, "Up"}, {KEY_BACKSPACE, "Backspace"}, {KEY_PGDN, "PgDn"},
                 {KEY_LSHIFT, "Shift"}, {KEY_W, "W"}, {KEY_F11, "F11"}, {KEY_5, "5"},
                 {KEY_9_PAD, "9 pad"}, {KEY_INSERT, "Insert"}, {0, "?"}, {127, "?"}};
    for (const auto &n : names)
        EXPECT_STREQ(key_display_name(n.scancode, name, sizeof name), n.name) << n.scancode;
    EXPECT_STREQ(key_display_name(KEY_BACKSPACE, name, 5), "Back") << "never past the buffer";
}

/* Without keys.cfg the card's key column reads as its picture does, so nothing is written over
   it; an action reads every key that does it, its own first. A key table as keys.cfg makes it
   (W steps forward and leaves the camera, Z and Delete undo, jump is J) rewrites each row of the
   card that shows a moved action, the others staying the picture's; an action left without a
   key reads "-". */
TEST(KeyCard, TheDefaultKeysReadAsTheCardsPictureAndMovedOnesRewriteTheirRows)
{
    KeyTable t;
    EXPECT_TRUE(keys_of(t, "undo") == "Backspace / U" && keys_of(t, "undo", true) == "Backspace" &&
                keys_of(t, "strafe") == "Shift" && keys_of(t, "pitch-up") == "PgUp" &&
                keys_of(t, "pause") == "P");
    char texts[KEY_CARD_ROWS][KEY_CARD_TEXT];
    EXPECT_EQ(key_card_texts(t.key_of, texts), 0);
    for (const auto &row : texts)
        EXPECT_STREQ(row, "");

    t.key_of[KEY_W] = KEY_UP;
    t.key_of[KEY_UP] = 0;
    t.key_of[KEY_Z] = t.key_of[KEY_DEL] = KEY_BACKSPACE;
    t.key_of[KEY_BACKSPACE] = t.key_of[KEY_U] = 0;
    t.key_of[KEY_J] = KEY_SPACE;
    t.key_of[KEY_SPACE] = 0;
    t.key_of[KEY_K] = KEY_L;        // the card once had no row for L nor P
    t.key_of[KEY_O] = KEY_P;
    t.key_of[KEY_L] = t.key_of[KEY_P] = 0;
    t.key_of[KEY_X] = KEY_R;
    t.key_of[KEY_R] = 0;
    EXPECT_EQ(keys_of(t, "undo"), "Z / Del") << "by scancode, once no default key is left";
    EXPECT_EQ(keys_of(t, "camera-farther"), "-");
    EXPECT_EQ(key_card_texts(t.key_of, texts), 8);
    EXPECT_STREQ(texts[0], "W / Down");
    EXPECT_STREQ(texts[1], "") << "the turns are as they were";
    EXPECT_STREQ(texts[3], "J");
    EXPECT_STREQ(texts[4], "J / Enter");
    EXPECT_STREQ(texts[9], "K");
    EXPECT_TRUE(!texts[13][0] && !texts[14][0]) << "Alt+Enter's and the gamepad's rows stay";
    EXPECT_STREQ(texts[20], "- / S");
    EXPECT_STREQ(texts[27], "Z / Del");
    EXPECT_STREQ(texts[30], "O");
    // The card once said "(hold)" in English in every language.
    char fault[256] = "";
    ASSERT_TRUE(load_catalogue(TIRVEX_GAME_DIR "/locale/de/LC_MESSAGES/tirvex.mo", fault,
                               sizeof fault)) << fault;
    EXPECT_EQ(key_card_texts(t.key_of, texts), 8);
    forget_catalogue();
    EXPECT_STREQ(texts[5], "X, Back (lang)");
}

/* The sentences of the first loss and of the hint key after it name this run's keys. */
TEST(KeyCard, TheLossLinesNameTheKeysAsKeysCfgSetsThem)
{
    start_headless_library();
    reset_key_map();
    EXPECT_STREQ(first_loss_text(), "Backspace undoes it, Space tries again, I asks for a hint");
    EXPECT_STREQ(undo_first_text(), "undo first: Backspace");
    EXPECT_EQ(key_card_overlay(), nullptr) << "no keys.cfg: the card is its picture";
    const std::string dir = ::testing::TempDir() + "tirvex_card_" + std::to_string(getpid());
    fs::create_directories(dir);
    const std::string cfg = dir + "/keys.cfg";
    write_file(cfg, "undo = Z\nhint = H\njump = spacebar\nfly = F\n");
    FILE *report = std::tmpfile();
    EXPECT_EQ(load_key_map(cfg.c_str(), report), 2);
    std::fclose(report);
    EXPECT_STREQ(first_loss_text(), "Z undoes it, Space tries again, H asks for a hint");
    EXPECT_STREQ(undo_first_text(), "undo first: Z");
    // The fault for the message line: the file's whole path (its name alone was all it gave),
    // the line, the fault with the key meant (none was named) and what follows.
    EXPECT_EQ(key_map_fault, cfg + ":3: no key \"spacebar\": SPACE? (1 more)");
    const char *once = key_map_notice();
    ASSERT_NE(once, nullptr);
    EXPECT_EQ(key_map_notice(), nullptr) << "the message line has it once";
    write_file(cfg, "jump = J\n");
    EXPECT_EQ(load_key_map(cfg.c_str(), stderr), 0);
    EXPECT_STREQ(key_map_fault, "");
    EXPECT_STREQ(first_loss_text(), "Backspace undoes it, J tries again, I asks for a hint");
    reset_key_map();
    fs::remove_all(dir);
}

/* The ticks the timer counts during a pause never reach the game; those before it and after
   it do, and a read during the pause gets only those before it. */
TEST(PauseTime, ThePausedTicksNeverReachTheGame)
{
    ticks_since_last();
    tick_counter += 3;
    pause_game_time();
    tick_counter += 500;
    EXPECT_EQ(ticks_since_last(), 3) << "the ticks before the pause";
    tick_counter += 9000;
    EXPECT_EQ(ticks_since_last(), 0);
    pause_game_time();      // a second call changes nothing
    resume_game_time();
    EXPECT_EQ(ticks_since_last(), 0) << "the pause's 9500 ticks are gone";
    tick_counter += 2;
    pause_game_time();
    tick_counter += 40;
    resume_game_time();
    resume_game_time();     // nor does a second resume
    tick_counter += 5;
    EXPECT_EQ(ticks_since_last(), 7) << "two before the pause, five after it";
}

/* The map's heights: the lowest square darkest, the highest lightest, each channel rising with
   the height, and a level of one height in the middle of the ramp. */
TEST(MapHeights, ShadesRiseWithTheHeightFromTheLowestToTheHighest)
{
    start_headless_library();
    set_color_depth(32);    // makecol's channels as they are, no palette between
    int last_r = -1, last_g = -1, last_b = -1;
    for (int h = -3; h <= 9; h++) {
        const int c = map_height_shade(h, -3, 9);
        EXPECT_GT(getr32(c), last_r) << h;
        EXPECT_GT(getg32(c), last_g) << h;
        EXPECT_GT(getb32(c), last_b) << h;
        last_r = getr32(c), last_g = getg32(c), last_b = getb32(c);
    }
    EXPECT_EQ(map_height_shade(-3, -3, 9), makecol32(30, 40, 110));
    EXPECT_EQ(map_height_shade(9, -3, 9), makecol32(255, 255, 255));
    const int flat = map_height_shade(4, 4, 4);
    EXPECT_TRUE(getr32(flat) > 30 && getr32(flat) < 255);
    set_color_depth(8);
}
