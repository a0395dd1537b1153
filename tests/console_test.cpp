/* console_test.cpp: the fatal path (error.log, the exit status and the way out), and the lines a
   fault window breaks a message into. */
#include <gtest/gtest.h>

#include <allegro.h>

#include <string>

#include "game_test_support.h"
#include "base/console.h"
#include "base/fatal.h"
#include "ui/fault_window.h"

namespace {

/* The console on a 640 x 480 memory screen in a directory of its own, where the fatal path
   writes its error.log. */
class ConsoleTest : public game_test::GameDirectoryTest {
protected:
    void SetUp() override
    {
        GameDirectoryTest::SetUp();
        console_reset();
    }

    std::string log() { return game_test::read_file(dir / "error.log"); }
};

} // namespace

TEST_F(ConsoleTest, FailedChecksAndAssertionsLeaveTheirLineInErrorLogAndExitWithStatusOne)
{
    EXPECT_EQ(check(1, "Map too large"), 0);
    EXPECT_FALSE(game_test::fs::exists(dir / "error.log"));

    // Each child has the fatal page's Esc already held, so the page is drawn and left at once.
    EXPECT_EXIT({ key[KEY_ESC] = 1; assert_failed(123, "src/world/actor_table.cpp"); },
                testing::ExitedWithCode(1), "");
    EXPECT_EQ(log(), "Assertion failed in src/world/actor_table.cpp at line 123\n\n");

    // An overlong message: 179 characters of "Fatal exception: ppp..." and the log's line feed.
    const std::string path(400, 'p');
    EXPECT_EXIT({ key[KEY_ESC] = 1; check(0, path.c_str()); }, testing::ExitedWithCode(1), "");
    EXPECT_EQ(log(), "Fatal exception: " + std::string(179 - 17, 'p') + "\n");

    // Without a screen there is no page to wait on: the program ends at once.
    EXPECT_EXIT({ screen = nullptr; check(0, "Out of memory while creating screen buffer"); },
                testing::ExitedWithCode(1), "Out of memory while creating screen buffer");
    EXPECT_EQ(log(), "Fatal exception: Out of memory while creating screen buffer\n\n");
}

/* Lines break at blanks and never run past the columns; a word longer than a line is cut; the
   text's own line feeds stay; the buffer's end is never passed. Columns count letters of UTF-8,
   and neither a line nor the buffer's end cuts one (bytes were counted once). */
TEST(FaultWindow, MessagesAreBrokenAtBlanksWithinTheColumns)
{
    char out[256];
    const struct { const char *text; int columns; const char *lines; } cases[] = {
        {"You have no levels of your own yet.", 12, "You have no\nlevels of\nyour own\nyet."},
        {"a\n\nb c", 3, "a\n\nb c"},
        {"/a/very/long/folder/name here", 10, "/a/very/lo\nng/folder/\nname here"},
        {"two  blanks", 6, "two\nblanks"},
        {"two  blanks", 11, "two  blanks"},
        {"wordy", 2, "wo\nrd\ny"},
        {"Größe über öl", 5, "Größe\nüber\nöl"},
        {"äöüßé", 3, "äöü\nßé"},
        {"", 5, ""},
    };
    for (const auto &c : cases) {
        break_lines(c.text, c.columns, out, sizeof out);
        EXPECT_STREQ(out, c.lines) << c.text;
    }
    char small[8];
    break_lines("a long message that does not fit", 4, small, sizeof small);
    EXPECT_EQ(std::string(small).size(), 7u);
    break_lines("äöüß", 9, small, sizeof small);
    EXPECT_STREQ(small, "äöü");
}

