/* level_edit_test.cpp: the level editor's model: each edit and its undo, the automatic side
   faces, painting, blocks turned and mirrored, typed fields, a folder's numbers, and the map text
   it reads and writes and how it saves it. */
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "edit_history.h"
#include "edit_level.h"
#include "game_test_support.h"
#include "level_file.h"
#include "level_folder.h"
#include "text_field.h"
#include "search/map_validation.h"
#include "world/actor.h"
#include "world/level_map.h"
#include "world/level_state.h"
#include "world/world_driver.h"
#include "test_world.h"

namespace {

const std::string source_dir = TIRVEX_SOURCE_DIR;

EditLevel level, before;        /* some 10 KB each, kept off the stack */

const EditSquare &at(const EditLevel &l, int x, int z)
{
    int i = find_square(l, x, z);
    EXPECT_GE(i, 0) << "no square on " << x << "," << z;
    return l.squares[i < 0 ? 0 : i];
}

/* A row of three squares at height 1 with the start, a sweet and the teleport. */
void three_squares(EditLevel *l)
{
    new_level(l);
    ASSERT_TRUE(add_square(l, 0, 0, 1) && add_square(l, 1, 0, 1) && add_square(l, 2, 0, 1) &&
                set_content(l, 0, 0, CONTENT_START, 64) && set_content(l, 1, 0, CONTENT_SWEET, 0) &&
                set_content(l, 2, 0, CONTENT_TELEPORT, 0));
}

} // namespace

// Each edit changes what it says and undo puts the level back exactly, redo makes it again;
// an edit that cannot be made changes nothing.
TEST(EditLevel, EachEditIsUndoneAndRedone)
{
    EditHistory history;
    new_level(&level);
    std::vector<std::string> texts{level_text(level)};
    auto edit = [&](bool made) {
        ASSERT_TRUE(made);
        history_note(&history, before);
        texts.push_back(level_text(level));
    };
    auto next = [&]() { before = level; };

    next(); edit(add_square(&level, 4, 2, 3));
    next(); edit(add_square(&level, 5, 2, 1));
    next(); edit(raise_square(&level, 5, 2, 2));
    EXPECT_EQ(at(level, 5, 2).height, 3);
    next(); edit(cycle_texture(&level, 4, 2));
    EXPECT_EQ(at(level, 4, 2).texture, 1);
    next(); edit(set_content(&level, 4, 2, CONTENT_START, 192));
    next(); edit(set_content(&level, 5, 2, CONTENT_START, 64));   // the start moves
    EXPECT_TRUE(at(level, 4, 2).content == CONTENT_NOTHING && at(level, 5, 2).dir == 64);
    next(); edit(set_content(&level, 4, 2, CONTENT_JAR, 64));
    EXPECT_EQ(at(level, 4, 2).dir, 0);      // a jar has no direction
    next(); edit(rename_level(&level, "Two squares"));
    next(); edit(set_minutes(&level, 7));
    EXPECT_EQ(level_minutes(level), 7);
    next(); edit(remove_square(&level, 4, 2));

    // Refused: a taken cell, an empty one, off the map, a name too long or with a line end, no
    // time, a direction off the grid, a height beyond the map's range.
    const std::string now = level_text(level);
    const bool refused[] = {add_square(&level, 5, 2, 0), add_square(&level, -1, 0, 0),
                            add_square(&level, 0, 327, 0), remove_square(&level, 9, 9),
                            raise_square(&level, 5, 2, 998),
                            rename_level(&level, "a name of thirty-nine characters, or so"),
                            rename_level(&level, "two\nlines"), set_minutes(&level, 0),
                            set_content(&level, 5, 2, CONTENT_MIBO, 32), set_content(&level, 5, 2, 8, 0)};
    for (size_t i = 0; i < std::size(refused); i++)
        EXPECT_FALSE(refused[i]) << "edit " << i;
    EXPECT_EQ(level_text(level), now);

    for (size_t i = texts.size() - 1; i > 0; i--) {
        ASSERT_TRUE(history_undo(&history, &level));
        EXPECT_EQ(level_text(level), texts[i - 1]) << "undo to " << i - 1;
    }
    EXPECT_FALSE(history_undo(&history, &level));
    for (size_t i = 1; i < texts.size(); i++) {
        ASSERT_TRUE(history_redo(&history, &level));
        EXPECT_EQ(level_text(level), texts[i]) << "redo to " << i;
    }
    EXPECT_FALSE(history_redo(&history, &level));
    // A new edit after an undo ends the redo.
    ASSERT_TRUE(history_undo(&history, &level));
    before = level;
    ASSERT_TRUE(add_square(&level, 0, 0, 0));
    history_note(&history, before);
    EXPECT_FALSE(history_redo(&history, &level));
}

// Sides follow the neighbours: a face down to a lower square, none toward one as high or higher,
// a cliff of the chosen depth where there is none, a hole opening cliffs; a side set by hand
// stays until it is reset.
TEST(EditLevel, SideFacesFollowTheNeighboursUnlessSetByHand)
{
    enum { PLUS_Z, MINUS_X, MINUS_Z, PLUS_X };
    new_level(&level);
    ASSERT_TRUE(add_square(&level, 1, 1, 4) && add_square(&level, 2, 1, 1) &&
                add_square(&level, 3, 1, 1));
    EXPECT_EQ(at(level, 1, 1).side[PLUS_X], 2);     // three levels down to its neighbour
    EXPECT_EQ(at(level, 2, 1).side[MINUS_X], -1);   // toward the higher one: no face
    EXPECT_EQ(at(level, 2, 1).side[PLUS_X], -1);    // level with its neighbour
    EXPECT_TRUE(at(level, 1, 1).side[MINUS_X] == EDIT_CLIFF_DEFAULT - 1 &&
                at(level, 2, 1).side[PLUS_Z] == EDIT_CLIFF_DEFAULT - 1);    // cliffs at the edge

    ASSERT_TRUE(raise_square(&level, 3, 1, -2));    // a step down from the middle one
    EXPECT_EQ(at(level, 2, 1).side[PLUS_X], 1);
    ASSERT_TRUE(remove_square(&level, 2, 1));       // a hole: both sides of it are cliffs now
    EXPECT_TRUE(at(level, 1, 1).side[PLUS_X] == EDIT_CLIFF_DEFAULT - 1 &&
                at(level, 3, 1).side[MINUS_X] == EDIT_CLIFF_DEFAULT - 1);
    ASSERT_TRUE(set_cliff_depth(&level, 3) && at(level, 3, 1).side[MINUS_X] == 2);

    ASSERT_TRUE(set_side(&level, 3, 1, MINUS_X, -1) && add_square(&level, 2, 1, -5));
    EXPECT_EQ(at(level, 3, 1).side[MINUS_X], -1);   // kept by hand
    EXPECT_EQ(at(level, 1, 1).side[PLUS_X], 8);     // automatic: nine levels down
    ASSERT_TRUE(reset_side(&level, 3, 1, MINUS_X));
    EXPECT_EQ(at(level, 3, 1).side[MINUS_X], 3);   // four levels down to -5
    EXPECT_FALSE(set_side(&level, 3, 1, 4, 0) || set_side(&level, 3, 1, PLUS_Z, -2));

    // Read back, the sides set by hand are known again as such: they differ from the automatic.
    // (The level has no start yet: work in progress, which the editor reads all the same.)
    ASSERT_TRUE(set_side(&level, 1, 1, PLUS_Z, 0));
    const std::string text = level_text(level);
    ASSERT_EQ(read_level_text(text.data(), text.size(), &before).fault, MAP_NO_START);
    EXPECT_TRUE(before.square_count == 3 && at(before, 1, 1).side_by_hand[PLUS_Z] &&
                !at(before, 1, 1).side_by_hand[PLUS_X] && before.cliff_depth == 3);
}

// A block lifted and put elsewhere brings its squares with their heights, contents and hand-set
// sides, in place of what was there; a block that would leave the map changes nothing.
TEST(EditLevel, BlocksAreCopiedPastedAndMoved)
{
    static EditBlock block;
    three_squares(&level);
    ASSERT_TRUE(add_square(&level, 1, 1, 3) && set_side(&level, 1, 1, 0, 0));
    copy_block(level, 2, 1, 1, 0, &block);          // corners in any order
    EXPECT_TRUE(block.columns == 2 && block.rows == 2 && block.square_count == 3);

    ASSERT_TRUE(paste_block(&level, block, 5, 5));
    EXPECT_TRUE(level.square_count == 7 && at(level, 5, 5).content == CONTENT_SWEET &&
                at(level, 6, 5).content == CONTENT_TELEPORT && at(level, 5, 6).height == 3 &&
                at(level, 5, 6).side_by_hand[0]);
    // Over squares already there: they are replaced, in their places in the list.
    ASSERT_TRUE(paste_block(&level, block, 0, 0));
    EXPECT_TRUE(at(level, 0, 0).content == CONTENT_SWEET && level.squares[0].x == 0);
    const std::string now = level_text(level);
    EXPECT_TRUE(!(paste_block(&level, block, 326, 0)) && level_text(level) == now);

    // A moved block leaves its cells empty; the start travels with it.
    three_squares(&level);
    ASSERT_TRUE(move_block(&level, 0, 0, 1, 0, 0, 3));
    EXPECT_TRUE(level.square_count == 3 && find_square(level, 0, 0) == -1 &&
                at(level, 0, 3).content == CONTENT_START && at(level, 1, 3).content == CONTENT_SWEET &&
                at(level, 2, 0).content == CONTENT_TELEPORT);
}

// The mouse's paint makes a square what the brush says in one edit: the floor brush shapes the
// ground and keeps contents, a content brush leaves the ground; over a square already so it
// makes no edit; a block turned four times or mirrored
// twice is as it was, its directions and hand-set sides turning with its squares.
TEST(EditLevel, PaintTurnMirrorAndTheirUndo)
{
    EditHistory history;
    three_squares(&level);
    const std::string start = level_text(level);
    before = level;
    ASSERT_TRUE(paint_square(&level, 1, 0, EditBrush{2, 3, CONTENT_NOTHING, 0}));
    ASSERT_TRUE(paint_square(&level, 1, 1, EditBrush{2, 3, CONTENT_NOTHING, 0}));
    history_note(&history, before);                 // one drag, one edit
    // Floor paint keeps what stands there.
    EXPECT_TRUE(at(level, 1, 0).height == 2 && at(level, 1, 0).texture == 3 &&
                at(level, 1, 0).content == CONTENT_SWEET && at(level, 1, 1).height == 2);
    EXPECT_FALSE(paint_square(&level, 1, 1, EditBrush{2, 3, CONTENT_NOTHING, 0}));
    ASSERT_TRUE(paint_square(&level, 2, 0, EditBrush{5, 2, CONTENT_START, 128}));
    // The start moves here; a content brush leaves the ground.
    EXPECT_TRUE(at(level, 2, 0).content == CONTENT_START && at(level, 2, 0).height == 1 &&
                at(level, 2, 0).texture == 0);
    ASSERT_TRUE(paint_square(&level, 3, 3, EditBrush{5, 2, CONTENT_JAR, 0}));
    // A new square has the brush's all.
    EXPECT_TRUE(at(level, 3, 3).height == 5 && at(level, 3, 3).texture == 2 &&
                at(level, 3, 3).content == CONTENT_JAR && at(level, 0, 0).content == CONTENT_NOTHING);
    EXPECT_FALSE(paint_square(&level, 4, 4, EditBrush{MAP_HEIGHT_LIMIT + 1, 0, 0, 0}));
    ASSERT_TRUE(history_undo(&history, &level));
    EXPECT_EQ(level_text(level), start);            // the drag undone at once
    three_squares(&level);

    // What a paste covers: the sweet on (1,0) would become a jar; the start stays a start.
    static EditBlock block, turned;
    ASSERT_TRUE(set_content(&level, 2, 0, CONTENT_JAR, 0));
    copy_block(level, 0, 0, 2, 0, &block);
    int32_t covered, replaced;
    paste_covers(level, block, 0, 0, &covered, &replaced);
    EXPECT_TRUE(covered == 3 && replaced == 0);
    paste_covers(level, block, -1, 0, &covered, &replaced);
    EXPECT_TRUE(covered == 2 && replaced == 2);     // start over sweet, sweet over jar

    // A row along +x turned clockwise stands along -z: its first square on top, the start facing
    // +x (64) faces -z (128), and the side set by hand on +z is now on +x.
    ASSERT_TRUE(set_side(&level, 0, 0, 0, 0));
    copy_block(level, 0, 0, 2, 0, &block);
    turned = block;
    turn_block(&turned);
    ASSERT_TRUE(turned.columns == 1 && turned.rows == 3 && paste_block(&level, turned, 5, 5));
    EXPECT_TRUE(at(level, 5, 7).content == CONTENT_START && at(level, 5, 7).dir == 128 &&
                at(level, 5, 7).side_by_hand[3] && at(level, 5, 5).content == CONTENT_JAR);
    for (int i = 0; i < 3; i++)
        turn_block(&turned);
    EXPECT_EQ(std::memcmp(&turned, &block, sizeof block), 0) << "four turns are not the block";
    // Mirrored, the start on the right faces -x; twice, the block is as it was.
    turned = block;
    mirror_block(&turned);
    EXPECT_TRUE(turned.squares[0].x == 2 && turned.squares[0].dir == 192 && turned.squares[0].side_by_hand[0]);
    mirror_block(&turned);
    EXPECT_EQ(std::memcmp(&turned, &block, sizeof block), 0);

    EXPECT_TRUE(set_idea(&level, "Tirvex level 1: an idea"));
    EXPECT_STREQ(level.header[0], "Tirvex level 1: an idea");
    EXPECT_FALSE(set_idea(&level, "two\nlines") || set_idea(&level, std::string(80, 'x').c_str()));
}

// A field starts with the old text selected: a letter replaces it, an arrow keeps it for adding
// to, Backspace takes it all or one letter; Enter and Esc end it.
TEST(TextField, TypingReplacesTheOldTextUnlessAnArrowKeepsIt)
{
    auto key = [](int scan, int ascii = 0) { return scan << 8 | ascii; };
    TextField f;
    field_begin(&f, "New level", 38);
    EXPECT_EQ(field_key(&f, key(KEY_B, 'B')), FIELD_TYPING);
    field_key(&f, key(KEY_I, 'i'));
    EXPECT_STREQ(f.text, "Bi");
    field_begin(&f, "New level", 38);
    for (int k : {key(KEY_END), key(KEY_SPACE, ' '), key(KEY_2, '2')})
        field_key(&f, k);
    EXPECT_STREQ(f.text, "New level 2");
    field_key(&f, key(KEY_BACKSPACE));
    EXPECT_STREQ(f.text, "New level ");
    EXPECT_EQ(field_key(&f, key(KEY_ENTER, 13)), FIELD_DONE);
    field_begin(&f, "abc", 3);
    field_key(&f, key(KEY_BACKSPACE));
    EXPECT_STREQ(f.text, "");
    for (const char *c = "wxyz"; *c; c++)
        field_key(&f, key(KEY_W, *c));
    EXPECT_STREQ(f.text, "wxy");                    // no more than the limit
    EXPECT_EQ(field_key(&f, key(KEY_ESC, 27)), FIELD_DROPPED);
}

// A folder's levels: the next free number is the first gap, the neighbours skip gaps, and
// moving a level renumbers the ones between, each replaced map kept with ~.
TEST(LevelFolder, NumbersNeighboursAndRenumbering)
{
    const std::string dir = ::testing::TempDir() + "tirvex_folder_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    auto put = [&](int n, const char *text) { game_test::write_file(folder_map_path(dir, n), text); };
    auto text = [&](int n) { return game_test::read_file(folder_map_path(dir, n)); };
    EXPECT_EQ(folder_next_free(dir), 1);
    for (int n = 1; n <= 4; n++)
        put(n, std::to_string(n).c_str());
    put(7, "7");
    EXPECT_EQ(folder_next_free(dir), 5);
    EXPECT_TRUE(folder_neighbour(dir, 4, 1) == 7 && folder_neighbour(dir, 7, 1) == 0 &&
                folder_neighbour(dir, 1, -1) == 0);
    std::string folder;
    EXPECT_TRUE(folder_map_number(folder_map_path(dir, 7), &folder) == 7 && folder == dir);
    EXPECT_EQ(folder_map_number("levels/map7.txt", &folder), 0);

    ASSERT_EQ(folder_move_level(dir, 4, 1), "");
    EXPECT_EQ(text(1) + text(2) + text(3) + text(4), "4123");
    EXPECT_EQ(game_test::read_file(folder_map_path(dir, 1) + "~"), "1");
    ASSERT_EQ(folder_move_level(dir, 1, 3), "");
    EXPECT_EQ(text(1) + text(2) + text(3) + text(4), "1243");
    // Not through a gap, nor to a number the folder lacks: nothing moves.
    EXPECT_NE(folder_move_level(dir, 4, 7), "");
    EXPECT_EQ(text(4) + text(7), "37");
    EXPECT_FALSE(std::filesystem::exists(dir + "/.renumber.txt"));
    std::filesystem::remove_all(dir);
}

// The text written is a map without faults that the world loads as written, and saving keeps the
// version it replaces as NAME~.
TEST(LevelFile, WhatIsWrittenLoadsAndSavingKeepsThePreviousVersion)
{
    three_squares(&level);
    ASSERT_TRUE(rename_level(&level, "Three squares"));
    const std::string text = level_text(level);
    static ValidationReport report;
    validate_map(text.data(), text.size(), &report);
    EXPECT_TRUE(report.faults == 0 && report.warnings == 0);
    driver_start_text(world, text.c_str());
    EXPECT_STREQ(world.map.level_name, "Three squares");
    // Three squares, three actors, one sweet, and the cliff behind the start.
    EXPECT_TRUE(world.map.tile_count == 3 && world.actors.count == 3 && world.level.sweets_total == 1 &&
                world.map.tiles[0].side_depth[1] == EDIT_CLIFF_DEFAULT);

    char folder[] = "/tmp/tirvex_edit_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/mine.txt";
    ASSERT_TRUE(save_level_file(level, path.c_str()) == "" && game_test::read_file(path) == text &&
                set_minutes(&level, 4) && save_level_file(level, path.c_str()) == "" &&
                game_test::read_file(path) == level_text(level));
    EXPECT_EQ(game_test::read_file(path + "~"), text);
    // A folder that cannot be written: a message naming the file, the saved map as it was.
    chmod(folder, 0500);
    if (access(folder, W_OK) != 0) {
        ASSERT_TRUE(set_minutes(&level, 5));
        const std::string fault = save_level_file(level, path.c_str());
        EXPECT_NE(fault.find(path), std::string::npos) << fault;
        EXPECT_EQ(game_test::read_file(path + "~"), text);
    }
    chmod(folder, 0700);
    std::remove(path.c_str());
    std::remove((path + "~").c_str());
    rmdir(folder);
}

// Saving never writes through a name fixed in advance: the editor used to truncate and fill
// NAME.new, so a link planted there overwrote the file it pointed at. Now the link and its file
// are left alone, the map is saved right, with the mode a plain create gives, and no temporary
// file stays; a link at the map's own name is replaced, its file untouched; a failure names the
// path and the system's reason.
TEST(LevelFile, SavingFollowsNoLinkAndLeavesNoTemporaryFile)
{
    char folder[] = "/tmp/tirvex_edit_links_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string dir = folder, path = dir + "/mine.txt", victim = dir + "/victim.txt";
    game_test::write_file(victim, "not a map: keep me\n");
    ASSERT_EQ(symlink(victim.c_str(), (path + ".new").c_str()), 0);
    three_squares(&level);
    ASSERT_TRUE(rename_level(&level, "Linked"));
    const mode_t mask = umask(027);

    ASSERT_TRUE(save_level_file(level, path.c_str()) == "" && set_minutes(&level, 3));
    EXPECT_EQ(save_level_file(level, path.c_str()), "");        // over a map already there
    umask(mask);
    EXPECT_EQ(game_test::read_file(victim), "not a map: keep me\n");
    char target[256] = {};
    ASSERT_GT(readlink((path + ".new").c_str(), target, sizeof target - 1), 0) << "the link is gone";
    EXPECT_TRUE(std::string(target) == victim && game_test::read_file(path) == level_text(level));
    static EditLevel back;
    const std::string saved = game_test::read_file(path);
    ASSERT_EQ(read_level_text(saved.data(), saved.size(), &back).fault, MAP_OK);
    EXPECT_STREQ(level_name(back), "Linked");
    EXPECT_EQ(level_minutes(back), 3);
    struct stat made;
    ASSERT_EQ(lstat(path.c_str(), &made), 0);
    EXPECT_TRUE(S_ISREG(made.st_mode));
    EXPECT_EQ(made.st_mode & 0777, 0640u);
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"mine.txt", "mine.txt.new", "mine.txt~", "victim.txt"}));

    // The map's own name a link: the save replaces the link and the file it named stays.
    const std::string linked = dir + "/linked.txt";
    ASSERT_EQ(symlink(victim.c_str(), linked.c_str()), 0);
    EXPECT_EQ(save_level_file(level, linked.c_str()), "");
    EXPECT_EQ(game_test::read_file(victim), "not a map: keep me\n");
    EXPECT_EQ(game_test::read_file(linked), level_text(level));
    ASSERT_EQ(lstat(linked.c_str(), &made), 0);
    EXPECT_TRUE(S_ISREG(made.st_mode));

    // A folder that is not there: the message names the map and the reason.
    const std::string nowhere = dir + "/no such folder/map.txt";
    const std::string fault = save_level_file(level, nowhere.c_str());
    EXPECT_NE(fault.find(nowhere), std::string::npos) << fault;
    EXPECT_NE(fault.find(std::strerror(ENOENT)), std::string::npos) << fault;
    std::filesystem::remove_all(dir);
}
