/* level_folder_journal_test.cpp: a folder's renumbering killed at each of its steps and the
   folder opened again: every level there once, no number missing, nothing hidden left; links
   planted at the backups' names; levels parked by an earlier version. */
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "game_test_support.h"
#include "base/level_folder_journal.h"

namespace {

namespace fs = std::filesystem;

std::string map_path(const fs::path &dir, int number)
{
    char name[16];
    std::snprintf(name, sizeof name, "map%02d.txt", number);
    return (dir / name).string();
}

class FolderRenumbering : public ::testing::Test {
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/tirvex_renumber_XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        root = folder;
        dir = root / "levels";
    }
    void TearDown() override { fs::remove_all(root); }

    /* A fresh folder of `count` levels, each map's text naming its first number. */
    void make_levels(int count)
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
        for (int n = 1; n <= count; n++)
            game_test::write_file(map_path(dir, n), "level " + std::to_string(n) + "\n");
    }

    /* The folder's levels by number, as the first numbers their texts name ("5 1 2 3 4"). */
    std::string order(int count)
    {
        std::string seen;
        for (int n = 1; n <= count; n++) {
            std::string number = "-";
            if (fs::exists(map_path(dir, n))) {
                const std::string text = game_test::read_file(map_path(dir, n));
                number = text.size() > 7 ? text.substr(6, text.size() - 7) : "?";
            }
            seen += (seen.empty() ? "" : " ") + number;
        }
        return seen;
    }

    /* The names in the folder that start with a dot. */
    std::vector<std::string> hidden()
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(dir))
            if (entry.path().filename().string()[0] == '.')
                names.push_back(entry.path().filename().string());
        return names;
    }

    /* Runs the renumbering in a child that is killed after `step` (0: never). Returns whether it
       was killed there. */
    bool renumber_killed_at(int from, int to, int step)
    {
        const pid_t child = fork();
        if (child == 0) {
            kill_step = step;
            renumber_step_hook = [](int done) {
                if (done == kill_step)
                    raise(SIGKILL);
            };
            char fault[RENUMBER_NOTE_SIZE];
            _exit(renumber_folder_level(dir.c_str(), from, to, fault, sizeof fault) ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

    static int kill_step;
    fs::path root, dir;
};

int FolderRenumbering::kill_step;

int counted_steps;

} // namespace

/* Killed after any step, the folder's next opening leaves every level present once, the numbers
   without a gap and nothing hidden: before the journal the levels are as they were, after it
   as renumbered. Moves both ways, from the first level and to the last. */
TEST_F(FolderRenumbering, KilledAtEveryStepTheNextOpeningLosesNoLevel)
{
    const struct { int from, to; const char *after; } moves[] = {
        {5, 2, "1 5 2 3 4 6"}, {1, 4, "2 3 4 1 5 6"}, {6, 1, "6 1 2 3 4 5"}, {3, 4, "1 2 4 3 5 6"},
    };
    for (const auto &move : moves) {
        make_levels(6);
        counted_steps = 0;
        renumber_step_hook = [](int) { counted_steps++; };
        char fault[RENUMBER_NOTE_SIZE];
        ASSERT_TRUE(renumber_folder_level(dir.c_str(), move.from, move.to, fault, sizeof fault)) << fault;
        renumber_step_hook = nullptr;
        ASSERT_EQ(order(6), move.after);
        const int steps = counted_steps;
        ASSERT_GT(steps, 6);
        bool reached_journal = false;
        for (int step = 1; step <= steps; step++) {
            SCOPED_TRACE("move " + std::to_string(move.from) + " to " + std::to_string(move.to) +
                         ", killed after step " + std::to_string(step));
            make_levels(6);
            ASSERT_TRUE(renumber_killed_at(move.from, move.to, step));
            reached_journal = reached_journal || fs::exists(dir / ".renumbering.journal");
            char note[RENUMBER_NOTE_SIZE];
            EXPECT_GE(finish_renumbering(dir.c_str(), note, sizeof note), 0) << note;
            const std::string now = order(6);
            // Until the journal stands the renumbering is undone; once it stands, finished.
            EXPECT_EQ(now, reached_journal ? move.after : "1 2 3 4 5 6");
            EXPECT_FALSE(fs::exists(map_path(dir, 7)));
            EXPECT_EQ(hidden(), std::vector<std::string>{});
            // A second opening finds nothing left to do.
            EXPECT_EQ(finish_renumbering(dir.c_str(), note, sizeof note), 0) << note;
        }
        EXPECT_TRUE(reached_journal);
    }
}

/* The backups: each map that gets another file is kept as NAME~ as it was, and a link planted at
   a backup's name, or at the names the renumbering works under, is replaced, never written
   through (it used to overwrite the file it pointed at with level text). */
TEST_F(FolderRenumbering, BackupsAreKeptAndLinksAtTheirNamesAreNotFollowed)
{
    make_levels(4);
    const fs::path victim = root / "victim.txt";
    game_test::write_file(victim, "not a level\n");
    for (const char *name : {"map02.txt~", "map03.txt~", ".renumbering.02~", ".renumbering.03"})
        fs::create_symlink(victim, dir / name);
    char fault[RENUMBER_NOTE_SIZE];
    ASSERT_TRUE(renumber_folder_level(dir.c_str(), 3, 2, fault, sizeof fault)) << fault;
    EXPECT_EQ(game_test::read_file(victim), "not a level\n");
    EXPECT_EQ(order(4), "1 3 2 4");
    for (int n : {2, 3}) {
        EXPECT_FALSE(fs::is_symlink(map_path(dir, n) + "~"));
        EXPECT_EQ(game_test::read_file(map_path(dir, n) + "~"), "level " + std::to_string(n) + "\n");
    }
    EXPECT_FALSE(fs::exists(map_path(dir, 1) + "~")) << "level 1 kept its file";
    EXPECT_EQ(hidden(), std::vector<std::string>{});

    // Not through a gap, nor with a number out of range: nothing moves, nothing is left.
    fs::remove(map_path(dir, 3));
    EXPECT_FALSE(renumber_folder_level(dir.c_str(), 4, 1, fault, sizeof fault));
    EXPECT_NE(std::string(fault).find("map03.txt: no such level"), std::string::npos) << fault;
    EXPECT_FALSE(renumber_folder_level(dir.c_str(), 1, 100, fault, sizeof fault));
    EXPECT_EQ(order(4), "1 3 - 4");
    EXPECT_EQ(hidden(), std::vector<std::string>{});
}

/* A renumbering that fails before its journal (here a folder standing where the second backup
   is made) moves nothing: the message names the file, and nothing of the renumbering's is left
   but the backup already made. */
TEST_F(FolderRenumbering, AFailureBeforeTheJournalMovesNothing)
{
    make_levels(3);
    fs::create_directories(dir / ".renumbering.02~" / "in the way");
    char fault[RENUMBER_NOTE_SIZE];
    EXPECT_FALSE(renumber_folder_level(dir.c_str(), 3, 1, fault, sizeof fault));
    EXPECT_NE(std::string(fault).find(dir.string() + "/.renumbering.02~"), std::string::npos) << fault;
    EXPECT_EQ(order(3), "1 2 3");
    EXPECT_EQ(game_test::read_file(map_path(dir, 1) + "~"), "level 1\n");
    fs::remove_all(dir / ".renumbering.02~");
    EXPECT_EQ(hidden(), std::vector<std::string>{});
}

/* What earlier versions and half-finished work leave: a level parked in .renumber.txt takes the
   first free number (it used to stay hidden until a later renumbering replaced it); a second
   name that holds a level found nowhere else is given a number too, never removed; one that
   duplicates a map, a half-made backup and a journal that is not whole are removed. */
TEST_F(FolderRenumbering, WhatAStoppedRenumberingLeftIsFoundAndNothingRemovedThatIsALevel)
{
    make_levels(4);
    fs::rename(map_path(dir, 4), map_path(dir, 5));
    fs::rename(map_path(dir, 3), map_path(dir, 4));
    game_test::write_file(dir / ".renumber.txt", "level 9\n");
    char note[RENUMBER_NOTE_SIZE];
    EXPECT_EQ(finish_renumbering(dir.c_str(), note, sizeof note), 1);
    EXPECT_NE(std::string(note).find(".renumber.txt"), std::string::npos) << note;
    EXPECT_NE(std::string(note).find("map03.txt"), std::string::npos) << note;
    EXPECT_EQ(order(5), "1 2 9 3 4");

    make_levels(2);
    game_test::write_file(dir / ".renumbering.07", "level 9\n");
    fs::create_hard_link(map_path(dir, 1), dir / ".renumbering.02");
    game_test::write_file(dir / ".renumbering.01~", "level 1");
    game_test::write_file(dir / ".renumbering.journal", "tirvex renumbering\nmove 1 2 2\n2\n");
    game_test::write_file(dir / ".renumbering.journal.Ab12Cd", "tirvex");
    EXPECT_EQ(finish_renumbering(dir.c_str(), note, sizeof note), 1) << note;
    EXPECT_EQ(order(3), "1 2 9");
    EXPECT_EQ(hidden(), std::vector<std::string>{});
    renumber_step_hook = nullptr;
}
