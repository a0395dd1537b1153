/* game_records_test.cpp: the player's records per level (with and without help), their file and
   its faults, the par of the shipped levels, and the Tab panel. */
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "file_safety_support.h"
#include "game_test_support.h"
#include "render_test_support.h"
#include "base/datafile.h"
#include "base/game_paths.h"
#include "base/level_folder_journal.h"
#include "level_file.h"
#include "ui/key_map.h"
#include "ui/lessons_file.h"
#include "ui/progress_file.h"
#include "ui/video_config.h"
#include "world/map_file.h"
#include "world/map_hash.h"
#include "base/timer.h"
#include "search/level_search.h"
#include "ui/demo_input.h"
#include "ui/level_records.h"
#include "ui/level_select.h"
#include "render/message_line.h"
#include "world/level_map.h"
#include "world/solution_file.h"
#include "world/world_messages.h"
#include "test_world.h"

namespace {

using namespace game_test;

const int WALK_LIMIT = 3 * 6000;    /* play_walk.txt gives 3 minutes */

class Records : public GameDirectoryTest {
protected:
    void SetUp() override
    {
        GameDirectoryTest::SetUp();
        forget_records_state();
        session.attempt = RecordsAttempt{};     // no attempt under way: no map's hash at hand
        add_map("play_walk.txt", {1, 2, 3});
    }
    void TearDown() override
    {
        forget_records_state();
        clear_message(world);
        demo_mode = DEMO_OFF;
        GameDirectoryTest::TearDown();
    }
    std::string records() { return read_file(dir / "tirvex-records.txt"); }

    /* Plays an attempt at `level` to a confirmed completion: `commands` commands, `undos` undos
       and `hints` hints, with `ticks` of the clock gone at the end. */
    static void complete(int level, int commands, int undos, int hints, int ticks)
    {
        begin_attempt(level);
        world.clock = WALK_LIMIT;
        log_clear(session.log);     // the way left once the undos took theirs back
        for (int i = 0; i < commands - undos; i++)
            log_command(session.log, i, MOVE_FORWARD);
        for (int i = 0; i < undos; i++)
            records_note_undo(session.attempt);
        for (int i = 0; i < hints; i++)
            records_note_hint(session.attempt);
        world.clock = WALK_LIMIT - ticks;
        records_level_completed(session, level, records_attempt_ticks(session.attempt, world.clock));
    }
    static void expect_record(int level, int kind, int moves, int ticks)
    {
        const LevelRecord r = level_record(session, level);
        EXPECT_EQ(r.moves[kind], moves) << "level " << level << " kind " << kind;
        EXPECT_EQ(r.ticks[kind], ticks) << "level " << level << " kind " << kind;
    }
};

const std::string HEADER = "tirvex-records 2\n";
const std::string FIRST_HEADER = "tirvex-records 1\n";

/* The hash a level line carries for the map of `level` in the working folder ("-" for none). */
std::string map_key(int level)
{
    char path[64];
    std::snprintf(path, sizeof path, "maps/map%02d.txt", level);
    const std::string text = fs::exists(path) ? read_file(path) : std::string();
    char key[24];
    std::snprintf(key, sizeof key, "%016llx",
                  (unsigned long long)map_text_hash(text.data(), text.size()));
    return key;
}

/* The level lines of a records file, without the hash of the map when it is the map the level
   has now (a hash of another map stays, to be seen). */
std::string body(const std::string &file)
{
    std::string out;
    size_t at = 0;
    while (at < file.size()) {
        size_t end = file.find('\n', at);
        std::string line = file.substr(at, end - at);
        at = end == std::string::npos ? file.size() : end + 1;
        int level = 0, skip = 0;
        char hash[24];
        if (std::sscanf(line.c_str(), "level %d %23s %n", &level, hash, &skip) != 2)
            continue;
        if (map_key(level) == hash)
            line = "level " + std::to_string(level) + " " + line.substr((size_t)skip);
        out += line + "\n";
    }
    return out;
}

} // namespace

/* Without help and with it are kept apart; each figure is the best of its kind, from whichever
   completion set it; an undone command does not count as a move; no file before a completion,
   none rewritten when nothing is beaten, none ever in demo playback. */
TEST_F(Records, CompletionsWithAndWithoutHelpKeepTheirOwnBests)
{
    begin_attempt(1);
    EXPECT_FALSE(fs::exists(dir / "tirvex-records.txt")) << "a level's start writes nothing";

    complete(1, 20, 0, 0, 300);
    expect_record(1, RECORD_UNHELPED, 20, 300);
    expect_record(1, RECORD_HELPED, RECORD_NONE, RECORD_NONE);
    EXPECT_EQ(body(records()), "level 1 20 300 - -\n");
    EXPECT_EQ(records().rfind(HEADER, 0), 0u);

    complete(1, 19, 3, 0, 250);     // 16 moves once 3 are undone: a helped record
    expect_record(1, RECORD_UNHELPED, 20, 300);
    expect_record(1, RECORD_HELPED, 16, 250);
    complete(1, 30, 0, 1, 200);     // a hint: helped, faster but longer
    expect_record(1, RECORD_HELPED, 16, 200);
    complete(1, 18, 0, 0, 400);     // fewer moves, slower: each figure its own best
    expect_record(1, RECORD_UNHELPED, 18, 300);
    complete(2, 5, 0, 0, 90);
    EXPECT_EQ(body(records()), "level 1 18 300 16 200\nlevel 2 5 90 - -\n");

    // Nothing beaten: the file is not rewritten (its inode stays).
    const auto before = fs::last_write_time(dir / "tirvex-records.txt");
    struct stat old_info, new_info;
    stat("tirvex-records.txt", &old_info);
    complete(1, 40, 0, 0, 900);
    stat("tirvex-records.txt", &new_info);
    EXPECT_EQ(old_info.st_ino, new_info.st_ino);
    EXPECT_EQ(fs::last_write_time(dir / "tirvex-records.txt"), before);

    // Demo playback never writes, however good the completion.
    demo_mode = DEMO_PLAYBACK;
    complete(2, 1, 0, 0, 10);
    demo_mode = DEMO_TIMEDEMO;
    complete(3, 1, 0, 0, 10);
    demo_mode = DEMO_OFF;
    EXPECT_EQ(body(records()), "level 1 18 300 16 200\nlevel 2 5 90 - -\n");
    for (const auto &entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find("tirvex-records.txt."), std::string::npos)
            << "no temporary file left: " << entry.path();
}

/* The attempt's time is the level clock's (an undo that puts the clock back takes its time
   back), its limit read from the level's own map. An undone restart goes back to the attempt it
   ended, the undo counted there and help asked for since kept; its moves come back with the
   session's log (play_keys_test.cpp). */
TEST_F(Records, TheAttemptsTimeFollowsTheLevelClockAndAnUndoneRestartKeepsTheHelpAskedFor)
{
    begin_attempt(2);
    EXPECT_EQ(session.attempt.limit_ticks, WALK_LIMIT);
    for (int gone : {700, 400})
        EXPECT_EQ(records_attempt_ticks(session.attempt, WALK_LIMIT - gone), gone);
    records_note_undo(session.attempt);
    const RecordsAttempt ended = session.attempt;
    begin_attempt(2);
    records_note_hint(session.attempt);
    records_restart_undone(session.attempt, ended);
    EXPECT_TRUE(session.attempt.undos == 2 && session.attempt.hints == 1);
    begin_attempt(9);
    EXPECT_EQ(records_attempt_ticks(session.attempt, world.clock), 0) << "no map";
}

/* What is written reads back the same; a file written by hand with comments, blank lines and
   CR LF ends reads too, and its other levels survive a rewrite. */
TEST_F(Records, TheFileReadsBackAsWritten)
{
    write_file(dir / "tirvex-records.txt",
               "tirvex-records 1\r\n# by hand\r\n\r\nlevel 19 130 1700 - -\r\nlevel 7 - - 55 "
               "700\r\nlevel 3 40 500 38 480\r\n");
    ASSERT_TRUE(load_records());
    expect_record(19, RECORD_UNHELPED, 130, 1700);
    expect_record(7, RECORD_HELPED, 55, 700);
    expect_record(7, RECORD_UNHELPED, RECORD_NONE, RECORD_NONE);
    expect_record(3, RECORD_HELPED, 38, 480);
    complete(1, 12, 0, 0, 150);
    EXPECT_EQ(body(records()), "level 1 12 150 - -\nlevel 3 40 500 38 480\nlevel 7 - - 55 700\n"
                               "level 19 130 1700 - -\n");
    const std::string written = records();
    forget_records_state();
    ASSERT_TRUE(load_records());
    expect_record(1, RECORD_UNHELPED, 12, 150);
    expect_record(19, RECORD_UNHELPED, 130, 1700);
    complete(3, 41, 0, 0, 501);
    EXPECT_EQ(records(), written) << "nothing beaten, the same bytes";

    // Records of a --levels folder live beside its own tirvex.sav.
    fs::create_directories(dir / "mine");
    std::snprintf(levels_progress_folder, sizeof levels_progress_folder, "%s",
                  (dir / "mine").c_str());
    forget_records_state();
    complete(1, 9, 0, 0, 100);
    levels_progress_folder[0] = '\0';
    EXPECT_EQ(body(read_file(dir / "mine" / "tirvex-records.txt")), "level 1 9 100 - -\n");
    EXPECT_EQ(records(), written);
}

/* A file that is not a records file is reported with its line, once on the message line, and
   left byte for byte: the completions of the run still show, but are not written. */
TEST_F(Records, ABrokenFileIsReportedOnceAndLeftByteForByte)
{
    const struct { std::string text, fault; } cases[] = {
        {"", "tirvex-records.txt: empty"},
        {"tirvex-save 1\nlevel 1 2 3 - -\n", "tirvex-records.txt line 1: not a records file"},
        {HEADER + "level 1 2 3 - -\nlevel 0 2 3 - -\n", "line 3: level 0 is not 1 to 99"},
        {HEADER + "level 100 2 3 - -\n", "line 2: level 100 is not 1 to 99"},
        {HEADER + "level 4 2 3 - -\n#\nlevel 4 2 3 - -\n", "line 4: level 4 a second time"},
        {HEADER + "level 1 2 3 -\n", "line 2: not \"level N HASH MOVES TICKS MOVES TICKS\""},
        {HEADER + "level 1 ab 2 3 - - 9\n", "line 2: not \"level N"},
        {HEADER + "level 1 xy 2 3 - -\n", "line 2: the map's hash is not"},
        {HEADER + "level 1 12345678901234567 2 3 - -\n", "line 2: the map's hash is not"},
        {HEADER + "level 1 ab 2 3 - -\nlevel 1 00ab 4 5 - -\n", "line 3: level 1 of map "
                                                                "00000000000000ab a second time"},
        {HEADER + "lvl 1 2 3 - -\n", "line 2: not \"level N"},
        {HEADER + "level 1 2 -3 - -\n", "line 2: a record is not \"-\" or 0 to 999999999"},
        {HEADER + "level 1 2 3x - -\n", "line 2: a record is not"},
        {HEADER + "level 1 2 1000000000 - -\n", "line 2: a record is not"},
        {HEADER + "level 1 2 - - -\n", "line 2: moves without a time"},
        {HEADER + "level 1 " + std::string(300, '9') + "\n", "line 2: longer than 200"},
        {HEADER + std::string("level 1 2 3 - -\n\0", 17), "holds a zero byte"},
        {std::string(24000, '#'), "larger than 20480 bytes"},
        {HEADER + "par 1 00ff 3 0\n", "line 2: not \"par N HASH MOVES WAITS TICKS SOURCE\""},
        {HEADER + "par 1 00ff 3 0 - \n", "line 2: a par figure is not"},
        {HEADER + "par 1 1 3 0 30\npar 1 1 3 0 30\n", "line 3: a second par of level 1"},
    };
    for (const auto &c : cases) {
        forget_records_state();
        clear_message(world);
        write_file(dir / "tirvex-records.txt", c.text);
        complete(1, 4, 0, 0, 50);
        EXPECT_EQ(records(), c.text) << "written over: " << c.fault;
        ASSERT_NE(records_fault(), nullptr) << c.fault;
        EXPECT_NE(std::string(records_fault()).find(c.fault), std::string::npos)
            << records_fault();
        expect_record(1, RECORD_UNHELPED, 4, 50);   // the run's own, shown on the panel
        EXPECT_STREQ(records_notice(), "tirvex-records.txt cannot be read: records are not saved");
        complete(1, 3, 0, 0, 40);
        EXPECT_EQ(records_notice(), nullptr) << "told once";
        // Mended meanwhile, it is still not written in this run: what it held was not known.
        write_file(dir / "tirvex-records.txt", HEADER);
        complete(1, 2, 0, 0, 30);
        EXPECT_EQ(records(), HEADER);
    }
}

namespace {

/* In the child of a death test, as an ordinary user where the test runs as root (root reads
   every file whatever its mode): a level start and a completion. Exit status 3 when the user
   cannot be changed. */
void complete_as_player()
{
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        std::_Exit(3);
    begin_attempt(1);
    world.clock = WALK_LIMIT - 100;
    log_command(session.log, 0, MOVE_FORWARD);
    records_level_completed(session, 1, records_attempt_ticks(session.attempt, world.clock));
    std::_Exit(records_fault() ? 0 : 4);
}

} // namespace

/* A records file that cannot be read (no permission, a directory in its place) is never written
   over, and no temporary file is left beside it. */
TEST_F(Records, AnUnreadableFileIsNeverWrittenOver)
{
    fs::create_directories(dir / "tirvex-records.txt" / "inside");
    complete(1, 4, 0, 0, 50);
    EXPECT_TRUE(fs::is_directory(dir / "tirvex-records.txt" / "inside"));
    ASSERT_NE(records_fault(), nullptr);
    EXPECT_NE(std::string(records_fault()).find("tirvex-records.txt: not a regular file (a folder)"),
              std::string::npos) << records_fault();
    forget_records_state();

    fs::remove_all(dir / "tirvex-records.txt");
    const std::string old = HEADER + "level 1 30 400 - -\n";
    write_file(dir / "tirvex-records.txt", old);
    fs::permissions(dir / "tirvex-records.txt", fs::perms::none);
    fs::permissions(dir, fs::perms::all);
    EXPECT_EXIT(complete_as_player(), ::testing::ExitedWithCode(0),
                "tirvex-records.txt: Permission denied: records are not saved");
    fs::permissions(dir / "tirvex-records.txt", fs::perms::owner_all);
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(records(), old) << "kept byte for byte";
    for (const auto &entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find("tirvex-records.txt."), std::string::npos)
            << "no temporary file left: " << entry.path();
}

/* A level without a solution has no par, nor one whose solution is of another map; a --levels
   folder has none yet; a first line that does not give the figures gives no par. (Every shipped
   level's par is its solution's: shipped_levels_test.cpp.) */
TEST_F(Records, OnlyASolutionOfTheLevelsOwnMapGivesAPar)
{
    fs::current_path(TIRVEX_GAME_DIR);
    EXPECT_TRUE(level_par(session, 1).state == PAR_KNOWN && level_par(session, 20).state == PAR_NOT_KNOWN);
    fs::current_path(dir);
    fs::create_directories(dir / "solutions");
    fs::copy_file(fs::path(TIRVEX_GAME_DIR) / "solutions/map01.txt", dir / "solutions/map01.txt");
    EXPECT_EQ(level_par(session, 1).state, PAR_NOT_KNOWN) << "the solution is of another map than map01.txt";
    fs::copy_file(fs::path(TIRVEX_GAME_DIR) / "maps/map01.txt", dir / "maps/map01.txt",
                  fs::copy_options::overwrite_existing);
    EXPECT_EQ(level_par(session, 1).state, PAR_KNOWN);
    fs::current_path(TIRVEX_GAME_DIR);
    std::snprintf(levels_folder, sizeof levels_folder, "%s", TIRVEX_GAME_DIR "/maps");
    EXPECT_EQ(level_par(session, 1).state, PAR_NOT_KNOWN);
    levels_folder[0] = '\0';
    fs::current_path(dir);

    const struct { const char *line; bool known; int moves, waits, ticks; } lines[] = {
        {"# Solution of map01.txt, \"A: \"b\": 24 moves and 2 waits, 288 ticks of game time.\n",
         true, 24, 2, 288},
        {"# Solution of map01.txt, \"x\": 24 moves and 2 waits, 288 ticks.\n", false, 0, 0, 0},
        {"# Solution of map01.txt, \"x\": 24 moves and 2 waits, 0 ticks of game time.\n", false,
         0, 0, 0},
        {"ticks_per_frame 2\n", false, 0, 0, 0},
        {"", false, 0, 0, 0},
    };
    for (const auto &l : lines) {
        write_file(dir / "solution.txt", l.line);
        LevelPar par;
        char name[LEVEL_NAME_SIZE];
        EXPECT_EQ(read_solution_par("solution.txt", &par, name, sizeof name), l.known) << l.line;
        if (l.known) {
            EXPECT_STREQ(name, "A: \"b");
        }
        EXPECT_EQ(par.state == PAR_KNOWN, l.known) << l.line;
        EXPECT_EQ(par.moves + par.waits + par.ticks, l.moves + l.waits + l.ticks) << l.line;
    }
}

/* The panel shows only while Tab is held, over the middle of the view below the HUD row. */
TEST_F(Records, ThePanelIsDrawnOnlyWhileTabIsHeld)
{
    complete(1, 20, 0, 0, 300);
    begin_attempt(1);
    BITMAP *picture = create_bitmap_ex(8, 640, 480);
    for (bool held : {false, true}) {
        clear_to_color(picture, 0);
        records_panel_held = held;
        draw_records_panel(picture, session);
        const int inside = 400 * 200 - count_colour(picture, 0, 120, 50, 519, 249);
        EXPECT_EQ(640 * 480 - count_colour(picture, 0), inside) << "drawn outside the panel";
        EXPECT_TRUE(held ? inside > 2000 : inside == 0) << inside;
    }
    records_panel_held = false;
    destroy_bitmap(picture);
}

namespace {

/* Waits, a bounded time, for the par search under way to give its answer. */
bool par_search_ends()
{
    for (int i = 0; i < 3000; i++) {
        if (!poll_par_search(session))
            return true;
        usleep(10000);
    }
    return false;
}

SearchResult expected;      /* some 40 KB, kept off the stack */

} // namespace

/* A --levels map's par is worked out on its first play, by the checker's search on a thread of
   its own, and kept in the records file beside the folder's progress from the next completion;
   a changed map gets a new one, and demo playback starts none. */
TEST_F(Records, ALevelsFoldersParIsWorkedOutOnFirstPlayAndKept)
{
    const fs::path mine = dir / "mine";
    fs::create_directories(mine);
    fs::copy_file(fs::path(TIRVEX_SOURCE_DIR) / "tests/maps/play_walk.txt", mine / "map01.txt");
    std::snprintf(levels_folder, sizeof levels_folder, "%s", mine.c_str());
    std::snprintf(levels_progress_folder, sizeof levels_progress_folder, "%s", mine.c_str());
    const std::string map = read_file(mine / "map01.txt");
    ASSERT_TRUE(search_level(map.c_str(), SearchLimits{2, 4000000, 600, 256LL << 20, 0}, &expected));

    demo_mode = DEMO_PLAYBACK;
    begin_attempt(1);
    EXPECT_EQ(level_par(session, 1).state, PAR_NOT_KNOWN);
    EXPECT_FALSE(poll_par_search(session)) << "no search in playback";
    demo_mode = DEMO_OFF;

    begin_attempt(1);
    EXPECT_EQ(level_par(session, 1).state, PAR_WORKING);
    begin_attempt(1);     // a restart: the same search goes on
    ASSERT_TRUE(par_search_ends());
    LevelPar par = level_par(session, 1);
    ASSERT_TRUE(par.state == PAR_KNOWN && par.moves == expected.moves &&
                par.waits == expected.waits && par.ticks == expected.ticks);
    EXPECT_FALSE(fs::exists(mine / "tirvex-records.txt")) << "written only after a completion";

    world.clock = WALK_LIMIT - 500;
    log_command(session.log, 0, MOVE_FORWARD);
    records_level_completed(session, 1, records_attempt_ticks(session.attempt, world.clock));
    const std::string file = read_file(mine / "tirvex-records.txt");
    char line[96];
    std::snprintf(line, sizeof line, "\npar 1 %016llx %d %d %d search\n", (unsigned long long)par.map_hash,
                  (int)expected.moves, (int)expected.waits, (int)expected.ticks);
    EXPECT_NE(file.find(line), std::string::npos) << file;

    // The next run reads it back and searches no more; a changed map is searched again.
    forget_records_state();
    begin_attempt(1);
    EXPECT_TRUE(!poll_par_search(session) && level_par(session, 1).moves == expected.moves);
    write_file(mine / "map01.txt", "changed " + map);
    begin_attempt(1);
    EXPECT_EQ(level_par(session, 1).state, PAR_WORKING);
    forget_records_state();         // stops it
    EXPECT_FALSE(poll_par_search(session));
    levels_folder[0] = levels_progress_folder[0] = '\0';
    EXPECT_EQ(read_file(mine / "tirvex-records.txt"), file);
}

namespace {

/* `text` padded with comment lines to exactly `size` bytes. */
std::string padded(std::string text, size_t size)
{
    while (text.size() < size) {
        const size_t line = std::min<size_t>(size - text.size(), 100);
        text += line == 1 ? std::string("\n") : "#" + std::string(line - 2, 'x') + "\n";
    }
    return text;
}

} // namespace

/* A file of exactly the limit, 20,480 bytes, is a records file like any: one was refused as
   larger than the limit, and then never written again. One byte more is refused. */
TEST_F(Records, TheSizeLimitIncludesItsOwnLength)
{
    const std::string full = padded(HEADER + "level 1 20 300 - -\n", 20480);
    ASSERT_EQ(full.size(), 20480u);
    write_file(dir / "tirvex-records.txt", full);
    ASSERT_TRUE(load_records()) << records_fault();
    expect_record(1, RECORD_UNHELPED, 20, 300);
    complete(1, 10, 0, 0, 100);
    EXPECT_EQ(body(records()), "level 1 10 100 - -\n") << "written again";

    forget_records_state();
    const std::string over = padded(HEADER + "level 1 20 300 - -\n", 20481);
    write_file(dir / "tirvex-records.txt", over);
    ASSERT_TRUE(!load_records() && records_fault() != nullptr);
    EXPECT_NE(std::string(records_fault()).find("larger than 20480 bytes"), std::string::npos);
    complete(1, 9, 0, 0, 90);
    EXPECT_EQ(records(), over);
}

/* A record belongs to the map it was won on, as its hash says: a map put under another number,
   or edited, starts with none, and the records of the map it replaced stay in the file for it.
   Records used to be kept by level number alone, so that a renumbered map took another's. */
TEST_F(Records, ARecordBelongsToTheMapItWasWonOn)
{
    add_map("play_mine.txt", {2});
    complete(1, 20, 0, 0, 300);
    complete(2, 6, 0, 0, 80);
    const std::string walk = map_key(1), mine = map_key(2);
    ASSERT_NE(walk, mine);

    // The two maps swap numbers: neither level shows a record any more.
    // (The panel shows the records of the map the attempt began on: each level is begun again.)
    add_map("play_mine.txt", {1});
    add_map("play_walk.txt", {2});
    begin_attempt(1);
    expect_record(1, RECORD_UNHELPED, RECORD_NONE, RECORD_NONE);
    begin_attempt(2);
    expect_record(2, RECORD_UNHELPED, RECORD_NONE, RECORD_NONE);
    complete(1, 7, 0, 0, 90);
    const std::string file = records();
    EXPECT_NE(file.find("level 1 " + walk + " 20 300 - -\n"), std::string::npos) << file;
    EXPECT_NE(file.find("level 1 " + mine + " 7 90 - -\n"), std::string::npos) << file;
    EXPECT_NE(file.find("level 2 " + mine + " 6 80 - -\n"), std::string::npos) << file;

    // Swapped back, each has its own again; an edited map has none.
    add_map("play_walk.txt", {1});
    add_map("play_mine.txt", {2});
    begin_attempt(1);
    expect_record(1, RECORD_UNHELPED, 20, 300);
    begin_attempt(2);
    expect_record(2, RECORD_UNHELPED, 6, 80);
    write_file(dir / "maps" / "map02.txt", read_file(dir / "maps" / "map02.txt") + "\n");
    begin_attempt(2);
    expect_record(2, RECORD_UNHELPED, RECORD_NONE, RECORD_NONE);

    // A first file's level lines, without a hash, are taken for the maps the levels have as it
    // is read, and written with their hashes from the next rewrite on.
    forget_records_state();
    write_file(dir / "tirvex-records.txt", FIRST_HEADER + "level 1 30 400 - -\nlevel 3 - - 8 9\n");
    begin_attempt(1);
    expect_record(1, RECORD_UNHELPED, 30, 400);
    expect_record(3, RECORD_HELPED, 8, 9);
    complete(1, 25, 0, 0, 500);
    EXPECT_NE(records().find("level 1 " + walk + " 25 400 - -\n"), std::string::npos) << records();
    EXPECT_NE(records().find("level 3 " + map_key(3) + " - - 8 9\n"), std::string::npos);
}

/* A par is the checker's proved shortest way: a completion in fewer moves than it was counted
   wrong (an undone restart once made 16 moves count as 13), and records nothing, neither its
   moves nor its time; one in as many is recorded. */
TEST_F(Records, ACompletionInFewerMovesThanTheParRecordsNothing)
{
    const fs::path mine = dir / "mine";
    fs::create_directories(mine);
    fs::copy_file(fs::path(TIRVEX_SOURCE_DIR) / "tests/maps/play_walk.txt", mine / "map01.txt");
    const std::string map = read_file(mine / "map01.txt");
    char par_line[96];
    std::snprintf(par_line, sizeof par_line, "par 1 %016llx 5 0 300 search\n",
                  (unsigned long long)map_text_hash(map.data(), map.size()));
    const std::string file = HEADER + par_line;
    write_file(mine / "tirvex-records.txt", file);
    std::snprintf(levels_folder, sizeof levels_folder, "%s", mine.c_str());
    std::snprintf(levels_progress_folder, sizeof levels_progress_folder, "%s", mine.c_str());

    ::testing::internal::CaptureStderr();
    complete(1, 4, 0, 0, 50);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(level_par(session, 1).moves, 5);
    EXPECT_FALSE(poll_par_search(session)) << "the par is known: no search";
    EXPECT_NE(said.find("level 1 completed in 4 moves, fewer than its par of 5: not recorded"),
              std::string::npos) << said;
    expect_record(1, RECORD_UNHELPED, RECORD_NONE, RECORD_NONE);
    EXPECT_EQ(read_file(mine / "tirvex-records.txt"), file);

    complete(1, 5, 0, 0, 60);
    expect_record(1, RECORD_UNHELPED, 5, 60);
    levels_folder[0] = levels_progress_folder[0] = '\0';
    EXPECT_NE(read_file(mine / "tirvex-records.txt").find(par_line), std::string::npos);
}

/* Two games on one folder each read the records, added their level's and wrote them back: the
   one that wrote last lost the other's. Under the folder's lock every record lands, and every
   completion of the progress record with it; one game a level, all let go at once. */
TEST_F(Records, GamesCompletingAtOnceOnOneFolderAllKeepTheirRecordsAndProgress)
{
    add_map("play_walk.txt", {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
    std::vector<std::function<void()>> games;
    for (int level = 1; level <= 19; level++)
        games.push_back([level] { complete(level, level, 0, 0, 100 + level); record_level_completed(level); });
    ASSERT_TRUE(file_safety::run_together(games));
    load_records();
    for (int level = 1; level <= 19; level++)
        expect_record(level, RECORD_UNHELPED, level, 100 + level);
    EXPECT_EQ(read_file(dir / "tirvex.sav"), "0" + std::string(19, '1'));
    forget_progress_state();
}

/* Every file the game, the editor and the tools read from a player's folders, with a FIFO, a
   device, a folder, a link to a FIFO or a link to nothing at its name. A FIFO was opened and
   waited on for a writer: at a --levels folder's solutions/mapNN.txt or at a renumbering's file
   the game gave a black screen only SIGKILL ended; at a --data folder's data/pz.dat, and at a
   map for the checker, the preview or the editor, they hung too. Each gives up at once and
   names the file (a link to nothing counts as no file). */
TEST_F(Records, EveryReaderOfAPlayersFileRefusesWhatIsNoFileAtOnceNamingIt)
{
    const fs::path mine = dir / "mine";
    fs::create_directories(mine / "solutions");
    fs::create_directories(dir / "data");
    fs::copy_file(dir / "maps/map01.txt", mine / "map01.txt");
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    std::snprintf(levels_folder, sizeof levels_folder, "%s", mine.c_str());
    std::snprintf(levels_progress_folder, sizeof levels_progress_folder, "%s", mine.c_str());
    session.par_search_allowed = false;
    auto said = [](const std::function<void()> &read) {
        testing::internal::CaptureStderr();
        read();
        return testing::internal::GetCapturedStderr();
    };
    auto text_of = [](const char *text) { return std::string(text ? text : ""); };
    auto run = [](const std::string &command) {
        std::string out;
        char line[512];
        FILE *pipe = popen(("timeout -s KILL 20 " + command + " 2>&1").c_str(), "r");
        while (pipe && std::fgets(line, sizeof line, pipe))
            out += line;
        if (pipe)
            pclose(pipe);
        return out;
    };
    const std::string tools = std::string(TIRVEX_GAME_DIR) + "/";
    auto finish = [](auto &) {
        char note[RENUMBER_NOTE_SIZE];
        finish_renumbering(levels_folder, note, sizeof note);
        return std::string(note);
    };
    static EditLevel edited;
    // Each reader, given the file's path, returns what it said of it.
    const std::vector<std::pair<std::string, std::function<std::string(const std::string &)>>>
        readers = {
        {"mine/tirvex.sav", [&](auto &) { return text_of(probe_progress_file()); }},
        {"mine/tirvex-records.txt", [&](auto &) { load_records(); return text_of(records_fault()); }},
        {"tirvex-lessons.txt", [&](auto &) { return said([] { lesson_taught("x"); }); }},
        {"wvideo.cfg", [](auto &p) {
             char note[512] = "";
             read_video_config(p.c_str(), note, sizeof note);
             return std::string(note); }},
        {"keys.cfg", [&](auto &p) { return said([&] { load_key_map(p.c_str(), stderr); }); }},
        {"a.demo", [](auto &p) {
             char fault[DEMO_FAULT_SIZE] = "";
             demo_playback_start(p.c_str(), false, fault, sizeof fault);
             return std::string(fault); }},
        {"mine/map02.txt", [](auto &p) {
             char name[LEVEL_NAME_SIZE], fault[MAP_FAULT_SIZE] = "";
             int code;
             read_level_header(p.c_str(), name, &code, fault);
             return std::string(fault); }},
        {"mine/solutions/map01.txt", [&](auto &) { return said([] { begin_attempt(1); }); }},
        {"mine/.renumbering.journal", finish}, {"mine/.renumbering.05", finish},
        {"mine/.renumber.txt", finish},
        {"data/pz.dat", [](auto &p) {
             DATAFILE *kept = Datafile;
             char message[DATAFILE_MESSAGE_SIZE];
             load_game_datafile(p.c_str(), message);
             Datafile = kept;
             return std::string(message); }},
        {"mine/map03.txt", [&](auto &p) { return run(tools + "level_checker " + p); }},
        {"mine/map04.txt", [&](auto &p) { return run(tools + "../tools/preview/preview " + p + " x"); }},
        {"mine/map05.txt", [](auto &p) { std::string t; return read_level_file(p, &edited, &t, nullptr); }},
    };
    const std::vector<std::pair<const char *, std::function<void(const fs::path &)>>> kinds = {
        {"a FIFO", [](auto &at) { mkfifo(at.c_str(), 0600); }},
        {"a device", [](auto &at) { fs::create_symlink("/dev/null", at); }},
        {"a folder", [](auto &at) { fs::create_directory(at); }},
        {"a link to a FIFO", [&](auto &at) { fs::create_symlink(dir / "fifo", at); }},
        {"a link to nothing", [&](auto &at) { fs::create_symlink(dir / "nothing", at); }},
    };
    for (const auto &[name, reader] : readers) {
        for (const auto &[kind, plant] : kinds) {
            plant(dir / name);
            const bool prompt = file_safety::returns_within(30, [&] { reader(name); });
            EXPECT_TRUE(prompt) << name << " as " << kind << " is waited on";
            const std::string text = prompt ? reader(name) : name;
            EXPECT_TRUE(kind == kinds.back().first || text.find(name) != std::string::npos)
                << name << " as " << kind << ": " << text;
            fs::remove(dir / name);
            forget_progress_state();
            forget_records_state();
            forget_lessons_state();
        }
    }
    levels_folder[0] = levels_progress_folder[0] = '\0';
    session.par_search_allowed = true;
}
