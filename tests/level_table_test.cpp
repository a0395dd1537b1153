/* level_table_test.cpp: the level checker's Markdown table of the levels, from the map texts to
   the file --markdown writes. */
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "game_test_support.h"
#include "level_table.h"
#include "world_test_support.h"

namespace {

/* What write_level_table writes for the rows. */
std::string table_text(const LevelTableRow *rows, int count, bool fair = false)
{
    FILE *out = std::tmpfile();
    write_level_table(out, rows, count, fair);
    std::string text(std::ftell(out), '\0');
    std::rewind(out);
    EXPECT_EQ(std::fread(text.data(), 1, text.size(), out), text.size());
    std::fclose(out);
    return text;
}

LevelTableRow texts_of(const char *map_text)
{
    LevelTableRow row{};
    level_table_texts(map_text, &row);
    return row;
}

const char HEADING[] =
    "| Level | Name | Idea | Moves | Waits | Game time s | Limit s | States |\n"
    "| --- | --- | --- | ---: | ---: | ---: | ---: | ---: |\n";

} // namespace

TEST(LevelTable, TheIdeaIsTheFirstLineWithoutItsLevelNumber)
{
    const struct { const char *text, *idea, *name; } cases[] = {
        {"Tirvex level 7: push a jar down a step\nCrowded corridor\n0\n", "push a jar down a step",
         "Crowded corridor"},
        {"Tirvex level 12:   sidestep\r\nSidestep\r\n", "sidestep", "Sidestep"},
        {"Tirvex level 3:\rNo way back up\r0\r", "", "No way back up"},
        // Only "Tirvex level", a number and a colon make the prefix.
        {"Tirvex level 7\nName\n", "Tirvex level 7", "Name"},
        {"Tirvex level x: y\nName\n", "Tirvex level x: y", "Name"},
        {"tirvex level 7: y\nName\n", "tirvex level 7: y", "Name"},
        {"My level 7: y\nName\n", "My level 7: y", "Name"},
        // Blanks around the texts go; a missing line is empty.
        {"  \tan idea \t\n  a name  \n", "an idea", "a name"},
        {"only a first line", "only a first line", ""},
        {"", "", ""},
    };
    for (const auto &c : cases) {
        const LevelTableRow row = texts_of(c.text);
        EXPECT_STREQ(row.idea, c.idea) << c.text;
        EXPECT_STREQ(row.name, c.name) << c.text;
    }
    // A first line longer than a row holds is cut, not spilled into the name.
    const LevelTableRow row = texts_of((std::string(300, 'a') + "\nName\n").c_str());
    EXPECT_EQ(std::string(row.idea), std::string(LEVEL_TABLE_TEXT_SIZE - 1, 'a'));
    EXPECT_STREQ(row.name, "Name");
}

TEST(LevelTable, RowsKeepTheirOrderAndShowAFailedMapWithoutFigures)
{
    LevelTableRow rows[4] = {};
    rows[0] = texts_of("Tirvex level 19: run | jump\nAgainst the clock\n");
    rows[0].file_name = "map19.txt";
    rows[0].solved = true;
    rows[0].moves = 65, rows[0].waits = 2, rows[0].ticks = 804, rows[0].limit_ticks = 6000;
    rows[0].states = 123465;
    rows[1] = texts_of("idea\nA|B\n");
    rows[1].file_name = "my_level.txt";
    rows[1].moves = 3;              // not solved: the figures are not shown
    rows[2].file_name = "map7.txt";
    rows[3] = texts_of("x\ny\n");
    rows[3].file_name = "map01.txt";
    rows[3].solved = true;
    rows[3].ticks = 5, rows[3].limit_ticks = 12000;
    EXPECT_EQ(table_text(rows, 4),
              std::string(HEADING) +
              "| 19 | Against the clock | run \\| jump | 65 | 2 | 8.04 | 60 | 123465 |\n"
              "| my_level.txt | A\\|B | idea | - | - | - | - | - |\n"
              "| map7.txt |  |  | - | - | - | - | - |\n"
              "| 01 | y | x | 0 | 0 | 0.05 | 120 | 0 |\n");
    EXPECT_EQ(table_text(rows, 0), HEADING);

    // The fairness columns, the actors' and the start view's last.
    rows[0].analysed = rows[0].delay_wins = rows[0].think_tried = rows[0].actors_weighed = true;
    rows[0].decisions = 5, rows[0].wrong_ways = 2, rows[0].traps = 6948;
    rows[0].unwinnable_share = 0.239, rows[0].slowest_rate = 8, rows[0].margin = 18.3;
    rows[0].human_margin = 5.11, rows[0].shared_percent = 35, rows[0].shared_with = "map06.txt";
    rows[0].actors = 7, rows[0].actors_matter = 2, rows[0].actors_saving = 12;
    rows[0].way_waits = 4, rows[0].view_squares = 23, rows[0].view_teleport = true;
    rows[3] = rows[0];
    rows[3].file_name = "map01.txt";
    rows[3].actors_unknown = true, rows[3].actors_saving = -1, rows[3].way_waits = -1;
    rows[3].view_teleport = false, rows[3].view_sweet = true;
    std::string unanalysed;         // fifteen columns of "-"
    for (int column = 0; column < 15; column++)
        unanalysed += " - |";
    EXPECT_EQ(table_text(rows, 4, true),
              "| Level | Name | Idea | Moves | Waits | Game time s | Limit s | States | Decisions |"
              " Wrong ways | Traps | Cannot be won % | Start delay | Rates | Margin | Human margin |"
              " Shared | Actors | Matter | Saved without actors | Waits needed | In view | Seen |\n"
              "| --- | --- | --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |"
              " --- | --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | --- |\n"
              "| 19 | Against the clock | run \\| jump | 65 | 2 | 8.04 | 60 | 123465 | 5 | 2 | 6948 |"
              " 23.9 | yes | 1-8 | 18.3 | 5.11 | 35 % (06) | 7 | 2 | 12 | 4 | 23 | teleport |\n"
              "| my_level.txt | A\\|B | idea | - | - | - | - | - |" + unanalysed + "\n"
              "| map7.txt |  |  | - | - | - | - | - |" + unanalysed + "\n"
              "| 01 | Against the clock | run \\| jump | 65 | 2 | 8.04 | 60 | 123465 | 5 | 2 | 6948 |"
              " 23.9 | yes | 1-8 | 18.3 | 5.11 | 35 % (06) | 7 | 2 ? | no win | ? | 23 | sweet |\n");
}

/* Runs the checker with the arguments; returns its exit status and sets *output to what it
   printed. */
int run_checker(const std::string &arguments, std::string *output)
{
    const std::string printed = "/tmp/tirvex_table_" + std::to_string(getpid()) + ".out";
    const std::string command = std::string(TIRVEX_GAME_DIR) + "/level_checker " + arguments;
    const int status = std::system((command + " >" + printed + " 2>&1").c_str());
    *output = game_test::read_file(printed);
    std::remove(printed.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The checker writes a row for every map in the order given, a failing one too, and its usual
// report beside it; a table it cannot write fails the run.
TEST(LevelTable, TheCheckerWritesARowForEveryMapInCommandLineOrder)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tirvex_table_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    auto write_map = [&](const char *file, const std::string &first_line, const std::string &text) {
        const std::string path = (dir / file).string();
        FILE *out = std::fopen(path.c_str(), "w");
        const std::string body = first_line + text.substr(text.find('\n'));
        std::fwrite(body.data(), 1, body.size(), out);
        std::fclose(out);
        return path;
    };
    // A sweet one square ahead and the teleport beyond it; the same with the sweet out of reach.
    const std::string near = write_map("map03.txt", "Tirvex level 3: eat | leave",
                                       drawn_map({"1P 1S 1T"}, 64, 2, "Near"));
    const std::string high = write_map("high.txt", "too high",
                                       drawn_map({"1P 4S", "1T"}, 64, 2, "High"));
    const std::string table = (dir / "levels.md").string();
    std::string output;
    EXPECT_EQ(run_checker("--markdown " + table + " " + high + " /nonexistent/map09.txt " + near,
                          &output), 3) << output;
    EXPECT_NE(output.find("map03.txt: solved in 2 moves and 0 waits"), std::string::npos) << output;
    const std::string written = game_test::read_file(table);
    EXPECT_EQ(written.substr(0, sizeof HEADING - 1), HEADING);
    EXPECT_NE(written.find("| high.txt | High | too high | - | - | - | - | - |\n"
                           "| 09 |  |  | - | - | - | - | - |\n"
                           "| 03 | Near | eat \\| leave | 2 | 0 | "), std::string::npos) << written;
    EXPECT_NE(written.find(" | 120 | "), std::string::npos) << written;

    EXPECT_EQ(run_checker("--markdown " + (dir / "no/such/folder.md").string() + " " + near,
                          &output), 1) << output;
    EXPECT_NE(output.find("the table cannot be written"), std::string::npos) << output;
    std::filesystem::remove_all(dir);
}
