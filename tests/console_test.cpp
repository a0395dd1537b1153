/* console_test.cpp: the start-up console drawn into a memory bitmap standing in for the screen,
   the fatal path (error.log, the exit status and the way out), and the lines a fault window
   breaks a message into. */
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

    /* 1 when the 8x8 cell with its top left at (x, y) shows exactly the glyph of c (a space
       for a cell left empty). */
    static bool cell_shows(int x, int y, char c)
    {
        BITMAP *reference = create_bitmap_ex(8, 8, 8);
        clear_bitmap(reference);
        const char text[2] = {c, '\0'};
        if (c != ' ')
            textout_ex(reference, font, text, 0, 0, makecol(100, 255, 100), 0);
        bool same = true;
        for (int j = 0; j < 8; j++)
            for (int i = 0; i < 8; i++)
                same = same && getpixel(reference, i, j) == getpixel(screen, x + i, y + j);
        destroy_bitmap(reference);
        return same;
    }

    std::string log() { return game_test::read_file(dir / "error.log"); }
};

} // namespace

TEST_F(ConsoleTest, EightyCharactersFillARowCarriageReturnGoesBackToItsStartAndPrintfCutsLongText)
{
    console_puts(std::string(79, 'A').c_str());
    EXPECT_EQ(console.cursor_x, 632);
    console_putc('B');
    EXPECT_TRUE(cell_shows(632, 0, 'B'));
    EXPECT_TRUE(console.cursor_x == 0 && console.cursor_y == 8);
    console_puts("CDE\rX");
    EXPECT_TRUE(cell_shows(0, 8, 'X') && cell_shows(8, 8, 'D') && cell_shows(16, 8, 'E'));
    EXPECT_TRUE(console.cursor_x == 8 && console.cursor_y == 8);

    // The wrap already moved down, so a line feed right after it leaves an empty row.
    console_reset();
    clear_bitmap(screen);
    console_puts(std::string(80, 'A').c_str());
    console_putc('\n');
    EXPECT_TRUE(console.cursor_x == 0 && console.cursor_y == 16);
    EXPECT_TRUE(cell_shows(0, 8, ' '));

    // Printing is formatted, and cut at the end of its 1024-byte buffer.
    console_reset();
    EXPECT_EQ(console_printf("In-game screen resolution %dx%d\n", 640, 480), 34);
    EXPECT_EQ(console.cursor_y, 8);
    console_reset();
    const std::string long_text(2000, 'x');
    EXPECT_EQ(console_printf("%s", long_text.c_str()), 1023);
    // 1023 characters are 12 full rows and 63 more cells.
    EXPECT_TRUE(console.cursor_y == 12 * 8 && console.cursor_x == 63 * 8);
}

TEST_F(ConsoleTest, LineFeedOnTheLastRowScrollsTheAreaUpByOneRow)
{
    console_puts("T\n");
    for (int row = 1; row < 59; row++)
        console_putc('\n');
    EXPECT_EQ(console.cursor_y, 472);
    console_puts("ZZ\n");
    EXPECT_TRUE(console.cursor_x == 0 && console.cursor_y == 472);
    EXPECT_TRUE(cell_shows(0, 464, 'Z') && cell_shows(8, 464, 'Z'));
    EXPECT_TRUE(cell_shows(0, 472, ' '));
    EXPECT_TRUE(cell_shows(0, 0, ' ')) << "the first row scrolled off the top";
}

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
   text's own line feeds stay; the buffer's end is never passed. */
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
        {"", 5, ""},
    };
    for (const auto &c : cases) {
        break_lines(c.text, c.columns, out, sizeof out);
        EXPECT_STREQ(out, c.lines) << c.text;
    }
    char small[8];
    break_lines("a long message that does not fit", 4, small, sizeof small);
    EXPECT_EQ(std::string(small).size(), 7u);
}

