/* bsp_model_test.cpp: the model file reader: what a good file loads to, and every broken file
   refused with its own message, without a crash. */
#include <cstdio>

#include "game_test_support.h"
#include "base/datafile.h"
#include "render/bsp/bsp_model.h"

namespace {

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

/* The pyramid (or a file made from it) with number k (0-based, in file order) replaced by value. */
std::string pyramid_with(size_t k, const std::string &value, const std::string &base = PYRAMID)
{
    std::vector<std::string> numbers = numbers_of(base);
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
        game_test::start_headless_library();
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

TEST_F(BspReader, LoadsTheTreeCornersTexelsAndBoundsHoweverTheNumbersAreSplitOverLines)
{
    const std::vector<std::vector<std::string>> layouts = {
        {" "}, {"\n"}, {"\t", "\r\n", "   ", "\n\n \t"}};
    for (const std::vector<std::string> &separators : layouts) {
        free_bsp_model(&model);
        ASSERT_EQ(parse_text(joined(numbers_of(PYRAMID), separators), texture, &model), nullptr);
        ASSERT_EQ(model.node_count, 5);
        BspNode *n = model.nodes;
        EXPECT_TRUE(model.root == &n[0] && n[0].front == &n[1] && n[0].back == nullptr);
        EXPECT_TRUE(n[2].front == nullptr && n[2].back == &n[3] && n[3].back == &n[4]);
        EXPECT_TRUE(n[4].front == nullptr && n[4].back == nullptr);
        EXPECT_TRUE(n[0].vertex_count == 4 && n[1].vertex_count == 3);
        EXPECT_TRUE(n[2].plane.a == 46341 && n[2].plane.b == -46341 && n[3].plane.c == 46341);
        EXPECT_TRUE(n[2].vertex_index[0] == 1 && n[2].vertex_index[1] == 4 && n[2].vertex_index[2] == 2);
        EXPECT_TRUE(n[0].texcoord_index[1] == 1 && n[0].texcoord_index[2] == 2 && n[0].texcoord_index[3] == 0);
        EXPECT_TRUE(model.vertex_count == 5 && model.vertices[4].y == -1310720);
        // Texcoords become texels of the 64 x 32 texture, v counted from the top.
        ASSERT_EQ(model.texcoord_count, 3);
        EXPECT_TRUE(model.texcoords[0].u == 0 && model.texcoords[0].v == itofix(32));
        EXPECT_TRUE(model.texcoords[1].u == itofix(64) && model.texcoords[1].v == 0);
        EXPECT_TRUE(model.texcoords[2].u == itofix(32) && model.texcoords[2].v == itofix(24));
        // Four base corners at y 0 and the apex at y -20: mean y -4; the apex is farthest, 16 away.
        EXPECT_TRUE(model.centre.x == 0 && model.centre.y == itofix(-4) && model.centre.z == 0);
        EXPECT_NEAR(fixtof(model.radius), 16.0, 1e-4);
    }
}

TEST_F(BspReader, WithoutTextureTheSkinSizeIsAssumedAbsurdTexcoordsSaturateAndNoneAreShared)
{
    ASSERT_EQ(parse_text(PYRAMID, nullptr, &model), nullptr);
    EXPECT_TRUE(model.texcoords[1].u == itofix(BSP_SKIN_SIZE) && model.texcoords[0].v == itofix(BSP_SKIN_SIZE));
    free_bsp_model(&model);
    const std::string absurd =
        pyramid_with(TEXCOORD_COUNT + 2, "-2147483648", pyramid_with(TEXCOORD_COUNT + 1, "2147483647"));
    ASSERT_EQ(parse_text(absurd, texture, &model), nullptr);
    EXPECT_TRUE(model.texcoords[0].u == 0x7FFFFFFF && model.texcoords[0].v == 0x7FFFFFFF);

    // No texcoords at all: every corner uses one shared entry.
    free_bsp_model(&model);
    std::string bare = pyramid_with(TEXCOORD_COUNT, "0");
    bare = bare.substr(0, bare.find(" 0 0 65536 65536"));    // drop the three pairs
    ASSERT_EQ(parse_text(bare, texture, &model), nullptr);
    ASSERT_TRUE(model.texcoord_count == 0 && model.texcoords != nullptr);
    for (int i = 0; i < model.node_count; i++)
        for (int k = 0; k < model.nodes[i].vertex_count; k++)
            EXPECT_EQ(model.nodes[i].texcoord_index[k], 0);
}

TEST_F(BspReader, EveryBrokenFileIsRefusedWithItsFault)
{
    std::string pyramid = PYRAMID;
    auto cut_before = [&](const char *text) { return pyramid.substr(0, pyramid.find(text)); };
    auto at_node = [](int node, int field, const char *value) {
        return pyramid_with(node_field(node, field), value);
    };
    // Each fault with files showing it at the edges of what the reader accepts.
    const std::vector<std::pair<const char *, std::vector<std::string>>> cases = {
        {"file ends early", {"", cut_before("46341 -46341 0 0"), cut_before("655360 0 655360 0"),
                             cut_before("0\n3\n0 0"), pyramid.substr(0, pyramid.rfind(" 16384"))}},
        {"node count out of range", {pyramid_with(0, "0"), pyramid_with(0, "2000000000")}},
        {"child index out of range", {at_node(0, 1, "5"), at_node(1, 2, "-2")}},
        {"corner count out of range", {at_node(1, 3, "2"), at_node(1, 3, "11")}},
        {"vertex index out of range", {at_node(2, 6, "5"), at_node(0, 4, "-1")}},
        {"texcoord index out of range", {at_node(4, 20, "3"), at_node(3, 18, "-4")}},
        {"vertex count out of range",
         {pyramid_with(VERTEX_COUNT, "0"), pyramid_with(VERTEX_COUNT, "99999999")}},
        {"root index out of range", {pyramid_with(ROOT, "5"), pyramid_with(ROOT, "-1")}},
        {"texcoord count out of range",
         {pyramid_with(TEXCOORD_COUNT, "-1"), pyramid_with(TEXCOORD_COUNT, "1000000")}},
        {"malformed number", {pyramid_with(3, "front"), pyramid_with(3, "12x"), pyramid_with(3, "-"),
                              pyramid_with(3, "--1"), pyramid_with(VERTEX_COUNT + 1, "1.5")}},
        {"number out of range", {pyramid_with(VERTEX_COUNT + 1, "2147483648")}},
        // A node that is its own child, a leaf pointing back at node 0, a node with two parents.
        {"node reached twice in the tree", {at_node(3, 1, "3"), at_node(4, 2, "0"), at_node(1, 2, "2")}},
        // Mends the fault where a model with more after its last record loaded silently.
        {"text after the last texcoord", {pyramid + "7\n", pyramid + "\n\n  x", pyramid + "0 0"}},
    };
    for (const auto &[expected, texts] : cases) {
        for (const std::string &text : texts) {
            BspModel broken = {};
            const char *fault = parse_text(text, texture, &broken);
            ASSERT_NE(fault, nullptr) << expected << " in\n" << text;
            EXPECT_STREQ(fault, expected) << text;
            // A refused file leaves nothing behind.
            EXPECT_TRUE(!broken.nodes && !broken.vertices && broken.node_count == 0) << text;
        }
    }
}

TEST_F(BspReader, BlankLinesAfterTheLastRecordAreNoFault)
{
    BspModel model = {};
    EXPECT_EQ(parse_text(std::string(PYRAMID) + "\n\r\n \t\n", texture, &model), nullptr);
    free_bsp_model(&model);
}

TEST_F(BspReader, TheRootLineMayNameAnyNodeAndCyclesAreCaughtFromItAndFromNodeZero)
{
    // Cut node 4 off the tree and let it point at itself. Drawing from node 2 never gets there,
    // so the file is usable...
    const std::string cut_off = pyramid_with(node_field(4, 1), "4", pyramid_with(node_field(3, 2), "-1"));
    ASSERT_EQ(parse_text(pyramid_with(ROOT, "2", cut_off), texture, &model), nullptr);
    EXPECT_EQ(model.root, &model.nodes[2]);
    free_bsp_model(&model);
    // ...unless the root line names the looping node.
    EXPECT_STREQ(parse_text(pyramid_with(ROOT, "4", cut_off), texture, &model), "node reached twice in the tree");
    // And a loop through node 0 is caught whatever the root line says.
    const std::string through_zero = pyramid_with(ROOT, "2", pyramid_with(node_field(4, 1), "0"));
    EXPECT_STREQ(parse_text(through_zero, texture, &model), "node reached twice in the tree");
}

namespace {

/* Runs each test inside a private game directory, as the game runs in its own. */
class BspLoading : public game_test::GameDirectoryTest {
protected:
    /* Loads the file in a child process, which must stop the game (no screen: no page to wait
       on); what it left in error.log. */
    std::string fatal_log(const std::string &name)
    {
        EXPECT_EXIT({ screen = nullptr; load_bsp_model(MODEL_JAR, "jar", name.c_str(), nullptr); },
                    testing::ExitedWithCode(1), "");
        return game_test::read_file(dir / "error.log");
    }
};

}  // namespace

TEST_F(BspLoading, AFileThatCannotBeUsedStopsTheGameNamingItAndItsFault)
{
    std::filesystem::create_directory(dir / "bsp");
    std::ofstream("bsp/jar.bsp") << pyramid_with(node_field(2, 6), "77");
    EXPECT_EQ(fatal_log("bsp/jar.bsp"), "Fatal exception: bsp/jar.bsp: vertex index out of range\n\n");
    // A long name is cut with the rest of the message, not overrun.
    const std::string name = "bsp/" + std::string(200, 'm') + ".bsp";
    std::ofstream(name) << "3 junk";
    const std::string log = fatal_log(name);
    EXPECT_TRUE(log.rfind("Fatal exception: bsp/mmm", 0) == 0 && log.size() <= 180) << log;
}

TEST_F(BspLoading, LoadModelsAnnouncesItselfAndFillsAllNineSlotsFromTheGame)
{
    std::filesystem::current_path(TIRVEX_GAME_DIR);
    DATAFILE *saved = Datafile;
    Datafile = nullptr;    // without data every skin is assumed 128 x 128
    testing::internal::CaptureStdout();
    load_models();
    std::string printed = testing::internal::GetCapturedStdout();
    Datafile = saved;
    EXPECT_EQ(printed, "Load BSP models...\n");
    for (int slot = 0; slot < MODEL_COUNT; slot++) {
        EXPECT_GT(model_table[slot].node_count, 10) << slot;
        free_bsp_model(&model_table[slot]);
    }
}
