/* game_places_test.cpp: the command line, the player's language, where the data is found and
   where the player's files are kept, and a save that cannot be kept. */
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "game_test_support.h"
#include "base/command_line.h"
#include "base/game_paths.h"
#include "base/translation.h"
#include "ui/progress_file.h"
#include "world/level_idea.h"

namespace {

using namespace game_test;

const CommandOption OPTIONS[] = {
    {"nosound", nullptr, "silent", 0, 0},
    {"data", "DIR", "data", 0, 0},
    {"states", "N", "states", 1, 1000},
};
const CommandSyntax SYNTAX = {"prog", "A program.", "MAP...", 0, 2, OPTIONS, 3};

/* Reads the words as a command line; returns the status and leaves the result in line. */
int read_words(std::vector<const char *> words, CommandLine *line)
{
    words.insert(words.begin(), "prog");
    return read_command_line((int)words.size(), const_cast<char **>(words.data()), &SYNTAX,
                             "9.9", line);
}

class GamePlaces : public GameDirectoryTest {
protected:
    void TearDown() override
    {
        home_folder[0] = '\0';
        levels_folder[0] = levels_progress_folder[0] = '\0';
        home_unwritable = progress_unwritable = false;
        forget_progress_state();
        GameDirectoryTest::TearDown();
    }

    /* Runs the search with these options and environment from the test's directory. */
    bool find(const char *data, const char *home, const char *xdg, const char *home_env,
              const char *levels = nullptr, const char *xdg_config = nullptr)
    {
        fs::current_path(dir);
        const PlaceRequest r = {data, home, xdg, home_env, "/nonexistent/tirvex", levels,
                                xdg_config};
        return find_game_places(&r, fault, notice, sizeof fault) == 1;
    }

    void make_data(const fs::path &folder)
    {
        fs::create_directories(folder / "data");
        write_file(folder / "data/pz.dat", "x");
    }

    char fault[GAME_PATH_SIZE + 128], notice[GAME_PATH_SIZE + 128];
};

} // namespace

TEST(CommandLine, OneDashOrTwoValuesNumbersAndOperands)
{
    CommandLine line;
    EXPECT_EQ(read_words({"-nosound", "--data", "d1", "MAP", "--states=7"}, &line), -1);
    EXPECT_TRUE(line.given[0] && std::string(line.text[1]) == "d1" && line.number[2] == 7 &&
                line.operand_count == 1 && std::string(line.operands[0]) == "MAP");
    EXPECT_EQ(read_words({"--nosound", "-data=d2", "--", "-not-an-option"}, &line), -1);
    EXPECT_TRUE(line.given[0] && std::string(line.text[1]) == "d2" && !line.given[2] &&
                std::string(line.operands[0]) == "-not-an-option");
    EXPECT_TRUE(read_words({"--help"}, &line) == 0 && read_words({"-version"}, &line) == 0);
    // Everything else is a wrong command line: status 2.
    const std::string long_name = "--" + std::string(80, 'x');
    const std::vector<std::vector<const char *>> wrong = {
        {"--bogus"}, {"-n"}, {"--data"}, {"--nosound=1"}, {"--states", "0"},
        {"--states", "1001"}, {"--states", "7x"}, {"--states", "99999999999999999999"},
        {"a", "b", "c"}, {long_name.c_str()},
    };
    for (const auto &words : wrong)
        EXPECT_EQ(read_words(words, &line), 2) << words[0];
    // A required option stands unbracketed in the usage and is refused when missing (the
    // generator's usage bracketed its four required options as if they could be left out).
    const CommandOption needed[] = {{"out", "DIR", "the folder", 0, 0, true}};
    const CommandSyntax must = {"gen", "Makes.", "", 0, 0, needed, 1};
    char usage[64] = {};
    FILE *out = fmemopen(usage, sizeof usage - 1, "w");
    print_usage(out, &must);
    std::fclose(out);
    EXPECT_STREQ(usage, "usage: gen --out DIR\n");
    const char *alone[] = {"gen"}, *given[] = {"gen", "--out=d"};
    EXPECT_EQ(read_command_line(1, const_cast<char **>(alone), &must, "9.9", &line), 2);
    EXPECT_EQ(read_command_line(2, const_cast<char **>(given), &must, "9.9", &line), -1);
}

TEST(Language, ChosenTheGettextWayAndACatalogueCheckedBeforeUse)
{
    // --language, LANGUAGE, LC_ALL, LC_MESSAGES, LANG -> the codes tried, best first.
    const std::vector<std::vector<const char *>> cases = {
        {"de", "fr", "es_ES", nullptr, nullptr, "de"}, {"C", "fr", nullptr, nullptr, "de_DE", ""},
        {nullptr, "fr:de", nullptr, nullptr, "de_DE.UTF-8", "fr de"},
        {nullptr, "fr:en:de", nullptr, nullptr, "de_DE", "fr"},
        {nullptr, "fr", "C", nullptr, "de_DE", ""}, {nullptr, "fr", nullptr, nullptr, nullptr, ""},
        {nullptr, "", "es_ES", "fr_FR", "de_DE", "es_ES es"},
        {nullptr, nullptr, "", "fr_FR", "de_DE", "fr_FR fr"},
        {nullptr, nullptr, nullptr, nullptr, "de_AT.UTF-8@euro", "de_AT de"},
        {nullptr, nullptr, nullptr, nullptr, "en_GB.UTF-8", ""}, {nullptr, "", "POSIX", "", "", ""},
    };
    for (const auto &c : cases) {
        char codes[LANGUAGE_MAX_CHOICES][LANGUAGE_CODE_SIZE];
        std::string tried;
        for (int i = 0, n = language_choices(c[0], c[1], c[2], c[3], c[4], codes); i < n; i++)
            tried += (i ? " " : "") + std::string(codes[i]);
        EXPECT_EQ(tried, c[5]) << (c[0] ? c[0] : "") << " " << (c[1] ? c[1] : "");
    }
    // A catalogue is read once whole and checked: cut short, foreign or with a table past its
    // end it is refused by name and every text stays English; a translation that would read
    // its arguments as other kinds is left out.
    const fs::path dir = fs::temp_directory_path() / ("tirvex_mo_" + std::to_string(getpid()));
    fs::create_directories(dir);
    write_file(dir / "de.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n"
               "msgid \"Paused\"\nmsgstr \"Pausiert\"\n"
               "msgid \"%d sweets\"\nmsgstr \"%s Bonbons\"\n"
               "msgid \"drop down\"\nmsgstr \"spring\"\nmsgid \"eat the %d sweets\"\nmsgstr \"iss %d\"\n");
    ASSERT_EQ(std::system(("msgfmt -o " + (dir / "de.mo").string() + " " +
                           (dir / "de.po").string()).c_str()), 0);
    const std::string good = read_file(dir / "de.mo"), path = (dir / "bad.mo").string();
    char fault[512];
    EXPECT_TRUE(load_catalogue((dir / "de.mo").c_str(), fault, sizeof fault));
    const char *sweets = "%d sweets";
    EXPECT_TRUE(std::string(tr("Paused")) == "Pausiert" && tr(sweets) == sweets && !*tr("") &&
                std::string(fault).find("de.mo has 1 translations whose") != std::string::npos);
    // A generated level's idea line, written in English in its map, is shown phrase by phrase.
    char shown[LEVEL_IDEA_SHOWN_SIZE];
    EXPECT_STREQ(translated_idea("drop down, see, eat the 12 sweets", shown), "spring, see, iss 12");
    std::string swapped = good, past_end = good;
    swapped[0] = 'X';
    past_end[15] = '\x7f';
    for (const std::string &bad : {good.substr(0, 20), swapped, past_end, good.substr(0, 60)}) {
        write_file(path, bad);
        EXPECT_FALSE(load_catalogue(path.c_str(), fault, sizeof fault));
        EXPECT_TRUE(std::string(tr("Paused")) == "Paused" &&
                    std::string(fault).find(path) != std::string::npos) << fault;
    }
    fs::remove_all(dir);
}

TEST_F(GamePlaces, DataInTheWorkingDirectoryKeepsEverythingThere)
{
    make_data(dir);
    ASSERT_TRUE(find(nullptr, nullptr, "/tmp/xdg", "/tmp/home"));
    EXPECT_TRUE(home_folder[0] == '\0' && fs::current_path() == dir);
    char path[64];
    EXPECT_STREQ(user_file_path("tirvex.sav", path, sizeof path), "tirvex.sav");
}

TEST_F(GamePlaces, SettingsLiveInTheConfigFolderAndAnOldVideoModeMovesThereOnce)
{
    make_data(dir / "share");
    const std::string data_home = (dir / "xdg").string(), config = (dir / "config").string();
    const std::string home = (dir / "home").string();
    fs::create_directories(data_home + "/tirvex");
    write_file(data_home + "/tirvex/wvideo.cfg", "2 800 600\n");
    ASSERT_TRUE(find("share", nullptr, data_home.c_str(), home.c_str(), nullptr, config.c_str()));
    EXPECT_EQ(std::string(config_folder), config + "/tirvex");
    char path[GAME_PATH_SIZE];
    EXPECT_EQ(std::string(config_file_path("keys.cfg", path, sizeof path)), config + "/tirvex/keys.cfg");
    EXPECT_TRUE(read_file(config + "/tirvex/wvideo.cfg") == "2 800 600\n" &&
                !fs::exists(data_home + "/tirvex/wvideo.cfg"));
    // Moved once: a later one left beside the save does not replace the player's settings.
    write_file(data_home + "/tirvex/wvideo.cfg", "1 640 480\n");
    ASSERT_TRUE(find("share", nullptr, data_home.c_str(), home.c_str(), nullptr, config.c_str()));
    EXPECT_EQ(read_file(config + "/tirvex/wvideo.cfg"), "2 800 600\n");

    // Without XDG_CONFIG_HOME, ~/.config; with --home, that folder; the game's own folder as ever.
    ASSERT_TRUE(find("share", nullptr, data_home.c_str(), home.c_str()));
    EXPECT_EQ(std::string(config_folder), home + "/.config/tirvex");
    ASSERT_TRUE(find("share", "mine", data_home.c_str(), home.c_str(), nullptr, config.c_str()));
    EXPECT_STREQ(config_folder, home_folder);
    make_data(dir);
    ASSERT_TRUE(find(nullptr, nullptr, data_home.c_str(), home.c_str(), nullptr, config.c_str()));
    EXPECT_STREQ(config_file_path("wvideo.cfg", path, sizeof path), "wvideo.cfg");
}

TEST_F(GamePlaces, DataElsewhereSendsThePlayersFilesHome)
{
    make_data(dir / "share");
    const std::string xdg = (dir / "xdg").string(), home = (dir / "home").string();
    // The --data folder is entered; XDG_DATA_HOME wins over HOME; a relative one is ignored.
    ASSERT_TRUE(find("share", nullptr, xdg.c_str(), home.c_str()));
    EXPECT_TRUE(fs::current_path() == dir / "share" && std::string(home_folder) == xdg + "/tirvex");
    struct stat s;
    ASSERT_EQ(stat(home_folder, &s), 0);
    EXPECT_EQ(s.st_mode & 0777, 0700u) << "a new player's folder is private";
    char path[GAME_PATH_SIZE];
    EXPECT_EQ(std::string(user_file_path("screen01.bmp", path, sizeof path)),
              xdg + "/tirvex/screen01.bmp");

    ASSERT_TRUE(find("share", nullptr, "relative/xdg", home.c_str()));
    EXPECT_TRUE(std::string(home_folder) == home + "/.local/share/tirvex" && fs::is_directory(home_folder));
    ASSERT_TRUE(find("share", "mine", nullptr, nullptr));
    EXPECT_TRUE(std::string(home_folder) == (dir / "mine").string() && !home_unwritable);
    // --home holds the own levels of --levels alone and --generate too, started in the game's
    // folder or elsewhere: they went there, or into the XDG folder, --home ignored.
    for (const fs::path &start : {dir / "share", dir}) {
        fs::current_path(start);
        EXPECT_STREQ(player_levels_folder((dir / "mine").c_str(), path, sizeof path),
                     (dir / "mine/levels").c_str()) << start;
    }

    // A --data folder without a datafile is refused before anything is entered.
    EXPECT_FALSE(find("nowhere", nullptr, xdg.c_str(), nullptr));
    EXPECT_TRUE(std::string(fault).find("nowhere holds no readable data/pz.dat") != std::string::npos &&
                fs::current_path() == dir);
}

TEST_F(GamePlaces, AnUnusableHomeIsReportedOnceAndProgressIsNotSaved)
{
    make_data(dir / "share");
    write_file(dir / "plain_file", "");
    const std::string xdg = (dir / "plain_file").string();
    ASSERT_TRUE(find("share", nullptr, xdg.c_str(), nullptr) && home_unwritable);
    EXPECT_NE(std::string(notice).find("plain_file/tirvex: Not a directory"), std::string::npos)
        << notice;

    // Completing a level goes on without a fatal stop and writes nothing anywhere.
    fs::create_directories("maps");
    fs::copy_file(fs::path(TIRVEX_SOURCE_DIR) / "tests/maps/play_walk.txt", "maps/map02.txt");
    EXPECT_TRUE(record_level_completed(1) == 0 && !fs::exists(dir / "share/tirvex.sav"));
    EXPECT_STREQ(unsaved_progress_notice(), "No write access: progress is not saved");
    EXPECT_EQ(unsaved_progress_notice(), nullptr);
}

// A folder of levels: its maps are played instead of the shipped ones, and its progress is kept
// beside them, apart from the shipped levels' record; where the folder cannot be written, under
// its name in the player's folder. A folder without map01.txt is refused.
TEST_F(GamePlaces, AFolderOfLevelsKeepsItsOwnProgress)
{
    make_data(dir / "share");
    fs::create_directories(dir / "mine");
    fs::copy_file(fs::path(TIRVEX_SOURCE_DIR) / "tests/maps/play_walk.txt", dir / "mine/map01.txt");
    fs::copy_file(fs::path(TIRVEX_SOURCE_DIR) / "tests/maps/play_walk.txt", dir / "mine/map02.txt");
    const std::string home = (dir / "home").string();
    ASSERT_TRUE(find("share", nullptr, nullptr, home.c_str(), "mine"));
    char path[GAME_PATH_SIZE];
    EXPECT_EQ(std::string(level_file_path(2, path, sizeof path)), (dir / "mine/map02.txt").string());
    // Map02 follows level 1; level 2 is the folder's last.
    EXPECT_TRUE(record_level_completed(1) == 0 && record_level_completed(2) == 1);
    EXPECT_TRUE(read_file(dir / "mine/tirvex.sav") == "011" + std::string(17, '0') &&
                !fs::exists(home + "/.local/share/tirvex/tirvex.sav"));

    if (geteuid() != 0) {   // a folder root cannot be kept from writing
        fs::permissions(dir / "mine", fs::perms::owner_read | fs::perms::owner_exec);
        ASSERT_TRUE(find("share", nullptr, nullptr, home.c_str(), "mine"));
        EXPECT_EQ(record_level_completed(1), 0);
        EXPECT_EQ(read_file(home + "/.local/share/tirvex/levels/mine/tirvex.sav"), "01" + std::string(18, '0'));
        fs::permissions(dir / "mine", fs::perms::owner_all);
    }

    EXPECT_FALSE(find("share", nullptr, nullptr, home.c_str(), "share"));
    EXPECT_NE(std::string(fault).find("share holds no readable map01.txt"), std::string::npos) << fault;
    // Without the option the shipped maps are read as before.
    ASSERT_TRUE(find("share", nullptr, nullptr, home.c_str()));
    EXPECT_STREQ(level_file_path(3, path, sizeof path), "maps//map03.txt");
}

/* A folder of levels keeps its own record even when the player's folder cannot be used. Mends
   the fault where such a folder opened with the shipped levels' progress. Where neither place can
   be written, nothing is saved and the record is never the shipped levels' one. */
TEST_F(GamePlaces, AFolderOfLevelsKeepsItsOwnRecordWhenThePlayersFolderIsUnusable)
{
    make_data(dir / "share");
    write_file(dir / "share/tirvex.sav", std::string(20, '1'));     // the shipped levels' record
    fs::create_directories(dir / "mine");
    fs::copy_file(fs::path(TIRVEX_SOURCE_DIR) / "tests/maps/play_walk.txt", dir / "mine/map01.txt");
    write_file(dir / "plain_file", "");
    const std::string xdg = (dir / "plain_file").string();
    ASSERT_TRUE(find("share", nullptr, xdg.c_str(), nullptr, "mine"));
    EXPECT_TRUE(home_unwritable && !progress_unwritable &&
                std::string(levels_progress_folder) == (dir / "mine").string());
    EXPECT_EQ(std::string(notice).find("Progress will not be saved"), std::string::npos) << notice;
    ProgressRecord record;
    load_progress(&record);
    EXPECT_EQ(progress_level_completed(&record, 1), 0) << "not the shipped levels' progress";
    EXPECT_TRUE(record_level_completed(1) == 1 && read_file(dir / "mine/tirvex.sav") == "01" + std::string(18, '0'));
    EXPECT_EQ(unsaved_progress_notice(), nullptr);

    // An ordinary user who can write neither the folder of levels nor the player's folder.
    fs::permissions(dir, fs::perms::all);
    fs::permissions(dir / "share", fs::perms::all);
    fs::remove(dir / "mine/tirvex.sav");
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                std::_Exit(3);
            const bool found = find("share", nullptr, xdg.c_str(), nullptr, "mine");
            ProgressRecord seen;
            load_progress(&seen);
            record_level_completed(1);
            std::_Exit(found && progress_unwritable && levels_progress_folder[0] &&
                               !progress_level_completed(&seen, 1) &&
                               !fs::exists(dir / "mine/tirvex.sav")
                           ? 0 : 4);
        },
        ::testing::ExitedWithCode(0), "Progress will not be saved");
}
