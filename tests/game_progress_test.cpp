/* game_progress_test.cpp: "tirvex.sav": reading, recording, the end-of-game answer and the safe
   replacement of the file. */
#include <gtest/gtest.h>

#include "game_test_support.h"
#include "ui/progress_file.h"

namespace {

using namespace game_test;

class ProgressFile : public GameDirectoryTest {
protected:
    std::string save() { return read_file(dir / "tirvex.sav"); }
};

/* In the child of a death test: without a screen the fatal path shows no page and waits for no
   key, it only writes "error.log" and ends. */
void stop_without_page(int level)
{
    destroy_bitmap(screen);
    screen = nullptr;
    record_level_completed(level);
}

} // namespace

TEST_F(ProgressFile, MissingShortAndLongFilesReadOverTwentyZerosAndOnlyOneCounts)
{
    const struct { std::string file, read; } cases[] = {
        {"", std::string(20, '0')},
        {"01x1", "01x1" + std::string(16, '0')},
        {std::string(20, '1') + "trailing bytes", std::string(20, '1')},
    };
    for (const auto &c : cases) {
        fs::remove(dir / "tirvex.sav");
        if (!c.file.empty())
            write_file(dir / "tirvex.sav", c.file);
        ProgressRecord record;
        load_progress(&record);
        EXPECT_EQ(std::string(record.bytes, PROGRESS_BYTES), c.read) << c.file;
        // Byte 0 is no level and level 20 has no byte; only '1' marks a completed level.
        for (int level = 0; level <= 20; level++)
            EXPECT_EQ(progress_level_completed(&record, level),
                      level >= 1 && level <= 19 && c.read[level] == '1') << c.file << " level " << level;
    }
}

/* The play tests see the first completions written; here the bytes around them, short files
   and the answer that no level follows. */
TEST_F(ProgressFile, RecordingKeepsOtherBytesFillsAShortFileAndSaysWhenNoLevelFollows)
{
    add_map("play_walk.txt", {1, 2, 3, 4, 5, 6, 20, 21});
    write_file(dir / "tirvex.sav", "01");
    EXPECT_EQ(record_level_completed(3), 0);
    EXPECT_EQ(save(), "0101" + std::string(16, '0'));
    EXPECT_FALSE(fs::exists(dir / "tirvex.sav.tmp")) << "the temporary file is renamed away";

    write_file(dir / "tirvex.sav", "0100x" + std::string(15, '0'));
    EXPECT_EQ(record_level_completed(2), 0);
    EXPECT_EQ(save(), "0110x" + std::string(15, '0'));
    EXPECT_EQ(record_level_completed(6), 1) << "no map07.txt follows";
    EXPECT_EQ(record_level_completed(20), 0);
    EXPECT_EQ(record_level_completed(21), 1);
    EXPECT_EQ(save(), "0110x01" + std::string(13, '0')) << "levels beyond 19 are never written";
}

/* The temporary file cannot be created where a directory stands, and a directory in the save
   file's place cannot be replaced by a file. */
TEST_F(ProgressFile, AFailedWriteOrReplacementStopsTheGameAndLeavesTheOldSaveWhole)
{
    const std::string old = "011" + std::string(17, '0');
    write_file(dir / "tirvex.sav", old);
    fs::create_directory(dir / "tirvex.sav.tmp");
    EXPECT_EXIT(stop_without_page(4), ::testing::ExitedWithCode(1),
                "No write access for save game file");
    EXPECT_EQ(save(), old);
    EXPECT_EQ(read_file(dir / "error.log"), "Fatal exception: No write access for save game file\n\n");

    fs::remove_all(dir / "tirvex.sav");
    fs::remove_all(dir / "tirvex.sav.tmp");
    fs::create_directories(dir / "tirvex.sav" / "inside");
    EXPECT_EXIT(stop_without_page(1), ::testing::ExitedWithCode(1),
                "No write access for save game file");
    EXPECT_FALSE(fs::exists(dir / "tirvex.sav.tmp")) << "the temporary file is removed";
    EXPECT_TRUE(fs::is_directory(dir / "tirvex.sav"));
}
