/* game_progress_test.cpp: "tirvex.sav": reading, recording, the end-of-game answer and the safe
   replacement of the file. */
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "game_test_support.h"
#include "ui/progress_file.h"

namespace {

using namespace game_test;

class ProgressFile : public GameDirectoryTest {
protected:
    void TearDown() override
    {
        forget_progress_state();
        GameDirectoryTest::TearDown();
    }
    std::string save() { return read_file(dir / "tirvex.sav"); }
    static std::string save_in(const fs::path &folder) { return read_file(folder / "tirvex.sav"); }
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

namespace {

/* In the child of a death test, as an ordinary user where the test runs as root (root reads and
   writes every file whatever its mode): records level and ends with status 0 when the game went
   on. Exit status 3 when the user cannot be changed. */
void record_as_player(int level)
{
    destroy_bitmap(screen);
    screen = nullptr;
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        std::_Exit(3);
    record_level_completed(level);
    std::_Exit(0);
}

const std::string OLD_SAVE = "011" + std::string(17, '0');

} // namespace

/* A save that is there but cannot be read (a directory, no permission) reads as no progress, is
   never written over, and the player is told once. Mends the fault where completing level 1 wrote
   "01000..." over a save of mode 000 that recorded levels 1 and 2. */
TEST_F(ProgressFile, AnUnreadableSaveIsToldOnceAndNeverWrittenOver)
{
    add_map("play_walk.txt", {2});
    fs::create_directories(dir / "tirvex.sav" / "inside");
    const char *reason = probe_progress_file();
    ASSERT_NE(reason, nullptr);
    EXPECT_NE(std::string(reason).find("tirvex.sav: Is a directory"), std::string::npos) << reason;
    EXPECT_EQ(record_level_completed(1), 0) << "the game goes on";
    EXPECT_TRUE(fs::is_directory(dir / "tirvex.sav" / "inside"));
    EXPECT_STREQ(unsaved_progress_notice(), "tirvex.sav cannot be read: progress is not saved");
    EXPECT_EQ(unsaved_progress_notice(), nullptr) << "said once";
    forget_progress_state();

    // Mode 000 keeps an ordinary user out; the child plays as one.
    fs::remove_all(dir / "tirvex.sav");
    write_file(dir / "tirvex.sav", OLD_SAVE);
    fs::permissions(dir / "tirvex.sav", fs::perms::none);
    fs::permissions(dir, fs::perms::all);
    EXPECT_EXIT(record_as_player(1), ::testing::ExitedWithCode(0), "Permission denied");
    fs::permissions(dir / "tirvex.sav", fs::perms::owner_all);
    EXPECT_EQ(save(), OLD_SAVE) << "kept byte for byte";
    for (const auto &entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find("tirvex.sav."), std::string::npos)
            << "no temporary file left: " << entry.path();
}

/* A save the player may not write stops the game as opening it for writing would, naming the
   file and why; a writable save in a folder that takes no new file is written in place. */
TEST_F(ProgressFile, AReadOnlySaveStopsTheGameAndOneInAReadOnlyFolderIsWrittenInPlace)
{
    add_map("play_walk.txt", {2});
    write_file(dir / "tirvex.sav", OLD_SAVE);
    fs::permissions(dir / "tirvex.sav", fs::perms::owner_read | fs::perms::group_read |
                                            fs::perms::others_read);
    fs::permissions(dir, fs::perms::all);
    EXPECT_EXIT(record_as_player(4), ::testing::ExitedWithCode(1),
                "tirvex.sav: Permission denied\nFATAL ERROR! Fatal exception: No write access for save game file");
    EXPECT_EQ(save(), OLD_SAVE);
    EXPECT_EQ(read_file(dir / "error.log"), "tirvex.sav: Permission denied\n"
                                            "Fatal exception: No write access for save game file\n\n");

    fs::permissions(dir / "tirvex.sav", fs::perms::all);
    fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EXIT(record_as_player(3), ::testing::ExitedWithCode(0), "");
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(save(), "0111" + std::string(16, '0'));
}

/* A link planted at a name the save once used for its temporary file is never followed, the
   save keeps its permissions, and nothing but the save is left in the folder. */
TEST_F(ProgressFile, TheTemporaryFileFollowsNoLinkAndTheSaveKeepsItsMode)
{
    add_map("play_walk.txt", {6});
    write_file(dir / "victim", "the player's own file");
    fs::create_symlink(dir / "victim", dir / "tirvex.sav.tmp");
    write_file(dir / "tirvex.sav", OLD_SAVE);
    fs::permissions(dir / "tirvex.sav", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(record_level_completed(5), 0);
    EXPECT_EQ(save(), "01100" "1" + std::string(14, '0'));
    EXPECT_EQ(read_file(dir / "victim"), "the player's own file");
    EXPECT_EQ(fs::status(dir / "tirvex.sav").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    int files = 0;
    for (const auto &entry : fs::directory_iterator(dir))
        files += entry.path().filename().string().rfind("tirvex.sav.", 0) == 0 &&
                 !fs::is_symlink(entry.path());
    EXPECT_EQ(files, 0) << "the temporary file is renamed away";
}

/* A full disk stops the game with the fixed message, and error.log and standard error say which
   file and why; the old save is whole. Needs a small file system of its own, which only root
   can mount. */
TEST_F(ProgressFile, AFullDiskNamesTheFileAndTheCauseAndLeavesTheOldSaveWhole)
{
    const fs::path small = dir / "small";
    fs::create_directories(small / "maps");
    if (geteuid() != 0 || mount("tmpfs", small.c_str(), "tmpfs", 0, "size=8k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    fs::current_path(small);
    write_file(small / "tirvex.sav", OLD_SAVE);
    // Fill what is left.
    {
        std::FILE *filler = std::fopen((small / "filler").c_str(), "wb");
        std::string block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
               std::fflush(filler) == 0) {
        }
        std::fclose(filler);
    }
    EXPECT_EXIT(stop_without_page(1), ::testing::ExitedWithCode(1),
                "tirvex.sav.[A-Za-z0-9]+: No space left on device\nFATAL ERROR! Fatal exception: "
                "No write access for save game file");
    EXPECT_EQ(save_in(small), OLD_SAVE);
    fs::current_path(dir);
    umount2(small.c_str(), MNT_DETACH);
}
