/* fatal_test.cpp: check, assert_failed and the fatal page: error.log and the exit status. */
#include <gtest/gtest.h>

#include <allegro.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "shell/fatal.h"

namespace {
namespace fs = std::filesystem;

class FatalTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!system_driver)
            install_allegro(SYSTEM_NONE, &errno, atexit);
        directory = fs::temp_directory_path() /
                    ("tirvex_fatal_" + std::to_string(getpid()) + "_" +
                     testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }

    std::string read_file(const char *name)
    {
        std::ifstream in(directory / name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    /* In the child: run in the test's directory with a memory screen and the fatal page's Esc
       already held, so the page is drawn and left at once. */
    void enter_child_with_page()
    {
        fs::current_path(directory);
        screen = create_bitmap_ex(8, 640, 480);
        key[KEY_ESC] = 1;
    }

    fs::path directory;
};
}

TEST_F(FatalTest, CheckWithTrueConditionReturnsZeroAndWritesNothing)
{
    fs::path before = fs::current_path();
    fs::current_path(directory);
    EXPECT_EQ(check(1, "Map too large"), 0);
    EXPECT_FALSE(fs::exists(directory / "error.log"));
    fs::current_path(before);
}

/* The page's Esc is held, so each child draws the page, leaves it and exits. */
TEST_F(FatalTest, FailedChecksAndAssertionsLeaveTheirLineInErrorLogAndExitWithStatusOne)
{
    EXPECT_EXIT({ enter_child_with_page(); check(0, "Map too large"); },
                testing::ExitedWithCode(1), "Fatal exception: Map too large");
    EXPECT_EQ(read_file("error.log"), "Fatal exception: Map too large\n\n");

    EXPECT_EXIT({ enter_child_with_page(); assert_failed(123, "src/world/actor_table.cpp"); },
                testing::ExitedWithCode(1), "");
    EXPECT_EQ(read_file("error.log"),
              "Assertion failed in src/world/actor_table.cpp at line 123\n\n");

    // An overlong message: 179 characters of "Fatal exception: ppp..." and the log's line feed.
    std::string path(400, 'p');
    EXPECT_EXIT({ enter_child_with_page(); check(0, path.c_str()); }, testing::ExitedWithCode(1), "");
    std::string log = read_file("error.log");
    EXPECT_EQ(log.size(), 180u);
    EXPECT_EQ(log.substr(0, 20), "Fatal exception: ppp");
}

TEST_F(FatalTest, WithoutAScreenTheProgramEndsAtOnce)
{
    EXPECT_EXIT({
        fs::current_path(directory);
        screen = nullptr;
        check(0, "Out of memory while creating screen buffer");
    }, testing::ExitedWithCode(1), "Out of memory while creating screen buffer");
    EXPECT_EQ(read_file("error.log"), "Fatal exception: Out of memory while creating screen buffer\n\n");
}
