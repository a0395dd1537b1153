/* bsp_model_test.cpp: the model file reader: what a good file loads to, and every broken file
   refused with its own message, without a crash. */
#include <gtest/gtest.h>

#include <allegro.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "render/bsp/bsp_model.h"
#include "shell/datafile.h"

namespace {
namespace fs = std::filesystem;

/* A square pyramid: a quad base and four triangles; every node is reached from node 0 once,
   node 4 last, as a leaf. Texcoord 0 is (0, 0), 1 is (1.0, 1.0), 2 is (0.5, 0.25). */
const char *const PYRAMID =
    "5\n"
    "9 1 -1 4 0 1 2 3 0 0 0 0 0 0  0 65536 0 0  0 1 2 0 0 0 0 0 0 0\n"
    "1 2 -1 3 0 4 1 0 0 0 0 0 0 0  0 -46341 -46341 0  0 1 2 0 0 0 0 0 0 0\n"
    "2 -1 3 3 1 4 2 0 0 0 0 0 0 0  46341 -46341 0 0  0 1 2 0 0 0 0 0 0 0\n"
    "3 -1 4 3 2 4 3 0 0 0 0 0 0 0  0 -46341 46341 0  0 1 2 0 0 0 0 0 0 0\n"
    "4 -1 -1 3 3 4 0 0 0 0 0 0 0 0  -46341 -46341 0 0  0 1 2 0 0 0 0 0 0 0\n"
    "5\n"
    "-655360 0 -655360 1 2 3\n"
    "655360 0 -655360 0 0 0\n"
    "655360 0 655360 0 0 0\n"
    "-655360 0 655360 0 0 0\n"
    "0 -1310720 0 -7 99999 -1\n"
    "0\n"
    "3\n"
    "0 0\n"
    "65536 65536\n"
    "32768 16384\n";

void start_library()
{
    if (!system_driver)
        install_allegro(SYSTEM_NONE, &errno, atexit);
}

/* Parses text as a model file through a memory stream. */
const char *parse_text(const std::string &text, BITMAP *texture, BspModel *model)
{
    FILE *in = fmemopen((void *)text.data(), text.size(), "r");
    const char *error = parse_bsp_model(in, texture, model);
    std::fclose(in);
    return error;
}

std::vector<std::string> numbers_of(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> numbers;
    for (std::string word; in >> word;)
        numbers.push_back(word);
    return numbers;
}

/* The numbers joined by the separators, taken in turn. */
std::string joined(const std::vector<std::string> &numbers,
                   const std::vector<std::string> &separators = {" "})
{
    std::string out;
    for (size_t i = 0; i < numbers.size(); i++)
        out += numbers[i] + separators[i % separators.size()];
    return out;
}

/* The pyramid with number k (0-based, in file order) replaced by value. */
std::string pyramid_with(size_t k, const std::string &value)
{
    std::vector<std::string> numbers = numbers_of(PYRAMID);
    numbers[k] = value;
    return joined(numbers);
}

/* Positions of numbers in the pyramid: count, then 28 per node, and so on. */
size_t node_field(int node, int field) { return 1 + 28 * node + field; }
const size_t VERTEX_COUNT = 1 + 28 * 5;
const size_t ROOT = VERTEX_COUNT + 1 + 6 * 5;
const size_t TEXCOORD_COUNT = ROOT + 1;

class BspReader : public testing::Test {
protected:
    void SetUp() override
    {
        start_library();
        texture = create_bitmap_ex(8, 64, 32);
    }
    void TearDown() override
    {
        free_bsp_model(&model);
        destroy_bitmap(texture);
    }
    BITMAP *texture = nullptr;
    BspModel model = {};
};

}  // namespace

TEST_F(BspReader, LoadsTheTreeCornersTexelsAndBounds)
{
    ASSERT_EQ(parse_text(PYRAMID, texture, &model), nullptr);
    ASSERT_EQ(model.node_count, 5);
    BspNode *n = model.nodes;
    EXPECT_EQ(model.root, &n[0]);
    EXPECT_EQ(n[0].tag, 9);
    EXPECT_TRUE(n[0].front == &n[1] && n[0].back == nullptr);
    EXPECT_TRUE(n[2].front == nullptr && n[2].back == &n[3] && n[3].back == &n[4]);
    EXPECT_TRUE(n[4].front == nullptr && n[4].back == nullptr);
    EXPECT_EQ(n[0].vertex_count, 4);
    EXPECT_EQ(n[1].vertex_count, 3);
    EXPECT_TRUE(n[2].plane.a == 46341 && n[2].plane.b == -46341 && n[0].plane.b == 65536);
    EXPECT_TRUE(n[2].vertex_index[0] == 1 && n[2].vertex_index[1] == 4 && n[2].vertex_index[2] == 2);
    EXPECT_EQ(model.vertex_count, 5);
    EXPECT_EQ(model.vertices[4].y, -1310720);
    // Texcoords become texels of the 64 x 32 texture, v counted from the top.
    ASSERT_EQ(model.texcoord_count, 3);
    EXPECT_TRUE(model.texcoords[0].u == 0 && model.texcoords[0].v == itofix(32));
    EXPECT_TRUE(model.texcoords[1].u == itofix(64) && model.texcoords[1].v == 0);
    EXPECT_TRUE(model.texcoords[2].u == itofix(32) && model.texcoords[2].v == itofix(24));
    // Four base corners at y 0 and the apex at y -20: mean y -4; the apex is farthest, 16 away.
    EXPECT_TRUE(model.centre.x == 0 && model.centre.y == itofix(-4) && model.centre.z == 0);
    EXPECT_NEAR(fixtof(model.radius), 16.0, 1e-4);
}

TEST_F(BspReader, WithoutTextureTheSkinSizeIsAssumedAndAbsurdTexcoordsSaturate)
{
    ASSERT_EQ(parse_text(PYRAMID, nullptr, &model), nullptr);
    EXPECT_EQ(model.texcoords[1].u, itofix(BSP_SKIN_SIZE));
    EXPECT_EQ(model.texcoords[0].v, itofix(BSP_SKIN_SIZE));
    free_bsp_model(&model);
    std::vector<std::string> numbers = numbers_of(PYRAMID);
    numbers[TEXCOORD_COUNT + 1] = "2147483647";
    numbers[TEXCOORD_COUNT + 2] = "-2147483648";
    ASSERT_EQ(parse_text(joined(numbers), texture, &model), nullptr);
    EXPECT_EQ(model.texcoords[0].u, 0x7FFFFFFF);
    EXPECT_EQ(model.texcoords[0].v, 0x7FFFFFFF);
}

TEST_F(BspReader, NumbersMayBeSplitOverLinesInAnyWay)
{
    BspModel reference = {};
    ASSERT_EQ(parse_text(PYRAMID, texture, &reference), nullptr);
    for (const std::vector<std::string> &separators :
         {std::vector<std::string>{"\n"}, {"\t", "\r\n", "   ", "\n\n \t"}}) {
        BspModel other = {};
        ASSERT_EQ(parse_text(joined(numbers_of(PYRAMID), separators), texture, &other), nullptr);
        ASSERT_EQ(other.node_count, reference.node_count);
        for (int i = 0; i < other.node_count; i++) {
            EXPECT_EQ(other.nodes[i].plane.d, reference.nodes[i].plane.d);
            EXPECT_EQ(other.nodes[i].vertex_count, reference.nodes[i].vertex_count);
            EXPECT_EQ(other.nodes[i].front ? other.nodes[i].front - other.nodes : -1,
                      reference.nodes[i].front ? reference.nodes[i].front - reference.nodes : -1);
            for (int k = 0; k < BSP_FILE_CORNERS; k++)
                EXPECT_EQ(other.nodes[i].texcoord_index[k], reference.nodes[i].texcoord_index[k]);
        }
        EXPECT_EQ(other.vertices[3].z, reference.vertices[3].z);
        EXPECT_EQ(other.texcoords[2].v, reference.texcoords[2].v);
        free_bsp_model(&other);
    }
    free_bsp_model(&reference);
}

TEST_F(BspReader, NoTexcoordsLoadWithEveryIndexOnOneSharedEntry)
{
    std::string bare = pyramid_with(TEXCOORD_COUNT, "0");
    bare = bare.substr(0, bare.find(" 0 0 65536 65536"));    // drop the three pairs
    ASSERT_EQ(parse_text(bare, texture, &model), nullptr);
    EXPECT_EQ(model.texcoord_count, 0);
    ASSERT_NE(model.texcoords, nullptr);
    for (int i = 0; i < model.node_count; i++)
        for (int k = 0; k < model.nodes[i].vertex_count; k++)
            EXPECT_EQ(model.nodes[i].texcoord_index[k], 0);
}

TEST_F(BspReader, EveryBrokenFileIsRefusedWithItsFault)
{
    struct Case {
        const char *what;
        std::string text;
        const char *fault;
    };
    std::string pyramid = PYRAMID;
    const std::vector<Case> cases = {
        {"empty file", "", "file ends early"},
        {"no nodes", pyramid_with(0, "0"), "node count out of range"},
        {"absurd node count", pyramid_with(0, "2000000000"), "node count out of range"},
        {"cut inside a node", pyramid.substr(0, pyramid.find("46341 -46341 0 0")),
         "file ends early"},
        {"front child past the end", pyramid_with(node_field(0, 1), "5"),
         "child index out of range"},
        {"back child below -1", pyramid_with(node_field(1, 2), "-2"), "child index out of range"},
        {"two corners", pyramid_with(node_field(1, 3), "2"), "corner count out of range"},
        {"eleven corners", pyramid_with(node_field(1, 3), "11"), "corner count out of range"},
        {"vertex index past the end", pyramid_with(node_field(2, 6), "5"),
         "vertex index out of range"},
        {"negative vertex index", pyramid_with(node_field(0, 4), "-1"),
         "vertex index out of range"},
        {"texcoord index past the end", pyramid_with(node_field(4, 20), "3"),
         "texcoord index out of range"},
        {"negative texcoord index", pyramid_with(node_field(3, 18), "-4"),
         "texcoord index out of range"},
        {"no vertices", pyramid_with(VERTEX_COUNT, "0"), "vertex count out of range"},
        {"absurd vertex count", pyramid_with(VERTEX_COUNT, "99999999"),
         "vertex count out of range"},
        {"cut inside the vertices", pyramid.substr(0, pyramid.find("655360 0 655360 0")),
         "file ends early"},
        {"root past the end", pyramid_with(ROOT, "5"), "root index out of range"},
        {"negative root", pyramid_with(ROOT, "-1"), "root index out of range"},
        {"no root line", pyramid.substr(0, pyramid.find("0\n3\n0 0")), "file ends early"},
        {"negative texcoord count", pyramid_with(TEXCOORD_COUNT, "-1"),
         "texcoord count out of range"},
        {"absurd texcoord count", pyramid_with(TEXCOORD_COUNT, "1000000"),
         "texcoord count out of range"},
        {"cut inside the texcoords", pyramid.substr(0, pyramid.rfind(" 16384")),
         "file ends early"},
        {"a word", pyramid_with(3, "front"), "malformed number"},
        {"trailing letters", pyramid_with(3, "12x"), "malformed number"},
        {"a lone sign", pyramid_with(3, "-"), "malformed number"},
        {"two signs", pyramid_with(3, "--1"), "malformed number"},
        {"a decimal point", pyramid_with(VERTEX_COUNT + 1, "1.5"), "malformed number"},
        {"just beyond int", pyramid_with(VERTEX_COUNT + 1, "2147483648"), "number out of range"},
        {"node that is its own child", pyramid_with(node_field(3, 1), "3"),
         "node reached twice in the tree"},
        {"a leaf pointing back at node 0", pyramid_with(node_field(4, 2), "0"),
         "node reached twice in the tree"},
        {"two parents of one node", pyramid_with(node_field(1, 2), "2"),
         "node reached twice in the tree"},
    };
    for (const Case &c : cases) {
        BspModel broken = {};
        const char *fault = parse_text(c.text, texture, &broken);
        ASSERT_NE(fault, nullptr) << c.what;
        EXPECT_STREQ(fault, c.fault) << c.what;
        // A refused file leaves nothing behind.
        EXPECT_EQ(broken.nodes, nullptr) << c.what;
        EXPECT_EQ(broken.vertices, nullptr) << c.what;
        EXPECT_EQ(broken.node_count, 0) << c.what;
    }
}

TEST_F(BspReader, TheRootLineMayNameAnyNodeAndCyclesAreCaughtFromItAndFromNodeZero)
{
    // Cut node 4 off the tree and let it point at itself.
    std::vector<std::string> numbers = numbers_of(PYRAMID);
    numbers[node_field(3, 2)] = "-1";
    numbers[node_field(4, 1)] = "4";
    // Drawing from node 0 or 2 never gets there, so the file is usable...
    EXPECT_EQ(parse_text(joined(numbers), texture, &model), nullptr);
    free_bsp_model(&model);
    numbers[ROOT] = "2";
    ASSERT_EQ(parse_text(joined(numbers), texture, &model), nullptr);
    EXPECT_EQ(model.root, &model.nodes[2]);
    free_bsp_model(&model);
    // ...unless the root line names the looping node.
    numbers[ROOT] = "4";
    EXPECT_STREQ(parse_text(joined(numbers), texture, &model), "node reached twice in the tree");
    // And a loop through node 0 is caught whatever the root line says.
    numbers[node_field(4, 1)] = "0";
    numbers[node_field(3, 2)] = "4";
    numbers[ROOT] = "2";
    EXPECT_STREQ(parse_text(joined(numbers), texture, &model), "node reached twice in the tree");
}

/* Random damage to a good file must give a clean verdict: either a fault, or a model whose
   every index is usable. */
TEST_F(BspReader, DamagedFilesNeverYieldUnusableModels)
{
    std::mt19937 random(20240601);
    std::vector<std::string> numbers = numbers_of(PYRAMID);
    const char *replacements[] = {"-1", "0", "1", "2", "3", "4", "5", "6", "10", "11", "-2",
                                  "2147483647", "-2147483648", "x", "", "9999999999"};
    for (int round = 0; round < 3000; round++) {
        std::vector<std::string> damaged = numbers;
        int edits = 1 + (int)(random() % 3);
        for (int e = 0; e < edits && !damaged.empty(); e++) {
            size_t at = random() % damaged.size();
            switch (random() % 3) {
            case 0: damaged[at] = replacements[random() % 16]; break;
            case 1: damaged.erase(damaged.begin() + at); break;
            default: damaged.resize(at); break;
            }
        }
        std::string text;
        for (const std::string &n : damaged)
            text += n + (random() % 4 ? " " : "\n");
        BspModel result = {};
        if (parse_text(text, texture, &result) == nullptr) {
            ASSERT_GE(result.node_count, 1);
            for (int i = 0; i < result.node_count; i++) {
                const BspNode &node = result.nodes[i];
                ASSERT_TRUE(node.vertex_count >= 3 && node.vertex_count <= 10) << text;
                for (int k = 0; k < node.vertex_count; k++) {
                    int vertex = node.vertex_index[k], texcoord = node.texcoord_index[k];
                    ASSERT_TRUE(vertex >= 0 && vertex < result.vertex_count) << text;
                    ASSERT_TRUE(texcoord >= 0 && texcoord < std::max(result.texcoord_count, 1)) << text;
                }
            }
        }
        free_bsp_model(&result);
    }
}

namespace {

/* Runs each test inside a fresh directory holding a bsp folder, as the game runs in its own. */
class BspLoading : public testing::Test {
protected:
    void SetUp() override
    {
        start_library();
        directory = fs::temp_directory_path() /
                    ("tirvex_bsp_" + std::to_string(getpid()) + "_" +
                     testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
        fs::create_directories(directory / "bsp");
        before = fs::current_path();
        fs::current_path(directory);
    }
    void TearDown() override
    {
        fs::current_path(before);
        fs::remove_all(directory);
    }
    /* Loads the file in a child process, which must stop the game; what it left in error.log. */
    std::string fatal_log(const std::string &name)
    {
        EXPECT_EXIT(load_bsp_model(MODEL_JAR, "jar", name.c_str(), nullptr),
                    testing::ExitedWithCode(1), "");
        std::stringstream text;
        text << std::ifstream("error.log", std::ios::binary).rdbuf();
        return text.str();
    }
    fs::path directory, before;
};

}  // namespace

TEST_F(BspLoading, FillsTheSlotWithNameAndTexture)
{
    std::ofstream("bsp/robot.bsp") << PYRAMID;
    BITMAP *skin = create_bitmap_ex(8, 32, 128);
    load_bsp_model(MODEL_PLAYER, "player", "bsp/robot.bsp", skin);
    EXPECT_STREQ(model_table[MODEL_PLAYER].name, "player");
    EXPECT_EQ(model_table[MODEL_PLAYER].texture, skin);
    EXPECT_EQ(model_table[MODEL_PLAYER].node_count, 5);
    EXPECT_EQ(model_table[MODEL_PLAYER].texcoords[1].u, itofix(32));
    free_bsp_model(&model_table[MODEL_PLAYER]);
    destroy_bitmap(skin);
}

TEST_F(BspLoading, AFileThatCannotBeUsedStopsTheGameNamingItAndItsFault)
{
    std::ofstream("bsp/jar.bsp") << pyramid_with(node_field(2, 6), "77");
    EXPECT_EQ(fatal_log("bsp/jar.bsp"), "Fatal exception: bsp/jar.bsp: vertex index out of range\n\n");

    // "Fatal exception: %s\n" must stay within 179 characters; the log adds one more line feed.
    std::string name = "bsp/" + std::string(200, 'm') + ".bsp";
    std::ofstream(name) << "3 junk";
    std::string log = fatal_log(name);
    EXPECT_EQ(log.rfind("Fatal exception: bsp/mmm", 0), 0u);
    EXPECT_LE(log.size(), 179u + 1u);
}

TEST_F(BspLoading, LoadModelsAnnouncesItselfAndFillsAllNineSlotsFromTheGame)
{
    fs::current_path(TIRVEX_GAME_DIR);
    DATAFILE *saved = Datafile;
    Datafile = nullptr;    // without data every skin is assumed 128 x 128
    testing::internal::CaptureStdout();
    load_models();
    std::string printed = testing::internal::GetCapturedStdout();
    Datafile = saved;
    EXPECT_EQ(printed, "Load BSP models...\n");
    const char *names[MODEL_COUNT] = {"player", "mibo",     "zipper", "sweet", "jar",
                                      "mine",   "teleport", "player", "player"};
    for (int slot = 0; slot < MODEL_COUNT; slot++) {
        EXPECT_STREQ(model_table[slot].name, names[slot]) << slot;
        EXPECT_GT(model_table[slot].node_count, 10) << slot;
        free_bsp_model(&model_table[slot]);
    }
}
