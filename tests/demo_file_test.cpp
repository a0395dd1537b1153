/* demo_file_test.cpp: what the demo reader refuses before a window opens: numbers play could
   not have recorded, and paths that are not files. */
#include "file_safety_support.h"
#include "game_test_support.h"

#include "ui/demo_input.h"

namespace {

using namespace game_test;

class DemoFile : public GameDirectoryTest {
protected:
    /* Writes the demo and starts its playback; returns the fault, or "" when it was taken. */
    std::string refusal(const std::string &text)
    {
        write_file(dir / "test.demo", text);
        char fault[DEMO_FAULT_SIZE];
        if (demo_playback_start((dir / "test.demo").c_str(), true, fault, sizeof fault)) {
            demo_finish();
            return "";
        }
        return fault;
    }
};

// Every number of a demo is range-checked as the file is read. Before, atoi took "t-1000" and
// "t99999999999999999999" without a word, and "t2000000000" overflowed the camera swoop.
TEST_F(DemoFile, ANumberPlayCouldNotHaveRecordedIsRefusedWithItsLine)
{
    add_map("play_walk.txt", {1});
    const std::string head = "tirvex-demo 1\n# a comment\nlevel 1\nf t2 @0,0,0,0,0\n";
    const struct { const char *frame; const char *words; } cases[] = {
        {"f t2000000000", ":5: a frame's ticks must be a number from 0 to 6000"},
        {"f t-1000", ":5: a frame's ticks must be a number from 0 to 6000"},
        {"f t99999999999999999999", ":5: a frame's ticks must be a number from 0 to 6000"},
        {"f t6001", ":5: a frame's ticks must be a number from 0 to 6000"},
        {"f t", ":5: a frame's ticks must be"},
        {"f r-256 t2", ":5: a typed key's code must be a number from 0 to 32511"},
        {"f r32512 t2", ":5: a typed key's code must be"},
        {"f h0 t2", ":5: a held key's scancode must be a number from 1 to 126"},
        {"f h127 t2", ":5: a held key's scancode must be"},
        {"f h99999999999999999999 t2", ":5: a held key's scancode must be"},
        {"f t2 @0,0,0,2,0", ":5: an outcome needs the robot's square"},
        {"f t2 @0,0,-1,0,0", ":5: an outcome needs"},
        {"f t2 @5000,0,0,0,0", ":5: an outcome needs"},
        {"f t2 @0,0,0,0", ":5: an outcome needs"},
        {"end c 0 0 200", ":5: an end needs c or x, the robot's square"},
        {"end x 0 99999999999 0", ":5: an end needs"},
        {"end x 0 0", ":5: an end needs"},
    };
    for (const auto &c : cases) {
        const std::string fault = refusal(head + c.frame + "\nend x 0 0 0\n");
        EXPECT_NE(fault.find("test.demo" + std::string(c.words)), std::string::npos)
            << c.frame << ": " << fault;
    }
    for (const char *level : {"level 100", "level 0", "level -2", "level 99999999999999999999"})
        EXPECT_NE(refusal(std::string("tirvex-demo 1\n") + level + "\n").find(
                      "test.demo:2: a level number must be -1 or 1 to 99"), std::string::npos)
            << level;

    // The bounds themselves are what play can record: a stall of a minute, the last scancode.
    EXPECT_EQ(refusal(head + "f t6000 r32511 h126 t0 @-1,327,199,1,0\nend x -1 327 199\n"), "");
    EXPECT_EQ(refusal("tirvex-demo 1\nlevel -1\n"), "");
}

// A FIFO given as a demo to record into was opened and waited on for a reader. It is refused
// at once, and a device is never recorded into (playing one: the readers' table of
// game_records_test).
TEST_F(DemoFile, AFifoToPlayOrToRecordIntoIsRefusedAtOnce)
{
    const std::string fifo = (dir / "fifo.demo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    char fault[DEMO_FAULT_SIZE];
    ASSERT_TRUE(file_safety::returns_within(10, [&] { demo_record_start(fifo.c_str(), fault, sizeof fault); }))
        << "waits on the FIFO";
    ASSERT_FALSE(demo_record_start(fifo.c_str(), fault, sizeof fault));
    EXPECT_EQ(std::string(fault), fifo + ": not a regular file, no recording is written there");
    ASSERT_TRUE(!(demo_record_start("/dev/null", fault, sizeof fault)) && demo_mode == DEMO_OFF);
}

} // namespace
