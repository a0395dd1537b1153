/* fault_window_test.cpp: the lines a message is broken into for the start-up console. */
#include <gtest/gtest.h>

#include <string>

#include "base/console.h"
#include "ui/fault_window.h"

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
