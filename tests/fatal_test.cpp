/* fatal_test.cpp: check and assert_failed: error.log, the exit status and the way out. The page
   itself is compared with its expected picture in the page tests. */
#include <gtest/gtest.h>

#include <allegro.h>
#include <string>

#include "game_test_support.h"
#include "shell/fatal.h"

namespace {

/* Each child has the fatal page's Esc already held, so the page is drawn and left at once. */
class FatalPath : public game_test::GameDirectoryTest {
protected:
    std::string log() { return game_test::read_file(dir / "error.log"); }
};

void fail_check(const char *message)
{
    key[KEY_ESC] = 1;
    check(0, message);
}

} // namespace

TEST_F(FatalPath, FailedChecksAndAssertionsLeaveTheirLineInErrorLogAndExitWithStatusOne)
{
    EXPECT_EQ(check(1, "Map too large"), 0);
    EXPECT_FALSE(game_test::fs::exists(dir / "error.log"));

    EXPECT_EXIT(fail_check("Map too large"), testing::ExitedWithCode(1), "Fatal exception: Map too large");
    EXPECT_EQ(log(), "Fatal exception: Map too large\n\n");
    EXPECT_EXIT({ key[KEY_ESC] = 1; assert_failed(123, "src/world/actor_table.cpp"); },
                testing::ExitedWithCode(1), "");
    EXPECT_EQ(log(), "Assertion failed in src/world/actor_table.cpp at line 123\n\n");

    // An overlong message: 179 characters of "Fatal exception: ppp..." and the log's line feed.
    const std::string path(400, 'p');
    EXPECT_EXIT(fail_check(path.c_str()), testing::ExitedWithCode(1), "");
    EXPECT_EQ(log(), "Fatal exception: " + std::string(179 - 17, 'p') + "\n");

    // Without a screen there is no page to wait on: the program ends at once.
    EXPECT_EXIT({ screen = nullptr; check(0, "Out of memory while creating screen buffer"); },
                testing::ExitedWithCode(1), "Out of memory while creating screen buffer");
    EXPECT_EQ(log(), "Fatal exception: Out of memory while creating screen buffer\n\n");
}
