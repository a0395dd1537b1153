/* game_progress_test.cpp: "tirvex.sav": reading, recording, the end-of-game answer and the safe
   replacement of the file. */
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "file_safety_support.h"
#include "game_test_support.h"
#include "base/game_paths.h"
#include "level_file.h"
#include "ui/lessons_file.h"
#include "ui/level_records.h"
#include "test_world.h"
#include "ui/progress_file.h"
#include "ui/screenshot.h"
#include "ui/video_config.h"

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
    EXPECT_TRUE(record_level_completed(20) == 0 && record_level_completed(21) == 1);
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
    EXPECT_NE(std::string(reason).find("tirvex.sav: not a regular file (a folder)"), std::string::npos)
        << reason;
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

/* A full disk, for each file the game and the editor write: the old file is kept whole, no new
   one is left behind, and standard error names the file and the cause (a full disk stops the
   game on a save, with the fixed message). Wvideo.cfg on Alt+Enter and a screenshot's name were
   left unsaid. Needs a small file system of its own, which only root can mount. */
TEST_F(ProgressFile, AFullDiskKeepsEveryOldFileWholeAndSaysWhich)
{
    const fs::path small = dir / "small";
    fs::create_directories(small);
    if (geteuid() != 0 || mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    fs::current_path(small);
    static EditLevel level;
    new_level(&level);
    const struct { const char *name; std::string old; const char *said; std::function<void()> write; } writers[] = {
        {"tirvex.sav", OLD_SAVE, "FATAL ERROR! Fatal exception: No write access for save game file",
         [] { stop_without_page(1); }},
        {"tirvex-records.txt", "tirvex-records 1\nlevel 1 50 5000 - -\n", "records are not saved",
         [] { begin_attempt(1); records_level_completed(session, 1, 100); }},
        {"tirvex-lessons.txt", "tirvex-lessons 1\n", "first-time lines are not kept",
         [] { mark_lesson_taught("x"); }},
        {"wvideo.cfg", "2 800 600\n", "the video mode is not kept",
         [] { const VideoConfig mode{0, 640, 480}; write_video_config("wvideo.cfg", &mode); }},
        {"screen01.bmp", "BM", "screen02.bmp", [] { take_screenshot(); }},
        {"map01.txt", "an old map", "map01.txt", [] {
             std::fprintf(stderr, "%s\n", save_level_file(level, "map01.txt").c_str()); }},
    };
    for (const auto &w : writers)
        write_file(small / w.name, w.old);
    {
        std::FILE *filler = std::fopen((small / "filler").c_str(), "wb");
        std::string block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
               std::fflush(filler) == 0) {
        }
        std::fclose(filler);
    }
    for (const auto &w : writers) {
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            std::freopen((dir / "said.txt").c_str(), "w", stderr);
            w.write();
            std::fflush(stderr);
            std::_Exit(0);
        }
        waitpid(child, nullptr, 0);
        const std::string said = read_file(dir / "said.txt");
        EXPECT_EQ(read_file(small / w.name), w.old) << w.name;
        EXPECT_NE(said.find(std::string(w.name).substr(0, 6)), std::string::npos) << said;
        EXPECT_NE(said.find("No space left on device"), std::string::npos) << w.name << ": " << said;
        EXPECT_NE(said.find(w.said), std::string::npos) << w.name << ": " << said;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(small), fs::directory_iterator()), 7)
        << "the old files and the filler: no new file left";
    fs::current_path(dir);
    umount2(small.c_str(), MNT_DETACH);
}

namespace {

/* In the child of a death test: a completion that may stop the game; status 0 when it goes on. */
void complete_in_child(int level)
{
    destroy_bitmap(screen);
    screen = nullptr;
    record_level_completed(level);
    std::_Exit(0);
}

/* In the child of a death test, as an ordinary user: a completion in a folder that takes no new
   file, with no file allowed to grow past 0 bytes, as a game killed while its write was under
   way. Status 1 when the game stopped, 0 when it went on. */
void complete_with_no_room(int level)
{
    destroy_bitmap(screen);
    screen = nullptr;
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        std::_Exit(3);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit none{0, 0};
    setrlimit(RLIMIT_FSIZE, &none);
    record_level_completed(level);
    std::_Exit(0);
}

/* In the child of a death test, as an ordinary user: the game's places found with --home home
   (or with XDG_DATA_HOME xdg when home is null) and data from share, then a completion. */
void complete_in_folder_of_player(const char *share, const char *home, const char *xdg, int level)
{
    destroy_bitmap(screen);
    screen = nullptr;
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        std::_Exit(3);
    const PlaceRequest r = {share, home, xdg, nullptr, "/nonexistent/tirvex", nullptr, nullptr};
    char fault[GAME_PATH_SIZE + 128], notice[GAME_PATH_SIZE + 128];
    if (find_game_places(&r, fault, notice, sizeof fault) != 1)
        std::_Exit(4);
    record_level_completed(level);
    std::_Exit(progress_unwritable ? 5 : 0);
}

} // namespace

/* A FIFO at the save's name was opened and waited on for a writer: the game stopped before its
   window opened. A completion neither waits on it nor writes over it. (That the save's reader
   refuses a FIFO or a device at once, naming it: game_records_test.cpp.) */
TEST_F(ProgressFile, ACompletionNeverWaitsOnAFifoAtTheSaveNorWritesOverIt)
{
    add_map("play_walk.txt", {2});
    ASSERT_EQ(mkfifo("tirvex.sav", 0600), 0);
    ASSERT_TRUE(file_safety::returns_within(10, [] { record_level_completed(1); }));
    EXPECT_EQ(record_level_completed(1), 0);
    struct stat s;
    ASSERT_EQ(lstat("tirvex.sav", &s), 0);
    EXPECT_TRUE(S_ISFIFO(s.st_mode)) << "left as it was";
}

/* A link to nothing at the save's name stopped the game at the first completion ("No write
   access": the check followed the link). It is replaced as a missing save is; what a link points
   at is never made or written, a player's file it leads to only read. */
TEST_F(ProgressFile, ALinkAtTheSaveIsReplacedAndNeverWrittenThrough)
{
    add_map("play_walk.txt", {2, 4});
    fs::create_symlink(dir / "made_through_the_link", dir / "tirvex.sav");
    EXPECT_EXIT(complete_in_child(1), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(fs::is_symlink(dir / "tirvex.sav"));
    EXPECT_EQ(save(), "01" + std::string(18, '0'));
    EXPECT_FALSE(fs::exists(dir / "made_through_the_link"));

    fs::remove(dir / "tirvex.sav");
    write_file(dir / "victim", OLD_SAVE);
    fs::create_symlink(dir / "victim", dir / "tirvex.sav");
    EXPECT_EQ(record_level_completed(3), 0);
    EXPECT_EQ(save(), "0111" + std::string(16, '0')) << "the progress read through the link is kept";
    EXPECT_FALSE(fs::is_symlink(dir / "tirvex.sav"));
    EXPECT_EQ(read_file(dir / "victim"), OLD_SAVE);
}

/* The write in place cut the save to 0 bytes before writing it: a game killed in between lost
   all progress. A write that cannot be made (here no byte may be written at all) now leaves the
   old save whole. */
TEST_F(ProgressFile, AWriteInPlaceThatFailsLeavesTheOldSaveWhole)
{
    add_map("play_walk.txt", {2});
    write_file(dir / "tirvex.sav", OLD_SAVE);
    fs::permissions(dir / "tirvex.sav", fs::perms::all);
    fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    // No message can be seen: the limit holds for the file standard error is kept in too.
    EXPECT_EXIT(complete_with_no_room(1), ::testing::ExitedWithCode(1), "");
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(save(), OLD_SAVE);
}

/* With --home, or the XDG folder, a folder that takes no new file saved nothing at all, though
   tirvex.sav there could be written; the working folder's save was written in place. Every
   folder now writes it in place. */
TEST_F(ProgressFile, AWritableSaveInAFolderThatTakesNoNewFileIsWrittenInEveryFolder)
{
    const fs::path share = dir / "share";
    fs::create_directories(share / "data");
    fs::create_directories(share / "maps");
    write_file(share / "data/pz.dat", "x");
    fs::copy_file(fs::path(TIRVEX_SOURCE_DIR) / "tests/maps/play_walk.txt", share / "maps/map03.txt");
    const fs::perms read_only = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(dir, read_only);
    fs::permissions(share, read_only);
    for (const char *option : {"home", "xdg"}) {
        const bool home = std::string(option) == "home";
        const fs::path folder = home ? dir / "mine" : dir / "xdg" / "tirvex";
        fs::create_directories(folder);
        write_file(folder / "tirvex.sav", OLD_SAVE);
        fs::permissions(folder / "tirvex.sav", fs::perms::all);
        fs::permissions(folder, read_only);
        const std::string h = folder.string(), x = (dir / "xdg").string();
        EXPECT_EXIT(complete_in_folder_of_player(share.c_str(), home ? h.c_str() : nullptr,
                                                 home ? nullptr : x.c_str(), 3),
                    ::testing::ExitedWithCode(0), "") << option;
        EXPECT_EQ(save_in(folder), "0111" + std::string(16, '0')) << option;
        fs::current_path(dir);
    }
}

/* error.log was written through a link planted at its name, into whatever file it named. The
   log replaces the link; the file it led to is untouched. */
TEST_F(ProgressFile, ErrorLogReplacesALinkAtItsName)
{
    add_map("play_walk.txt", {5});
    write_file(dir / "tirvex.sav", OLD_SAVE);
    fs::permissions(dir / "tirvex.sav", fs::perms::owner_read | fs::perms::group_read |
                                            fs::perms::others_read);
    write_file(dir / "victim", "the player's own file");
    fs::permissions(dir / "victim", fs::perms::all);
    fs::create_symlink(dir / "victim", dir / "error.log");
    fs::permissions(dir, fs::perms::all);
    EXPECT_EXIT(record_as_player(4), ::testing::ExitedWithCode(1), "No write access");
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(read_file(dir / "victim"), "the player's own file");
    EXPECT_FALSE(fs::is_symlink(dir / "error.log"));
    EXPECT_EQ(read_file(dir / "error.log"), "tirvex.sav: Permission denied\n"
                                            "Fatal exception: No write access for save game file\n\n");
}
