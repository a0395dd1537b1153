/* world_map_test.cpp: the level file format: header quirks, square lines, faults, loading. */
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "base/timer.h"
#include "world/actor_table.h"
#include "world/level_state.h"
#include "world/map_file.h"
#include "world/map_parser.h"
#include "world/world_clock.h"
#include "world_test_support.h"

namespace {

char fault[MAP_FAULT_SIZE];    /* why the last load_map found nothing to read */

const char *const HEADER = "comment\nName\n12\nx\n3\nx\nx\n";

std::string start_line(int x = 0) { return std::to_string(x) + " 0 0 0 1 0 -1 -1 -1 -1\n"; }

MapVerdict parse(const std::string &text, ParsedMap *map)
{
    MapReader reader;
    map_reader_from_text(&reader, text.data(), text.size());
    return parse_map(&reader, map);
}

ParsedMap parsed;

/* Lines of `n` squares in a row, the first one the start. */
std::string row_of_squares(int n)
{
    std::string s = std::to_string(n) + "\n" + start_line();
    for (int i = 1; i < n; i++)
        s += std::to_string(i % 300) + " 0 " + std::to_string(i / 300) + " 0 0 0 -1 -1 -1 -1\n";
    return s;
}

} // namespace

TEST(MapHeader, ANameKeeps38CharactersAndTheRestOfALongerLineSpillsIntoTheHeader)
{
    std::string name(38, 'n');
    MapVerdict v = parse("c\n" + name + "\n7\nx\n2\nx\nx\n1\n" + start_line(), &parsed);
    ASSERT_TRUE(v.fault == MAP_OK && std::string(parsed.name) == name && parsed.level_code == 7 &&
                parsed.minutes == 2);

    // 39 characters and more: the rest of the line is read as line 3, and the real code line
    // becomes line 4 (ignored), so the time limit comes from line 4's text.
    v = parse("c\n" + std::string(38, 'a') + "b42tail\n7\n9\nx\nx\n1\n" + start_line(), &parsed);
    ASSERT_EQ(v.fault, MAP_OK);
    EXPECT_EQ(std::string(parsed.name), std::string(38, 'a'));
    EXPECT_EQ(parsed.level_code, 42);   // "42tail\n" by the decimal-prefix rule
    EXPECT_EQ(parsed.minutes, 9);       // line 4 of the file was read as line 5
}

TEST(MapHeader, DecimalPrefixRule)
{
    EXPECT_EQ(map_decimal_prefix("  -17xyz"), -17);
    EXPECT_EQ(map_decimal_prefix("minutes: 5"), 0);
    EXPECT_EQ(map_decimal_prefix("- 5"), 0);
    EXPECT_EQ(map_decimal_prefix("99999999999999999999"), INT32_MAX);
}

TEST(MapSquares, NumbersAreAStreamAcrossLines)
{
    MapVerdict v = parse(std::string(HEADER) + "2 0 0\n0 0 1 0 -1 -1\n-1 -1 1 2 0 3 7 128 0 -1 2 5", &parsed);
    ASSERT_TRUE(v.fault == MAP_OK && parsed.square_count == 2);
    const MapSquareLine &s = parsed.squares[1];
    const std::vector<int32_t> fields = {s.x, s.height, s.z, s.texture, s.content, s.dir,
                                         s.side[0], s.side[1], s.side[2], s.side[3]};
    EXPECT_EQ(fields, (std::vector<int32_t>{1, 2, 0, 3, 7, 128, 0, -1, 2, 5}));
}

/* Each fault of a map, with the square it names (the fatal page's fixed message) and the line and
   what is wrong there (for error.log and standard error). HEADER is seven lines, so the count is
   on line 8 and the first square on line 9. */
TEST(MapSquares, EveryFaultNamesItsSquareItsLineAndWhatIsWrong)
{
    const std::string start = start_line(), two = "2\n" + start;
    std::string hundred_and_one = "101\n" + start;
    for (int i = 1; i < 101; i++)
        hundred_and_one += std::to_string(i) + " 0 0 0 5 0 -1 -1 -1 -1\n";
    const struct { std::string squares; MapFault fault; int square, line; const char *reason; } cases[] = {
        {two + "1 0 0 0 0 0 -1 -1 -1\n", MAP_BAD_SQUARE, 2, 11, "the file ends before the side 4"},
        {"3\n" + start, MAP_BAD_SQUARE, 2, 10, "the file ends before the column"},
        {two + "1 0 x 0 0 0 -1 -1 -1 -1\n", MAP_BAD_SQUARE, 2, 10, "row is not a number"},
        {"1\n0 0 0 0 1 0 -1 -1 - 1\n", MAP_BAD_SQUARE, 1, 9, "side 3 is not a number"},
        {"1\n0 0 0 0 1 0 -1 -1 -1 99999999999\n", MAP_BAD_SQUARE, 1, 9, "side 4 does not fit 32 bits"},
        {two + "-1 0 0 0 0 0 -1 -1 -1 -1\n", MAP_BAD_SQUARE, 2, 10, "column -1 is not within 0..326"},
        {two + "\n\n327 0 0 0 0 0 -1 -1 -1 -1\n", MAP_BAD_SQUARE, 2, 12, "column 327 is not within 0..326"},
        {two + "0 0 327 0 0 0 -1 -1 -1 -1\n", MAP_BAD_SQUARE, 2, 10, "row 327 is not within 0..326"},
        {two + "0 0 -1 0 0 0 -1 -1 -1 -1\n", MAP_BAD_SQUARE, 2, 10, "row -1 is not within 0..326"},
        {two + "1 0 0 0 0 0 -1 -1 3276 -1\n", MAP_BAD_SQUARE, 2, 10, "side 3 depth 3276 is out of range"},
        {two + "1 -1000 0 0 0 0 2276 -1 -1 -1\n", MAP_BAD_SQUARE, 2, 10, "side 1 depth 2276 is out of range"},
        {two + "1 0 0 4 0 0 -1 -1 -1 -1\n", MAP_BAD_SQUARE, 2, 10, "texture 4 is not within 0..3"},
        {two + "1 0 0 0 0 0 -2 -1 -1 -1\n", MAP_BAD_SQUARE, 2, 10, "side 1 depth -2 is out of range"},
        {two + "1 1001 0 0 0 0 -1 -1 -1 -1\n", MAP_BAD_SQUARE, 2, 10, "height 1001 is not within -1000..1000"},
        // The robot can only face the four grid directions.
        {"1\r\n0 0 0 0 1 32 -1 -1 -1 -1\r\n", MAP_BAD_SQUARE, 1, 9, "start direction 32 is not 0, 64, 128 or 192"},
        {two + start_line(1) + "garbage", MAP_TWO_STARTS, 2, 10, ""},
        {"1\n0 0 0 0 7 0 -1 -1 -1 -1\n", MAP_NO_START, 0, 0, ""},
        {row_of_squares(200), MAP_TOO_LARGE, 0, 8, ""},
        {"99999999999\n", MAP_TOO_LARGE, 0, 8, ""},
        {"0\n", MAP_EMPTY, 0, 8, ""},
        {"-3\n", MAP_EMPTY, 0, 8, ""},
        {"many\n", MAP_EMPTY, 0, 8, ""},
        {hundred_and_one, MAP_TOO_MANY_ACTORS, 101, 109, ""},
    };
    for (const auto &c : cases) {
        const MapVerdict v = parse(std::string(HEADER) + c.squares, &parsed);
        EXPECT_EQ(v.fault, c.fault) << c.squares;
        EXPECT_EQ(v.square, c.square) << c.squares;
        EXPECT_EQ(v.line, c.line) << c.squares;
        EXPECT_STREQ(v.reason, c.reason) << c.squares;
    }
    EXPECT_EQ(parse("", &parsed).fault, MAP_EMPTY);
    EXPECT_EQ(parse(std::string(HEADER) + row_of_squares(199), &parsed).fault, MAP_OK);
    EXPECT_EQ(parse(std::string(HEADER) + "1\n0 0 0 0 1 192 -1 -1 -1 -1\n", &parsed).fault, MAP_OK);
    const struct { MapFault fault; const char *message; } messages[] = {
        {MAP_TOO_LARGE, "Map too large"}, {MAP_EMPTY, "Map is empty (zero squares)"},
        {MAP_TWO_STARTS, "More than one starting position in map"},
        {MAP_NO_START, "No starting position defined in map"}, {MAP_TOO_MANY_ACTORS, "Too many actors"},
    };
    for (const auto &c : cases)
        for (const auto &m : messages)
            if (c.fault == m.fault) {
                EXPECT_STREQ(parse(std::string(HEADER) + c.squares, &parsed).message, m.message);
            }
    EXPECT_STREQ(parse(std::string(HEADER) + two + "1 0 0 4 0 0 -1 -1 -1 -1\n", &parsed).message,
                 "Bad square 2 in map");
}

TEST(MapSquares, EveryLineEndIsOneLineEnd)
{
    // LF, CR LF and a bare CR, mixed in one file: each ends a header line, and in the square
    // data each is white space; no character next to one is lost.
    const std::string text = "c\rName\r\n12\nx\r3\r\nx\rx\n2\r"
                             "0 0 0 0 1 0 -1 -1 -1 -1\r12 0 0 0 7 0 -1 -1 -1 -1\r";
    MapVerdict v = parse(text, &parsed);
    ASSERT_EQ(v.fault, MAP_OK) << v.message;
    EXPECT_STREQ(parsed.name, "Name");
    EXPECT_TRUE(parsed.level_code == 12 && parsed.minutes == 3 && parsed.squares[0].side[3] == -1 &&
                parsed.squares[1].x == 12 && parsed.squares[1].content == CONTENT_SWEET);

    char name[MAP_NAME_BUFFER];
    int32_t code = 0;
    MapReader reader;
    map_reader_from_text(&reader, "\r\rName\r5\r", 9);
    parse_level_header(&reader, name, &code);
    EXPECT_STREQ(name, "");     // the second bare CR is an empty name line
    EXPECT_EQ(code, 0);         // "Name" is line 3
}

TEST(MapSquares, FarthestSquaresKeepTheWorldInRange)
{
    // The largest column and row, and the deepest face the fixed-point world can hold.
    std::string text = std::string(HEADER) + "3\n326 0 326 0 1 64 -1 -1 -1 -1\n"
                       "325 0 326 0 0 0 3275 -1 -1 -1\n326 -1000 325 0 0 0 -1 2275 -1 -1\n";
    MapVerdict v = parse(text, &parsed);
    ASSERT_EQ(v.fault, MAP_OK) << v.message;

    // The robot steps off the +x edge of column 326 and falls: every point of its hop stays
    // between the square it left and the one beyond, never wrapping round the fixed range.
    begin_level(text);
    driver_settle(world, 10, 1000);
    driver_push(world, MOVE_FORWARD);
    for (int frame = 0; frame < 100; frame++) {
        driver_frame(world, 2);
        ASSERT_GE(robot_x(), 32600) << "frame " << frame;
        ASSERT_LE(robot_x(), 32700) << "frame " << frame;
    }
    EXPECT_EQ(robot_x(), 32700);
}

TEST(MapLoad, SquaresActorsAndClockFromTheFile)
{
    std::string text = std::string(HEADER) +
                       "4\n"
                       "0 0 0 2 1 64 -1 0 2 -1\n"
                       "1 1 0 0 7 128 -1 -1 -1 -1\n"      // a sweet ignores its direction
                       "0 0 1 0 4 192 -1 -1 -1 -1\n"
                       "1 0 1 0 9 0 -1 -1 -1 -1\n";       // unknown content: nothing
    clear_actors(world);
    ASSERT_TRUE(load_map_text(world, text.data(), text.size()) == 4 && world.map.tile_count == 4);
    EXPECT_STREQ(world.map.level_name, "Name");
    EXPECT_EQ(world.map.level_code, 12);
    EXPECT_EQ(level_clock_left(world), 3 * 6000);
    ASSERT_TRUE(world.map.start_index == 0 && world.map.start_dir == 64);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(world.map.tiles[i].serial, i + 1);
    const int expected_depth[4] = {0, 1, 3, 0};
    for (int k = 0; k < 4; k++)
        EXPECT_EQ(world.map.tiles[0].side_depth[k], expected_depth[k]);
    EXPECT_EQ(world.map.tiles[0].texture, 2);

    ASSERT_TRUE(world.actors.count == 3 && world.hero_index == 0);
    const Actor &sweet = world.actors.actors[1];
    EXPECT_EQ((std::vector<int>{sweet.type, sweet.map_code, sweet.dir, sweet.y, sweet.locs[0]}),
              (std::vector<int>{ACTOR_SWEET, 7, 0, itofix(-10), 2}));
    const Actor &zipper = world.actors.actors[2];
    EXPECT_EQ((std::vector<int>{zipper.type, zipper.angle_y, zipper.step_x}),
              (std::vector<int>{ACTOR_ZIPPER, itofix(192), -1}));
    EXPECT_TRUE(world.level.sweets_total == 1 && world.level.sweets_eaten == 0);
}

TEST(MapLoad, FileAndHeaderReaderAgree)
{
    char path[] = "/tmp/tirvex_map_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_NE(fd, -1);
    // The name spills, so every later header line is read one line late: "8" is line 4 (ignored)
    // and "2" the time limit.
    std::string text = "first\n" + std::string(40, 'q') + "\n8\n2\nx\nx\n1\n" + start_line();
    ASSERT_EQ(write(fd, text.data(), text.size()), (ssize_t)text.size());
    close(fd);

    char name[LEVEL_NAME_SIZE] = "stale";
    int code = -1;
    EXPECT_EQ(read_level_header(path, name, &code), 1);
    EXPECT_EQ(std::string(name), std::string(38, 'q'));
    EXPECT_EQ(code, 0);     // "qq\n" spilled into line 3

    clear_actors(world);
    EXPECT_EQ(load_map(world, path, fault), 1);
    EXPECT_STREQ(world.map.level_name, name);
    EXPECT_EQ(level_clock_left(world), 2 * 6000);
    std::remove(path);

    EXPECT_EQ(read_level_header("no/such/map.txt", name, &code), 0);
}

/* A broken level file names itself, its line and the fault in error.log and on standard error;
   a directory standing where a map should be counts as no map at all (it ends the level list)
   rather than as an empty one. */
TEST(MapLoadDeathTest, ABrokenFileNamesItselfAndADirectoryIsNoMap)
{
    char folder[] = "/tmp/tirvex_maps_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/map01.txt";
    const std::string text = std::string(HEADER) + "2\n" + start_line() + "1 0 0 0\n";
    FILE *file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs(text.c_str(), file);
    std::fclose(file);
    EXPECT_EXIT(
        {
            clear_actors(world);
            load_map(world, path.c_str(), fault);
        },
        ::testing::ExitedWithCode(1),
        path + " line 11: Bad square 2 in map: the file ends before the content\n"
               "FATAL ERROR! Fatal exception: Bad square 2 in map");
    std::remove(path.c_str());

    const std::string directory = std::string(folder) + "/map02.txt";
    ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
    char name[LEVEL_NAME_SIZE];
    int code;
    EXPECT_EQ(read_level_header(directory.c_str(), name, &code), 0);
    clear_actors(world);
    EXPECT_EQ(load_map(world, directory.c_str(), fault), 0);
    EXPECT_EQ(std::string(fault), directory + ": not a regular file (a folder)");
    rmdir(directory.c_str());
    rmdir(folder);
}
